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

uint32_t CounterSpanMs(uint64_t counts, uint64_t frequency)
{
    if (!frequency)
        return 0;
    /* Whole seconds and the rest apart: counts × 1000 could pass 2^64 on a counter
       of several GHz after some months. */
    return (uint32_t)(counts / frequency * 1000 + counts % frequency * 1000 / frequency);
}

static uint32_t WriteMs(const BlockSample &sample) { return sample.writeMs; }
static uint32_t ReadMs(const BlockSample &sample) { return sample.readMs; }

/* The lowest rate, in blocks per second, of any stretch that begins at a stretch
   start and is judged with 33 blocks more than it holds; 65535 caps nothing. */
static uint32_t WorstStretch(const BlockSample *s, uint32_t n, uint32_t (*ms)(const BlockSample &))
{
    uint32_t limit = 65535, bound = 1, anchor = 0, previous = 0;
    if (n < 3)  /* no sample has a block after it to judge */
        return limit;
    for (uint32_t j = 0; j <= n - 3; j++) {
        uint32_t step = ms(s[j + 1]) - ms(s[j]);
        if (step >= bound && previous <= bound && ms(s[j]) - ms(s[anchor]) <= (j - anchor) * bound) {
            anchor = j;
            for (uint32_t k = n - 1; k > j; k--) {
                uint32_t t = ms(s[k]) - ms(s[j]);
                if (!t)
                    continue;
                uint32_t q = (k - j + STRETCH_ALLOWANCE_BLOCKS) * 1000 / t;
                if (q < limit) {
                    limit = q;
                    bound = t / (k - j + STRETCH_ALLOWANCE_BLOCKS);
                }
            }
        }
        previous = step;
    }
    return limit;
}

struct BandSum {
    uint32_t sum, count;
};

/* Blocks strictly inside 0.7 to 1.4 times the average. */
static BandSum Band(const BlockSample *s, uint32_t n, uint32_t average, uint32_t (*ms)(const BlockSample &))
{
    BandSum band = {0, 0};
    for (uint32_t k = n; k-- > 0;) {
        uint32_t x = ms(s[k]);
        if (7 * average < 10 * x && 10 * x < 14 * average) {
            band.sum += x;
            band.count++;
        }
    }
    return band;
}

void AnalyseRates(TestResult *r, BlockSample *s)
{
    const uint32_t b = r->blockSizeKB, n = r->blockCount;
    if (!n || !s)
        return;
    uint32_t threshold = b * 1000 / 20480;
    if (threshold < 1)
        threshold = 1;

    uint32_t averageRead = 0, averageWrite = 0;
    uint32_t totalRead = s[n - 1].readMs, totalWrite = s[n - 1].writeMs;
    if (!totalRead) {
        r->readRate = 1;
    } else {
        r->readRate = b * n * 1000 / totalRead;
        averageRead = totalRead / n;
    }
    if (!totalWrite) {
        r->writeRate = 1;
    } else {
        r->writeRate = b * n * 1000 / totalWrite;
        averageWrite = totalWrite / n;
    }

    uint32_t writeLimit = WorstStretch(s, n, WriteMs) * b;
    uint32_t readLimit = WorstStretch(s, n, ReadMs) * b;

    /* Blocks at or under the threshold were too short for the timer: ignored. */
    uint32_t writeSum = 0, writeCount = 0, readSum = 0, readCount = 0, shortest = 65535;
    for (uint32_t k = n - 1; k >= 1; k--) {
        s[k].writeMs -= s[k - 1].writeMs;
        s[k].readMs -= s[k - 1].readMs;
        if (s[k].writeMs > threshold) {
            writeSum += s[k].writeMs;
            writeCount++;
            if (s[k].writeMs < shortest)
                shortest = s[k].writeMs;
        }
        if (s[k].readMs > threshold) {
            readSum += s[k].readMs;
            readCount++;
            if (s[k].readMs < shortest)
                shortest = s[k].readMs;
        }
    }
    if (writeCount)
        averageWrite = writeSum / writeCount;
    if (readCount)
        averageRead = readSum / readCount;
    r->shortestBlockMs = shortest != 65535 ? shortest : b * 1000 / 40960;

    BandSum writes = Band(s, n, averageWrite, WriteMs);
    if (writes.count)
        r->writeRate = b * writes.count * 1000 / writes.sum;
    BandSum reads = Band(s, n, averageRead, ReadMs);
    if (reads.count)
        r->readRate = b * reads.count * 1000 / reads.sum;

    if (r->writeRate > writeLimit)
        r->writeRate = writeLimit;
    if (r->readRate > readLimit)
        r->readRate = readLimit;
}
