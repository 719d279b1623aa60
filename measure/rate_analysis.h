/* The test's sizing rules and the analysis that turns block times into sustained
   rates. Integer arithmetic with truncating division throughout, 64 bits wide
   where microseconds of a 2000 MB test need it; free of the system. */
#ifndef STRAVO_RATE_ANALYSIS_H
#define STRAVO_RATE_ANALYSIS_H

#include <stdint.h>

#include "drive_records.h"

enum { MIN_TEST_SIZE_MB = 10, STRETCH_ALLOWANCE_BLOCKS = 33 };

/* The test file size: the smaller of the request and the free space, at least 10 MB. */
uint32_t TestSizeMB(uint32_t requestedMB, uint32_t freeMB);

/* Blocks of blockKB for a file of sizeMB: one more than fit, so the file is always
   a little larger than asked (20 MB: 214 blocks of 96 kB). */
uint32_t BlockCountForSize(uint32_t sizeMB, uint32_t blockKB);

/* 1 when that many blocks do not fit the free space seen at start-up. */
int FreeSpaceRefuses(uint32_t blockKB, uint32_t blockCount, uint32_t freeMB);

/* Whole microseconds of a span of `counts` at `frequency` counts per second,
   truncated; no intermediate overflows. */
uint64_t CounterSpanUs(uint64_t counts, uint64_t frequency);

/* The running sums of one pass's block times: sums[k] is the time of blocks 1 to
   k + 1, in units of which perSecond make a second. */
struct StretchSums {
    const uint64_t *sums;
    uint32_t n;
    uint64_t perSecond;
};

/* The lowest rate, in blocks per second, of any stretch that begins at a stretch
   start and is judged with 33 blocks more than it holds; 65535 caps nothing.
   best and hull have room for n entries each. */
uint32_t WorstStretch(const StretchSums &sums, uint32_t *best, uint32_t *hull);

/* Bytes of working memory the analysis of blockCount blocks needs. */
uint32_t AnalysisWorkBytes(uint32_t blockCount);

/* Rates and the shortest block from the per-block times of result->blockCount
   samples; work holds AnalysisWorkBytes, 8-byte aligned. Does nothing on zero
   blocks: there is nothing to rate. */
void AnalyseRates(TestResult *result, const BlockSample *samples, void *work);

#endif
