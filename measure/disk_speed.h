/* The disk speed test of one drive: two timed, unbuffered passes over a test file
   in the drive's root, and the clean-up at the end. */
#ifndef STRAVO_DISK_SPEED_H
#define STRAVO_DISK_SPEED_H

#include <windows.h>

#include <stdint.h>

#include "drive_records.h"
#include "rate_analysis.h"

/* Unbuffered transfers need buffers aligned to the sector size; 4096 covers the
   sector sizes there are. */
enum { BLOCK_ALIGNMENT = 4096 };

/* The file and clock calls of the passes. The program uses the system's own; the
   tests put recording or failing wrappers around them. */
struct DiskCalls {
    BOOL(WINAPI *writeFile)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);
    BOOL(WINAPI *readFile)(HANDLE, LPVOID, DWORD, LPDWORD, LPOVERLAPPED);
    DWORD(WINAPI *getTickCount)(void);
    BOOL(WINAPI *queryCounter)(LARGE_INTEGER *);
    BOOL(WINAPI *queryFrequency)(LARGE_INTEGER *);
};
extern const DiskCalls SystemDiskCalls;
extern const DiskCalls *PassCalls;

/* Fixed global memory; on failure "No free system memory" and 0. */
void *AllocTestBuffer(HWND owner, uint32_t bytes);

/* The test file opened unbuffered, for writing (created anew) or reading; on
   failure "Could not open file" and INVALID_HANDLE_VALUE. */
HANDLE OpenTestFile(HWND owner, const char *path, int forWriting);

/* The timed passes: blockCount blocks of blockKB, each block's own time into
   samples; blockCount becomes the count of completed blocks. 1 or 0. A write
   pass of a given length writes at most blockCount blocks, and fewer where the
   length is reached earlier. */
int WritePass(HWND owner, uint32_t blockKB, uint32_t *blockCount, const char *path, BlockSample *samples,
              const TestLength *length = 0);
int ReadPass(HWND owner, uint32_t blockKB, uint32_t *blockCount, const char *path, BlockSample *samples);

/* 1 when the test of the slot succeeded (rates and samples fresh, tested set). */
int RunDiskTest(HWND dialog, int slot);

/* Saves each tested drive's rates, deletes the test files, frees the samples. */
void DeleteTestFiles(HWND dialog);

#endif
