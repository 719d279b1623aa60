/* The memory test's workload and arithmetic, and the rules of the system
   information dialog's fields. Free of the system. */
#ifndef STRAVO_MEMORY_RULES_H
#define STRAVO_MEMORY_RULES_H

#include <stdint.h>

enum {
    MEMORY_SOURCE_SIZE = 65536,
    MEMORY_DESTINATION_SIZE = 131072,
    MEMORY_COPY_CHUNK = 512,
    MEMORY_COPY_REPEATS = 128,
    MEMORY_RUNS = 4,
};

const uint32_t MEMORY_KB_PER_RUN = 16384;
const uint32_t MEMORY_RATE_LIMIT = 132000;       /* kB/s */
const uint32_t MEMORY_RATE_WITHOUT_TEST = 85000; /* kB/s */

/* 128 times over: the source's first 512 bytes copied to every 512-byte slot of
   the 128 KiB destination, start to end, forward in 32-bit units. */
void MemoryCopyKernel(const void *source, void *destination);

/* kB/s of one run from the tick readings around it, for a machine without a
   performance counter: a run shorter than a tick counts as the limit. */
uint32_t MemoryRunRate(uint32_t ticksBefore, uint32_t ticksAfter);

/* kB/s of one run that took `counts` of a counter of `frequency` counts a second;
   0xFFFFFFFF where the counter saw no time pass. */
uint32_t MemoryRunRateFromCounts(uint64_t counts, uint64_t frequency);

/* The average of the four runs, truncated: the machine's own rate, as shown. */
uint32_t AverageMemoryRate(const uint32_t rates[MEMORY_RUNS]);

/* The memory rate the evaluation combines with the disk rates: the measured rate
   up to MEMORY_RATE_LIMIT, or MEMORY_RATE_WITHOUT_TEST when there is none. */
uint32_t EvaluatedMemoryRate(uint32_t measured);

/* The test file size the dialog accepts: 10..100000 MB. */
uint32_t ClampTestFileSizeMB(uint32_t requested);

/* The test file size of the edit field's text: a number, blanks around it allowed,
   clamped; any other text is TEST_SIZE_AUTOMATIC. */
uint32_t TestFileSizeFromText(const char *text);

/* Language list key of a stored language code: 1 "GER", 2 "FRE", else 0. */
int LanguageKeyForCode(const char *code);

/* "ENG", "GER" or "FRE" for a language list key. */
const char *CodeForLanguageKey(int key);

/* LanguageOffset of a language list key. */
int OffsetForLanguageKey(int key);

#endif
