/* The performance graph dialog. The plot is drawn in an anisotropic mapping whose
   logical units are the file position (in kB / xScale) and the rate (in kB/s /
   the y scale): Windows 95 draws in 16-bit co-ordinates, so neither extent may pass
   32767, and a disk of 1 GB/s has a y maximum of a million kB/s. The
   cursor line is inverted in and out through a plain window DC, so moving it never
   repaints the plot. */
#include "graph_dialog.h"

#include <stdio.h>

#include "graph_drawing.h"
#include "graph_rules.h"
#include "../core/app_state.h"
#include "../measure/drive_records.h"
#include "../resources/resource.h"

GraphView Graph = {10, 46, 18, 18, 12, 0, 0, 0, 0, 0, 0, 0, 0};

static const int kLabels[GRAPH_LABELS] = {IDC_Y_MAX, IDC_Y_UNIT, IDC_X_MID, IDC_X_MAX, IDC_X_UNIT,
                                          IDC_CURSOR_KB};

static GraphMargins Margins()
{
    GraphMargins m = {Graph.marginLeft, Graph.marginRight, Graph.marginTop, Graph.marginBottom,
                      Graph.labelHeight};
    return m;
}

static int32_t PlotWidth() { return Graph.clientWidth - Graph.marginLeft - Graph.marginRight; }
static int32_t PlotHeight() { return Graph.clientHeight - Graph.marginTop - Graph.marginBottom; }

static int CursorX()
{
    GraphMargins m = Margins();
    return CursorXOf(Graph.cursorKB, &m, PlotWidth(), Graph.xScale, Graph.xRange);
}

void DrawCursorLine(HDC dc, int x)
{
    int previous = SetROP2(dc, R2_NOT);
    MoveToEx(dc, x, Graph.marginTop, 0);
    LineTo(dc, x, 1000);
    SetROP2(dc, previous);
}

static void ShowReadout(HDC dc)
{
    DrawCursorReadout(dc, SelectedDrive, Graph.cursorKB, Graph.clientWidth / 2, Graph.marginTop);
}

static void InitGraph(HWND window)
{
    char format[256], title[256];
    if (!LoadLangString(AppInstance, IDS_GRAPH_TITLE, format, sizeof format))
        format[0] = 0;
    snprintf(title, sizeof title, format, DriveTable[SelectedDrive].driveName);
    SetWindowTextA(window, title);

    uint32_t yMax = 0, xMaxKB = 0;
    if (!ComputeGraphScale(SelectedDrive, &yMax, &xMaxKB)) {
        EndDialog(window, 2);
        return;
    }
    SetDlgItemInt(window, IDC_X_MAX, xMaxKB / 1000, FALSE);
    SetDlgItemInt(window, IDC_X_MID, xMaxKB / 2000, FALSE);
    SetDlgItemInt(window, IDC_Y_MAX, yMax, FALSE);
    Graph.yMax = yMax;
    ReduceGraphRange(xMaxKB, &Graph.xRange, &Graph.xScale);
    Graph.showWrite = Graph.showRead = 1;
    Graph.cursorKB = (Graph.xScale * Graph.xRange) >> 1;

    RECT label;
    GetClientRect(GetDlgItem(window, IDC_Y_MAX), &label);
    GraphMargins m = GraphMarginsFor(label.bottom - label.top);
    Graph.labelHeight = m.labelHeight;
    Graph.marginRight = m.right;
    Graph.marginTop = m.top;
    Graph.marginBottom = m.bottom;
    SetWindowPos(window, 0, 0, 0, 600, 300, SWP_NOMOVE | SWP_NOZORDER);
}

static void LayOut(HWND window, LPARAM lParam)
{
    Graph.clientWidth = LOWORD(lParam);
    Graph.clientHeight = HIWORD(lParam);
    GraphMargins m = Margins();
    LabelBox boxes[GRAPH_LABELS];
    LayoutGraphLabels(&m, Graph.clientWidth, Graph.clientHeight, boxes);
    for (int i = 0; i < GRAPH_LABELS; i++)
        MoveWindow(GetDlgItem(window, kLabels[i]), boxes[i].x, boxes[i].y, boxes[i].width,
                   boxes[i].height, TRUE);
    InvalidateRect(window, 0, TRUE);
}

static void PaintGraph(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    int32_t plotWidth = PlotWidth(), plotHeight = PlotHeight();
    /* A window squeezed below its plot (maximised into a tiny screen, say) has no
       mapping to draw in; the labels and cursor still follow. */
    uint32_t yRange, yScale;
    ReduceGraphRange(Graph.yMax, &yRange, &yScale);
    if (plotWidth > 0 && plotHeight > 0 && Graph.xRange && yRange) {
        SetMapMode(dc, MM_ANISOTROPIC);
        SetWindowExtEx(dc, (int)Graph.xRange, (int)yRange, 0);
        SetViewportExtEx(dc, plotWidth, -plotHeight, 0);
        SetViewportOrgEx(dc, Graph.marginLeft, Graph.clientHeight - Graph.marginBottom, 0);

        POINT tick = {Graph.marginLeft + 2, Graph.clientHeight - Graph.marginBottom - 2};
        DPtoLP(dc, &tick, 1);
        const int dx = tick.x, dy = tick.y, xRange = (int)Graph.xRange, yMax = (int)yRange;
        MoveToEx(dc, 0, yMax + 2 * dy, 0);
        LineTo(dc, 0, 0);
        LineTo(dc, xRange + 2 * dx, 0);
        const int yStep = yMax / 5, xStep = xRange / 10;
        for (int v = yStep; yStep > 0 && v <= yMax; v += yStep) {
            MoveToEx(dc, -dx, v, 0);
            LineTo(dc, dx, v);
        }
        for (int v = xStep; xStep > 0 && v <= xRange; v += xStep) {
            MoveToEx(dc, v, -dy, 0);
            LineTo(dc, v, dy);
        }
        if (!DrawRateCurves(dc, SelectedDrive, Graph.showRead, Graph.showWrite))
            EndDialog(window, 2);
    }
    EndPaint(window, &paint);
    SetDlgItemInt(window, IDC_CURSOR_KB, Graph.cursorKB, FALSE);

    HDC windowDc = GetDC(window);
    DrawCursorLine(windowDc, CursorX());
    ShowReadout(windowDc);
    ReleaseDC(window, windowDc);
}

static void MoveCursor(HWND window, LPARAM lParam)
{
    HDC dc = GetDC(window);
    DrawCursorLine(dc, CursorX());
    GraphMargins m = Margins();
    Graph.cursorKB = CursorKBAt((short)LOWORD(lParam), &m, PlotWidth(), Graph.xScale, Graph.xRange);
    DrawCursorLine(dc, CursorX());
    ShowReadout(dc);
    ReleaseDC(window, dc);
    SetDlgItemInt(window, IDC_CURSOR_KB, Graph.cursorKB, FALSE);
}

static void ToggleCurve(HWND window, LPARAM lParam)
{
    if ((short)HIWORD(lParam) >= Graph.marginTop)
        return;
    if ((short)LOWORD(lParam) < Graph.clientWidth / 2)
        Graph.showRead = !Graph.showRead;
    else
        Graph.showWrite = !Graph.showWrite;
    InvalidateRect(window, 0, TRUE);
}

static void KeepMinimum(WPARAM edge, RECT *r)
{
    GraphMargins m = Margins();
    int32_t left = r->left, top = r->top, right = r->right, bottom = r->bottom;
    KeepGraphMinimum(&m, (int)edge, &left, &top, &right, &bottom);
    r->left = left;
    r->top = top;
    r->right = right;
    r->bottom = bottom;
}

INT_PTR CALLBACK GraphDlgProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        InitGraph(window);
        return TRUE;
    case WM_DESTROY:
        return TRUE;
    case WM_SIZE:
        if (wParam != SIZE_RESTORED && wParam != SIZE_MAXIMIZED)
            return TRUE;
        LayOut(window, lParam);
        return FALSE;
    case WM_SIZING:
        KeepMinimum(wParam, (RECT *)lParam);
        return TRUE;
    case WM_PAINT:
        PaintGraph(window);
        return TRUE;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
        if (wParam & MK_LBUTTON)
            MoveCursor(window, lParam);
        return TRUE;
    case WM_LBUTTONUP:
        ToggleCurve(window, lParam);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == SC_CLOSE)
            EndDialog(window, 1);
        return TRUE;
    case WM_SYSCOMMAND:
        if ((LOWORD(wParam) & 0xFFF0) != SC_CLOSE)
            return FALSE;
        EndDialog(window, 1);
        return TRUE;
    case WM_ENDSESSION:
        EndDialog(window, 1);
        return TRUE;
    }
    return FALSE;
}
