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

/* kB/s of one run from the tick readings around it. */
uint32_t MemoryRunRate(uint32_t ticksBefore, uint32_t ticksAfter);

/* The average of the four runs, truncated, at most MEMORY_RATE_LIMIT. */
uint32_t AverageMemoryRate(const uint32_t rates[MEMORY_RUNS]);

/* The test file size the dialog accepts: 10..2000 MB. */
uint32_t ClampTestFileSizeMB(uint32_t requested);

/* The test file size of the edit field's text: a number, blanks around it allowed,
   clamped; any other text reads as 0, so as 10 MB. */
uint32_t TestFileSizeFromText(const char *text);

/* Language list key of a stored language code: 1 "GER", 2 "FRE", else 0. */
int LanguageKeyForCode(const char *code);

/* "ENG", "GER" or "FRE" for a language list key. */
const char *CodeForLanguageKey(int key);

/* LanguageOffset of a language list key. */
int OffsetForLanguageKey(int key);

#endif
