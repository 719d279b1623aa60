// The measurement's arithmetic: the rate analysis and its clock, the test's sizing,
// the memory rates, the drive list's and the system information dialog's rules.
#include <gtest/gtest.h>

#include <math.h>

#include "../../measure/drive_rules.h"
#include "../../measure/memory_rules.h"
#include "../../measure/rate_analysis.h"
#include "text.h"

// Write rate, read rate and shortest block after the analysis of blocks whose
// times are given one by one in microseconds, timed by the counter or by ticks.
static std::string Analysed(const std::vector<uint32_t> &writeUs, const std::vector<uint32_t> &readUs, int ticks = 0)
{
    std::vector<BlockSample> s(writeUs.size() + 1);
    std::vector<uint64_t> work(writeUs.size() * 2);
    for (size_t k = 0; k < writeUs.size(); k++)
        s[k] = {readUs[k], writeUs[k]};
    TestResult r = {};
    r.blockSizeKB = 96, r.blockCount = (uint32_t)writeUs.size(), r.timedByTicks = ticks;
    AnalyseRates(&r, s.data(), work.data());
    return Text("%u %u %u", r.writeRate, r.readRate, r.shortestBlockUs);
}

TEST(RateAnalysis, WorkedExamples)
{
    std::vector<uint32_t> w20(214, 20000), r10(214, 10000), stalled = w20, coarse(214), edge(214, 21000);
    stalled[100] = 2000000;
    for (size_t k = 0; k < coarse.size(); k++)
        coarse[k] = k % 2 ? 55000 : 0;  // a 55 ms tick: odd blocks read 0 ms
    std::fill(edge.begin(), edge.begin() + 14, 14000);  // exactly 0.7 of the 20 ms average: left out
    EXPECT_EQ(Analysed(w20, r10) + "|" + Analysed(stalled, r10) + "|" + Analysed(coarse, r10, 1) + "|" +
                  Analysed(edge, r10) + "|" + Analysed({20000}, {10000}) + "|" +
                  Analysed(std::vector<uint32_t>(214, 0), r10, 1),
              "4800 9600 10000|1632 9600 10000|1745 9600 10000|4571 9600 10000|4800 9600 2000|1 9600 10000");
}

// Drives from 1.5 MB/s to 1 GB/s, each block exact to the microsecond with a 5 %
// jitter, steady and pausing. A steady one reads within 2 % of its rate; a pausing
// one between its plain average and its rate without the pauses (1 % to spare: the
// cap counts whole blocks a second), or at the worst stretch's cap where a pause
// outlasts the 33 blocks' allowance. A tick counter makes every fast drive one
// block per tick, and a 55 ms tick a slow one too.
TEST(RateAnalysis, FromSlowToFastDisksWithPauses)
{
    enum { STEADY, ONE_SLOW, EVERY_8MB, STALL };
    const struct {
        double kbs;
        int pause, tick;
        uint32_t blocks, expected;
    } rows[] = {{1500, STEADY, 0, 214, 0}, {24000, STEADY, 0, 214, 0}, {150000, STEADY, 0, 214, 0},
                {1000000, STEADY, 0, 214, 0}, {48000, ONE_SLOW, 0, 214, 0}, {1000000, ONE_SLOW, 0, 214, 162336},
                {24000, EVERY_8MB, 0, 214, 0}, {150000, EVERY_8MB, 0, 214, 0}, {150000, EVERY_8MB, 0, 21334, 0},
                {1000000, EVERY_8MB, 0, 21334, 162336}, {6000, STALL, 0, 214, 1536}, {1000000, STALL, 0, 214, 1536},
                {1500, STEADY, 0, 21334, 1440}, {24000, STEADY, 16, 214, 6000}, {150000, STEADY, 55, 214, 1745}};
    for (auto &row : rows) {
        std::vector<uint32_t> us(row.blocks);
        double start = 0, end = 0, pauses = 0;
        uint32_t seed = 12345;
        for (uint32_t k = 0; k < row.blocks; k++, start = end) {
            seed = seed * 1103515245 + 12345;
            double pause = (row.pause == ONE_SLOW && k == 100) || (row.pause == EVERY_8MB && k % 85 == 84) ? 20000
                           : row.pause == STALL && k == 100                                            ? 2000000 : 0;
            end = start + pause + 96e6 / row.kbs * (0.95 + (seed >> 16) % 1001 / 1e4);
            pauses += pause;
            us[k] = row.tick ? ((uint32_t)(end / 1000 + 7) / row.tick - (uint32_t)(start / 1000 + 7) / row.tick) * row.tick * 1000
                             : (uint32_t)end - (uint32_t)start;
        }
        double rate = atof(Analysed(us, us, row.tick != 0).c_str()), plain = 96e6 * row.blocks / end,
               own = 96e6 * row.blocks / (end - pauses);
        if (row.expected)
            EXPECT_EQ(rate, row.expected) << row.kbs << " kB/s, pause " << row.pause << ", tick " << row.tick;
        else
            EXPECT_TRUE(row.pause ? rate >= plain * 0.99 && rate <= own * 1.01 : fabs(rate - row.kbs) <= row.kbs * 0.02)
                << row.kbs << " kB/s, pause " << row.pause << ": " << rate << " (plain " << plain << ")";
    }
    EXPECT_EQ(Text("%llu %llu %llu %llu %llu", (unsigned long long)CounterSpanUs(3579545, 3579545),
                   (unsigned long long)CounterSpanUs(3579544, 3579545), (unsigned long long)CounterSpanUs(596591, 1193182),
                   (unsigned long long)CounterSpanUs(42, 0), (unsigned long long)CounterSpanUs(30000000000000000ull, 3000000000ull)),
              "1000000 999999 500000 0 10000000000000");
}

// The worst stretch is looked up on a hull instead of searched end by end: on
// random traces it finds what the walk over every end finds.
TEST(RateAnalysis, StretchSearchAgreesWithTryingEveryEnd)
{
    uint32_t seed = 99;
    auto next = [&seed](uint32_t range) { return ((seed = seed * 1103515245 + 12345) >> 8) % range; };
    for (int trial = 0; trial < 400; trial++) {
        uint32_t n = 3 + next(400), base = 1 + next(3000), kind = trial % 4, perSecond = trial % 3 ? 1000000 : 1000;
        std::vector<uint64_t> sums(n);
        std::vector<uint32_t> best(n), hull(n);
        for (uint32_t k = 0, x; k < n; k++) {
            x = kind == 0 ? base * (95 + next(11)) / 100 : kind == 1 ? (next(40) ? base : base * 30) : kind == 2 ? next(3) * 16 : next(7);
            sums[k] = (k ? sums[k - 1] : 0) + x;
        }
        uint64_t limit = 65535, bound = 1, previous = 0;
        for (uint32_t j = 0, anchor = 0; j + 3 <= n; previous = sums[j + 1] - sums[j], j++)
            if (sums[j + 1] - sums[j] >= bound && previous <= bound && sums[j] - sums[anchor] <= (j - anchor) * bound) {
                anchor = j;
                for (uint32_t k = n - 1; k > j; k--)
                    if (sums[k] > sums[j] && (k - j + 33) * perSecond / (sums[k] - sums[j]) < limit)
                        limit = (k - j + 33) * perSecond / (sums[k] - sums[j]), bound = (sums[k] - sums[j]) / (k - j + 33);
            }
        ASSERT_EQ(WorstStretch(StretchSums{sums.data(), n, perSecond}, best.data(), hull.data()), limit) << "trial " << trial;
    }
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
