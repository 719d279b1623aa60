/* The curves, average lines and cursor readout of the performance graph. */
#ifndef STRAVO_GRAPH_DRAWING_H
#define STRAVO_GRAPH_DRAWING_H

#include <windows.h>

#include <stdint.h>

/* On the graph's paint DC, in its logical units. 0 when the slot has no samples
   (nothing drawn), else 1. */
int DrawRateCurves(HDC dc, int slot, int showRead, int showWrite);

/* The rates at the cursor, in device pixels: read left of x, write right of it. */
void DrawCursorReadout(HDC dc, int slot, uint32_t cursorKB, int32_t x, int32_t y);

#endif
