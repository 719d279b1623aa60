// The result box on a real dialog from the template: the figures of the selected
// drive in each language and the speed bars read back pixel by pixel.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "../../evaluate/capture_rules.h"
#include "../../evaluate/evaluation.h"
#include "../../measure/drive_records.h"
#include "../../resources/resource.h"
#include "../../shell/shell_state.h"

namespace {

const COLORREF kGrey = RGB(127, 127, 127), kCyan = RGB(0, 192, 192), kBlue = RGB(0, 0, 192);

INT_PTR CALLBACK PaintingDialog(HWND dialog, UINT message, WPARAM, LPARAM)
{
    if (message == WM_PAINT) {
        PaintResults(dialog);
        return TRUE;
    }
    return message == WM_INITDIALOG;
}

class ResultBox : public ::testing::Test {
protected:
    void Open(int languageOffset)
    {
        AppInstance = GetModuleHandleA(0);
        LanguageOffset = languageOffset;
        dialog_ = CreateDialogParamA(AppInstance, MAKEINTRESOURCEA(IDD_MAIN + languageOffset), 0,
                                     PaintingDialog, 0);
        ASSERT_TRUE(dialog_);
        SetWindowPos(dialog_, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    }
    void SetUp() override
    {
        memset(TestResults, 0, sizeof TestResults);
        SelectedDrive = 0;
        BoardType = BOARD_PUMA;
        PumaToMemoryRate = 10000;
        MemoryToPumaRate = 12000;
        IsWindowsNT = 0;
        RateCapOff = 0;
    }
    void TearDown() override
    {
        if (dialog_)
            DestroyWindow(dialog_);
        memset(TestResults, 0, sizeof TestResults);
        LanguageOffset = 0;
    }
    void Settings(bool ntsc, bool cropping, bool audio)
    {
        CheckRadioButton(dialog_, IDC_PAL, IDC_NTSC, ntsc ? IDC_NTSC : IDC_PAL);
        CheckDlgButton(dialog_, IDC_CROPPING, cropping ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(dialog_, IDC_AUDIO, audio ? BST_CHECKED : BST_UNCHECKED);
    }
    std::string Text(int id)
    {
        char text[128];
        GetDlgItemTextA(dialog_, id, text, sizeof text);
        return text;
    }
    void Repaint()
    {
        RedrawWindow(dialog_, 0, 0, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        GdiFlush();
    }
    // One pixel of a bar control's client area.
    COLORREF Pixel(int id, int x, int y)
    {
        HWND bar = GetDlgItem(dialog_, id);
        HDC dc = GetDC(bar);
        COLORREF colour = GetPixel(dc, x, y);
        ReleaseDC(bar, dc);
        return colour;
    }
    RECT Client(int id)
    {
        RECT rc;
        GetClientRect(GetDlgItem(dialog_, id), &rc);
        return rc;
    }
    bool Visible(int id) { return IsWindowVisible(GetDlgItem(dialog_, id)) != 0; }
    HWND dialog_ = 0;
};

TEST_F(ResultBox, FiguresOfTheWorkedExampleInThreeLanguages)
{
    struct Case {
        int offset;
        bool audio;
        const char *rate, *ratios[3];
    } cases[] = {
        {0, false, "2382 kB/s", {"3.0:1", "4.5:1", "9.0:1"}},
        {0, true, "1869 kB/s", {"3.0:1", "5.7:1", "11.5:1"}},
        {500, false, "2382 kB/s", {"3,0:1", "4,5:1", "9,0:1"}},
        {600, true, "1869 kB/s", {"3,0:1", "5,7:1", "11,5:1"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.offset);
        Open(c.offset);
        Settings(false, false, c.audio);
        SampleRateChoice = 2;
        StereoAudio = 1;
        Audio16Bit = 1;
        Dma16Bit = 0;
        TestResults[0].tested = 1;
        TestResults[0].writeRate = 4000;
        TestResults[0].readRate = 5000;
        EvaluateDrive(dialog_, 0);
        Repaint();
        EXPECT_EQ(Text(IDC_RATE), c.rate);
        EXPECT_EQ(Text(IDC_RATIO1), c.ratios[0]);
        EXPECT_EQ(Text(IDC_RATIO2), c.ratios[1]);
        EXPECT_EQ(Text(IDC_RATIO3), c.ratios[2]);
        EXPECT_EQ(Text(IDC_FRAME1), "384x288");
        EXPECT_EQ(Text(IDC_FRAME3), "768x576");
        EXPECT_EQ(Text(IDC_WRITE_TEXT), "4000 kB/s");
        EXPECT_EQ(Text(IDC_READ_TEXT), "5000 kB/s");
        DestroyWindow(dialog_);
        dialog_ = 0;
    }
}

TEST_F(ResultBox, FrameSizesFollowNormAndCropping)
{
    Open(0);
    TestResults[0].storedWriteRate = 3000;
    struct Case { bool ntsc, cropping; const char *sizes[3]; } cases[] = {
        {false, false, {"384x288", "384x576", "768x576"}},
        {false, true, {"360x270", "360x540", "720x540"}},
        {true, false, {"320x240", "320x480", "640x480"}},
        {true, true, {"304x228", "304x456", "608x456"}},
    };
    for (const Case &c : cases) {
        Settings(c.ntsc, c.cropping, false);
        Repaint();
        EXPECT_EQ(Text(IDC_FRAME1), c.sizes[0]);
        EXPECT_EQ(Text(IDC_FRAME2), c.sizes[1]);
        EXPECT_EQ(Text(IDC_FRAME3), c.sizes[2]);
    }
}

TEST_F(ResultBox, AnUntestedDriveIsEvaluatedFromItsStoredRatesOrLeftAlone)
{
    Open(0);
    Settings(false, false, false);
    TestResults[0].availableRate = 77;
    EvaluateDrive(dialog_, 0);
    EXPECT_EQ(TestResults[0].availableRate, 77u) << "no test and no stored rates: unchanged";
    Repaint();
    EXPECT_EQ(Text(IDC_RATE), "");
    EXPECT_FALSE(Visible(IDC_WRITE_TEXT));
    EXPECT_FALSE(Visible(IDC_READ_TEXT));

    TestResults[0].storedWriteRate = 4000;
    TestResults[0].storedReadRate = 5000;
    EvaluateDrive(dialog_, 0);
    EXPECT_EQ(TestResults[0].availableRate, 2382u);
    EXPECT_EQ(TestResults[0].compressionTenths, 90u);
    EXPECT_EQ(TestResults[0].qualityClass, 2u);
    Repaint();
    EXPECT_EQ(Text(IDC_RATE), "2382 kB/s");
    EXPECT_TRUE(Visible(IDC_WRITE_TEXT));
    EXPECT_EQ(Text(IDC_WRITE_TEXT), "4000 kB/s");
}

TEST_F(ResultBox, StoredBarsAreGreyMeasuredCyanAtSeventyPercentWithBlueTicks)
{
    Open(0);
    Settings(false, false, false);
    TestResults[0].storedWriteRate = 4500;  // half the scale
    TestResults[0].storedReadRate = 9000;   // full
    Repaint();
    RECT rc = Client(IDC_WRITE_BAR);
    ASSERT_GT(rc.right, 40);
    ASSERT_GT(rc.bottom, 6);
    const int half = 1 + (rc.right - 1) * 4500 / 9000;  // first pixel past the grey
    const int top = rc.bottom - 2, upper = 1 + (rc.bottom - 2) / 5;
    const int step = rc.right / 9;
    auto notTick = [&](int x) { return x % step ? x : x + 1; };
    EXPECT_EQ(Pixel(IDC_WRITE_BAR, notTick(2), top), kGrey);
    EXPECT_EQ(Pixel(IDC_WRITE_BAR, notTick(2), upper), kGrey) << "stored bars have full height";
    EXPECT_EQ(Pixel(IDC_WRITE_BAR, half - 1, top), kGrey);
    EXPECT_NE(Pixel(IDC_WRITE_BAR, half + 1, top), kGrey);
    EXPECT_EQ(Pixel(IDC_READ_BAR, rc.right - 2, top), kGrey);
    EXPECT_EQ(Pixel(IDC_WRITE_BAR, step, 2), kBlue);
    EXPECT_EQ(Pixel(IDC_WRITE_BAR, step * 8, 2), kBlue);
    EXPECT_EQ(Pixel(IDC_WRITE_BAR, step, 3), kGrey) << "a tick is one pixel";
    EXPECT_EQ(Text(IDC_WRITE_TEXT), "4500 kB/s");
    EXPECT_EQ(Text(IDC_READ_TEXT), "9000 kB/s");

    // A test over the stored rates: cyan over the lower 70 %, grey above it.
    TestResults[0].tested = 1;
    TestResults[0].writeRate = 9000;
    TestResults[0].readRate = 1000;
    Repaint();
    const int cyanTop = rc.bottom * 30 / 100;
    EXPECT_EQ(Pixel(IDC_WRITE_BAR, notTick(2), cyanTop + 1), kCyan);
    EXPECT_EQ(Pixel(IDC_WRITE_BAR, rc.right - 2, top), kCyan);
    EXPECT_EQ(Pixel(IDC_WRITE_BAR, notTick(2), cyanTop - 1), kGrey);
    EXPECT_EQ(Pixel(IDC_WRITE_BAR, step * 2, 2), kBlue) << "ticks drawn over the cyan bar's frame";
    EXPECT_EQ(Text(IDC_WRITE_TEXT), "9000 kB/s");
    EXPECT_EQ(Text(IDC_READ_TEXT), "1000 kB/s");
    const int readEnd = 1 + (rc.right - 1) * 1000 / 9000;
    EXPECT_EQ(Pixel(IDC_READ_BAR, readEnd - 1, top), kCyan);
    EXPECT_EQ(Pixel(IDC_READ_BAR, readEnd + 1, top), kGrey) << "the stored read bar shows past the cyan";
}

}  // namespace
