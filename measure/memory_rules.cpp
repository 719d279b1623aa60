/* The memory test's copy and rate arithmetic, and the dialog's field rules. */
#include "memory_rules.h"

#include "rate_analysis.h"

#include "../core/language.h"

void MemoryCopyKernel(const void *source, void *destination)
{
    /* Volatile so that every word is really read and written, in this order: the
       test times the copy, and a compiler that sees the same 512 bytes written 128
       times over would otherwise keep only the last pass, or use wider moves. */
    const volatile uint32_t *from = (const volatile uint32_t *)source;
    volatile uint32_t *to = (volatile uint32_t *)destination;
    const int words = MEMORY_COPY_CHUNK / 4;
    for (int repeat = 0; repeat < MEMORY_COPY_REPEATS; repeat++) {
        for (int offset = 0; offset < MEMORY_DESTINATION_SIZE / 4; offset += words) {
            volatile uint32_t *slot = to + offset;
            for (int i = 0; i < words; i++)
                slot[i] = from[i];
        }
    }
}

uint32_t MemoryRunRate(uint32_t ticksBefore, uint32_t ticksAfter)
{
    /* The unsigned difference stays right across a wrap of the counter. A run
       shorter than one tick moved 16 MB faster than the counter can tell; its true
       rate is above anything the limit lets through, so it counts as the limit
       rather than as 0, which would pull a fast machine's average down by a
       quarter per such run. */
    uint32_t elapsed = ticksAfter - ticksBefore;
    if (elapsed == 0)
        return MEMORY_RATE_LIMIT;
    return MEMORY_KB_PER_RUN * 1000u / elapsed;
}

uint32_t MemoryRunRateFromCounts(uint64_t counts, uint64_t frequency)
{
    if (!counts)
        return 0xFFFFFFFFu;
    uint64_t rate = (uint64_t)MEMORY_KB_PER_RUN * frequency / counts;
    return rate > 0xFFFFFFFFu ? 0xFFFFFFFFu : (uint32_t)rate;
}

uint32_t AverageMemoryRate(const uint32_t rates[MEMORY_RUNS])
{
    uint64_t sum = 0;
    for (int i = 0; i < MEMORY_RUNS; i++)
        sum += rates[i];
    return (uint32_t)(sum / MEMORY_RUNS);
}

/* The boards were rated against memory of their time: a faster memory does not
   make the bus between board and memory faster, so the evaluation's limit stays
   where it always was, whatever the machine shows. */
uint32_t EvaluatedMemoryRate(uint32_t measured)
{
    if (!measured)
        return MEMORY_RATE_WITHOUT_TEST;
    return measured > MEMORY_RATE_LIMIT ? MEMORY_RATE_LIMIT : measured;
}

uint32_t ClampTestFileSizeMB(uint32_t requested)
{
    if (requested >= MAX_TEST_SIZE_MB)
        return MAX_TEST_SIZE_MB;
    return requested <= MIN_TEST_SIZE_MB ? (uint32_t)MIN_TEST_SIZE_MB : requested;
}

uint32_t TestFileSizeFromText(const char *text)
{
    const char *p = text;
    while (*p == ' ')
        p++;
    uint32_t value = 0;
    int digits = 0;
    for (; *p >= '0' && *p <= '9'; p++, digits++)
        if (value <= MAX_TEST_SIZE_MB)  /* past the limit already: no need to count further */
            value = value * 10 + (uint32_t)(*p - '0');
    while (*p == ' ')
        p++;
    /* The field shows the automatic length in words; a text without a number,
       the words or an emptied field, leaves it automatic. */
    if (!digits || *p)
        return TEST_SIZE_AUTOMATIC;
    return ClampTestFileSizeMB(value);
}

int LanguageKeyForCode(const char *code)
{
    if (EqualIgnoringCase(code, "GER"))
        return 1;
    return EqualIgnoringCase(code, "FRE") ? 2 : 0;
}

const char *CodeForLanguageKey(int key)
{
    return key == 1 ? "GER" : key == 2 ? "FRE" : "ENG";
}

int OffsetForLanguageKey(int key)
{
    return key == 1 ? 500 : key == 2 ? 600 : 0;
}
