/* The about box. */
#ifndef STRAVO_ABOUT_BOX_H
#define STRAVO_ABOUT_BOX_H

#include <windows.h>

extern "C" INT_PTR CALLBACK AboutBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
