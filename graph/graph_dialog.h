/* The performance graph dialog: the selected drive's last test along the file. */
#ifndef STRAVO_GRAPH_DIALOG_H
#define STRAVO_GRAPH_DIALOG_H

#include <windows.h>

#include <stdint.h>

struct GraphView {
    int32_t marginLeft, marginRight, marginTop, marginBottom;
    int32_t labelHeight;
    int32_t clientWidth, clientHeight;
    uint32_t xRange, xScale, yMax;
    uint32_t cursorKB;
    int32_t showRead, showWrite;
};

extern GraphView Graph;

INT_PTR CALLBACK GraphDlgProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

/* An inverted line from the top of the plot down: drawn twice, it is gone. */
void DrawCursorLine(HDC dc, int x);

#endif
