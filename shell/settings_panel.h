/* The settings panel rules of the main dialog and the repainting of its bars. */
#ifndef STRAVO_SETTINGS_PANEL_H
#define STRAVO_SETTINGS_PANEL_H

#include <windows.h>

void RefreshSettingsPanel(HWND dialog);
void RefreshSpeedBars(HWND dialog);

#endif
