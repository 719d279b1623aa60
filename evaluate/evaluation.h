/* The achievable data rate of a drive and the painting of the result box. */
#ifndef STRAVO_EVALUATION_H
#define STRAVO_EVALUATION_H

#include <windows.h>

void EvaluateDrive(HWND dialog, int slot);
void PaintResults(HWND dialog);
void ShowResultTexts(HWND dialog);
void ShowFrameSizes(HWND dialog);
void DrawSpeedBar(HWND dialog, int id, DWORD value, DWORD fullScale, int heightPercent, COLORREF colour);
void DrawBarTicks(HDC dc, const RECT *rc, int parts, COLORREF colour);

#endif
