// The measurement's arithmetic: the rate analysis and its clock, the test's sizing,
// the memory rates and the system information dialog's rules (the drive list's have
// their rows in the runner's drive list).
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

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
    std::vector<uint32_t> w20(214, 20000), r10(214, 10000), stalled = w20, coarse(214), stalls = w20;
    stalled[100] = 2000000;
    // A 55 ms tick: odd blocks read 0 ms. Stalls of 0.1 to 2 s every 19 blocks: each one's
    // bound decides the next stretch start, and one stretch (58 blocks in 7 s) runs at
    // exactly the worst rate so far, which leaves that rate's bound as it was (the random
    // traces below come to that too rarely).
    for (size_t k = 0; k < 214; k++)
        coarse[k] = k % 2 ? 55000 : 0, stalls[k] = k % 19 == 1 ? (100 + k * 120 % 2000) * 1000 : 20000;
    // Four timed blocks among unresolved ones: a range of stretch ends that a walk judging
    // it with one block more than the allowance would pass over holds an end that lowers
    // the worst rate (the random traces come to that too rarely).
    std::vector<uint32_t> sparse(224);
    sparse[51] = 3000, sparse[77] = 17000, sparse[87] = 45000, sparse[128] = 48000;
    EXPECT_EQ(Analysed(w20, r10) + "|" + Analysed(stalled, r10) + "|" + Analysed(coarse, r10, 1) + "|" +
                  Analysed({20000}, {10000}) + "|" + Analysed(std::vector<uint32_t>(214, 0), r10, 1) + "|" +
                  Analysed(stalls, r10) + "|" + Analysed(sparse, std::vector<uint32_t>(224, 10000)),
              "4800 9600 10000|1632 9600 10000|1745 9600 10000|4800 9600 2000|1 9600 10000|1248 9600 10000|67968 9600 3000");
    EXPECT_EQ(std::to_string(CounterSpanUs(3579544, 3579545) + CounterSpanUs(42, 0) * 7 + CounterSpanUs(3e16, 3e9)),
              "10000000999999");
}

// Write rate, read rate and shortest block as Analysed gives them, worked out the plain
// way: every stretch start against every end, all sums in 64 bits. Times are in the
// clock's unit, P of them a second; a block of T or less is too short to count. Where
// no stretch is slower than 65535 blocks a second nothing is capped: a disk timed to the
// microsecond may well run more blocks than that.
static std::string Plain(const std::vector<uint32_t> &w, const std::vector<uint32_t> &r, int ticks)
{
    const int64_t B = 96, N = w.size(), P = ticks ? 1000 : 1000000, T = ticks ? std::max<int64_t>(1, B * 1000 / 20480) : 0;
    int64_t shortest = INT64_MAX;
    std::string out;
    for (auto *us : {&w, &r}) {
        // x: the block times; S[j]: the time of blocks 0 to j
        std::vector<int64_t> x(N), S(N);
        for (int64_t i = 0; i < N; i++)
            x[i] = (*us)[i] / (1000000 / P), S[i] = (i ? S[i - 1] : 0) + x[i];
        int64_t rate = S[N - 1] ? B * N * P / S[N - 1] : 1, a = S[N - 1] / N, L = 65535, g = 1, a0 = 0, p = 0, sum = 0, n = 0;
        for (int64_t j = 0; j <= N - 3; p = x[j + 1], j++)
            if (x[j + 1] >= g && p <= g && S[j] - S[a0] <= (j - a0) * g) {
                a0 = j;
                for (int64_t k = N - 1, t; k > j; k--)
                    if ((t = S[k] - S[j]) > 0 && (k - j + 33) * P / t < L)
                        L = (k - j + 33) * P / t, g = t / (k - j + 33);
            }
        // the timed blocks after the first, then the band around their average
        for (int64_t k = N - 1; k >= 1; k--)
            if (x[k] > T)
                sum += x[k], n++, shortest = std::min(shortest, x[k]);
        a = n ? sum / n : a, sum = n = 0;
        for (int64_t k = N - 1; k >= 0; k--)
            if (7 * a < 10 * x[k] && 10 * x[k] < 14 * a)
                sum += x[k], n++;
        rate = n ? B * n * P / sum : rate;
        out += Text("%lld ", (long long)std::min<int64_t>(L < 65535 && rate > L * B ? L * B : rate, 0xFFFFFFFF));
    }
    return out + Text("%lld", (long long)(shortest < INT64_MAX ? shortest * (1000000 / P) : B * 1000 / 40960 * 1000));
}

// Random traces under either clock (u: its unit in microseconds, T: its threshold),
// mostly up to 300 blocks and one in 32 up to 3000, each pass of a shape of its own
// about a base time b: 0 steady; 1 noisy; 2 pausing anywhere; 3 pausing in the first
// two and last two blocks; 4 ramping up; 5 ramping down; 6 a cache's fast start; 7 at
// the threshold, one unit over it or unresolved (the first block always over it, so
// that a pass with nothing else rates past 32 bits); 8 pairs of blocks at a distance d
// either side of 10 c, so that their average is 10 c and 0.7 and 1.4 times it fall
// on blocks. A failure names the seed and the trace cut down, by dropping blocks, to
// what still differs.
TEST(RateAnalysis, SameAsThePlainAnalysisOnRandomTraces)
{
    for (uint32_t seed = 1; seed <= 10000; seed++) {
        std::mt19937 rng(seed);
        const uint32_t ticks = rng() % 2, u = ticks ? 1000 : 1, T = ticks ? 4 : 0, n = rng() % 32 ? 1 + rng() % 300 : 1 + rng() % 3000;
        std::vector<uint32_t> w(n), r(n);
        for (auto *v : {&w, &r}) {
            const uint32_t shape = rng() % 9, b = rng() % 2 ? 1 + rng() % 60000 : 1 + rng() % (50 * u), c = u * (1 + rng() % 20);
            const uint32_t fast = rng() % n, slope = rng() % 5, mix = 1 + rng() % 4, levels[] = {0, T + 1, T, b / u};
            for (uint32_t k = 0, d = 0; k < n; k++) {
                const uint32_t jitter = rng() % (b / 20 + 1), pause = b * (1 + rng() % 300), part = rng() % u;
                (*v)[k] = shape == 0   ? b
                          : shape == 1 ? b / 2 + rng() % (b + 1)
                          : shape == 2 ? b + jitter + (rng() % 16 ? 0 : pause)
                          : shape == 3 ? b + jitter + (k < 2 || k + 2 >= n ? pause : 0)
                          : shape == 4 ? b + b * slope * k / n + jitter
                          : shape == 5 ? b + b * slope * (n - k) / n + jitter
                          : shape == 6 ? (k < fast ? b / 8 : b) + jitter
                          : shape == 7 ? levels[k ? rng() % mix : 1] * u + part
                          : k == 0     ? b
                          : k % 2      ? (k + 1 < n ? 10 * c - (d = c * (rng() % 6)) : 10 * c)
                                       : 10 * c + d;
            }
        }
        auto differs = [&] { return Analysed(w, r, ticks) != Plain(w, r, ticks); };
        if (!differs())
            continue;
        for (size_t chunk = n / 2; chunk; chunk /= 2)
            for (size_t at = 0; at + chunk <= w.size() && chunk < w.size();) {
                auto w0 = w, r0 = r;
                w.erase(w.begin() + at, w.begin() + at + chunk), r.erase(r.begin() + at, r.begin() + at + chunk);
                if (!differs())
                    w = w0, r = r0, at += chunk;
            }
        std::string trace;
        for (size_t k = 0; k < w.size(); k++)
            trace += Text(" %u/%u", w[k], r[k]);
        FAIL() << "seed " << seed << (ticks ? ", ticks" : "") << ": analysed " << Analysed(w, r, ticks) << ", plain "
               << Plain(w, r, ticks) << ", write/read us:" << trace;
    }
}

TEST(RateAnalysis, SizeOfTheTestFile)
{
    std::string out;
    const uint32_t rows[][2] = {{10, 11}, {20, 0}, {2000, 1999}, {20, 4194304}};
    for (auto r : rows) {
        uint32_t size = TestSizeMB(r[0], r[1]), blocks = BlockCountForSize(size, 96);
        out += Text("%u/%u/%d ", size, blocks, FreeSpaceRefuses(96, blocks, r[1]));
    }
    EXPECT_EQ(out, "10/107/0 10/107/1 1999/21323/1 20/214/0 ");
    // How far a pass of automatic length (the runner's passes prove its bounds) is: the slower of its least size and its time, or its size limit.
    out.clear();
    const TestLength automatic = PlanTestLength(0, 500, 96), fixed = {214, 214, 0};
    const uint32_t shares[][3] = {{107, 2000, 0}, {500, 5000, 0}, {213, 20000, 0}, {214, 10000, 0},
                                  {2000, 3000, 0}, {2667, 3000, 0}, {213, 99000, 1}, {214, 0, 1}};
    for (auto s : shares) {
        const TestLength *length = s[2] ? &fixed : &automatic;
        out += Text("%u/%d ", PassShare(length, s[0], s[1] * 1000ull), PassLengthReached(length, s[0], s[1] * 1000ull));
    }
    EXPECT_EQ(out, "20/0 50/0 99/0 100/1 74/0 100/1 99/0 100/1 ");
}

// Sizes in at most four digits, the unit growing by 1024 and with tenths below 100,
// a comma where the language writes one; byte counts whole up to 4096 TB.
TEST(DriveRules, SizesOfAnyDrive)
{
    std::string out;
    for (uint32_t mb : {9999u, 10000u, 102399u, 102400u, 10239999u, 10240000u, 0xFFFFFFFFu}) {
        char text[16];
        FormatDriveSize(text, sizeof text, mb, mb & 1);
        out += std::string(text) + " ";
    }
    EXPECT_EQ(out + Text("%u %u %u", BytesToMB(16000000000000ull), BytesToMB(1ull << 52), ClusterMB(1, 256, 4096)),
              "9999MB 9.7GB 99,9GB 100GB 9999GB 9.7TB 4095TB 15258789 4294967295 1");
}

TEST(MemoryRules, RatesCopyFileSizeAndLanguage)
{
    const uint32_t mixed[] = {81920, 65536, 81920, 65536}, fast[] = {163840, 163840, 163840, 163840};
    // The rate shown is the machine's own; the evaluation's limit stays at 132000.
    std::string out = Text("%u %u %u %u %u %u %u %u %u %u|",
                           MemoryRunRate(0xFFFFFF00u, 0x00000064u), MemoryRunRate(500, 500), AverageMemoryRate(mixed),
                           AverageMemoryRate(fast), MemoryRunRateFromCounts(20000, 10000000),
                           MemoryRunRateFromCounts(0, 10000000), MemoryRunRateFromCounts(1, 3000000000u),
                           EvaluatedMemoryRate(8192000), EvaluatedMemoryRate(73728), EvaluatedMemoryRate(0));
    for (const char *text : {"5", "100001", "99999999999", " 300 ", "", "12a", "automatisch"})
        out += Text("%u ", TestFileSizeFromText(text));
    for (const char *code : {"ger", "Fre", "DEU"}) {
        int key = LanguageKeyForCode(code);
        out += Text("|%d/%d/%s", key, OffsetForLanguageKey(key), CodeForLanguageKey(key));
    }
    EXPECT_EQ(out, "46022 132000 73728 163840 8192000 4294967295 4294967295 132000 73728 85000|"
                   "10 100000 100000 300 0 0 0 "
                   "|1/500/GER|2/600/FRE|0/0/ENG");
    std::vector<uint32_t> source(MEMORY_SOURCE_SIZE / 4), destination(MEMORY_DESTINATION_SIZE / 4);
    for (size_t i = 0; i < source.size(); i++)
        source[i] = (uint32_t)i * 2654435761u;
    MemoryCopyKernel(source.data(), destination.data());
    for (size_t slot = 0; slot < destination.size(); slot += MEMORY_COPY_CHUNK / 4)
        ASSERT_EQ(memcmp(&destination[slot], source.data(), MEMORY_COPY_CHUNK), 0) << "slot " << slot;
}
