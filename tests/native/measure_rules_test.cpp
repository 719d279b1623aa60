// The measurement's arithmetic: the rate analysis and its clock, the test's sizing,
// the memory rates, the drive list's and the system information dialog's rules.
#include <gtest/gtest.h>

#include <math.h>
#include <string.h>

#include <vector>

#include "../../measure/drive_rules.h"
#include "../../measure/memory_rules.h"
#include "../../measure/rate_analysis.h"

namespace {

// A test of blocks whose write and read times are given per block; the samples
// hold cumulative times, as the passes leave them.
TestResult Analysed(const std::vector<uint32_t> &writeMs, const std::vector<uint32_t> &readMs,
                    std::vector<BlockSample> *kept = nullptr)
{
    std::vector<BlockSample> s(writeMs.size() + 1);
    for (size_t k = 0; k < writeMs.size(); k++) {
        s[k].writeMs = (k ? s[k - 1].writeMs : 0) + writeMs[k];
        s[k].readMs = (k ? s[k - 1].readMs : 0) + readMs[k];
    }
    TestResult r = {};
    r.blockSizeKB = 96;
    r.blockCount = (uint32_t)writeMs.size();
    AnalyseRates(&r, s.data());
    if (kept)
        *kept = s;
    return r;
}

TEST(RateAnalysis, WorkedExamples)
{
    std::vector<uint32_t> w20(214, 20), r10(214, 10), stalled = w20, alternating(214);
    stalled[100] = 2000;
    for (size_t k = 0; k < alternating.size(); k++)
        alternating[k] = k % 2 ? 55 : 0;  // odd blocks (1, 3, ...) read 0 ms
    struct Case {
        const char *what;
        std::vector<uint32_t> writes, reads;
        uint32_t write, read, shortest;
    } cases[] = {
        {"steady", w20, r10, 4800, 9600, 10},
        {"block 101 stalls for 2 s", stalled, r10, 1632, 9600, 10},
        {"coarse timer", alternating, r10, 1745, 9600, 10},
        {"one block", {20}, {10}, 4800, 9600, 2},
        {"two blocks: no stretch", {20, 20}, {10, 10}, 4800, 9600, 10},
        {"no time at all", std::vector<uint32_t>(214, 0), r10, 1, 9600, 10},
    };
    for (const Case &c : cases) {
        std::vector<BlockSample> s;
        TestResult r = Analysed(c.writes, c.reads, &s);
        EXPECT_EQ(r.writeRate, c.write) << c.what;
        EXPECT_EQ(r.readRate, c.read) << c.what;
        EXPECT_EQ(r.shortestBlockMs, c.shortest) << c.what;
        EXPECT_EQ(s[c.writes.size() - 1].writeMs, c.writes.back()) << c.what << ": per-block times";
    }
    TestResult none = {};
    none.blockSizeKB = 96;
    none.writeRate = 7;
    AnalyseRates(&none, nullptr);
    EXPECT_EQ(none.writeRate, 7u) << "zero blocks change nothing";
}

// Why the passes take a millisecond clock: a steady disk timed by a 16 ms tick is
// one block per tick (6000 kB/s) whatever its speed; timed to the millisecond it
// is its own speed, but for the 33-block allowance between 40 and 80 MB/s.
TEST(RateAnalysis, NeedsAClockFinerThanABlock)
{
    struct Case {
        double kbs;
        double low, high;  // of the 1 ms result, relative to the true rate
    } ladder[] = {{1500, 1, 1},     {3000, 1, 1},       {6000, 1, 1},        {12000, 1, 1},
                  {24000, 1, 1},    {40960, 1, 1.16},   {81920, 1, 1.16},    {200000, 0.97, 1.03},
                  {1000000, 0.97, 1.03}};
    for (const Case &c : ladder) {
        std::vector<uint32_t> fine(214), tick(214), read(214, 10);
        double blockMs = 96000.0 / c.kbs;
        uint32_t fineBefore = 0, tickBefore = 0;
        for (size_t k = 0; k < fine.size(); k++) {
            double end = (k + 1) * blockMs;
            uint32_t f = (uint32_t)floor(end + 0.3), t = (uint32_t)floor((end + 7) / 16) * 16;
            fine[k] = f - fineBefore, tick[k] = t - tickBefore;
            fineBefore = f, tickBefore = t;
        }
        uint32_t measured = Analysed(fine, read).writeRate;
        EXPECT_GE(measured, (uint32_t)(c.kbs * c.low)) << c.kbs;
        EXPECT_LE(measured, (uint32_t)(c.kbs * c.high)) << c.kbs;
        if (c.kbs > 6000)
            EXPECT_LE(Analysed(tick, read).writeRate, 6000u) << c.kbs << " under a 16 ms tick";
    }
}

TEST(RateAnalysis, CounterSpansInMilliseconds)
{
    struct Case {
        uint64_t counts, frequency;
        uint32_t ms;
    } cases[] = {
        {0, 3579545, 0},         {3579545, 3579545, 1000}, {3579544, 3579545, 999},
        {596590, 1193182, 499}, {10000000, 10000000, 1000}, {42, 0, 0},
        // Months on a 3 GHz counter: no overflow on the way, the result modulo 2^32.
        {3000000000ull * 5000000, 3000000000ull, (uint32_t)(5000000000ull % 4294967296ull)},
    };
    for (const Case &c : cases)
        EXPECT_EQ(CounterSpanMs(c.counts, c.frequency), c.ms) << c.counts << " at " << c.frequency;
}

TEST(RateAnalysis, SizeOfTheTestFile)
{
    struct Case {
        uint32_t requested, freeMB, size, blocks;
        int refused;
    } cases[] = {
        {20, 500, 20, 214, 0}, {20, 20, 20, 214, 1},     {20, 21, 20, 214, 0},
        {10, 10, 10, 107, 1},  {10, 11, 10, 107, 0},     {2000, 5000, 2000, 21334, 0},
        {20, 0, 10, 107, 1},   {5, 500, 10, 107, 0},     {2000, 1999, 1999, 21323, 1},
    };
    for (const Case &c : cases) {
        uint32_t size = TestSizeMB(c.requested, c.freeMB), blocks = BlockCountForSize(size, 96);
        EXPECT_EQ(size, c.size) << c.requested << "/" << c.freeMB;
        EXPECT_EQ(blocks, c.blocks) << c.requested << "/" << c.freeMB;
        EXPECT_EQ(FreeSpaceRefuses(96, blocks, c.freeMB), c.refused) << c.requested << "/" << c.freeMB;
    }
}

TEST(MemoryRules, RunsAverageAndLimit)
{
    EXPECT_EQ(MemoryRunRate(1000, 1200), 81920u);
    EXPECT_EQ(MemoryRunRate(0xFFFFFF00u, 0x00000064u), 16384000u / 356) << "across a wrap";
    EXPECT_EQ(MemoryRunRate(500, 500), MEMORY_RATE_LIMIT) << "faster than a tick";
    const uint32_t mixed[] = {81920, 65536, 81920, 65536}, fast[] = {163840, 163840, 163840, 163840};
    EXPECT_EQ(AverageMemoryRate(mixed), 73728u);
    EXPECT_EQ(AverageMemoryRate(fast), 132000u);

    std::vector<uint32_t> source(MEMORY_SOURCE_SIZE / 4), destination(MEMORY_DESTINATION_SIZE / 4);
    for (size_t i = 0; i < source.size(); i++)
        source[i] = (uint32_t)i * 2654435761u;
    MemoryCopyKernel(source.data(), destination.data());
    for (size_t slot = 0; slot < destination.size(); slot += MEMORY_COPY_CHUNK / 4)
        ASSERT_EQ(memcmp(&destination[slot], source.data(), MEMORY_COPY_CHUNK), 0) << "slot " << slot;
}

TEST(MemoryRules, FileSizeTextAndLanguageList)
{
    struct Case {
        const char *text;
        uint32_t mb;
    } sizes[] = {{"5", 10},    {"10", 10},       {"11", 11},   {"1999", 1999}, {"2000", 2000},
                 {"2500", 2000}, {"99999999999", 2000}, {" 300 ", 300}, {"abc", 10}, {"", 10},
                 {"12a", 10},  {"-20", 10}};
    for (const Case &c : sizes)
        EXPECT_EQ(TestFileSizeFromText(c.text), c.mb) << '"' << c.text << '"';
    struct Language {
        const char *code;
        int key, offset;
        const char *stored;
    } languages[] = {{"ENG", 0, 0, "ENG"}, {"ger", 1, 500, "GER"}, {"Fre", 2, 600, "FRE"},
                     {"DEU", 0, 0, "ENG"}, {"GERMAN", 0, 0, "ENG"}};
    for (const Language &l : languages) {
        EXPECT_EQ(LanguageKeyForCode(l.code), l.key) << l.code;
        EXPECT_EQ(OffsetForLanguageKey(l.key), l.offset) << l.code;
        EXPECT_STREQ(CodeForLanguageKey(l.key), l.stored) << l.code;
    }
}

TEST(DriveRules, SizesRootsAndLines)
{
    EXPECT_EQ(ClusterKB(1, 512, 4), 2u) << "clusters under 1 kB";
    EXPECT_EQ(ClusterKB(64, 512, 65535), 2097120u);
    EXPECT_EQ(ClusterKB(128, 4096, 0x7FFFFFFF), 0xFFFFFFFFu) << "saturates";
    EXPECT_EQ(BytesToKB(5ull << 40), 0xFFFFFFFFu);
    EXPECT_EQ(BytesToKB(2147483648ull), 2097152u);
    const struct {
        uint32_t mask;
        int skipped;
    } floppies[] = {{0x1D, 1}, {0x1E, 1}, {0x1F, 2}, {0x1C, 0}};
    for (auto f : floppies)
        EXPECT_EQ(FloppyRootsToSkip(f.mask), f.skipped) << f.mask;
    char name[24];
    DriveNameFromRoot("C:\\", name, sizeof name);
    EXPECT_STREQ(name, "C:");
    DriveNameFromRoot("D:", name, sizeof name);
    EXPECT_STREQ(name, "D:");

    char line[44];
    FormatDriveDescription(line, sizeof line, "SYSTEM", "C:", 512 * 1024 + 1023, "free of", 2047 * 1024);
    EXPECT_STREQ(line, "SYSTEM(C:) 512MB free of 2047MB");
    FormatDriveDescription(line, sizeof line, "", "C:", 512 * 1024, "free of", 2047 * 1024);
    EXPECT_STREQ(line, "(C:) 512MB free of 2047MB");
    FormatDriveDescription(line, sizeof line, "A LABEL OF THIRTY-TWO CHARACTERS", "E:", 1024,
                           "disponibles de", 4096);
    EXPECT_STREQ(line, "A LABEL OF THIRT(E:) 1MB disponibles de 4MB") << "the label gives way";
}

}  // namespace
