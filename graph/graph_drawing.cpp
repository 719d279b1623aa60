/* Drawing the curves and the readout. Every object made here is made for one
   call and deleted once what was selected before is back in the DC. */
#include "graph_drawing.h"

#include <stdio.h>

#include "graph_rules.h"
#include "../core/app_state.h"
#include "../resources/resource.h"

static const COLORREF kWriteColour = 0x0000FF, kReadColour = 0xFF0000;
static const COLORREF kTextBackground = 0xC0C0C0, kDotBackground = 0xFFFFFF;

/* Ten pixels high, in the logical units of the DC: in the plot's mapping ten kB/s
   are far less than a pixel, and the font mapper would fall back on a font too
   large for a rate of seven digits in the right margin. */
static HFONT CreateGraphFont(HDC dc)
{
    POINT height[2] = {{0, 0}, {0, 10}};
    DPtoLP(dc, height, 2);
    int logical = height[1].y > height[0].y ? height[1].y - height[0].y : height[0].y - height[1].y;
    return CreateFontA(logical ? logical : 10, 0, 0, 0, 400, FALSE, FALSE, FALSE, ANSI_CHARSET, 0, 0,
                       NONANTIALIASED_QUALITY, VARIABLE_PITCH, "MS Sans Serif");
}

static void DrawCurve(HDC dc, const TestResult *r, int write, COLORREF colour, uint32_t average,
                      uint32_t groupWidth)
{
    static CurvePoint points[GRAPH_MAX_POINTS];
    uint32_t lastX = 0;
    int n = GraphCurve(r, write, points, GRAPH_MAX_POINTS, &lastX);

    HPEN solid = CreatePen(PS_SOLID, 0, colour);
    HGDIOBJ previous = SelectObject(dc, solid);
    SetBkColor(dc, kTextBackground);
    SetTextColor(dc, colour);
    for (int i = 0; i < n; i++) {
        if (i == 0)
            MoveToEx(dc, (int)points[i].x, (int)points[i].rate, 0);
        else
            LineTo(dc, (int)points[i].x, (int)points[i].rate);
    }
    char text[16];
    int length = snprintf(text, sizeof text, "%d", (int)average);
    const int y = (int)(average / GraphYScale(r));
    TextOutA(dc, (int)(lastX + groupWidth), y, text, length);
    SelectObject(dc, previous);
    DeleteObject(solid);

    HPEN dotted = CreatePen(PS_DOT, 0, colour);
    previous = SelectObject(dc, dotted);
    SetBkColor(dc, kDotBackground);
    MoveToEx(dc, 0, y, 0);
    LineTo(dc, (int)lastX, y);
    SelectObject(dc, previous);
    DeleteObject(dotted);
}

int DrawRateCurves(HDC dc, int slot, int showRead, int showWrite)
{
    const TestResult *r = &TestResults[slot];
    if (!r->samples)
        return 0;
    HFONT font = CreateGraphFont(dc);
    HGDIOBJ previousFont = font ? SelectObject(dc, font) : 0;
    uint32_t groupWidth = GraphGroupWidth(r);
    SetTextAlign(dc, TA_BASELINE);
    if (showWrite)
        DrawCurve(dc, r, 1, kWriteColour, r->writeRate, groupWidth);
    if (showRead)
        DrawCurve(dc, r, 0, kReadColour, r->readRate, groupWidth);
    if (font) {
        SelectObject(dc, previousFont);
        DeleteObject(font);
    }
    return 1;
}

static void DrawReadoutText(HDC dc, UINT id, uint32_t rate, int32_t x, int32_t y)
{
    char format[40], text[40];
    if (!LoadLangString(AppInstance, id, format, sizeof format))
        return;
    int length = snprintf(text, sizeof text, format, (int)rate);
    if (length < 0)
        return;
    if (length >= (int)sizeof text)
        length = (int)sizeof text - 1;
    TextOutA(dc, x, y, text, length);
}

void DrawCursorReadout(HDC dc, int slot, uint32_t cursorKB, int32_t x, int32_t y)
{
    const TestResult *r = &TestResults[slot];
    /* A clean-up may have freed the samples while the slot still counts as tested. */
    if (!r->samples)
        return;
    uint32_t first, count;
    ReadoutWindow(r, cursorKB, &first, &count);
    uint32_t writeRate = count ? GroupRate(r, first, count, 1) : 0;
    uint32_t readRate = count ? GroupRate(r, first, count, 0) : 0;

    HFONT font = CreateGraphFont(dc);
    HGDIOBJ previousFont = font ? SelectObject(dc, font) : 0;
    SetBkColor(dc, kTextBackground);
    SetTextAlign(dc, TA_BASELINE);
    SetTextColor(dc, kWriteColour);
    DrawReadoutText(dc, IDS_WRITE_READOUT, writeRate, x + 10, y);
    SetTextColor(dc, kReadColour);
    DrawReadoutText(dc, IDS_READ_READOUT, readRate, x - 100, y);
    if (font) {
        SelectObject(dc, previousFont);
        DeleteObject(font);
    }
}
