/* The performance graph dialog. Not built yet: it only closes. */
#include "graph_dialog.h"

INT_PTR CALLBACK GraphDlgProc(HWND window, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(window, 2);
        return TRUE;
    }
    return FALSE;
}
