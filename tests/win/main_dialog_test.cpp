// The main dialog's Store and close sequences and the drive selection, on a real
// dialog made from the template, with the tested slot set up by the test.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "../../evaluate/capture_rules.h"
#include "../../measure/drive_records.h"
#include "../../measure/memory_test.h"
#include "../../resources/resource.h"
#include "../../shell/main_dialog.h"
#include "../../shell/shell_state.h"
#include "msgbox_watch.h"
#include "registry_helpers.h"
#include "test_dialogs.h"

namespace {

const char kStravo[] = "Software\\vexo Computer Products\\vexoVIDEO STRAVO";
const char kCaracal[] = "Software\\vexo Computer Products\\vexoVIDEO Caracal";
const char kPumaDriver[] = "Software\\vexo Computer Products\\vexoVIDEO Puma";

std::string LoadString(UINT id)
{
    char text[512];
    int n = LoadStringA(GetModuleHandleA(0), id, text, sizeof text);
    return std::string(text, n > 0 ? n : 0);
}

// A subkey-form text: the default value of path\subkey, or "" when absent.
std::string SubkeyText(HKEY root, const std::string &path, const char *subkey)
{
    RegValue value = GetRegValue(root, (path + "\\" + subkey).c_str(), 0);
    if (!value.found)
        return "";
    EXPECT_EQ(value.type, (DWORD)REG_SZ) << subkey;
    std::string text = value.text();
    return text.substr(0, text.find('\0'));
}

void ResetDriveRecords()
{
    for (DriveEntry &entry : DriveTable) {
        entry.description[0] = 0;
        entry.driveName[0] = 0;
    }
    memset(TestResults, 0, sizeof TestResults);
}

class MainDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        UseEnglish();
        ResetProgramRegistry();
        ResetDriveRecords();
        ReferenceStored = 0;
        TestStarted = 0;
        LastTestedDrive = 0;
    }
    void TearDown() override
    {
        Destroy();
        ResetProgramRegistry();
        ResetDriveRecords();
        IsWindowsNT = 0;
    }
    void Open(int nt, const char *actBoard)
    {
        IsWindowsNT = nt;
        if (actBoard)
            SetRegText(HKEY_LOCAL_MACHINE, (std::string(kStravo) + "\\ActBoard").c_str(), 0, actBoard);
        dialog_ = CreateDialogParamA(AppInstance, MAKEINTRESOURCEA(IDD_MAIN), 0, DlgMain, 0);
        ASSERT_TRUE(dialog_);
        ASSERT_GE(SendDlgItemMessageA(dialog_, IDC_DRIVES, CB_GETCOUNT, 0, 0), 1);
    }
    // The dialog's WM_DESTROY posts a quit message; left in the queue it would end
    // the next message box at once.
    void Destroy()
    {
        if (dialog_)
            DestroyWindow(dialog_);
        MSG message;
        while (PeekMessageA(&message, 0, 0, 0, PM_REMOVE))
            ;
    }
    void Test(int slot, uint32_t rate, uint32_t quality)
    {
        TestResults[slot].tested = 1;
        TestResults[slot].writeRate = TestResults[slot].readRate = 20000;
        TestResults[slot].availableRate = rate;
        TestResults[slot].qualityClass = quality;
    }
    void Select(int position)
    {
        SendDlgItemMessageA(dialog_, IDC_DRIVES, CB_SETCURSEL, position, 0);
        SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(IDC_DRIVES, CBN_SELCHANGE),
                     (LPARAM)GetDlgItem(dialog_, IDC_DRIVES));
    }
    void Command(int id) { SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
    bool Enabled(int id) const { return IsWindowEnabled(GetDlgItem(dialog_, id)) != 0; }
    bool Ended() const { return !IsWindowVisible(dialog_); }
    HWND dialog_ = 0;
};

TEST_F(MainDialog, StoreOnWindowsNtWritesTheBoardsKey)
{
    struct Case { const char *actBoard; const char *key; uint32_t quality; const char *format; } cases[] = {
        {"vexoVIDEO Ocelot", "Software\\vexo\\Ocelot", 2, "HIGH"},
        {"vexoVIDEO Lynx", "Software\\vexo\\Lynx", 1, "MID"},
        {"vexoVIDEO Puma", "Software\\vexo\\Puma", 0, "LOW"},
        {0, "Software\\vexo\\Puma", 7, "LOW"},  // no board found: Puma on NT
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.key);
        ResetProgramRegistry();
        ResetDriveRecords();
        ReferenceStored = 0;
        Open(1, c.actBoard);
        Test(0, 2382, c.quality);
        Command(IDC_STORE);
        EXPECT_EQ(SubkeyText(HKEY_CURRENT_USER, c.key, "CapRate"), "2382");
        EXPECT_EQ(SubkeyText(HKEY_CURRENT_USER, c.key, "CapDrive"), DriveTable[0].driveName);
        EXPECT_EQ(SubkeyText(HKEY_CURRENT_USER, c.key, "CapFormat"), c.format);
        EXPECT_STREQ(QualityText, c.format);
        EXPECT_EQ(ReferenceStored, 1);
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog_, IDC_DRIVES));
        EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, kCaracal));  // nothing of Windows 95
        Destroy();
    }
}

TEST_F(MainDialog, StoreOnWindows95WritesTheProductKeyInValueForm)
{
    for (bool puma : {false, true}) {
        SCOPED_TRACE(puma ? "Puma found" : "no board found");
        ResetProgramRegistry();
        ResetDriveRecords();
        if (puma)
            SetRegDword(HKEY_LOCAL_MACHINE, kPumaDriver, "WriteToMem", 8000);
        Open(0, 0);
        Test(0, 6144, 2);
        Command(IDC_STORE);
        const char *key = puma ? kPumaDriver : kCaracal;
        RegValue rate = GetRegValue(HKEY_CURRENT_USER, key, "AssumedDataRate");
        ASSERT_TRUE(rate.found);
        EXPECT_EQ(rate.type, (DWORD)REG_DWORD);
        EXPECT_EQ(rate.dword(), 6144u);
        RegValue drive = GetRegValue(HKEY_CURRENT_USER, key, "CapDrive");
        ASSERT_TRUE(drive.found);
        EXPECT_EQ(drive.type, (DWORD)REG_SZ);
        EXPECT_STREQ(drive.text().c_str(), DriveTable[0].driveName);
        EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, "Software\\vexo"));  // nothing of NT
        Destroy();
    }
}

TEST_F(MainDialog, CapDriveNamesTheTestedDriveNotTheListPosition)
{
    Open(1, "vexoVIDEO Puma");
    int count = (int)SendDlgItemMessageA(dialog_, IDC_DRIVES, CB_GETCOUNT, 0, 0);
    ASSERT_GE(count, 2) << "the prefix needs C: and another fixed drive";
    // Wine's second drive is Z:, so list position 1 is not "D:".
    ASSERT_STRNE(DriveTable[1].driveName, "D:");
    Test(1, 3000, 1);
    Select(1);
    Command(IDC_STORE);
    EXPECT_EQ(SubkeyText(HKEY_CURRENT_USER, "Software\\vexo\\Puma", "CapDrive"), DriveTable[1].driveName);
}

TEST_F(MainDialog, StoreOnAnUntestedDriveWarnsAndWritesNothing)
{
    Open(1, "vexoVIDEO Puma");
    MessageBoxWatch watch;
    Command(IDC_STORE);
    ASSERT_EQ(watch.seen().size(), 1u);
    const SeenMessageBox &box = watch.seen()[0];
    EXPECT_EQ(box.text, LoadString(IDS_NOT_TESTED));
    EXPECT_EQ(box.caption, AppCaption);
    EXPECT_EQ(box.owner, dialog_);
    EXPECT_EQ(box.icon, ExclamationIcon());
    EXPECT_TRUE(box.hasOk);
    EXPECT_FALSE(box.hasCancel);
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog_, IDC_START));
    EXPECT_EQ(ReferenceStored, 0);
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, "Software\\vexo"));
}

TEST_F(MainDialog, SelectingADriveFollowsItsTestedFlag)
{
    Open(1, 0);
    ASSERT_GE(SendDlgItemMessageA(dialog_, IDC_DRIVES, CB_GETCOUNT, 0, 0), 2);
    EXPECT_FALSE(Enabled(IDC_STORE));
    EXPECT_FALSE(Enabled(IDC_GRAPHIC));
    Test(1, 1000, 0);
    Select(1);
    EXPECT_EQ(SelectedDrive, 1);
    EXPECT_TRUE(Enabled(IDC_STORE));
    EXPECT_TRUE(Enabled(IDC_GRAPHIC));
    for (int id : {IDC_FRAME1, IDC_RATIO1, IDC_RATE})
        SetDlgItemTextA(dialog_, id, "x");
    Select(0);
    EXPECT_EQ(SelectedDrive, 0);
    EXPECT_FALSE(Enabled(IDC_STORE));
    EXPECT_FALSE(Enabled(IDC_GRAPHIC));
    char text[16];
    for (int id : {IDC_FRAME1, IDC_FRAME2, IDC_FRAME3, IDC_RATIO1, IDC_RATIO2, IDC_RATIO3, IDC_RATE}) {
        GetDlgItemTextA(dialog_, id, text, sizeof text);
        EXPECT_STREQ(text, "") << id;
    }
}

TEST_F(MainDialog, CloseSequenceAsksOnlyWhenAStoreIsDue)
{
    enum { NO_ANSWER = 0 };
    struct Case {
        const char *what;
        const char *actBoard;
        int testedSlot;  // -1: none
        int selected;
        int started;
        bool assumedRate;
        int answer;
        int boxes;
        bool ended;
        bool stored;
    } cases[] = {
        {"nothing tested", "vexoVIDEO Puma", -1, 0, 0, false, NO_ANSWER, 0, true, false},
        {"no reference yet: stores unasked", "vexoVIDEO Puma", 0, 0, 1, false, NO_ANSWER, 0, true, true},
        {"reference exists, Cancel", "vexoVIDEO Puma", 0, 0, 1, true, IDCANCEL, 1, false, false},
        {"reference exists, Yes", "vexoVIDEO Puma", 0, 0, 1, true, IDYES, 1, true, true},
        {"reference exists, No", "vexoVIDEO Puma", 0, 0, 1, true, IDNO, 1, true, false},
        {"no board: never asks", 0, 0, 0, 1, true, NO_ANSWER, 0, true, false},
        {"started, never succeeded, Yes", "vexoVIDEO Puma", -1, 0, 1, true, IDYES, 2, true, false},
        {"tested C:, D: selected, Yes", "vexoVIDEO Puma", 0, 1, 1, false, IDYES, 1, true, true},
        {"tested C:, D: selected, No", "vexoVIDEO Puma", 0, 1, 1, false, IDNO, 1, true, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ResetProgramRegistry();
        ResetDriveRecords();
        ReferenceStored = 0;
        LastTestedDrive = 0;
        Open(1, c.actBoard);
        if (c.assumedRate)
            SetRegDword(HKEY_CURRENT_USER, kCaracal, "AssumedDataRate", 2000);
        if (c.testedSlot >= 0)
            Test(c.testedSlot, 2382, 2);
        Select(c.selected);
        TestStarted = c.started;
        {
            MessageBoxWatch watch({c.answer, IDOK});
            SendMessageA(dialog_, WM_CLOSE, 0, 0);
            ASSERT_EQ(watch.seen().size(), (size_t)c.boxes);
            if (c.boxes) {
                const SeenMessageBox &box = watch.seen()[0];
                EXPECT_EQ(box.text, LoadString(IDS_STORE_PROMPT));
                EXPECT_EQ(box.caption, AppCaption);
                EXPECT_EQ(box.owner, dialog_);
                EXPECT_EQ(box.icon, ExclamationIcon());
                EXPECT_TRUE(box.hasYes && box.hasNo && box.hasCancel);
            }
            if (c.boxes == 2)
                EXPECT_EQ(watch.seen()[1].text, LoadString(IDS_NOT_TESTED));
        }
        EXPECT_EQ(Ended(), c.ended);
        if (!c.ended)
            EXPECT_EQ(GetFocus(), GetDlgItem(dialog_, IDC_STORE));
        // Selecting a drive evaluates it again: 20000 kB/s both ways is the Puma's cap.
        if (c.testedSlot >= 0 && c.testedSlot == c.selected) {
            uint32_t rate = TestResults[c.testedSlot].availableRate;
            EXPECT_TRUE(rate == 3100 || rate == 3700) << rate;
        }
        EXPECT_EQ(SubkeyText(HKEY_CURRENT_USER, "Software\\vexo\\Puma", "CapRate"),
                  c.stored ? std::to_string(TestResults[0].availableRate) : "");
        if (c.stored)
            EXPECT_EQ(SubkeyText(HKEY_CURRENT_USER, "Software\\vexo\\Puma", "CapDrive"), DriveTable[0].driveName);
        Destroy();
    }
}

}  // namespace

namespace {

TEST_F(MainDialog, MoreRunsTheMemoryTestOnlyBeforeItsFirstOpening)
{
    SysInfoDialogId = IDD_SYSINFO;  // English, whatever the start-up tests left
    Open(1, "vexoVIDEO Ocelot");
    EXPECT_EQ(MemoryTestDone, 0);
    {
        MessageBoxWatch watch;  // answers the system information dialog with Close
        Command(IDC_MORE);
        ASSERT_EQ(watch.seen().size(), 1u);
        EXPECT_EQ(watch.seen()[0].owner, dialog_);
        EXPECT_EQ(watch.seen()[0].caption, "System informations");
    }
    EXPECT_EQ(MemoryTestDone, 1);
    EXPECT_GT(MeasuredMemoryRate, 0u);
    EXPECT_EQ(ToMemoryRate, MeasuredMemoryRate);
    MeasuredMemoryRate = 4321;  // a second test would overwrite it
    {
        MessageBoxWatch watch;
        Command(IDC_MORE);
        ASSERT_EQ(watch.seen().size(), 1u);
    }
    EXPECT_EQ(MeasuredMemoryRate, 4321u);
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog_, IDC_START));
}

}  // namespace
