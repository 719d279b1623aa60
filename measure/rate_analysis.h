/* The test's sizing rules and the analysis that turns block times into sustained
   rates. Integer arithmetic with truncating division throughout, 64 bits wide
   where microseconds of a 2000 MB test need it; free of the system. */
#ifndef STRAVO_RATE_ANALYSIS_H
#define STRAVO_RATE_ANALYSIS_H

#include <stdint.h>

#include "drive_records.h"

enum { MIN_TEST_SIZE_MB = 10, STRETCH_ALLOWANCE_BLOCKS = 33, NO_STRETCH_LIMIT = 65535 };

/* The largest test a user may set, and its blocks of 96 kB: an SSD's fast cache
   can take tens of GB before its slower cells show. */
enum { MAX_TEST_SIZE_MB = 100000, MAX_TEST_BLOCKS = MAX_TEST_SIZE_MB * 1024 / BLOCK_SIZE_KB + 1 };

/* A test of automatic length runs past the drive's own cache: at least 20 MB and
   10 seconds, at most 2000 MB and half the free space. */
enum { TEST_SIZE_AUTOMATIC = 0, AUTO_MIN_MB = 20, AUTO_MAX_MB = 2000, AUTO_SECONDS = 10 };

/* How long a write pass runs: to maxBlocks, or, with untilUs set, from minBlocks
   on until its blocks took untilUs. */
struct TestLength {
    uint32_t minBlocks, maxBlocks;
    uint64_t untilUs;
};

/* The length of a test of requestedMB (TEST_SIZE_AUTOMATIC: automatic) of blocks
   of blockKB with freeMB free. */
TestLength PlanTestLength(uint32_t requestedMB, uint32_t freeMB, uint32_t blockKB);

/* 1 when a pass of that length ends after `done` blocks that took elapsedUs. */
int PassLengthReached(const TestLength *length, uint32_t done, uint64_t elapsedUs);

/* How far the pass is, 0..100: it rises with each block and with time, and is 100
   exactly when the pass has reached its length. */
uint32_t PassShare(const TestLength *length, uint32_t done, uint64_t elapsedUs);

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

/* Rates and the shortest block from the per-block times of result->blockCount
   samples. Does nothing on zero blocks: there is nothing to rate. */
void AnalyseRates(TestResult *result, const BlockSample *samples);

#endif
