/* The performance graph dialog. */
#ifndef STRAVO_GRAPH_DIALOG_H
#define STRAVO_GRAPH_DIALOG_H

#include <windows.h>

INT_PTR CALLBACK GraphDlgProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
