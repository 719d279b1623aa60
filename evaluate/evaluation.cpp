/* The evaluation of the selected drive and the painting of its figures and bars. */
#include "evaluation.h"

#include <stdio.h>

#include "capture_rules.h"
#include "evaluation_rules.h"
#include "../core/app_state.h"
#include "../logo/logo_panel.h"
#include "../measure/drive_records.h"
#include "../measure/memory_bandwidth.h"
#include "../resources/resource.h"

enum { BAR_FULL_SCALE = 9000, BAR_TICK_PARTS = 9 };

static const COLORREF kStoredBarColour = RGB(127, 127, 127);
static const COLORREF kMeasuredBarColour = RGB(0, 192, 192);
static const COLORREF kTickColour = RGB(0, 0, 192);

static int Checked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void EvaluateDrive(HWND dialog, int slot)
{
    if (slot < 0 || slot >= MAX_DRIVES)
        return;
    TestResult *result = &TestResults[slot];
    EvaluationInput input = {};
    if (result->tested) {
        input.writeRate = result->writeRate;
        input.readRate = result->readRate;
    } else {
        input.writeRate = result->storedWriteRate;
        input.readRate = result->storedReadRate;
        if (!input.writeRate && !input.readRate)
            return;
    }
    input.boardType = BoardType;
    input.pumaToMemoryRate = PumaToMemoryRate;
    input.memoryToPumaRate = MemoryToPumaRate;
    input.toMemoryRate = ToMemoryRate;
    input.fromMemoryRate = FromMemoryRate;
    input.windowsNT = IsWindowsNT;
    input.audio = Checked(dialog, IDC_AUDIO);
    input.sampleRateChoice = SampleRateChoice;
    input.stereo = StereoAudio;
    input.audio16Bit = Audio16Bit;
    input.dma16Bit = Dma16Bit;
    input.ntsc = Checked(dialog, IDC_NTSC);
    input.cropping = Checked(dialog, IDC_CROPPING);
    input.rateCapOff = RateCapOff;

    EvaluationResult figures;
    EvaluateRates(&input, &figures);
    result->availableRate = figures.availableRate;
    result->compressionTenths = figures.compressionTenths;
    result->qualityClass = figures.qualityClass;
}

void ShowResultTexts(HWND dialog)
{
    const TestResult *result = &TestResults[SelectedDrive];
    snprintf(TextBuffer, sizeof TextBuffer, "%lu kB/s", (unsigned long)result->availableRate);
    SetDlgItemTextA(dialog, IDC_RATE, TextBuffer);

    uint32_t ratios[3];
    ColumnRatios(result->compressionTenths, ratios);
    static const int ids[3] = {IDC_RATIO1, IDC_RATIO2, IDC_RATIO3};
    for (int column = 2; column >= 0; column--) {
        FormatRatio(TextBuffer, sizeof TextBuffer, ratios[column], LanguageOffset != 0);
        SetDlgItemTextA(dialog, ids[column], TextBuffer);
    }
}

void ShowFrameSizes(HWND dialog)
{
    /* Strings 250..261 come in threes, full size first: PAL, NTSC, PAL cropped,
       NTSC cropped. */
    UINT first = IDS_FRAME_FIRST + (Checked(dialog, IDC_NTSC) ? 3 : 0);
    if (Checked(dialog, IDC_CROPPING))
        first += 6;
    static const int ids[3] = {IDC_FRAME3, IDC_FRAME2, IDC_FRAME1};
    for (int i = 0; i < 3; i++) {
        if (!LoadStringA(AppInstance, first + i, TextBuffer, sizeof TextBuffer))
            TextBuffer[0] = 0;
        SetDlgItemTextA(dialog, ids[i], TextBuffer);
    }
}

void DrawBarTicks(HDC dc, const RECT *rc, int parts, COLORREF colour)
{
    int32_t xs[64];
    int count = BarTickPositions(rc->left, rc->right, parts, xs, 64);
    HPEN pen = CreatePen(PS_SOLID, 0, colour);
    HGDIOBJ previous = SelectObject(dc, pen);
    for (int i = 0; i < count; i++) {
        MoveToEx(dc, xs[i], rc->top + 2, 0);
        LineTo(dc, xs[i], rc->top + 1);
    }
    SelectObject(dc, previous);
    DeleteObject(pen);
}

void DrawSpeedBar(HWND dialog, int id, DWORD value, DWORD fullScale, int heightPercent, COLORREF colour)
{
    HWND control = GetDlgItem(dialog, id);
    if (!control)
        return;
    HDC dc = GetDC(control);
    RECT rc;
    GetClientRect(control, &rc);
    BarBox box = SpeedBarBox(BarBox{rc.left, rc.top, rc.right, rc.bottom}, value, fullScale, heightPercent);
    RECT bar = {box.left, box.top, box.right, box.bottom};
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &bar, brush);
    DeleteObject(brush);
    DrawBarTicks(dc, &rc, BAR_TICK_PARTS, kTickColour);
    ReleaseDC(control, dc);
}

/* Whether the paint's device context is the one a control hands out; a paint
   aimed at one of them refreshes only that part. */
static int SameDcAsControl(HWND dialog, int id, HDC paintDc)
{
    HWND control = GetDlgItem(dialog, id);
    HDC dc = GetDC(control);
    int same = dc == paintDc;
    ReleaseDC(control, dc);
    return same;
}

static void ShowRateTexts(HWND dialog, DWORD writeRate, DWORD readRate)
{
    ShowWindow(GetDlgItem(dialog, IDC_WRITE_TEXT), SW_SHOW);
    ShowWindow(GetDlgItem(dialog, IDC_READ_TEXT), SW_SHOW);
    snprintf(TextBuffer, sizeof TextBuffer, "%lu kB/s", (unsigned long)writeRate);
    SetDlgItemTextA(dialog, IDC_WRITE_TEXT, TextBuffer);
    snprintf(TextBuffer, sizeof TextBuffer, "%lu kB/s", (unsigned long)readRate);
    SetDlgItemTextA(dialog, IDC_READ_TEXT, TextBuffer);
}

void PaintResults(HWND dialog)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(dialog, &paint);
    int texts = 1, bars = 1;
    if (SameDcAsControl(dialog, IDC_RESULT_BOX, dc))
        texts = 1, bars = 0;
    if (SameDcAsControl(dialog, IDC_WRITE_BAR, dc))
        texts = 0, bars = 1;
    if (SameDcAsControl(dialog, IDC_READ_BAR, dc))
        texts = 0, bars = 1;

    const TestResult *result = &TestResults[SelectedDrive];
    if (texts && (result->storedWriteRate || result->storedReadRate || result->tested)) {
        ShowResultTexts(dialog);
        ShowFrameSizes(dialog);
    }
    if (bars) {
        if (result->storedWriteRate || result->storedReadRate) {
            DrawSpeedBar(dialog, IDC_WRITE_BAR, result->storedWriteRate, BAR_FULL_SCALE, 100, kStoredBarColour);
            DrawSpeedBar(dialog, IDC_READ_BAR, result->storedReadRate, BAR_FULL_SCALE, 100, kStoredBarColour);
            ShowRateTexts(dialog, result->storedWriteRate, result->storedReadRate);
        } else if (!result->tested) {
            ShowWindow(GetDlgItem(dialog, IDC_WRITE_TEXT), SW_HIDE);
            ShowWindow(GetDlgItem(dialog, IDC_READ_TEXT), SW_HIDE);
        }
        if (result->tested) {
            DrawSpeedBar(dialog, IDC_WRITE_BAR, result->writeRate, BAR_FULL_SCALE, 70, kMeasuredBarColour);
            DrawSpeedBar(dialog, IDC_READ_BAR, result->readRate, BAR_FULL_SCALE, 70, kMeasuredBarColour);
            ShowRateTexts(dialog, result->writeRate, result->readRate);
        }
    }
    if (LogoLoaded)
        DrawLogo(dc, &LogoImage);
    EndPaint(dialog, &paint);
}
