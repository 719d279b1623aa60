/* The disk speed test of one drive, and the clean-up at the end. */
#ifndef STRAVO_DISK_TEST_H
#define STRAVO_DISK_TEST_H

#include <windows.h>

/* 1 when the test of the slot succeeded (rates and samples fresh, tested set). */
int RunDiskTest(HWND dialog, int slot);

/* Saves each tested drive's rates, deletes its test file, frees the samples. */
void DeleteTestFiles(HWND dialog);

#endif
