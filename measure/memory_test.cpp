/* The memory bandwidth test and the system information dialog. Not built yet: the
   test measures nothing (the default memory limits stay) and the dialog only
   closes. */
#include "memory_test.h"

void RunMemoryTest(HWND)
{
}

extern "C" INT_PTR CALLBACK SysInfoDlgProc(HWND window, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(window, 1);
        return TRUE;
    }
    return FALSE;
}
