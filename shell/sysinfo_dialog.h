/* The system information dialog. */
#ifndef STRAVO_SYSINFO_DIALOG_H
#define STRAVO_SYSINFO_DIALOG_H

#include <windows.h>

extern "C" INT_PTR CALLBACK SysInfoDlgProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
