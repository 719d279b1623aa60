/* The memory bandwidth test and the system information dialog. */
#ifndef STRAVO_MEMORY_TEST_H
#define STRAVO_MEMORY_TEST_H

#include <windows.h>

void RunMemoryTest(HWND dialog);

extern "C" INT_PTR CALLBACK SysInfoDlgProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
