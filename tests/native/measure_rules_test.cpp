// The measurement's arithmetic: the rate analysis and its clock, the test's sizing,
// the memory rates, the drive list's and the system information dialog's rules.
#include <gtest/gtest.h>

#include <math.h>

#include "../../measure/drive_rules.h"
#include "../../measure/memory_rules.h"
#include "../../measure/rate_analysis.h"
#include "text.h"

// Write rate, read rate, shortest block and the last write time after the analysis
// of blocks whose times are given one by one (the passes leave them cumulative).
static std::string Analysed(const std::vector<uint32_t> &writeMs, const std::vector<uint32_t> &readMs)
{
    std::vector<BlockSample> s(writeMs.size() + 1);
    for (size_t k = 0; k < writeMs.size(); k++)
        s[k] = {(k ? s[k - 1].readMs : 0) + readMs[k], (k ? s[k - 1].writeMs : 0) + writeMs[k]};
    TestResult r = {};
    r.blockSizeKB = 96, r.blockCount = (uint32_t)writeMs.size();
    AnalyseRates(&r, s.data());
    return Text("%u %u %u %u", r.writeRate, r.readRate, r.shortestBlockMs, s[writeMs.size() - 1].writeMs);
}

TEST(RateAnalysis, WorkedExamples)
{
    std::vector<uint32_t> w20(214, 20), r10(214, 10), stalled = w20, coarse(214), edge(214, 21);
    stalled[100] = 2000;
    for (size_t k = 0; k < coarse.size(); k++)
        coarse[k] = k % 2 ? 55 : 0;  // odd blocks read 0 ms
    std::fill(edge.begin(), edge.begin() + 14, 14);  // exactly 0.7 of the 20 ms average: left out
    EXPECT_EQ(Analysed(w20, r10) + "|" + Analysed(stalled, r10) + "|" + Analysed(coarse, r10) + "|" +
                  Analysed(edge, r10) + "|" + Analysed({20}, {10}) + "|" + Analysed(std::vector<uint32_t>(214, 0), r10),
              "4800 9600 10 20|1632 9600 10 20|1745 9600 10 55|4571 9600 10 21|4800 9600 2 20|1 9600 10 0");
}

// Why the passes take a millisecond clock: a steady disk timed by a 16 ms tick is
// one block per tick (6000 kB/s) whatever its speed; timed to the millisecond it
// is its own speed, but for the 33-block allowance between 40 and 80 MB/s.
TEST(RateAnalysis, NeedsAClockFinerThanABlock)
{
    const double ladder[][3] = {{1500, 1, 1}, {6000, 1, 1}, {12000, 1, 1}, {24000, 1, 1}, {40960, 1, 1.16},
                                {81920, 1, 1.16}, {200000, 0.97, 1.03}, {1000000, 0.97, 1.03}};
    for (auto c : ladder) {
        std::vector<uint32_t> fine(214), tick(214), read(214, 10);
        for (size_t k = 0; k < fine.size(); k++) {
            double end = (k + 1) * 96000.0 / c[0], before = k * 96000.0 / c[0];
            fine[k] = (uint32_t)floor(end + 0.3) - (uint32_t)floor(before + 0.3);
            tick[k] = (uint32_t)floor((end + 7) / 16) * 16 - (uint32_t)floor((before + 7) / 16) * 16;
        }
        uint32_t measured = (uint32_t)atol(Analysed(fine, read).c_str());
        EXPECT_TRUE(measured >= c[0] * c[1] && measured <= c[0] * c[2]) << c[0] << ": " << measured;
        EXPECT_TRUE(c[0] <= 6000 || atol(Analysed(tick, read).c_str()) <= 6000) << c[0] << " under a 16 ms tick";
    }
    // Months on a 3 GHz counter overflow nothing on the way; the result wraps at 2^32.
    EXPECT_EQ(Text("%u %u %u %u %u", CounterSpanMs(3579545, 3579545), CounterSpanMs(3579544, 3579545),
                   CounterSpanMs(596590, 1193182), CounterSpanMs(42, 0), CounterSpanMs(30000000000000000ull, 3000000000ull)),
              Text("1000 999 499 0 %u", (uint32_t)(10000000000ull % 4294967296ull)));
}

TEST(RateAnalysis, SizeOfTheTestFile)
{
    std::string out;
    const uint32_t rows[][2] = {{20, 500}, {10, 10}, {10, 11}, {2000, 5000}, {20, 0}, {2000, 1999}};
    for (auto r : rows) {
        uint32_t size = TestSizeMB(r[0], r[1]), blocks = BlockCountForSize(size, 96);
        out += Text("%u/%u/%d ", size, blocks, FreeSpaceRefuses(96, blocks, r[1]));
    }
    EXPECT_EQ(out, "20/214/0 10/107/1 10/107/0 2000/21334/0 10/107/1 1999/21323/1 ");
}

TEST(MemoryRules, RatesCopyFileSizeAndLanguage)
{
    const uint32_t mixed[] = {81920, 65536, 81920, 65536}, fast[] = {163840, 163840, 163840, 163840};
    std::string out = Text("%u %u %u %u %u|", MemoryRunRate(1000, 1200), MemoryRunRate(0xFFFFFF00u, 0x00000064u),
                           MemoryRunRate(500, 500), AverageMemoryRate(mixed), AverageMemoryRate(fast));
    for (const char *text : {"5", "11", "1999", "2000", "99999999999", " 300 ", "", "12a", "-20"})
        out += Text("%u ", TestFileSizeFromText(text));
    for (const char *code : {"ger", "Fre", "DEU"}) {
        int key = LanguageKeyForCode(code);
        out += Text("|%d/%d/%s", key, OffsetForLanguageKey(key), CodeForLanguageKey(key));
    }
    EXPECT_EQ(out, "81920 46022 132000 73728 132000|10 11 1999 2000 2000 300 10 10 10 "
                   "|1/500/GER|2/600/FRE|0/0/ENG");
    std::vector<uint32_t> source(MEMORY_SOURCE_SIZE / 4), destination(MEMORY_DESTINATION_SIZE / 4);
    for (size_t i = 0; i < source.size(); i++)
        source[i] = (uint32_t)i * 2654435761u;
    MemoryCopyKernel(source.data(), destination.data());
    for (size_t slot = 0; slot < destination.size(); slot += MEMORY_COPY_CHUNK / 4)
        ASSERT_EQ(memcmp(&destination[slot], source.data(), MEMORY_COPY_CHUNK), 0) << "slot " << slot;
}

TEST(DriveRules, SizesRootsAndLines)
{
    char name[24], other[24], line[44], shortened[44];
    DriveNameFromRoot("C:\\", name, sizeof name);
    DriveNameFromRoot("D:", other, sizeof other);
    FormatDriveDescription(line, sizeof line, "SYSTEM", "C:", 512 * 1024 + 1023, "free of", 2047 * 1024);
    FormatDriveDescription(shortened, sizeof shortened, "A LABEL OF THIRTY-TWO CHARACTERS", "E:", 1024,
                           "disponibles de", 4096);
    EXPECT_EQ(Text("%u %u %d%d%d%d %s|%s|%s|%s", ClusterKB(64, 512, 65535), ClusterKB(128, 4096, 0x7FFFFFFF),
                   FloppyRootsToSkip(0x1D), FloppyRootsToSkip(0x1E), FloppyRootsToSkip(0x1F), FloppyRootsToSkip(0x1C),
                   name, other, line, shortened),
              "2097120 4294967295 1120 C:|D:|SYSTEM(C:) 512MB free of 2047MB|"
              "A LABEL OF THIRT(E:) 1MB disponibles de 4MB");
}
