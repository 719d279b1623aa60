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
    return blockKB * blockCount > freeMB * 1024;
}

uint64_t CounterSpanUs(uint64_t counts, uint64_t frequency)
{
    if (!frequency)
        return 0;
    /* Whole seconds and the rest apart: counts × 1000000 could pass 2^64 on a
       counter of several GHz within days. */
    return counts / frequency * 1000000 + counts % frequency * 1000000 / frequency;
}

uint32_t AnalysisWorkBytes(uint32_t blockCount)
{
    return blockCount * (uint32_t)(sizeof(uint64_t) + 2 * sizeof(uint32_t));
}


/* Blocks per second of the k − j blocks after sample j, with the allowance. */
static uint64_t Quota(const StretchSums &p, uint32_t j, uint32_t k)
{
    return (k - j + STRETCH_ALLOWANCE_BLOCKS) * p.perSecond / (p.sums[k] - p.sums[j]);
}

/* Point m lies strictly above the line from point a to point c. */
static int Above(const StretchSums &p, uint32_t a, uint32_t m, uint32_t c)
{
    return (p.sums[m] - p.sums[a]) * (c - m) > (p.sums[c] - p.sums[m]) * (m - a);
}

/* The stretch after sample j to point b is slower, allowance counted, than the
   one to point a. Products stay under 2^64 for 21334 blocks of 71 minutes. */
static int Slower(const StretchSums &p, uint32_t j, uint32_t b, uint32_t a)
{
    return (p.sums[b] - p.sums[j]) * (a - j + STRETCH_ALLOWANCE_BLOCKS) >
           (p.sums[a] - p.sums[j]) * (b - j + STRETCH_ALLOWANCE_BLOCKS);
}

/* For every sample j, the end k after it whose stretch is slowest with the
   allowance: the k that maximises (sums[k] − sums[j]) / (k − j + 33), the
   steepest line from the point (j − 33, sums[j]) to a point (k, sums[k]). That
   point lies on the upper hull of the points after j, built here from the end
   backwards, where the steepness rises and then falls: a binary search finds it.
   Trying every end for every start took minutes on a long test whose fine
   times make most samples stretch starts. best[j] is 0 when no block after j
   took any time. */
static void FindSlowestEnds(const StretchSums &p, uint32_t *best, uint32_t *hull)
{
    uint32_t size = 0; /* hull[size − 1] is the leftmost point */
    for (uint32_t j = p.n - 1; j-- > 0;) {
        while (size >= 2 && !Above(p, j + 1, hull[size - 1], hull[size - 2]))
            size--;
        hull[size++] = j + 1;
        uint32_t low = 0, high = size - 1; /* places from the left */
        while (low < high) {
            uint32_t middle = (low + high) / 2;
            if (Slower(p, j, hull[size - 2 - middle], hull[size - 1 - middle]))
                low = middle + 1;
            else
                high = middle;
        }
        uint32_t k = hull[size - 1 - low];
        best[j] = p.sums[k] > p.sums[j] ? k : 0;
    }
}

/* The walk and its stretch starts are the classic ones; only the slowest end of
   each start is looked up instead of searched. */
uint32_t WorstStretch(const StretchSums &p, uint32_t *best, uint32_t *hull)
{
    uint64_t limit = 65535, bound = 1, previous = 0;
    uint32_t anchor = 0;
    if (p.n < 3) /* no sample has a block after it to judge */
        return (uint32_t)limit;
    FindSlowestEnds(p, best, hull);
    for (uint32_t j = 0; j + 3 <= p.n; j++) {
        uint64_t step = p.sums[j + 1] - p.sums[j];
        if (step >= bound && previous <= bound && p.sums[j] - p.sums[anchor] <= (j - anchor) * bound) {
            anchor = j;
            uint64_t q = best[j] ? Quota(p, j, best[j]) : limit;
            if (q < limit) {
                /* Of the ends with this quota the walk from the end kept the last
                   one it met: the bound comes from that one. */
                uint32_t k = p.n - 1;
                while (p.sums[k] == p.sums[j] || Quota(p, j, k) != q)
                    k--;
                limit = q;
                bound = (p.sums[k] - p.sums[j]) / (k - j + STRETCH_ALLOWANCE_BLOCKS);
            }
        }
        previous = step;
    }
    return (uint32_t)limit;
}

static uint32_t Saturate(uint64_t value)
{
    return value > 0xFFFFFFFFu ? 0xFFFFFFFFu : (uint32_t)value;
}

/* What the analysis needs besides the samples. */
struct Analysis {
    uint32_t blockKB, n, unitUs, threshold, shortest;
    uint64_t *sums;
    uint32_t *best, *hull;
};

static uint32_t TimeOf(const Analysis &a, const BlockSample *s, uint32_t k, int write)
{
    return (write ? s[k].writeUs : s[k].readUs) / a.unitUs;
}

/* One pass's rate: the blocks strictly inside 0.7 to 1.4 times the average of
   the timed ones, capped by the worst stretch. Its shortest timed block goes
   into a.shortest. */
static uint32_t PassRate(Analysis &a, const BlockSample *s, int write)
{
    const uint64_t perSecond = 1000000 / a.unitUs, b = a.blockKB;
    uint64_t total = 0;
    for (uint32_t k = 0; k < a.n; k++)
        a.sums[k] = total += TimeOf(a, s, k, write);
    uint64_t rate = 1, average = 0;
    if (total) {
        rate = b * a.n * perSecond / total;
        average = total / a.n;
    }

    /* Blocks at or under the threshold were too short for the clock: ignored.
       The first block takes no part, as it never has. */
    uint64_t sum = 0, count = 0;
    for (uint32_t k = a.n - 1; k >= 1; k--) {
        uint32_t x = TimeOf(a, s, k, write);
        if (x > a.threshold) {
            sum += x;
            count++;
            if (x < a.shortest)
                a.shortest = x;
        }
    }
    if (count)
        average = sum / count;

    sum = count = 0;
    for (uint32_t k = a.n; k-- > 0;) {
        uint64_t x = TimeOf(a, s, k, write);
        if (7 * average < 10 * x && 10 * x < 14 * average) {
            sum += x;
            count++;
        }
    }
    if (count)
        rate = b * count * perSecond / sum;

    StretchSums pass = {a.sums, a.n, perSecond};
    uint64_t limit = WorstStretch(pass, a.best, a.hull) * b;
    return Saturate(rate < limit ? rate : limit);
}

void AnalyseRates(TestResult *r, const BlockSample *s, void *work)
{
    if (!r->blockCount || !s || !work)
        return;
    Analysis a;
    a.blockKB = r->blockSizeKB, a.n = r->blockCount;
    /* The tick counter's times are whole milliseconds, and its analysis counts a
       block faster than 20480 kB/s as too short for the timer. The performance
       counter leaves unresolved only a block it could not time at all. */
    a.unitUs = r->timedByTicks ? 1000 : 1;
    a.threshold = 0;
    if (r->timedByTicks) {
        a.threshold = a.blockKB * 1000 / 20480;
        if (a.threshold < 1)
            a.threshold = 1;
    }
    a.shortest = 0xFFFFFFFFu;
    a.sums = (uint64_t *)work;
    a.best = (uint32_t *)(a.sums + a.n);
    a.hull = a.best + a.n;
    r->writeRate = PassRate(a, s, 1);
    r->readRate = PassRate(a, s, 0);
    r->shortestBlockUs = a.shortest != 0xFFFFFFFFu ? a.shortest * a.unitUs : a.blockKB * 1000 / 40960 * 1000;
}
