/* The achievable data rate of a drive and the painting of the result box. */
#ifndef STRAVO_EVALUATION_H
#define STRAVO_EVALUATION_H

#include <windows.h>

void EvaluateDrive(HWND dialog, int slot);
void PaintResults(HWND dialog);

#endif
