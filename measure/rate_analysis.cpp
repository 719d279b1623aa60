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

TestLength PlanTestLength(uint32_t requestedMB, uint32_t freeMB, uint32_t blockKB)
{
    TestLength length = {0, 0, 0};
    if (requestedMB != TEST_SIZE_AUTOMATIC) {
        length.minBlocks = length.maxBlocks = BlockCountForSize(TestSizeMB(requestedMB, freeMB), blockKB);
        return length;
    }
    /* Half the free space stays free: a capture drive is not to be filled by its test. */
    uint32_t roomMB = freeMB / 2;
    roomMB = roomMB < AUTO_MIN_MB ? (uint32_t)AUTO_MIN_MB : roomMB > AUTO_MAX_MB ? (uint32_t)AUTO_MAX_MB : roomMB;
    length.minBlocks = BlockCountForSize(AUTO_MIN_MB, blockKB);
    length.maxBlocks = BlockCountForSize(roomMB, blockKB);
    length.untilUs = AUTO_SECONDS * 1000000ull;
    return length;
}

int PassLengthReached(const TestLength *length, uint32_t done, uint64_t elapsedUs)
{
    return done >= length->maxBlocks ||
           (length->untilUs && done >= length->minBlocks && elapsedUs >= length->untilUs);
}

uint32_t PassShare(const TestLength *length, uint32_t done, uint64_t elapsedUs)
{
    uint64_t share = length->maxBlocks ? (uint64_t)done * 100 / length->maxBlocks : 100;
    if (length->untilUs && length->minBlocks) {
        /* Until both the least size and the time are reached, the slower of the two tells. */
        uint64_t bySize = (uint64_t)done * 100 / length->minBlocks, byTime = elapsedUs * 100 / length->untilUs;
        uint64_t both = bySize < byTime ? bySize : byTime;
        share = both > share ? both : share;
    }
    return share > 100 ? 100 : (uint32_t)share;
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

/* Running sums at every STRETCH_CHUNK-th block, for the largest test: a range of
   stretch ends whose longest time, judged with its fewest blocks, is no slower
   than the limit holds no end that could lower it, and is passed over whole. */
enum { STRETCH_CHUNK = 64, STRETCH_CHUNKS = MAX_TEST_BLOCKS / STRETCH_CHUNK + 2 };
static uint64_t ChunkSums[STRETCH_CHUNKS];

/* Range sizes tried at an end, largest first; each a multiple of the next. */
static const uint32_t kEndRanges[] = {STRETCH_CHUNK * 4096, STRETCH_CHUNK * 512, STRETCH_CHUNK * 64,
                                      STRETCH_CHUNK * 8, STRETCH_CHUNK};

/* The lowest rate, in blocks per second, of any stretch that begins at a stretch
   start and is judged with 33 blocks more than it holds; NO_STRETCH_LIMIT (65535)
   when none is slower, which caps nothing: timed to the microsecond, a disk of
   6.3 GB/s runs 65535 blocks a second and is not to be capped there. The
   cumulative times are running sums. A quota is compared with the limit by a
   product and divided out only where it is lower: a long test of a pausing disk
   has thousands of stretch starts, each tried against every end, and a 32-bit
   machine divides 64-bit numbers slowly. The ends are walked from the last down,
   as always; only ranges that cannot lower the limit are passed over, so the
   limit, its bound and so the next stretch starts come out as the full walk's. */
static uint32_t WorstStretch(const PassTimes &p, uint64_t total)
{
    const uint64_t perSecond = p.perSecond;
    const int chunked = p.n / STRETCH_CHUNK < STRETCH_CHUNKS;
    if (chunked) {
        uint64_t sum = 0;
        for (uint32_t k = 0; k < p.n; k++) {
            if (k % STRETCH_CHUNK == 0)
                ChunkSums[k / STRETCH_CHUNK] = sum;
            sum += TimeOf(p, k);
        }
    }
    uint64_t limit = NO_STRETCH_LIMIT, bound = 1, previous = 0;
    uint64_t atJ = TimeOf(p, 0), atAnchor = atJ;
    for (uint32_t j = 0, anchor = 0; j + 3 <= p.n; atJ += TimeOf(p, j + 1), j++) {
        uint64_t step = TimeOf(p, j + 1);
        if (step >= bound && previous <= bound && atJ - atAnchor <= (j - anchor) * bound) {
            anchor = j, atAnchor = atJ;
            uint64_t t = total - atJ; /* the k − j blocks after sample j */
            uint32_t k = p.n - 1;
            while (k > j) {
                /* Ends lo..k, lo on a chunk boundary, all after j: passed over when
                   even their longest time over their fewest blocks is not slower. */
                uint32_t lo = k + 1;
                for (uint32_t size : kEndRanges)
                    if (chunked && (k + 1) % size == 0 && k + 1 - size > j &&
                        (k + 1 - size - j + STRETCH_ALLOWANCE_BLOCKS) * perSecond >= limit * t) {
                        lo = k + 1 - size;
                        break;
                    }
                if (lo <= k) {
                    t = ChunkSums[lo / STRETCH_CHUNK] - atJ;
                    k = lo - 1;
                    continue;
                }
                const uint64_t blocks = k - j + STRETCH_ALLOWANCE_BLOCKS;
                if (blocks * perSecond < limit * t) {
                    limit = blocks * perSecond / t;
                    bound = t / blocks;
                }
                t -= TimeOf(p, k);
                k--;
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
