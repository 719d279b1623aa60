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
#include "../native/text.h"
#include "runner.h"

namespace {

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

bool FileThere() { return GetFileAttributesA("C:\\VEXOSV32.DAT") != INVALID_FILE_ATTRIBUTES; }

TEST(DiskTestWhenThingsGoWrong)
{
    const UINT hand = MB_ICONHAND, memory = MB_ICONHAND | MB_TASKMODAL;
    struct Row {
        const char *what;
        DiskScript script;
        int fail;  // 0: none; 1: sample array; 2: write buffer; 3: read buffer
        uint32_t freeMB;
        // passed, tested, blocks, writes/reads, started, rates (if passed), rates kept
        const char *result, *box;
        UINT style;
    } rows[] = {
        {"steady", DiskScript(), 0, 500, "1 1 214 214/214 1 4800/9600 1234/5678", nullptr, 0},
        {"escape at block 150", DiskScript(), 0, 500, "1 1 199 199/199 1 4800/9600 1234/5678", nullptr, 0},
        {"disk full at block 120", DiskScript(), 0, 500, "1 1 119 120/119 1 4800/9600 1234/5678", "Could not open file", hand},
        {"short read at block 7", DiskScript(), 0, 500, "0 0 6 214/7 1 - 1234/5678", "Could not open file", hand},
        {"write fails at block 1", DiskScript(), 0, 500, "0 0 0 1/0 1 - 1234/5678", "Could not open file", hand},
        {"no sample array", DiskScript(), 1, 500, "0 1 0 0/0 0 - 0/0", "No free system memory", memory},
        {"no write buffer", DiskScript(), 2, 500, "0 0 214 0/0 0 - 1234/5678", "No free system memory", memory},
        {"no read buffer", DiskScript(), 3, 500, "0 0 214 214/0 1 - 1234/5678", "No free system memory", memory},
        {"exactly 20 MB free", DiskScript(), 0, 20, "0 1 0 0/0 0 - 0/0",
         "Not enough free hard disk space (20 MB / 20 MB)", MB_ICONEXCLAMATION},
        {"no counter: the tick count", DiskScript(), 0, 21, "1 1 214 214/214 1 1600/3200 1234/5678", nullptr, 0},
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
        TestResult &t = TestResults[0];
        t.tested = 1, t.writeRate = 1234, t.readRate = 5678;
        UseScriptedDisk(Owner(), r.script);
        FailGlobalAlloc = r.fail;
        int passed = RunDiskTest(Owner(), 0);
        CHECK_EQ(Text("%d %d %u %u/%u %d ", passed, t.tested, t.blockCount, Disk.writes, Disk.reads, TestStarted) +
                     (passed ? Text("%u/%u", t.writeRate, t.readRate) : "-") +
                     Text(" %u/%u", t.storedWriteRate, t.storedReadRate),
                 r.result);
        CHECK_EQ(Boxes, r.box ? std::vector<std::string>{Box(r.box, r.style, true)} : std::vector<std::string>());
        char title[128];
        GetWindowTextA(Owner(), title, sizeof title);
        CHECK_EQ(std::string(title), AppCaption);
        CHECK_EQ(Live(WATCH_FILE) * 10 + Live(WATCH_MEMORY), t.samples ? 1 : 0);
        if (&r == rows)
            CHECK_EQ(Disk.titles, (std::vector<std::string>{"Writing test file... wait - 20 MB (C:\\VEXOSV32.DAT) ",
                                                            "Reading test file... wait (20 MB)"}));
        DeleteTestFiles(Owner());
        CHECK(!FileThere() && !t.samples && Live(WATCH_MEMORY) == 0);
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
    CHECK_EQ(Get(LM, kWriteSpeed, "C:") + Get(LM, kReadSpeed, "C:") + Get(LM, kWriteSpeed, "Q:") + Get(LM, kReadSpeed, "Q:"),
             "dw:4800dw:9600dw:111dw:222");
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
    std::string roots;  // "A:\\|C:\\|..."
    DWORD mask, version;
    bool extended;
    std::string calls = "";
} Fake;

DWORD WINAPI FakeStrings(DWORD size, LPSTR out)
{
    std::string roots = Fake.roots + '|';
    for (char &c : roots)
        c = c == '|' ? 0 : c;
    if (roots.size() + 1 > size)
        return (DWORD)roots.size() + 1;
    memcpy(out, roots.c_str(), roots.size() + 1);
    return (DWORD)roots.size();
}
DWORD WINAPI FakeMask() { return Fake.mask; }
UINT WINAPI FakeType(LPCSTR root)
{
    return root[0] == 'D' ? DRIVE_CDROM : root[0] == 'N' ? DRIVE_REMOTE : root[0] == 'E' ? DRIVE_REMOVABLE : DRIVE_FIXED;
}
BOOL WINAPI FakeVolume(LPCSTR root, LPSTR label, DWORD size, LPDWORD, LPDWORD, LPDWORD, LPSTR, DWORD)
{
    Fake.calls += std::string("volume ") + root + ";";
    snprintf(label, size, "%s", root[0] == 'C' ? "SYSTEM" : root[0] == 'E' ? "" : "DATA");
    return root[0] != 'E';
}
BOOL WINAPI FakeFree(LPCSTR root, LPDWORD sectors, LPDWORD bytes, LPDWORD freeClusters, LPDWORD clusters)
{
    Fake.calls += std::string("free ") + root + ";";
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
    Fake.calls += "mode " + std::to_string(mode) + ";";
    return 77;
}
DWORD WINAPI FakeVersion() { return Fake.version; }

TEST(DriveListFromTheSystem)
{
    DriveCalls calls = {FakeStrings, FakeMask, FakeType, FakeVolume, FakeFree, FakeFindEx, FakeErrorMode, FakeVersion};
    struct Row {
        FakeDrives fake;
        const char *lines;
    } rows[] = {
        {{"A:\\|C:\\|D:\\|E:\\|N:\\", 0x201D, 0x0A280004, true},
         "SYSTEM(C:) 3072MB free of 5120MB|(E:) 3072MB free of 5120MB|; 3072 0"},
        {{"B:\\|C:\\|F:\\", 0x26, 0x0A280004, false}, "SYSTEM(C:) 1024MB free of 2047MB|DATA(F:) 1024MB free of 2047MB|; 1024 4321/8765"},
        {{"C:\\|F:\\", 0x24, 0x0A280003, true}, "SYSTEM(C:) 1024MB free of 2047MB|DATA(F:) 1024MB free of 2047MB|; 1024 4321/8765"},
        // More roots than the list's 100 characters hold: the drive mask, in order.
        {{"C:\\|F:\\|G:\\|H:\\|I:\\|J:\\|K:\\|L:\\|M:\\|O:\\|P:\\|Q:\\|R:\\|S:\\|T:\\|U:\\|V:\\|W:\\|X:\\|Y:\\|Z:\\|C:\\|C:\\|C:\\|C:\\|C:\\",
          0x3FFFFE4, 0x4, false}, "CFGHIJKL; 1024 4321/8765"},
    };
    for (const Row &r : rows) {
        Context = r.fake.roots;
        ResetRegistry();
        Put(LM, kWriteSpeed, "F:", "dw:4321");
        Put(LM, kReadSpeed, "F:", "dw:8765");
        StartAs(0, 1);
        Fake = r.fake;
        int count = BuildDriveListWith(0, &calls);
        std::string lines;
        for (int i = 0; i < count; i++)
            lines += count == 8 ? std::string(1, DriveTable[i].driveName[0]) : DriveTable[i].description + std::string("|");
        CHECK_EQ(lines + Text("; %u %u", TestResults[0].freeMB, TestResults[1].storedWriteRate) +
                     (TestResults[1].storedReadRate ? Text("/%u", TestResults[1].storedReadRate) : ""),
                 r.lines);
        CHECK_EQ(Fake.calls.substr(0, 35), "mode 1;volume C:\\;free C:\\;mode 77;");
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
    CHECK_EQ(CursorShown * 10 + Live(WATCH_MEMORY), 0);

    struct Row {
        int offset, board;
        const char *stored, *list;
        int chosen;
        WPARAM close;
        const char *typed;
        int sizeMB;
        const char *notice;
    } rows[] = {
        {0, BOARD_PUMA, nullptr, "4321 20 English|German|French| 0", 1, IDOK, "5", 10,
         "Sprachänderungen werden erst beim nächsten Start von vexoVIDEO STRAVO aktiv"},
        {500, BOARD_OCELOT, "fre", "98765 20 Englisch|Deutsch|Französisch| 2", 0, IDCANCEL, "2500", 2000,
         "Language selection will take effect after restarting vexoVIDEO STRAVO"},
        {0, BOARD_LYNX, nullptr, "98765 20 English|German|French| 0", 2, 0, "11", 11, nullptr},
    };
    for (const Row &r : rows) {
        Context = "language " + std::to_string(r.offset) + " choosing " + std::to_string(r.chosen);
        ResetRegistry();
        if (r.stored)
            Put(CU, kServal, "Language", std::string("sz:") + r.stored);
        StartAs(r.offset, 1);
        BoardType = r.board, PumaToMemoryRate = 4321, MeasuredMemoryRate = 98765;
        RunDialog(SysInfoDialogId, SysInfoDlgProc, [&](HWND dialog) {
            std::string shown = TextOf(dialog, IDC_MEMORY_RATE) + " " + TextOf(dialog, IDC_FILESIZE) + " ";
            for (int i = 0; i < 3; i++) {
                char text[32] = "";
                SendDlgItemMessageA(dialog, IDC_LANGUAGE, CB_GETLBTEXT, i, (LPARAM)text);
                shown += text + std::string("|");
            }
            CHECK_EQ(shown + Text(" %d", (int)SendDlgItemMessageA(dialog, IDC_LANGUAGE, CB_GETCURSEL, 0, 0)), Ansi(r.list));
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
        const char *codes[] = {"sz:ENG", "sz:GER", "sz:FRE"};
        CHECK_EQ(Text("%d %d ", TestFileSizeMB, LanguageOffset) + Get(CU, kServal, "Language"),
                 Text("%d %d %s", r.sizeMB, r.offset, codes[r.close ? r.chosen : 0]));
        CHECK_EQ(Boxes, r.notice ? std::vector<std::string>{Box(r.notice, MB_ICONHAND | MB_TASKMODAL, false)}
                                 : std::vector<std::string>());
    }
}

}  // namespace
