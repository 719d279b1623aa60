/* Loading the capture settings when the main dialog opens. */
#ifndef STRAVO_CAPTURE_SETTINGS_H
#define STRAVO_CAPTURE_SETTINGS_H

#include <windows.h>

#include "capture_rules.h"

/* Detects the board from the maker's keys, takes the audio format, the audio
   switch and the norm over from the capture tool, and sets box 418. Returns 1. */
int LoadCaptureSettings(HWND dialog);

#endif
