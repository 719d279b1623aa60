// The test's sizing rules and the rate analysis, on the worked examples and on
// traces of a coarse timer.
#include <gtest/gtest.h>

#include <vector>

#include "../../measure/rate_analysis.h"

namespace {

// A run of per-block times, as the passes record them: cumulative.
struct Trace {
    std::vector<BlockSample> samples;
    TestResult result = {};
    Trace(const std::vector<uint32_t> &writeMs, const std::vector<uint32_t> &readMs)
    {
        uint32_t w = 0, r = 0;
        for (size_t i = 0; i < writeMs.size(); i++) {
            w += writeMs[i];
            r += readMs[i];
            samples.push_back({r, w});
        }
        samples.push_back({0xDEAD, 0xBEEF});  // the array has one entry to spare
        result.blockSizeKB = 96;
        result.blockCount = (uint32_t)writeMs.size();
        result.shortestBlockMs = 4;
    }
    void Analyse() { AnalyseRates(&result, samples.data()); }
};

std::vector<uint32_t> Steady(size_t n, uint32_t ms) { return std::vector<uint32_t>(n, ms); }

TEST(TestSize, FileSizeBlockCountAndFreeSpaceRule)
{
    struct Case { uint32_t requested, freeMB, blocks; bool refused; } cases[] = {
        {20, 500, 214, false},
        {20, 21, 214, false},
        {20, 20, 214, true},     // 214 blocks are 20544 kB, more than 20480
        {10, 11, 107, false},
        {10, 10, 107, true},
        {20, 0, 107, true},      // no drive listed: slot 0 has no free space
        {5, 500, 107, false},    // never less than 10 MB
        {2000, 100000, 21334, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.requested << " MB asked, " << c.freeMB << " MB free");
        uint32_t blocks = BlockCountForSize(TestSizeMB(c.requested, c.freeMB), 96);
        EXPECT_EQ(blocks, c.blocks);
        EXPECT_EQ(FreeSpaceRefuses(96, blocks, c.freeMB) != 0, c.refused);
    }
}

TEST(AnalyseRates, WorkedExamples)
{
    std::vector<uint32_t> stall = Steady(214, 20);
    stall[100] = 2000;  // block 101
    std::vector<uint32_t> stall32 = Steady(214, 32);
    stall32[100] = 2032;  // the throttled drive's stall on top of its block time
    std::vector<uint32_t> alternating(214);
    for (size_t i = 0; i < alternating.size(); i++)
        alternating[i] = i % 2 ? 55 : 0;  // odd blocks (entries 0, 2, ...) 0 ms
    struct Case {
        const char *what;
        std::vector<uint32_t> write, read;
        uint32_t writeRate, readRate, shortest;
    } cases[] = {
        {"steady 20 ms writes, 10 ms reads", Steady(214, 20), Steady(214, 10), 4800, 9600, 10},
        {"a 2-second stall at block 101", stall, Steady(214, 10), 1632, 9600, 10},
        {"32-ms blocks, 2 s more at block 101", stall32, Steady(214, 16), 1536, 6000, 16},
        {"0 and 55 ms in turn: the 0-ms blocks are ignored", alternating, Steady(214, 10), 1745, 9600, 10},
        {"a single block", {20}, {10}, 4800, 9600, 2},
        {"every write 0 ms", Steady(214, 0), Steady(214, 10), 1, 9600, 10},
        // A timer ticking every 16 ms: pairs of 0 and 16 ms are 6000 kB/s.
        {"0 and 16 ms in turn", [] { std::vector<uint32_t> v(214); for (size_t i = 0; i < v.size(); i++) v[i] = i % 2 ? 16 : 0; return v; }(),
         Steady(214, 16), 6000, 6000, 16},
        // Entry 0 stays out of the averages: the read average is block 2's 30 ms,
        // so only that block is in the band.
        {"two blocks: no stretch to judge", {20, 20}, {10, 30}, 4800, 3200, 20},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Trace run(c.write, c.read);
        run.Analyse();
        EXPECT_EQ(run.result.writeRate, c.writeRate);
        EXPECT_EQ(run.result.readRate, c.readRate);
        EXPECT_EQ(run.result.shortestBlockMs, c.shortest);
        // The samples now hold each block's own time, and the spare entry is untouched.
        for (size_t i = 0; i < c.write.size(); i++) {
            ASSERT_EQ(run.samples[i].writeMs, c.write[i]) << i;
            ASSERT_EQ(run.samples[i].readMs, c.read[i]) << i;
        }
        EXPECT_EQ(run.samples.back().writeMs, 0xBEEFu);
    }
}

TEST(AnalyseRates, TheWorstStretchCapsAnOtherwiseFastRun)
{
    // 1000 blocks of 10 ms with 500 ms stalls every 100 blocks: the band average
    // sees 9600 kB/s, the stretch from the first stall over the rest does not.
    std::vector<uint32_t> write = Steady(1000, 10);
    for (size_t i = 99; i < write.size(); i += 100)
        write[i] = 500;
    Trace run(write, Steady(1000, 10));
    run.Analyse();
    EXPECT_EQ(run.result.readRate, 9600u);
    EXPECT_LT(run.result.writeRate, 9600u);
    // The worst stretch starts just before the first stall and runs to the end:
    // 901 blocks in 13910 ms, judged as 934 blocks, are 67 blocks per second.
    EXPECT_EQ(run.result.writeRate, 67u * 96);
}

TEST(AnalyseRates, ZeroBlocksChangeNothing)
{
    Trace run({}, {});
    run.result.writeRate = 123;
    run.result.readRate = 456;
    run.Analyse();
    EXPECT_EQ(run.result.writeRate, 123u);
    EXPECT_EQ(run.result.readRate, 456u);
    EXPECT_EQ(run.result.shortestBlockMs, 4u);
    EXPECT_EQ(run.samples[0].writeMs, 0xBEEFu);
}

}  // namespace
