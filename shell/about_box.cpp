/* About box procedure: the button, Enter and Escape all close it with 1. */
#include "about_box.h"

extern "C" INT_PTR CALLBACK AboutBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(window, 1);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}
