// How long the rate analysis takes on the automatic test's longest (2000 MB, 21334
// blocks) and on the largest a user may set (100000 MB, 1066667 blocks), on traces
// of drives timed to the microsecond with a 5 % jitter, steady and pausing, on the
// sparse steps a tick counter gives, and on the slowest trace found: short stalls
// every 139 blocks of an even 100 µs. Prints one line per trace and length.
#include <stdio.h>

#include <chrono>
#include <vector>

#include "../measure/rate_analysis.h"

struct Trace {
    const char *name;
    double kbs, pauseUs;
    int pauseEvery, ticks;
    double low = 0.95, spread = 0.1; /* each block's time: low to low + spread times the set one */
};

static void Fill(const Trace &t, std::vector<BlockSample> &samples, uint32_t blocks)
{
    uint32_t seed = 1234;
    double start = 0, end = 0;
    for (uint32_t k = 0; k < blocks; k++, start = end) {
        seed = seed * 1103515245 + 12345;
        if (t.ticks) {  // most blocks inside one 16 ms step, now and then one to three steps
            samples[k].writeUs = samples[k].readUs = (seed >> 16) % 7 ? 0 : 16000 * (1 + (seed >> 8) % 3);
            continue;
        }
        end = start + 96e6 / t.kbs * (t.low + t.spread * ((seed >> 16) % 1001) / 1000);
        if (t.pauseEvery && k % t.pauseEvery == (uint32_t)t.pauseEvery - 1)
            end += t.pauseUs;
        samples[k].writeUs = samples[k].readUs = (uint32_t)((uint64_t)end - (uint64_t)start);
    }
}

int main()
{
    const Trace traces[] = {
        {"steady 150 MB/s", 153600, 0, 0, 0},
        {"150 MB/s, 20 ms every 8 MB", 153600, 20000, 85, 0},
        {"1 GB/s, 20 ms every 8 MB", 1048576, 20000, 85, 0},
        {"1 GB/s, 20 ms every 3.3 MB", 1048576, 20000, 35, 0},
        {"1.5 MB/s, 2 s every 100 MB", 1536, 2000000, 1067, 0},
        {"tick counter, sparse 16 ms steps", 0, 0, 0, 1},
        {"slowest found: steady, 0.1 ms more every 139", 960000, 100, 139, 0, 1, 0},
    };
    for (uint32_t blocks : {21334u, (uint32_t)MAX_TEST_BLOCKS})
    for (const Trace &t : traces) {
        std::vector<BlockSample> samples(blocks + 1);
        Fill(t, samples, blocks);
        double best = 1e9;
        TestResult result = {};
        const int rounds = blocks > 100000 ? 3 : 20;
        for (int round = 0; round < rounds; round++) {
            result = TestResult();
            result.blockSizeKB = 96, result.blockCount = blocks, result.timedByTicks = t.ticks;
            auto start = std::chrono::steady_clock::now();
            AnalyseRates(&result, samples.data());
            double took = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            if (took < best)
                best = took;
        }
        printf("analysis of %7u blocks, %-40s %8.2f ms (best of %d)   write %u kB/s\n", blocks, t.name, best, rounds,
               result.writeRate);
    }
    return 0;
}
