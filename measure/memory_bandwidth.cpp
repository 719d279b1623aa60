/* The memory bandwidth test, run once per program run. */
#include "memory_bandwidth.h"

#include "memory_rules.h"
#include "../core/app_state.h"

uint32_t MeasuredMemoryRate;
uint32_t ToMemoryRate = 60000;
uint32_t FromMemoryRate = 60000;

/* Each run timed by the performance counter, as the disk passes are: 16 MB take a
   current machine a millisecond or two, far less than one step of the tick counter,
   which serves only a machine without a counter. */
uint32_t MeasureMemoryRate(const void *source)
{
    void *destination = (void *)GlobalAlloc(GMEM_FIXED, MEMORY_DESTINATION_SIZE);
    if (!destination)
        return 0;
    uint32_t rates[MEMORY_RUNS];
    LARGE_INTEGER frequency, before, after;
    const int counter = QueryPerformanceFrequency(&frequency) && frequency.QuadPart > 0;
    ShowCursor(FALSE);
    for (int run = 0; run < MEMORY_RUNS; run++) {
        if (counter) {
            QueryPerformanceCounter(&before);
            MemoryCopyKernel(source, destination);
            QueryPerformanceCounter(&after);
            rates[run] = MemoryRunRateFromCounts((uint64_t)(after.QuadPart - before.QuadPart),
                                                 (uint64_t)frequency.QuadPart);
        } else {
            DWORD ticks = GetTickCount();
            MemoryCopyKernel(source, destination);
            rates[run] = MemoryRunRate(ticks, GetTickCount());
        }
    }
    ShowCursor(TRUE);
    GlobalFree((HGLOBAL)destination);
    return AverageMemoryRate(rates);
}

int RunMemoryTest()
{
    void *source = (void *)GlobalAlloc(GMEM_FIXED, MEMORY_SOURCE_SIZE);
    if (!source) {
        ToMemoryRate = MEMORY_RATE_WITHOUT_TEST;
        return 0;
    }
    MeasuredMemoryRate = MeasureMemoryRate(source);
    ToMemoryRate = EvaluatedMemoryRate(MeasuredMemoryRate);
    GlobalFree((HGLOBAL)source);
    FromMemoryRate = ToMemoryRate;
    MemoryTestDone = 1;
    return 1;
}
