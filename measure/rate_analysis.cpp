/* Sustained rates from block times. A plain average would reward a disk that is
   fast most of the time and stalls now and then, which is what drops frames in a
   capture; so only blocks near the typical time are averaged, and the result is
   capped by the worst stretch of the run. */
#include "rate_analysis.h"

uint32_t TestSizeMB(uint32_t requestedMB, uint32_t freeMB)
{
    uint32_t size = requestedMB < freeMB ? requestedMB : freeMB;
    return size <= MIN_TEST_SIZE_MB ? (uint32_t)MIN_TEST_SIZE_MB : size;
}

uint32_t BlockCountForSize(uint32_t sizeMB, uint32_t blockKB)
{
    return sizeMB * 1024 / blockKB + 1;
}

int FreeSpaceRefuses(uint32_t blockKB, uint32_t blockCount, uint32_t freeMB)
{
    /* In 64 bits: a drive of 4 TB free holds 2^32 kB, which 32 bits would wrap to 0. */
    return (uint64_t)blockKB * blockCount > (uint64_t)freeMB * 1024;
}

uint64_t CounterSpanUs(uint64_t counts, uint64_t frequency)
{
    if (!frequency)
        return 0;
    /* Whole seconds and the rest apart: counts × 1000000 could pass 2^64 on a
       counter of several GHz within days. */
    return counts / frequency * 1000000 + counts % frequency * 1000000 / frequency;
}

static uint32_t Saturate(uint64_t value)
{
    return value > 0xFFFFFFFFu ? 0xFFFFFFFFu : (uint32_t)value;
}

/* What the analysis of one pass reads. */
struct PassTimes {
    const BlockSample *s;
    uint32_t n, blockKB, threshold;
    int ticks, write;
    uint64_t perSecond; /* time units in a second */
};

/* A block's time in the analysis's unit: microseconds, or the tick counter's whole
   milliseconds. */
static uint32_t TimeOf(const PassTimes &p, uint32_t k)
{
    uint32_t us = p.write ? p.s[k].writeUs : p.s[k].readUs;
    return p.ticks ? us / 1000 : us;
}

/* The lowest rate, in blocks per second, of any stretch that begins at a stretch
   start and is judged with 33 blocks more than it holds; NO_STRETCH_LIMIT (65535)
   when none is slower, which caps nothing: timed to the microsecond, a disk of
   6.3 GB/s runs 65535 blocks a second and is not to be capped there. The
   cumulative times are running sums. A quota is compared with the limit by a
   product and divided out only where it is lower: a long test of a pausing disk
   has hundreds of stretch starts, each tried against every end, and a 32-bit
   machine divides 64-bit numbers slowly. */
static uint32_t WorstStretch(const PassTimes &p, uint64_t total)
{
    const uint64_t perSecond = p.perSecond;
    uint64_t limit = NO_STRETCH_LIMIT, bound = 1, previous = 0;
    uint64_t atJ = TimeOf(p, 0), atAnchor = atJ;
    for (uint32_t j = 0, anchor = 0; j + 3 <= p.n; atJ += TimeOf(p, j + 1), j++) {
        uint64_t step = TimeOf(p, j + 1);
        if (step >= bound && previous <= bound && atJ - atAnchor <= (j - anchor) * bound) {
            anchor = j, atAnchor = atJ;
            uint64_t t = total - atJ; /* the k − j blocks after sample j */
            for (uint32_t k = p.n - 1; k > j; t -= TimeOf(p, k), k--) {
                const uint64_t blocks = k - j + STRETCH_ALLOWANCE_BLOCKS;
                if (blocks * perSecond < limit * t) {
                    limit = blocks * perSecond / t;
                    bound = t / blocks;
                }
            }
        }
        previous = step;
    }
    return (uint32_t)limit;
}

/* One pass's rate: the blocks strictly inside 0.7 to 1.4 times the average of
   the timed ones, capped by the worst stretch. Its shortest timed block goes
   into *shortest. */
static uint32_t PassRate(const PassTimes &p, uint32_t *shortest)
{
    const uint64_t perSecond = p.perSecond, b = p.blockKB;
    uint64_t total = 0;
    for (uint32_t k = 0; k < p.n; k++)
        total += TimeOf(p, k);
    uint64_t rate = 1, average = 0;
    if (total) {
        rate = b * p.n * perSecond / total;
        average = total / p.n;
    }

    /* Blocks at or under the threshold were too short for the clock: ignored.
       The first block takes no part, as it never has. */
    uint64_t sum = 0, count = 0;
    for (uint32_t k = p.n - 1; k >= 1; k--) {
        uint32_t x = TimeOf(p, k);
        if (x > p.threshold) {
            sum += x;
            count++;
            if (x < *shortest)
                *shortest = x;
        }
    }
    if (count)
        average = sum / count;

    sum = count = 0;
    for (uint32_t k = p.n; k-- > 0;) {
        uint64_t x = TimeOf(p, k);
        if (7 * average < 10 * x && 10 * x < 14 * average) {
            sum += x;
            count++;
        }
    }
    if (count)
        rate = b * count * perSecond / sum;

    uint64_t limit = WorstStretch(p, total);
    if (limit < NO_STRETCH_LIMIT && rate > limit * b)
        rate = limit * b;
    return Saturate(rate);
}

void AnalyseRates(TestResult *r, const BlockSample *s)
{
    if (!r->blockCount || !s)
        return;
    /* The tick counter's times are whole milliseconds, and its analysis counts a
       block faster than 20480 kB/s as too short for the timer. The performance
       counter leaves unresolved only a block it could not time at all. */
    PassTimes p = {s, r->blockCount, r->blockSizeKB, 0, r->timedByTicks != 0, 1, 1000000};
    if (p.ticks) {
        p.perSecond = 1000;
        p.threshold = p.blockKB * 1000 / 20480;
        if (p.threshold < 1)
            p.threshold = 1;
    }
    uint32_t shortest = 0xFFFFFFFFu;
    r->writeRate = PassRate(p, &shortest);
    p.write = 0;
    r->readRate = PassRate(p, &shortest);
    const uint32_t unitUs = (uint32_t)(1000000 / p.perSecond);
    r->shortestBlockUs = shortest != 0xFFFFFFFFu ? shortest * unitUs : p.blockKB * 1000 / 40960 * 1000;
}
