/* The memory bandwidth test. */
#ifndef STRAVO_MEMORY_BANDWIDTH_H
#define STRAVO_MEMORY_BANDWIDTH_H

#include <windows.h>

#include <stdint.h>

/* kB/s of the last memory test; 0 when it had no destination block. */
extern uint32_t MeasuredMemoryRate;

/* kB/s to and from memory that the evaluation combines with the disk rates. */
extern uint32_t ToMemoryRate;
extern uint32_t FromMemoryRate;

/* 1 when the test ran, 0 when its source block was not available (it is tried
   again next time). Sets ToMemoryRate, FromMemoryRate and MemoryTestDone. */
int RunMemoryTest();

/* kB/s of four timed copy runs from source; 0 without a destination block. */
uint32_t MeasureMemoryRate(const void *source);

#endif
