// The measurement's arithmetic: the rate analysis and its clock, the test's sizing,
// the memory rates and the system information dialog's rules (the drive list's have
// their rows in the runner's drive list).
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
    for (size_t k = 0; k < writeUs.size(); k++)
        s[k] = {readUs[k], writeUs[k]};
    TestResult r = {};
    r.blockSizeKB = 96, r.blockCount = (uint32_t)writeUs.size(), r.timedByTicks = ticks;
    AnalyseRates(&r, s.data());
    return Text("%u %u %u", r.writeRate, r.readRate, r.shortestBlockUs);
}

TEST(RateAnalysis, WorkedExamples)
{
    std::vector<uint32_t> w20(214, 20000), r10(214, 10000), stalled = w20, coarse(214), fine(214), band = w20, stalls = w20;
    stalled[100] = 2000000;
    for (size_t k = 0; k < coarse.size(); k++) {
        // a 55 ms tick: odd blocks read 0 ms
        coarse[k] = k % 2 ? 55000 : 0;
        // ticks of 3 and 5 ms: the 3 ms ones too short for the tick counter's threshold
        fine[k] = k % 2 ? 5000 : 3000;
        // An average of 20 ms after the first block, with blocks at 0.7, 1.4 and 1.45
        // times it: only the 20 ms ones are inside the band.
        band[k] = k < 8 ? 14000 : k < 11 ? 28000 : k < 13 ? 29000 : 20000;
        // Stalls of 0.1 to 2 s every 19 blocks: each one's bound decides the next stretch start.
        stalls[k] = k % 19 == 1 ? (100 + k * 120 % 2000) * 1000 : 20000;
    }
    EXPECT_EQ(Analysed(w20, r10) + "|" + Analysed(stalled, r10) + "|" + Analysed(coarse, r10, 1) + "|" +
                  Analysed(band, r10) + "|" + Analysed({20000}, {10000}) + "|" + Analysed(fine, w20, 1) + "|" +
                  Analysed(std::vector<uint32_t>(214, 0), r10, 1) + "|" + Analysed(stalls, r10),
              "4800 9600 10000|1632 9600 10000|1745 9600 10000|4800 9600 10000|4800 9600 2000|19200 4800 5000|1 9600 10000|"
              "1248 9600 10000");
    EXPECT_EQ(std::to_string(CounterSpanUs(3579544, 3579545) + CounterSpanUs(42, 0) * 7 + CounterSpanUs(3e16, 3e9)),
              "10000000999999");
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
    // kB/s, pauses, tick, blocks, the rate expected (0: by its bounds)
    const double rows[][5] = {
        {1500, STEADY, 0, 214, 0}, {150000, STEADY, 0, 214, 0}, {1e6, STEADY, 0, 214, 0}, {1e7, STEADY, 0, 214, 0},
        {48000, ONE_SLOW, 0, 214, 0},
        {1e6, ONE_SLOW, 0, 214, 162336}, {24000, EVERY_8MB, 0, 214, 0}, {150000, EVERY_8MB, 0, 21334, 0},
        {1e6, EVERY_8MB, 0, 21334, 162336}, {6000, STALL, 0, 214, 1536}, {1500, STEADY, 0, 21334, 1440},
        {24000, STEADY, 16, 214, 6000}, {150000, STEADY, 55, 214, 1745}};
    for (auto &row : rows) {
        std::vector<uint32_t> us((size_t)row[3]);
        double end = 0, pauses = 0, tick = row[2] * 1000;
        for (size_t k = 0, seed = 12345; k < us.size(); k++) {
            seed = seed * 1103515245 + 12345;
            double start = end, pause = row[1] == STALL && k == 100 ? 2e6 : (row[1] == ONE_SLOW && k == 100) ||
                                                                             (row[1] == EVERY_8MB && k % 85 == 84) ? 2e4 : 0;
            end += pause + 96e6 / row[0] * (0.95 + (seed >> 16) % 1001 / 1e4), pauses += pause;
            us[k] = tick ? (uint32_t)((floor(end / tick + 0.4) - floor(start / tick + 0.4)) * tick)
                         : (uint32_t)end - (uint32_t)start;
        }
        double rate = atof(Analysed(us, us, tick != 0).c_str()), plain = 96e6 * us.size() / end;
        EXPECT_TRUE(row[4] ? rate == row[4] : row[1] ? rate >= plain * 0.99 && rate * (end - pauses) <= plain * end * 1.01
                                                     : fabs(rate / row[0] - 1) <= 0.02)
            << row[0] << " kB/s, " << row[1] << ", " << tick << ": " << rate << " (plain " << plain << ")";
    }
}

TEST(RateAnalysis, SizeOfTheTestFile)
{
    std::string out;
    const uint32_t rows[][2] = {{20, 500}, {10, 10}, {10, 11}, {2000, 5000}, {20, 0}, {2000, 1999}, {20, 4194304}};
    for (auto r : rows) {
        uint32_t size = TestSizeMB(r[0], r[1]), blocks = BlockCountForSize(size, 96);
        out += Text("%u/%u/%d ", size, blocks, FreeSpaceRefuses(96, blocks, r[1]));
    }
    EXPECT_EQ(out, "20/214/0 10/107/1 10/107/0 2000/21334/0 10/107/1 1999/21323/1 20/214/0 ");
    // The automatic length: 20 MB and 10 s at least, 2000 MB and half the free space at most.
    out.clear();
    const uint32_t plans[][2] = {{0, 500}, {0, 100000}, {0, 41}, {0, 19}, {100000, 200000}};
    for (auto p : plans) {
        TestLength length = PlanTestLength(p[0], p[1], 96);
        out += Text("%u/%u/%u/%d ", length.minBlocks, length.maxBlocks, (unsigned)(length.untilUs / 1000),
                    FreeSpaceRefuses(96, length.minBlocks, p[1]));
    }
    EXPECT_EQ(out, "214/2667/10000/0 214/21334/10000/0 214/214/10000/0 214/214/10000/1 1066667/1066667/0/0 ");
    // How far a pass is: the slower of its least size and its time, or its size limit.
    out.clear();
    const TestLength automatic = PlanTestLength(0, 500, 96), fixed = {214, 214, 0};
    const uint32_t shares[][3] = {{0, 0, 0}, {107, 2000, 0}, {500, 5000, 0}, {213, 20000, 0}, {214, 10000, 0},
                                  {2000, 3000, 0}, {2667, 3000, 0}, {107, 0, 1}, {213, 99000, 1}, {214, 0, 1}};
    for (auto s : shares) {
        const TestLength *length = s[2] ? &fixed : &automatic;
        out += Text("%u/%d ", PassShare(length, s[0], s[1] * 1000ull), PassLengthReached(length, s[0], s[1] * 1000ull));
    }
    EXPECT_EQ(out, "0/0 20/0 50/0 99/0 100/1 74/0 100/1 50/0 99/0 100/1 ");
}

// Sizes in at most four digits, the unit growing by 1024 and with tenths below 100,
// a comma where the language writes one; byte counts whole up to 4096 TB.
TEST(DriveRules, SizesOfAnyDrive)
{
    std::string out;
    for (uint32_t mb : {9999u, 10000u, 102399u, 102400u, 10239999u, 10240000u, 104857599u, 104857600u, 0xFFFFFFFFu}) {
        char text[16];
        FormatDriveSize(text, sizeof text, mb, mb & 1);
        out += std::string(text) + " ";
    }
    EXPECT_EQ(out + Text("%u %u %u", BytesToMB(16000000000000ull), BytesToMB(1ull << 52), ClusterMB(1, 256, 4096)),
              "9999MB 9.7GB 99,9GB 100GB 9999GB 9.7TB 99,9TB 100TB 4095TB 15258789 4294967295 1");
}

TEST(MemoryRules, RatesCopyFileSizeAndLanguage)
{
    const uint32_t mixed[] = {81920, 65536, 81920, 65536}, fast[] = {163840, 163840, 163840, 163840};
    // The rate shown is the machine's own; the evaluation's limit stays at 132000.
    std::string out = Text("%u %u %u %u %u %u %u %u %u %u %u|", MemoryRunRate(1000, 1200),
                           MemoryRunRate(0xFFFFFF00u, 0x00000064u), MemoryRunRate(500, 500), AverageMemoryRate(mixed),
                           AverageMemoryRate(fast), MemoryRunRateFromCounts(20000, 10000000),
                           MemoryRunRateFromCounts(0, 10000000), MemoryRunRateFromCounts(1, 3000000000u),
                           EvaluatedMemoryRate(8192000), EvaluatedMemoryRate(73728), EvaluatedMemoryRate(0));
    for (const char *text : {"5", "11", "1999", "2000", "100001", "99999999999", " 300 ", "", "12a", "automatisch"})
        out += Text("%u ", TestFileSizeFromText(text));
    for (const char *code : {"ger", "Fre", "DEU"}) {
        int key = LanguageKeyForCode(code);
        out += Text("|%d/%d/%s", key, OffsetForLanguageKey(key), CodeForLanguageKey(key));
    }
    EXPECT_EQ(out, "81920 46022 132000 73728 163840 8192000 4294967295 4294967295 132000 73728 85000|"
                   "10 11 1999 2000 100000 100000 300 0 0 0 "
                   "|1/500/GER|2/600/FRE|0/0/ENG");
    std::vector<uint32_t> source(MEMORY_SOURCE_SIZE / 4), destination(MEMORY_DESTINATION_SIZE / 4);
    for (size_t i = 0; i < source.size(); i++)
        source[i] = (uint32_t)i * 2654435761u;
    MemoryCopyKernel(source.data(), destination.data());
    for (size_t slot = 0; slot < destination.size(); slot += MEMORY_COPY_CHUNK / 4)
        ASSERT_EQ(memcmp(&destination[slot], source.data(), MEMORY_COPY_CHUNK), 0) << "slot " << slot;
}
