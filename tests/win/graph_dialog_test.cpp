// The performance graph on a real dialog from the template: title, labels and
// their layout, the curves' pixels, the cursor, the switches and the minimum size.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "../../graph/graph_dialog.h"
#include "../../graph/graph_rules.h"
#include "../../measure/drive_records.h"
#include "../../resources/resource.h"
#include "../../shell/shell_state.h"

namespace {

class GraphDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        AppInstance = GetModuleHandleA(0);
        LanguageOffset = 0;
        SelectedDrive = 2;
        strcpy(DriveTable[2].driveName, "D:");
        Fill(214, 10, 5);
    }
    void TearDown() override
    {
        if (dialog_)
            DestroyWindow(dialog_);
        memset(&TestResults[2], 0, sizeof TestResults[2]);
        DriveTable[2].driveName[0] = 0;
        LanguageOffset = 0;
    }
    // A test of `blocks` blocks at constant block times.
    void Fill(uint32_t blocks, uint32_t writeMs, uint32_t readMs)
    {
        samples_.assign(blocks, BlockSample{readMs, writeMs});
        TestResult &r = TestResults[2];
        r.tested = 1;
        r.blockSizeKB = 96;
        r.blockCount = blocks;
        r.shortestBlockMs = readMs < writeMs ? readMs : writeMs;
        r.writeRate = 96000 / writeMs;
        r.readRate = 96000 / readMs;
        r.samples = samples_.data();
    }
    void Open(int offset = 0)
    {
        LanguageOffset = offset;
        dialog_ = CreateDialogParamA(AppInstance, MAKEINTRESOURCEA(IDD_GRAPH + offset), 0, GraphDlgProc, 0);
        ASSERT_TRUE(dialog_);
        SetWindowPos(dialog_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
        UpdateWindow(dialog_);
        GdiFlush();
    }
    std::string Text(int id)
    {
        char text[256];
        GetDlgItemTextA(dialog_, id, text, sizeof text);
        return text;
    }
    RECT LabelRect(int id)
    {
        RECT r;
        GetWindowRect(GetDlgItem(dialog_, id), &r);
        MapWindowPoints(0, dialog_, (POINT *)&r, 2);
        return r;
    }
    COLORREF Pixel(int x, int y)
    {
        HDC dc = GetDC(dialog_);
        COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(dialog_, dc);
        return c;
    }
    // Device y of a rate on the plot.
    int RateY(uint32_t rate)
    {
        int plotHeight = Graph.clientHeight - Graph.marginTop - Graph.marginBottom;
        return Graph.clientHeight - Graph.marginBottom - (int)(rate * (uint64_t)plotHeight / Graph.yMax);
    }
    // The mapping rounds where RateY truncates: a line stands within a pixel of it.
    bool LineNear(int x, int y, COLORREF colour)
    {
        return Pixel(x, y - 1) == colour || Pixel(x, y) == colour || Pixel(x, y + 1) == colour;
    }
    bool NeedsPaint() { return GetUpdateRect(dialog_, 0, FALSE) != 0; }
    std::vector<BlockSample> samples_;
    HWND dialog_ = 0;
};

TEST_F(GraphDialog, TemplateIsTheExtendedOneOfTheTable)
{
    for (int offset : {0, 500, 600}) {
        HRSRC found = FindResourceA(AppInstance, MAKEINTRESOURCEA(IDD_GRAPH + offset), (LPCSTR)RT_DIALOG);
        ASSERT_TRUE(found) << offset;
        const unsigned char *t = (const unsigned char *)LockResource(LoadResource(AppInstance, found));
        WORD version, signature, items;
        DWORD exStyle, style;
        short x, y, cx, cy;
        memcpy(&version, t, 2);
        memcpy(&signature, t + 2, 2);
        memcpy(&exStyle, t + 8, 4);
        memcpy(&style, t + 12, 4);
        memcpy(&items, t + 16, 2);
        memcpy(&x, t + 18, 2);
        memcpy(&y, t + 20, 2);
        memcpy(&cx, t + 22, 2);
        memcpy(&cy, t + 24, 2);
        EXPECT_EQ(version, 1);
        EXPECT_EQ(signature, 0xFFFF);
        EXPECT_EQ(exStyle, (DWORD)WS_EX_CLIENTEDGE);
        EXPECT_EQ(style, (DWORD)(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX |
                                 WS_MAXIMIZEBOX | WS_CLIPCHILDREN | DS_MODALFRAME | DS_SETFONT | DS_3DLOOK));
        EXPECT_EQ(items, 6);
        EXPECT_EQ(x, -100);
        EXPECT_EQ(y, 0);
        EXPECT_EQ(cx, 385);
        EXPECT_EQ(cy, 95);
    }
}

TEST_F(GraphDialog, TitleLabelsAndLayoutAfterOpening)
{
    const struct { int offset; const char *title; } cases[] = {
        {0, "Performance Graph - Drive D:"},
        {500, "Datenrate Grafik -  Laufwerk D:"},
        {600, "La graphique du taux de donn\xE9" "es pour le disque D:"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.offset);
        Open(c.offset);
        char title[256];
        GetWindowTextA(dialog_, title, sizeof title);
        EXPECT_STREQ(title, c.title);
        RECT window;
        GetWindowRect(dialog_, &window);
        EXPECT_EQ(window.right - window.left, 600);
        EXPECT_EQ(window.bottom - window.top, 300);
        // 214 blocks: 20544 kB, an axis of 20000 kB; the fastest block 5 ms: 19200 kB/s.
        EXPECT_EQ(Text(IDC_X_MAX), "20");
        EXPECT_EQ(Text(IDC_X_MID), "10");
        EXPECT_EQ(Text(IDC_Y_MAX), "20000");
        EXPECT_EQ(Text(IDC_Y_UNIT), "[kB/sek]");
        EXPECT_EQ(Text(IDC_X_UNIT), "[MB]");
        EXPECT_EQ(Text(IDC_CURSOR_KB), "10000") << "the cursor starts mid-axis";
        EXPECT_EQ(Graph.xRange, 2000u);
        EXPECT_EQ(Graph.xScale, 10u);

        RECT client;
        GetClientRect(dialog_, &client);
        EXPECT_EQ(Graph.clientWidth, client.right);
        EXPECT_EQ(Graph.clientHeight, client.bottom);
        GraphMargins m = GraphMarginsFor(Graph.labelHeight);
        EXPECT_EQ(Graph.marginRight, m.right);
        EXPECT_EQ(Graph.marginTop, m.top);
        LabelBox boxes[GRAPH_LABELS];
        LayoutGraphLabels(&m, client.right, client.bottom, boxes);
        const int ids[GRAPH_LABELS] = {IDC_Y_MAX, IDC_Y_UNIT, IDC_X_MID, IDC_X_MAX, IDC_X_UNIT, IDC_CURSOR_KB};
        for (int i = 0; i < GRAPH_LABELS; i++) {
            RECT r = LabelRect(ids[i]);
            EXPECT_EQ(r.left, boxes[i].x) << ids[i];
            EXPECT_EQ(r.top, boxes[i].y) << ids[i];
            EXPECT_EQ(r.right - r.left, boxes[i].width) << ids[i];
            EXPECT_EQ(r.bottom - r.top, Graph.labelHeight) << ids[i];
        }
        DestroyWindow(dialog_);
        dialog_ = 0;
    }
}

TEST_F(GraphDialog, CurvesAndAverageLinesInTheirColours)
{
    Fill(214, 10, 5);  // write 9600 kB/s, read 19200 kB/s
    TestResults[2].writeRate = 4800;  // the average lines stand apart from the curves
    TestResults[2].readRate = 14400;
    Open();
    const COLORREF red = RGB(255, 0, 0), blue = RGB(0, 0, 255), white = RGB(255, 255, 255);
    const int x = Graph.marginLeft + 100;
    EXPECT_TRUE(LineNear(x, RateY(9600), red));
    EXPECT_TRUE(LineNear(x, RateY(19200), blue));
    for (uint32_t average : {4800u, 14400u}) {
        int colour = 0, blank = 0;
        for (int i = 0; i < 40; i++) {
            for (int dy = -1; dy <= 1; dy++) {
                COLORREF c = Pixel(x + i, RateY(average) + dy);
                colour += c == (average == 4800 ? red : blue);
                blank += c == white;
            }
        }
        EXPECT_GT(colour, 5) << "a dotted line at " << average;
        EXPECT_GT(blank, 5) << "with white gaps at " << average;
    }
    // The read switch in the left half of the top band: the read curve goes.
    SendMessageA(dialog_, WM_LBUTTONUP, 0, MAKELPARAM(Graph.clientWidth / 4, Graph.marginTop - 2));
    EXPECT_EQ(Graph.showRead, 0);
    EXPECT_TRUE(NeedsPaint());
    UpdateWindow(dialog_);
    EXPECT_FALSE(LineNear(x, RateY(19200), blue));
    EXPECT_TRUE(LineNear(x, RateY(9600), red));
    SendMessageA(dialog_, WM_LBUTTONUP, 0, MAKELPARAM(Graph.clientWidth * 3 / 4, Graph.marginTop - 2));
    EXPECT_EQ(Graph.showWrite, 0);
    UpdateWindow(dialog_);
    EXPECT_FALSE(LineNear(x, RateY(9600), red));
    SendMessageA(dialog_, WM_LBUTTONUP, 0, MAKELPARAM(Graph.clientWidth / 4, Graph.marginTop + 5));
    EXPECT_EQ(Graph.showRead, 0) << "a release below the band switches nothing";
    EXPECT_FALSE(NeedsPaint());
}

TEST_F(GraphDialog, TheCursorMovesWithoutRepaintingThePlot)
{
    Open();
    const int plotWidth = Graph.clientWidth - Graph.marginLeft - Graph.marginRight;
    const int y = Graph.marginTop + 30;
    COLORREF before = Pixel(Graph.marginLeft + 59, y);
    ASSERT_EQ(before, Pixel(Graph.marginLeft + 60, y));
    for (int x : {Graph.marginLeft + 60, Graph.marginLeft + plotWidth / 4, 3, Graph.clientWidth - 5}) {
        SendMessageA(dialog_, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y));
        GraphMargins m = GraphMarginsFor(Graph.labelHeight);
        uint32_t kb = CursorKBAt(x, &m, plotWidth, Graph.xScale, Graph.xRange);
        EXPECT_EQ(Graph.cursorKB, kb) << x;
        EXPECT_EQ(Text(IDC_CURSOR_KB), std::to_string(kb)) << x;
        EXPECT_FALSE(NeedsPaint()) << "moving the cursor repaints nothing";
    }
    // The line stands where the kB map back to, which truncation may put a pixel
    // left of the pointer.
    SendMessageA(dialog_, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(Graph.marginLeft + 60, y));
    GraphMargins m = GraphMarginsFor(Graph.labelHeight);
    const int line = CursorXOf(Graph.cursorKB, &m, plotWidth, Graph.xScale, Graph.xRange);
    EXPECT_NE(Pixel(line, y), before) << "the line is inverted in";
    SendMessageA(dialog_, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(Graph.marginLeft + 90, y));
    EXPECT_EQ(Pixel(line, y), before) << "and out again";
    uint32_t at = Graph.cursorKB;
    SendMessageA(dialog_, WM_MOUSEMOVE, 0, MAKELPARAM(Graph.marginLeft + 200, y));
    EXPECT_EQ(Graph.cursorKB, at) << "no button, no move";
}

TEST_F(GraphDialog, TheWindowKeepsItsMinimumSize)
{
    Open();
    GraphMargins m = GraphMarginsFor(Graph.labelHeight);
    RECT r = {100, 100, 150, 120};
    SendMessageA(dialog_, WM_SIZING, WMSZ_BOTTOMRIGHT, (LPARAM)&r);
    EXPECT_EQ(r.right - r.left, m.left + m.right + 300);
    EXPECT_EQ(r.bottom - r.top, m.top + m.bottom + 150);
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.top, 100);

    // A minimised dialog keeps its layout; a restored one is laid out anew.
    const int width = Graph.clientWidth;
    RECT before = LabelRect(IDC_X_MAX);
    SendMessageA(dialog_, WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(160, 24));
    EXPECT_EQ(Graph.clientWidth, width);
    EXPECT_EQ(LabelRect(IDC_X_MAX).left, before.left);
    SendMessageA(dialog_, WM_SIZE, SIZE_RESTORED, MAKELPARAM(width + 100, Graph.clientHeight));
    EXPECT_EQ(Graph.clientWidth, width + 100);
    EXPECT_EQ(LabelRect(IDC_X_MAX).left, before.left + 100);
}

TEST_F(GraphDialog, ShortTestsAndLostSamplesEndWithoutACrash)
{
    for (uint32_t blocks : {1u, 2u, 20u}) {  // a pass stopped early
        SCOPED_TRACE(blocks);
        Fill(blocks, 10, 5);
        Open();
        EXPECT_TRUE(IsWindowVisible(dialog_));
        EXPECT_EQ(Text(IDC_X_MAX), "10");
        SendMessageA(dialog_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(Graph.clientWidth - 5, 40));
        DestroyWindow(dialog_);
        dialog_ = 0;
    }
    Fill(214, 10, 5);
    TestResults[2].samples = nullptr;  // freed by a clean-up while the slot stays tested
    Open();
    EXPECT_FALSE(IsWindowVisible(dialog_)) << "no samples: the dialog ends (result 2)";
    SendMessageA(dialog_, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(100, 40));
}

}  // namespace
