/* The main dialog: its procedure and the two drop-down list helpers. */
#ifndef STRAVO_MAIN_DIALOG_H
#define STRAVO_MAIN_DIALOG_H

#include <windows.h>

extern "C" INT_PTR CALLBACK DlgMain(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif
