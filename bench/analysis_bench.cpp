// How long the rate analysis takes on the largest test (2000 MB, 21334 blocks)
// for the traces a coarse timer produces. Prints one line per trace.
#include <stdio.h>

#include <chrono>
#include <random>
#include <vector>

#include "../measure/rate_analysis.h"

namespace {

std::vector<uint32_t> Trace(const char *kind, size_t n)
{
    std::vector<uint32_t> ms(n);
    std::mt19937 random(1234);
    for (size_t i = 0; i < n; i++) {
        if (kind[0] == 'a')       // alternating 0 and 16 ms: a 16-ms tick, 8-ms blocks
            ms[i] = i % 2 ? 16 : 0;
        else if (kind[0] == 'r')  // sparse ticks: most blocks 0 ms, now and then a step
            ms[i] = random() % 7 == 0 ? 16 * (1 + random() % 3) : 0;
        else                      // steady 20 ms
            ms[i] = 20;
    }
    return ms;
}

}  // namespace

int main()
{
    const size_t n = 21334;
    const int rounds = 20;
    for (const char *kind : {"alternating 0/16 ms", "random sparse ticks", "steady 20 ms"}) {
        std::vector<uint32_t> ms = Trace(kind, n);
        double best = 1e9;
        TestResult result = {};
        for (int round = 0; round < rounds; round++) {
            std::vector<BlockSample> samples(n + 1);
            uint32_t total = 0;
            for (size_t i = 0; i < n; i++) {
                total += ms[i];
                samples[i].writeMs = samples[i].readMs = total;
            }
            result = TestResult();
            result.blockSizeKB = 96;
            result.blockCount = (uint32_t)n;
            auto start = std::chrono::steady_clock::now();
            AnalyseRates(&result, samples.data());
            double took = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            if (took < best)
                best = took;
        }
        printf("analysis of %zu blocks, %-20s %8.2f ms (best of %d)   write %u kB/s\n", n, kind, best,
               rounds, result.writeRate);
    }
    return 0;
}
