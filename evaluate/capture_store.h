/* The capture tool's part of storing the reference. */
#ifndef STRAVO_CAPTURE_STORE_H
#define STRAVO_CAPTURE_STORE_H

#include <windows.h>

void StoreCaptureToolSettings(HWND dialog);

#endif
