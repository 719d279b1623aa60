// The memory test as the program runs it, and the system information dialog on a
// real dialog from the template: its fields, the language list and the notice.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../../evaluate/capture_rules.h"
#include "../../measure/memory_rules.h"
#include "../../measure/memory_test.h"
#include "../../resources/resource.h"
#include "../../shell/shell_state.h"
#include "msgbox_watch.h"
#include "registry_helpers.h"
#include "test_dialogs.h"

namespace {

const char kServal[] = "Software\\vexo Computer Products\\Serval";

std::string LoadString(UINT id)
{
    char text[512];
    int n = LoadStringA(GetModuleHandleA(0), id, text, sizeof text);
    return std::string(text, n > 0 ? n : 0);
}

int CursorCount()
{
    int count = ShowCursor(TRUE) - 1;
    ShowCursor(FALSE);
    return count;
}

TEST(MemoryTestRun, SetsBothLimitsOnceAndGivesTheCursorBack)
{
    MemoryTestDone = 0;
    MeasuredMemoryRate = 0;
    ToMemoryRate = FromMemoryRate = 60000;
    int cursor = CursorCount();
    ASSERT_EQ(RunMemoryTest(), 1);
    EXPECT_EQ(MemoryTestDone, 1);
    EXPECT_GT(MeasuredMemoryRate, 0u);
    EXPECT_LE(MeasuredMemoryRate, 132000u);
    EXPECT_EQ(ToMemoryRate, MeasuredMemoryRate);
    EXPECT_EQ(FromMemoryRate, MeasuredMemoryRate);
    EXPECT_EQ(CursorCount(), cursor);
}

TEST(MemoryTestRun, TheWholeWorkloadIsCopied)
{
    // 16 MB in 32-bit words takes well over 100 microseconds on any machine; a
    // kernel cut down to its last pass (128 kB) would take a few.
    std::vector<unsigned char> source(MEMORY_SOURCE_SIZE, 0x5A), destination(MEMORY_DESTINATION_SIZE);
    LARGE_INTEGER frequency, before, after;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&before);
    MemoryCopyKernel(source.data(), destination.data());
    QueryPerformanceCounter(&after);
    double microseconds = (after.QuadPart - before.QuadPart) * 1e6 / frequency.QuadPart;
    EXPECT_GT(microseconds, 100.0);
    EXPECT_EQ(destination[MEMORY_DESTINATION_SIZE - 1], 0x5A);
}

class SysInfo : public ::testing::Test {
protected:
    void SetUp() override
    {
        UseEnglish();
        ResetProgramRegistry();
        TestFileSizeMB = 20;
        BoardType = BOARD_OCELOT;
        MeasuredMemoryRate = 73728;
    }
    void TearDown() override
    {
        if (dialog_)
            DestroyWindow(dialog_);
        ResetProgramRegistry();
        LanguageOffset = 0;
        TestFileSizeMB = 20;
    }
    void Open(int offset = 0)
    {
        LanguageOffset = offset;
        dialog_ = CreateDialogParamA(AppInstance, MAKEINTRESOURCEA(IDD_SYSINFO + offset), 0,
                                     SysInfoDlgProc, 0);
        ASSERT_TRUE(dialog_);
        LanguageOffset = 0;  // the program's language stays English for the notice cases
        LoadLangString(AppInstance, IDS_APP_CAPTION, AppCaption, sizeof AppCaption);
    }
    std::string Text(int id)
    {
        char text[128];
        GetDlgItemTextA(dialog_, id, text, sizeof text);
        return text;
    }
    void ChooseLanguage(int position)
    {
        SendDlgItemMessageA(dialog_, IDC_LANGUAGE, CB_SETCURSEL, position, 0);
        SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(IDC_LANGUAGE, CBN_SELCHANGE),
                     (LPARAM)GetDlgItem(dialog_, IDC_LANGUAGE));
    }
    std::string StoredLanguage()
    {
        RegValue value = GetRegValue(HKEY_CURRENT_USER, kServal, "Language");
        if (!value.found)
            return "(none)";
        EXPECT_EQ(value.type, (DWORD)REG_SZ);
        std::string text = value.text();
        return text.substr(0, text.find('\0'));
    }
    bool Ended() { return !IsWindowVisible(dialog_); }
    HWND dialog_ = 0;
};

TEST_F(SysInfo, MemoryFieldShowsThePumasOwnRateOrTheMeasuredOne)
{
    Open();
    EXPECT_EQ(Text(IDC_MEMORY_RATE), "73728");
    DestroyWindow(dialog_);
    BoardType = BOARD_PUMA;
    PumaToMemoryRate = 8000;
    Open();
    EXPECT_EQ(Text(IDC_MEMORY_RATE), "8000");
}

TEST_F(SysInfo, FileSizeIsTakenWhenTheFieldLosesTheFocus)
{
    Open();
    EXPECT_EQ(Text(IDC_FILESIZE), "20");
    const struct { const char *typed; int megabytes; } cases[] = {
        {"5", 10}, {"2500", 2000}, {"letters", 10}, {"300", 300}};
    for (const auto &c : cases) {
        int before = TestFileSizeMB;
        SetDlgItemTextA(dialog_, IDC_FILESIZE, c.typed);
        SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(IDC_FILESIZE, EN_CHANGE), 0);
        EXPECT_EQ(TestFileSizeMB, before) << "typing alone changes nothing";
        SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(IDC_FILESIZE, EN_KILLFOCUS), 0);
        EXPECT_EQ(TestFileSizeMB, c.megabytes) << c.typed;
        EXPECT_EQ(Text(IDC_FILESIZE), c.typed) << "the field keeps what was typed";
    }
}

TEST_F(SysInfo, LanguageListInEachLanguageSelectsTheStoredCode)
{
    const struct {
        int offset;
        const char *stored;
        int selected;
        const char *names[3];  // in the ANSI code page, as the list holds them
    } cases[] = {
        {0, 0, 0, {"English", "German", "French"}},
        {500, "GER", 1, {"Englisch", "Deutsch", "Franz\xF6sisch"}},
        {600, "fre", 2, {"Englais", "Allemand", "Fran\xE7" "ais"}},
        {0, "ITA", 0, {"English", "German", "French"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.offset);
        ResetProgramRegistry();
        if (c.stored)
            SetRegText(HKEY_CURRENT_USER, kServal, "Language", c.stored);
        Open(c.offset);
        HWND list = GetDlgItem(dialog_, IDC_LANGUAGE);
        ASSERT_EQ(SendMessageA(list, CB_GETCOUNT, 0, 0), 3);
        for (int i = 0; i < 3; i++) {
            char text[32];
            SendMessageA(list, CB_GETLBTEXT, i, (LPARAM)text);
            EXPECT_STREQ(text, c.names[i]);
        }
        EXPECT_EQ(SendMessageA(list, CB_GETCURSEL, 0, 0), c.selected);
        DestroyWindow(dialog_);
        dialog_ = 0;
    }
}

TEST_F(SysInfo, TheNoticeSpeaksTheNewLanguageAndOnlyWhenItChanged)
{
    enum { BY_OK, BY_CANCEL, BY_CLOSE_COMMAND, BY_SYSTEM_CLOSE };
    const struct {
        const char *what;
        std::vector<int> choices;
        int how;
        const char *stored;
        int noticeOffset;  // -1: no notice
    } cases[] = {
        {"German, Close", {1}, BY_OK, "GER", 500},
        {"French, Escape", {2}, BY_CANCEL, "FRE", 600},
        {"German, the close command", {1}, BY_CLOSE_COMMAND, "GER", 500},
        {"German then English", {1, 0}, BY_OK, "ENG", -1},
        {"French, system close", {2}, BY_SYSTEM_CLOSE, "FRE", -1},
        {"nothing chosen", {}, BY_OK, "(none)", -1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ResetProgramRegistry();
        Open();
        for (int choice : c.choices)
            ChooseLanguage(choice);
        {
            MessageBoxWatch watch;
            if (c.how == BY_SYSTEM_CLOSE)
                SendMessageA(dialog_, WM_SYSCOMMAND, SC_CLOSE, 0);
            else
                SendMessageA(dialog_, WM_COMMAND, c.how == BY_OK ? IDOK : c.how == BY_CANCEL ? IDCANCEL : SC_CLOSE, 0);
            ASSERT_EQ(watch.seen().size(), c.noticeOffset < 0 ? 0u : 1u);
            if (c.noticeOffset >= 0) {
                const SeenMessageBox &box = watch.seen()[0];
                EXPECT_EQ(box.text, LoadString(IDS_LANGUAGE_NOTICE + c.noticeOffset));
                EXPECT_EQ(box.caption, AppCaption);
                EXPECT_EQ(box.owner, (HWND)0);
                EXPECT_EQ(box.icon, StopIcon());
                EXPECT_FALSE(box.probeEnabled) << "task-modal";
            }
        }
        EXPECT_TRUE(Ended());
        EXPECT_EQ(LanguageOffset, 0) << "the running program keeps its language";
        EXPECT_EQ(StoredLanguage(), c.stored);
        DestroyWindow(dialog_);
        dialog_ = 0;
    }
}

}  // namespace
