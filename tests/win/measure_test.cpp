// The measurement on real files and the system's drive calls: the passes when
// things go wrong, the clean-up, the drive list, the memory test and the system
// information dialog.
#include <string.h>

#include "../../evaluate/capture_rules.h"
#include "../../measure/disk_speed.h"
#include "../../measure/drive_list.h"
#include "../../measure/memory_bandwidth.h"
#include "../../resources/resource.h"
#include "../../shell/shell_state.h"
#include "runner.h"

namespace {

const char kFile[] = "C:\\VEXOSV32.DAT";

HWND Owner()
{
    // A child window: a top-level one of the program's title would pass for a
    // running instance.
    static HWND top = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 10, 10, 0, 0, 0, 0);
    static HWND owner = CreateWindowExA(0, "Static", "", WS_CHILD, 0, 0, 10, 10, top, 0, 0, 0);
    SetWindowTextA(owner, AppCaption);
    return owner;
}

void OnC(int slot, uint32_t freeMB)
{
    strcpy(DriveTable[slot].driveName, "C:");
    TestResults[slot].freeMB = freeMB;
}

bool FileThere() { return GetFileAttributesA(kFile) != INVALID_FILE_ATTRIBUTES; }

TEST(DiskTestWhenThingsGoWrong)
{
    struct Row {
        const char *what;
        DiskScript script;
        int fail;  // 0: none; 1: sample array; 2: write buffer; 3: read buffer
        uint32_t freeMB;
        int ok;
        uint32_t blocks, writes, reads;
        const char *box;
        UINT style;
    } rows[] = {
        {"steady", DiskScript(), 0, 500, 1, 214, 214, 214, nullptr, 0},
        {"escape at block 150", DiskScript(), 0, 500, 1, 199, 199, 199, nullptr, 0},
        {"disk full at block 120", DiskScript(), 0, 500, 1, 119, 120, 119, "Could not open file", MB_ICONHAND},
        {"short read at block 7", DiskScript(), 0, 500, 0, 6, 214, 7, "Could not open file", MB_ICONHAND},
        {"write fails at block 1", DiskScript(), 0, 500, 0, 0, 1, 0, "Could not open file", MB_ICONHAND},
        {"no sample array", DiskScript(), 1, 500, 0, 0, 0, 0, "No free system memory", MB_ICONHAND | MB_TASKMODAL},
        {"no write buffer", DiskScript(), 2, 500, 0, 214, 0, 0, "No free system memory", MB_ICONHAND | MB_TASKMODAL},
        {"no read buffer", DiskScript(), 3, 500, 0, 214, 214, 0, "No free system memory", MB_ICONHAND | MB_TASKMODAL},
        {"exactly 20 MB free", DiskScript(), 0, 20, 0, 0, 0, 0, "Not enough free hard disk space (20 MB / 20 MB)", MB_ICONEXCLAMATION},
        {"no counter: the tick count", DiskScript(), 0, 21, 1, 214, 214, 214, nullptr, 0},
    };
    rows[1].script.escapeAtWrite = 150;
    rows[2].script.failWriteAt = 120;
    rows[3].script.shortReadAt = 7;
    rows[4].script.failWriteAt = 1;
    rows[9].script.noCounter = true;
    for (Row &r : rows) {
        Context = r.what;
        StartAs(0, 0);
        OnC(0, r.freeMB);
        TestResults[0].tested = 1, TestResults[0].writeRate = 1234, TestResults[0].readRate = 5678;
        UseScriptedDisk(Owner(), r.script);
        FailGlobalAlloc = r.fail;
        CHECK_EQ(RunDiskTest(Owner(), 0), r.ok);
        const TestResult &t = TestResults[0];
        CHECK_EQ((int)t.tested, r.freeMB == 20 || r.fail == 1 ? 1 : r.ok);
        CHECK_EQ(t.blockCount, r.blocks);
        CHECK_EQ(Disk.writes * 1000 + Disk.reads, r.writes * 1000 + r.reads);
        CHECK_EQ(Boxes.size(), r.box ? 1u : 0u);
        if (r.box && Boxes.size())
            CHECK(Boxes[0].text == r.box && Boxes[0].style == r.style && Boxes[0].owner == Owner());
        CHECK_EQ(TestStarted, r.writes ? 1 : 0);
        if (r.ok)
            CHECK_EQ(t.writeRate * 100000 + t.readRate, r.script.noCounter ? 1600u * 100000 + 3200 : 4800u * 100000 + 9600);
        CHECK_EQ(t.storedWriteRate * 10000 + t.storedReadRate, r.freeMB == 20 || r.fail == 1 ? 0u : 1234u * 10000 + 5678);
        char title[128];
        GetWindowTextA(Owner(), title, sizeof title);
        CHECK_EQ(std::string(title), AppCaption);
        CHECK_EQ(Live(WATCH_FILE), 0);
        CHECK_EQ(Live(WATCH_MEMORY), t.samples ? 1 : 0);
        DeleteTestFiles(Owner());
        CHECK(!FileThere() && !t.samples && Live(WATCH_MEMORY) == 0);
    }
}

TEST(PassTitlesInEachLanguage)
{
    const char *titles[3][2] = {
        {"Writing test file... wait - 20 MB (C:\\VEXOSV32.DAT) ", "Reading test file... wait (20 MB)"},
        {"Schreibe Testdatei... bitte warten - 20 MB (C:\\VEXOSV32.DAT) ", "Lese Testdatei... bitte warten (20 MB)"},
        {"Ecriture du fichier test en cours... un instant svp - 20 MB (C:\\VEXOSV32.DAT) ",
         "Lecture du fichier test en cours... un instant svp (20 MB)"}};
    for (int language = 0; language < 3; language++) {
        Context = "language " + std::to_string(language);
        StartAs(language ? 400 + 100 * language : 0, 1);
        OnC(0, 500);
        UseScriptedDisk(Owner());
        RunDiskTest(Owner(), 0);
        CHECK_EQ(Disk.titles.size(), 2u);
        for (size_t pass = 0; pass < 2 && pass < Disk.titles.size(); pass++)
            CHECK_EQ(Disk.titles[pass], Ansi(titles[language][pass]));
        DeleteTestFiles(Owner());
    }
}

LRESULT CALLBACK CleanUpAtLogOff(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ENDSESSION)
        DeleteTestFiles(window);
    return DefWindowProcA(window, message, wParam, lParam);
}

// The clean-up stores each tested drive's rates under its name and removes the
// test files, those of failed tests too; a log-off in the middle of a pass stops
// the test and cleans up as well.
TEST(CleanUpAndLogOff)
{
    ResetRegistry();
    StartAs(600, 1);
    OnC(2, 500);
    strcpy(DriveTable[0].driveName, "Q:");
    TestResults[0].tested = 1, TestResults[0].writeRate = 111, TestResults[0].readRate = 222;
    UseScriptedDisk(Owner());
    CHECK(RunDiskTest(Owner(), 2));
    DeleteTestFiles(Owner());
    CHECK_EQ(RegGet(HKEY_LOCAL_MACHINE, kWriteSpeed, "C:"), Dword(4800));
    CHECK_EQ(RegGet(HKEY_LOCAL_MACHINE, kReadSpeed, "C:"), Dword(9600));
    CHECK_EQ(RegGet(HKEY_LOCAL_MACHINE, kWriteSpeed, "Q:"), Dword(111));
    CHECK_EQ(RegGet(HKEY_LOCAL_MACHINE, kReadSpeed, "Q:"), Dword(222));
    CHECK(!FileThere());

    DiskScript failing;
    failing.shortReadAt = 3;
    UseScriptedDisk(Owner(), failing);
    CHECK(!RunDiskTest(Owner(), 2) && FileThere());
    DeleteTestFiles(Owner());
    CHECK(!FileThere());

    DiskScript logOff;
    logOff.endSessionAtWrite = 150;
    UseScriptedDisk(Owner(), logOff);
    SetWindowLongPtrA(Owner(), GWLP_WNDPROC, (LONG_PTR)CleanUpAtLogOff);
    CHECK(!RunDiskTest(Owner(), 2));
    CHECK(Disk.writes == 199 && !FileThere() && Live(WATCH_FILE) == 0);
    UseScriptedDisk(Owner());
    CHECK(RunDiskTest(Owner(), 2));
    DeleteTestFiles(Owner());
    CHECK(!FileThere() && Live(WATCH_MEMORY) == 0);
}

// The drive list from scripted answers of the system: floppies skipped, other
// types left out, eight drives at most, figures from the extended call where
// there is one, the stored rates found by drive name.
struct FakeDrives {
    const char *roots;  // "A:\\|C:\\|..."
    DWORD mask, version;
    bool extended;
    std::vector<std::string> calls;
} Fake;

DWORD WINAPI FakeStrings(DWORD size, LPSTR out)
{
    std::string roots = Fake.roots;
    for (char &c : roots)
        c = c == '|' ? 0 : c;
    roots += std::string("\0", 1);
    if (roots.size() > size)
        return (DWORD)roots.size();
    memcpy(out, roots.data(), roots.size());
    return (DWORD)roots.size() - 1;
}
DWORD WINAPI FakeMask() { return Fake.mask; }
UINT WINAPI FakeType(LPCSTR root) { return root[0] == 'D' ? DRIVE_CDROM : root[0] == 'N' ? DRIVE_REMOTE : root[0] == 'E' ? DRIVE_REMOVABLE : DRIVE_FIXED; }
BOOL WINAPI FakeVolume(LPCSTR root, LPSTR label, DWORD size, LPDWORD, LPDWORD, LPDWORD, LPSTR, DWORD)
{
    Fake.calls.push_back(std::string("volume ") + root);
    snprintf(label, size, "%s", root[0] == 'C' ? "SYSTEM" : root[0] == 'E' ? "" : "DATA");
    return root[0] != 'E';
}
BOOL WINAPI FakeFree(LPCSTR root, LPDWORD sectors, LPDWORD bytes, LPDWORD freeClusters, LPDWORD clusters)
{
    Fake.calls.push_back(std::string("free ") + root);
    *sectors = 8, *bytes = 512, *freeClusters = 262144 + 255, *clusters = 524032;
    return TRUE;
}
BOOL WINAPI FakeFreeEx(LPCSTR, PULARGE_INTEGER available, PULARGE_INTEGER total, PULARGE_INTEGER all)
{
    available->QuadPart = 3ull << 30, total->QuadPart = 5ull << 30, all->QuadPart = 4ull << 30;
    return TRUE;
}
GetDiskFreeSpaceExProc FakeFindEx() { return Fake.extended ? FakeFreeEx : nullptr; }
UINT WINAPI FakeErrorMode(UINT mode)
{
    Fake.calls.push_back("mode " + std::to_string(mode));
    return 77;
}
DWORD WINAPI FakeVersion() { return Fake.version; }

TEST(DriveListFromTheSystem)
{
    DriveCalls calls = {FakeStrings, FakeMask, FakeType, FakeVolume, FakeFree, FakeFindEx, FakeErrorMode, FakeVersion};
    struct Row {
        const char *roots;
        DWORD mask, version;
        bool extended;
        int count;
        const char *second, *lines;
    } rows[] = {
        {"A:\\|C:\\|D:\\|E:\\|N:\\", 0x201D, 0x0A280004, true, 2, "E:",
         "SYSTEM(C:) 3072MB free of 5120MB|(E:) 3072MB free of 5120MB"},
        {"B:\\|C:\\|F:\\", 0x26, 0x0A280004, false, 2, "F:", "SYSTEM(C:) 1024MB free of 2047MB|DATA(F:) 1024MB free of 2047MB"},
        {"C:\\|F:\\", 0x24, 0x0A280003, true, 2, "F:", "SYSTEM(C:) 1024MB free of 2047MB|DATA(F:) 1024MB free of 2047MB"},
        {"C:\\|F:\\|G:\\|H:\\|I:\\|J:\\|K:\\|L:\\|M:\\", 0x1FE4, 0x4, false, 8, "F:", nullptr},
        // More roots than the list's 100 characters hold: the drive mask, in order.
        {"C:\\|F:\\|G:\\|H:\\|I:\\|J:\\|K:\\|L:\\|M:\\|O:\\|P:\\|Q:\\|R:\\|S:\\|T:\\|U:\\|V:\\|W:\\|X:\\|Y:\\|Z:\\|C:\\|C:\\|C:\\|C:\\|C:\\",
         0x3FFFFE4, 0x4, false, 8, "F:", nullptr},
    };
    for (const Row &r : rows) {
        Context = r.roots;
        ResetRegistry();
        RegPut(HKEY_LOCAL_MACHINE, kWriteSpeed, "F:", Dword(4321));
        RegPut(HKEY_LOCAL_MACHINE, kReadSpeed, "F:", Dword(8765));
        StartAs(0, 1);
        Fake = {r.roots, r.mask, r.version, r.extended, {}};
        CHECK_EQ(BuildDriveListWith(0, &calls), r.count);
        std::string lines;
        for (int i = 0; i < r.count; i++)
            lines += (i ? "|" : "") + std::string(DriveTable[i].description);
        if (r.lines)
            CHECK_EQ(lines, r.lines);
        CHECK_EQ(std::string(DriveTable[1].driveName), r.second);
        CHECK_EQ(TestResults[0].freeMB, r.extended && r.version % 256 >= 4 ? 3072u : 1024u);
        CHECK_EQ(TestResults[1].storedWriteRate * 10000 + TestResults[1].storedReadRate,
                 std::string(DriveTable[1].driveName) == "F:" ? 4321u * 10000 + 8765 : 0u);
        CHECK_EQ(std::string(DriveTable[7].driveName), r.count == 8 ? "L:" : "");
        CHECK_EQ(Fake.calls.size() ? Fake.calls[0] + ";" + Fake.calls[1] + ";" + Fake.calls[2] + ";" + Fake.calls[3] : "",
                 "mode 1;volume C:\\;free C:\\;mode 77");
        CHECK_EQ(BuildDriveListWith(0, &calls), 0);
    }
}

TEST(MemoryTestAndSystemInformation)
{
    StartAs(0, 1);
    FailGlobalAlloc = 1;
    CHECK(!RunMemoryTest() && !MemoryTestDone && ToMemoryRate == 85000);
    FromMemoryRate = 60000;
    FailGlobalAlloc = 2;
    CHECK(RunMemoryTest() && MemoryTestDone && MeasuredMemoryRate == 0);
    CHECK(ToMemoryRate == 85000 && FromMemoryRate == 85000);
    CHECK(RunMemoryTest() && MeasuredMemoryRate > 0 && MeasuredMemoryRate <= 132000);
    CHECK(ToMemoryRate == MeasuredMemoryRate && FromMemoryRate == MeasuredMemoryRate);
    CHECK_EQ(CursorShown, 0);
    CHECK_EQ(Live(WATCH_MEMORY), 0);

    struct Row {
        int offset, board;
        const char *stored;
        const char *list;
        int chosen;
        WPARAM close;
        const char *typed;
        int sizeMB;
        const char *notice;
    } rows[] = {
        {0, BOARD_PUMA, nullptr, "English|German|French", 1, IDOK, "5", 10,
         "Sprachänderungen werden erst beim nächsten Start von vexoVIDEO STRAVO aktiv"},
        {500, BOARD_OCELOT, "fre", "Englisch|Deutsch|Französisch", 0, IDCANCEL, "2500", 2000,
         "Language selection will take effect after restarting vexoVIDEO STRAVO"},
        {600, BOARD_LYNX, "GER", "Englais|Allemand|Français", 2, SC_CLOSE, "abc", 10,
         "Les changes de langue sont activés après la fermeture du programme"},
        {0, BOARD_LYNX, "GER", "English|German|French", 1, IDOK, " 300 ", 300, nullptr},
        {0, BOARD_LYNX, nullptr, "English|German|French", 2, 0, "11", 11, nullptr},
    };
    for (const Row &r : rows) {
        Context = "language " + std::to_string(r.offset) + " choosing " + std::to_string(r.chosen);
        ResetRegistry();
        if (r.stored)
            RegPut(HKEY_CURRENT_USER, kServalKey, "Language", Sz(r.stored));
        StartAs(r.offset, 1);
        BoardType = r.board, PumaToMemoryRate = 4321, MeasuredMemoryRate = 98765;
        RunDialog(SysInfoDialogId, SysInfoDlgProc, [&](HWND dialog) {
            CHECK_EQ(TextOf(dialog, IDC_MEMORY_RATE), r.board == BOARD_PUMA ? "4321" : "98765");
            CHECK_EQ(TextOf(dialog, IDC_FILESIZE), "20");
            std::string list;
            for (int i = 0; i < 3; i++) {
                char text[32] = "";
                SendDlgItemMessageA(dialog, IDC_LANGUAGE, CB_GETLBTEXT, i, (LPARAM)text);
                list += (i ? "|" : "") + std::string(text);
            }
            CHECK_EQ(list, Ansi(r.list));
            int initial = r.stored ? (r.stored[0] == 'G' ? 1 : 2) : 0;
            CHECK_EQ((int)SendDlgItemMessageA(dialog, IDC_LANGUAGE, CB_GETCURSEL, 0, 0), initial);
            SendDlgItemMessageA(dialog, IDC_LANGUAGE, CB_SETCURSEL, r.chosen, 0);
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_LANGUAGE, CBN_SELCHANGE), 0);
            SetDlgItemTextA(dialog, IDC_FILESIZE, r.typed);
            if (r.close == IDOK)
                SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_FILESIZE, EN_KILLFOCUS), 0);
            if (!r.close) {
                SendDlgItemMessageA(dialog, IDC_LANGUAGE, CB_SETCURSEL, 0, 0);
                SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_LANGUAGE, CBN_SELCHANGE), 0);
            }
            if (r.close == SC_CLOSE)
                SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
            else
                SendMessageA(dialog, WM_COMMAND, r.close ? r.close : IDOK, 0);
            CHECK_EQ(TextOf(dialog, IDC_FILESIZE), r.typed);
        });
        CHECK_EQ(TestFileSizeMB, r.sizeMB);
        const char *codes[] = {"ENG", "GER", "FRE"};
        CHECK_EQ(RegGet(HKEY_CURRENT_USER, kServalKey, "Language"), Sz(r.close ? codes[r.chosen] : "ENG"));
        CHECK_EQ(Boxes.size(), r.notice && r.close != SC_CLOSE ? 1u : 0u);
        if (Boxes.size())
            CHECK(Boxes[0].text == Ansi(r.notice) && Boxes[0].style == (MB_ICONHAND | MB_TASKMODAL) && !Boxes[0].owner);
        CHECK_EQ(LanguageOffset, r.offset);
    }
}

}  // namespace
