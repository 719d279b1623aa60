// The Windows runner: the program's own procedures on its own templates, with the
// real registry and files, checks that name their line, and the watch that the
// program's sources are built with here (watch.h): what they make and free is
// noted; message boxes, help calls and nested dialogs answer from
// the test's script instead of the system. Prints a line per test and
// "win: N passed, N failed"; an argument runs the tests whose names contain it.
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "../../core/app_state.h"
#include "../../core/language.h"
#include "../../evaluate/capture_rules.h"
#include "../../graph/graph_dialog.h"
#include "../../measure/disk_speed.h"
#include "../../measure/drive_list.h"
#include "../../measure/drive_records.h"
#include "../../measure/memory_bandwidth.h"
#include "../../resources/resource.h"
#include "../../shell/startup.h"
#include "../../shell/sysinfo_dialog.h"
#include "../../store/store.h"
#include "../native/text.h"

#define STRAVO_WATCH_KINDS_ONLY
#include "watch.h"

using std::string;
using std::to_string;

// Checks in the manner of Wine's own tests: a failure names its line and what the
// test is about at that moment (the row of a table, the step of a story).
std::vector<std::pair<const char *, void (*)()>> Cases;
string Context;
int Failures;
#define TEST(name) \
    static void name(); \
    static const bool name##_listed = (Cases.push_back({#name, name}), true); \
    static void name()

bool CheckAt(bool ok, int line, const string &what)
{
    if (!ok)
        printf("line %d: %s%s%s\n", line, Context.c_str(), Context.empty() ? "" : ": ", what.c_str()), Failures++;
    return ok;
}
#define CHECK(c) CheckAt((c), __LINE__, #c)
string Shown(long long v) { return to_string(v); }
string Shown(const string &v) { return '"' + v + '"'; }
template <class A, class B>
bool CheckEqualAt(const A &a, const B &b, int line, const char *text)
{
    return (a == b) || CheckAt(false, line, string(text) + " is " + Shown(a) + ", not " + Shown(b));
}
#define CHECK_EQ(a, b) CheckEqualAt((a), (b), __LINE__, #a)

// Registry values as text: "sz:TEXT", "dw:NUMBER", "bin:HEX"; "-" for none.
const HKEY LM = HKEY_LOCAL_MACHINE, CU = HKEY_CURRENT_USER;
const string kCompany = "Software\\vexo Computer Products\\", kStravo = kCompany + "vexoVIDEO STRAVO",
                         kServal = kCompany + "Serval", kCaracal = kCompany + "vexoVIDEO Caracal",
                         kPuma = kCompany + "vexoVIDEO Puma", kVidCap = "Software\\Microsoft\\Multimedia Tools\\VidCap",
                         kWriteSpeed = kStravo + "\\WriteSpeed", kReadSpeed = kStravo + "\\ReadSpeed",
                         kActBoard = kStravo + "\\ActBoard";

void Put(HKEY root, const string &path, const char *name, const string &value)
{
    HKEY key;
    string type = value.substr(0, value.find(':')), text = value.substr(type.size() + 1), data;
    DWORD number = strtoul(text.c_str(), 0, 10);
    if (type == "dw")
        data.assign((const char *)&number, 4);
    else if (type == "sz")
        data = text + '\0';
    else
        for (size_t i = 0; i + 1 < text.size(); i += 2)
            data += (char)strtoul(text.substr(i, 2).c_str(), 0, 16);
    if (RegCreateKeyExA(root, path.c_str(), 0, 0, 0, KEY_WRITE, 0, &key, 0) == ERROR_SUCCESS) {
        RegSetValueExA(key, name, 0, type == "dw" ? REG_DWORD : type == "sz" ? REG_SZ : REG_BINARY,
                       (const BYTE *)data.data(), (DWORD)data.size());
        RegCloseKey(key);
    }
}

string Get(HKEY root, const string &path, const char *name)
{
    HKEY key;
    unsigned char data[4096];
    DWORD type, size = sizeof data;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key))
        return "-";
    LONG status = RegQueryValueExA(key, name, 0, &type, data, &size);
    RegCloseKey(key);
    if (status)
        return "-";
    if (type == REG_DWORD && size == 4)
        return "dw:" + to_string(*(DWORD *)data);
    if (type == REG_SZ && size && !data[size - 1])
        return "sz:" + string((char *)data, size - 1);
    string out = type == REG_SZ ? "sz:" : type == REG_DWORD ? "dw:" : "bin:";
    for (DWORD i = 0; i < size; i++)
        out += Text("%02x", data[i]);
    return out;
}

bool KeyThere(HKEY root, const string &path)
{
    HKEY key;
    return RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS && !RegCloseKey(key);
}

// Removes the keys the program owns or reads; a country code (1: English, NTSC).
void ResetRegistry(const char *country = "1")
{
    for (HKEY root : {CU, LM}) {
        RegDeleteTreeA(root, "Software\\vexo Computer Products");
        RegDeleteTreeA(root, "Software\\vexo");
    }
    RegDeleteTreeA(CU, kVidCap.c_str());
    Put(CU, "Control Panel\\International", "iCountry", string("sz:") + country);
}

// What the watch saw: message boxes as lines "text|caption|style|owned", help calls
// as "FILE command;" and "VERB FILE;" (the shell's), files opened as "PATH access share disposition flags;", texts
// drawn as "TEXT;"; answers
// to the next boxes (IDOK after them); the n-th global allocation from now that fails
// (0: none).
string Boxes, Help, Opens, Drawn;
std::vector<int> BoxAnswers;
size_t BoxCount;
int FailGlobalAlloc;
int CursorShown;
std::vector<std::pair<int, const void *>> LiveObjects;

// The program's state as start-up leaves it, in a language (0, 500, 600), with
// the drive tables and the main dialog's state cleared.
void StartAs(int languageOffset, int windowsNT)
{
    AppInstance = GetModuleHandleA(0);
    SetLanguage(languageOffset);
    IsWindowsNT = windowsNT;
    ReferenceStored = TestStarted = SelectedDrive = LastTestedDrive = RateCapOff = MemoryTestDone = 0;
    TestFileSizeMB = TEST_SIZE_AUTOMATIC;
    for (int slot = 0; slot < MAX_DRIVES; slot++) {
        if (TestResults[slot].samples)
            GlobalFree((HGLOBAL)TestResults[slot].samples);
        TestResults[slot] = TestResult();
        DriveTable[slot].description[0] = DriveTable[slot].driveName[0] = 0;
    }
    PassCalls = &SystemDiskCalls;
    Boxes.clear(), BoxAnswers.clear(), Help.clear(), Opens.clear(), Drawn.clear(), LiveObjects.clear();
    BoxCount = 0;
    FailGlobalAlloc = CursorShown = 0;
}

// Objects of a kind (-1: all) made and not yet freed.
int Live(int kind = -1)
{
    int n = 0;
    for (auto &object : LiveObjects)
        n += kind < 0 || object.first == kind;
    return n;
}

// The disk passes on real files with a clock of the script's: writes take 20 ms
// (or as long as the script says) and reads 10 ms (4800 and 9600 kB/s), and a new
// title as long as the script says; a write can fail, a read come short, Escape be
// released or a log-off be sent at a chosen block (counted from 1).
struct DiskScript {
    uint32_t failWriteAt = 0, shortReadAt = 0, escapeAtWrite = 0, endSessionAtWrite = 0, writeMs = 20, titleMs = 0;
    // no performance counter: the tick count serves; no data moved: a test of 2000 MB
    bool noCounter = false, noData = false;
    uint32_t writes = 0, reads = 0;
    // each title the owner was given, each ending in "|"
    string titles;
} Disk;
HWND DiskOwner;
uint32_t FakeMs;


DWORD WINAPI SendEndSession(void *) { return (DWORD)SendMessageA(DiskOwner, WM_ENDSESSION, TRUE, 0); }

BOOL WINAPI ScriptedWrite(HANDLE file, LPCVOID data, DWORD bytes, LPDWORD done, LPOVERLAPPED o)
{
    ++Disk.writes, FakeMs += Disk.writeMs;
    // unbuffered transfers need sector-aligned buffers; a compressing volume writes zeros fast
    Disk.titles += (uintptr_t)data % 4096 || !*(const BYTE *)data ? "?" : "";
    if (Disk.writes == Disk.escapeAtWrite)
        PostMessageA(DiskOwner, WM_KEYUP, VK_ESCAPE, 0xC0000001);
    if (Disk.writes == Disk.endSessionAtWrite) {
        CloseHandle(CreateThread(0, 0, SendEndSession, 0, 0, 0));
        while (!(HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE))
            Sleep(5);
    }
    return !(Disk.failWriteAt && Disk.writes >= Disk.failWriteAt) &&
           (Disk.noData ? (*done = bytes) : WriteFile(file, data, bytes, done, o));
}

BOOL WINAPI ScriptedRead(HANDLE file, LPVOID data, DWORD bytes, LPDWORD done, LPOVERLAPPED o)
{
    ++Disk.reads, FakeMs += 10;
    BOOL ok = Disk.noData ? (*done = bytes) : ReadFile(file, data, bytes, done, o);
    if (Disk.reads == Disk.shortReadAt)
        *done = bytes - 512;
    return ok;
}

// must not be the counter's
DWORD WINAPI FakeTicks() { return FakeMs * 3 + 7; }
BOOL WINAPI FakeCounter(LARGE_INTEGER *now) { now->QuadPart = FakeMs * 10ll + 123456789; return TRUE; }
BOOL WINAPI FakeFrequency(LARGE_INTEGER *f) { f->QuadPart = 10000; return !Disk.noCounter; }
const DiskCalls ScriptedCalls = {ScriptedWrite, ScriptedRead, FakeTicks, FakeCounter, FakeFrequency};

void UseScriptedDisk(HWND owner, DiskScript script = DiskScript())
{
    Disk = script;
    DiskOwner = owner;
    PassCalls = &ScriptedCalls;
}

// The watch's side.
void *WatchMade(int kind, void *handle)
{
    if (handle && handle != INVALID_HANDLE_VALUE)
        LiveObjects.push_back({kind, handle});
    return handle;
}

void WatchGone(int kind, const void *handle)
{
    for (size_t i = 0; i < LiveObjects.size(); i++)
        if (LiveObjects[i] == std::make_pair(kind, handle))
            return (void)LiveObjects.erase(LiveObjects.begin() + i);
}

HGLOBAL WINAPI WatchGlobalAlloc(UINT flags, SIZE_T bytes)
{
    if (FailGlobalAlloc && --FailGlobalAlloc == 0)
        return 0;
    return (HGLOBAL)WatchMade(WATCH_MEMORY, GlobalAlloc(flags, bytes));
}

LONG WatchKey(LONG status, HKEY *key) { return status == ERROR_SUCCESS && WatchMade(WATCH_KEY, *key), status; }

HANDLE WINAPI WatchCreateFileA(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                               DWORD disposition, DWORD flags, HANDLE model)
{
    Opens += Text("%s %lx %lx %lu %lx;", path, access, share, disposition, flags);
    return WatchMade(WATCH_FILE, CreateFileA(path, access, share, security, disposition, flags, model));
}

// A string of the program's in a language, as its ANSI calls see it (its text is pe's
// to check).
string Lang(UINT id, int offset = LanguageOffset)
{
    char text[512];
    return LoadStringA(GetModuleHandleA(0), id + offset, text, sizeof text) ? text : "?";
}

// A message box as Boxes holds it; by default a warning owned by a window.
string Box(const string &text, UINT style = MB_ICONEXCLAMATION, bool owned = true)
{
    return Text("%s|vexoVIDEO STRAVO (Stravometer)|%u|%s\n", text.c_str(), style, owned ? "owned" : "");
}

int WINAPI WatchMessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT style)
{
    Boxes += Text("%s|%s|%u|%s\n", text, caption, style, owner ? "owned" : "");
    return ++BoxCount <= BoxAnswers.size() ? BoxAnswers[BoxCount - 1] : IDOK;
}

BOOL WINAPI WatchTextOutA(HDC dc, int x, int y, LPCSTR text, int n)
{
    return Drawn += string(text, n) + ";", TextOutA(dc, x, y, text, n);
}

BOOL WINAPI WatchSetWindowTextA(HWND window, LPCSTR text)
{
    if (window == DiskOwner)
        Disk.titles += text + string("|"), FakeMs += Disk.titleMs;
    return SetWindowTextA(window, text);
}

BOOL WINAPI WatchWinHelpA(HWND, LPCSTR file, UINT command, ULONG_PTR)
{
    Help += string(file) + " " + to_string(command) + ";";
    return TRUE;
}

// The shell's answer; the program's folder in the Help test.
#define HERE "C:\\stravo\\"
INT_PTR ShellAnswer;
HINSTANCE WINAPI WatchShellExecuteA(HWND, LPCSTR verb, LPCSTR file, LPCSTR, LPCSTR, INT)
{
    return Help += Text("%s %s;", verb, file), (HINSTANCE)ShellAnswer;
}


// Dialogs run as the system runs them, each procedure wrapped so that the test's
// script runs at the first idle moment of the next dialog to open; a script ends
// its dialog itself.
std::function<void(HWND)> Pending;
std::map<HWND, DLGPROC> Procs;
DLGPROC Opening;
enum { WM_RUN_SCRIPT = WM_APP + 7 };

INT_PTR CALLBACK ScriptedProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!Procs.count(window))
        Procs[window] = Opening;
    if (message == WM_RUN_SCRIPT) {
        ShowWindow(window, SW_SHOWNORMAL);
        auto script = std::move(Pending);
        Pending = nullptr;
        if (CHECK(script && "a dialog opened without a script"))
            script(window);
        else
            EndDialog(window, -2);
        return TRUE;
    }
    INT_PTR result = Procs[window](window, message, wParam, lParam);
    if (message == WM_INITDIALOG)
        PostMessageA(window, WM_RUN_SCRIPT, 0, 0);
    if (message == WM_NCDESTROY)
        Procs.erase(window);
    return result;
}

INT_PTR WINAPI WatchDialogBoxParamA(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC proc, LPARAM param)
{
    Opening = proc;
    return DialogBoxParamA(instance, name, owner, ScriptedProc, param);
}

INT_PTR RunDialog(int templateId, DLGPROC proc, std::function<void(HWND)> script)
{
    Pending = script;
    return WatchDialogBoxParamA(GetModuleHandleA(0), MAKEINTRESOURCEA(templateId), 0, proc, 0);
}

string TextOf(HWND dialog, int id)
{
    char text[512] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

// The texts of controls, each followed by a blank.
string Texts(HWND dialog, std::initializer_list<int> ids)
{
    string texts;
    for (int id : ids)
        texts += TextOf(dialog, id) + " ";
    return texts;
}

// Start-up and the main dialog, through the program's own procedures on its own
// templates: the board found and its settings panel, a test evaluated, painted,
// stored and closed, and the close prompt.

// The settings controls that are checked ("402c"), disabled ("401d") or hidden ("421h").
string Panel(HWND dialog)
{
    string out;
    for (int id : {183, 184, 419, 400, 401, 402, 418, 409, 410, 411, 412, 413, 416, 417, 420, 414, 415, 421, 156, 159,
                   172, 187}) {
        HWND c = GetDlgItem(dialog, id);
        string state = string(SendMessageA(c, BM_GETCHECK, 0, 0) == BST_CHECKED ? "c" : "") +
                            (IsWindowEnabled(c) ? "" : "d") + (IsWindowVisible(c) ? "" : "h");
        out += state.empty() ? "" : (out.empty() ? "" : " ") + to_string(id) + state;
    }
    return out;
}

LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    return SendMessageA(window, message, wParam, lParam);
}
void Command(HWND dialog, int id) { Send(dialog, WM_COMMAND, id); }
// Selects an entry of a drop-down list as a user does.
void Pick(HWND dialog, int id, int index)
{
    SendDlgItemMessageA(dialog, id, CB_SETCURSEL, index, 0);
    Send(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE));
}
// A control's rectangle in its dialog's client co-ordinates.
RECT RectIn(HWND dialog, int id)
{
    RECT r;
    GetWindowRect(GetDlgItem(dialog, id), &r);
    MapWindowPoints(0, dialog, (POINT *)&r, 2);
    return r;
}
COLORREF Pixel(HWND window, int x, int y)
{
    HDC dc = GetDC(window);
    COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}
bool FileThere() { return GetFileAttributesA("C:\\VEXOSV32.DAT") != INVALID_FILE_ATTRIBUTES; }
int Focus(HWND dialog) { return GetDlgCtrlID(GetFocus()) * (GetParent(GetFocus()) == dialog); }

void RunMain(std::function<void(HWND)> script)
{
    Pending = script;
    RunMainDialog();
}

// Without its dialog template the program says it lacks memory, on a platform other
// than Windows 95 and NT that it is the wrong version, each over every window.
TEST(StartUpWithoutItsDialogOrOnAnotherPlatform)
{
    StartAs(500, 1);
    MainDialogId = 999;
    RunMainDialog();
    string seen;
    for (DWORD platform : {VER_PLATFORM_WIN32_NT, VER_PLATFORM_WIN32_WINDOWS, VER_PLATFORM_WIN32s})
        seen += to_string(AcceptPlatform(platform)), seen += to_string(IsWindowsNT);
    // A second start gives way to the first, restored if it was minimised.
    HWND first = CreateWindowExA(0, "Static", AppCaption, WS_POPUP | WS_MINIMIZE, 0, 0, 9, 9, 0, 0, 0, 0);
    seen += to_string(RaiseRunningInstance());
    seen += to_string(IsIconic(first));
    DestroyWindow(first);
    seen += to_string(RaiseRunningInstance());
    CHECK_EQ(seen + Boxes, "111000100" + Box(Lang(IDS_NO_MEMORY), MB_TASKMODAL | MB_ICONHAND, false) +
                               Box(Lang(IDS_WRONG_PLATFORM), MB_TASKMODAL | MB_ICONHAND, false));
}

TEST(MainDialogOpensForTheBoardFound)
{
    struct Row {
        const char *what;
        int nt;
        void (*plant)();
        const char *panel, *boardText;
        const char *lastBoard;
    } rows[] = {
        {"nt lynx in capitals", 1, [] { Put(LM, kActBoard, "", "sz:VEXOVIDEO LYNX"); },
         "184c 419c 400c 401d 402d 418c 411c 413c 417c 414c 421h 156d 159d 172d 187d", "vexoVIDEO Lynx/Margay",
         "10000sz:VEXOVIDEO LYNX"},
        {"nt, nothing", 1, [] {}, "184c 419c 401c 418c 411c 413c 417c 414c 421h 172d 187d", "", "10000sz:none"},
        {"nt puma in capitals, one rate out of bounds", 1, [] {
             Put(LM, kActBoard, "", "sz:VEXOVIDEO PUMA"), Put(CU, "Software\\vexo\\Puma\\PumaToMemory", "", "sz:15000");
             Put(CU, "Software\\vexo\\Puma\\MemoryToPuma", "", "sz:20001"); },
         "184c 419c 400d 401c 402d 418c 411c 413c 417c 414c 421h 172d 187d", "", "10000sz:VEXOVIDEO PUMA"},
        {"95 margay, mono 8-bit 11 kHz, PAL, no sound", 0, [] {
             Put(CU, kServal, "EditingBoard", "sz:vexoVIDEO Margay");
             Put(CU, kVidCap, "WaveFormatBinary", "bin:01000100112b0000112b0000010008000000");
             Put(CU, kVidCap, "CaptureAudio", "dw:0");
             Put(CU, kVidCap, "MicroSecPerFrame", "dw:40000"); },
         "183c 419c 400c 401d 402d 409cd 410d 411d 412cd 413d 416cd 417d 420d 414cd 415d 421dh 156d 159d 172d 187d",
         "vexoVIDEO Margay", "10000-"},
        {"95 ocelot plus, an empty format", 0, [] {
             Put(CU, kServal, "EditingBoard", "sz:vexoVIDEO Ocelot plus");
             Put(CU, kVidCap, "WaveFormatBinary", "bin:"); },
         "183c 419c 400d 401d 402c 409d 410cd 411d 412d 413cd 416d 417cd 420dh 414cdh 415dh 421d 172d 187d",
         "vexoVIDEO Ocelot plus", "10000-"},
        {"95 puma plus", 0, [] { Put(CU, kServal, "EditingBoard", "sz:vexoVIDEO Puma plus"); },
         "184c 419c 400d 401c 402d 418c 411c 413c 417c 414c 421h 172d 187d", "vexoVIDEO Puma plus", "10000-"},
        {"95 puma probe at its limits", 0, [] {
             Put(LM, kPuma, "WriteToMem", "dw:200");
             Put(LM, kPuma + "\\WriteFromMem", "", "sz:20000"); },
         "184c 419c 400d 401c 402d 418c 411c 413c 417c 414c 421h 172d 187d", "", "200-"},
    };
    for (const Row &r : rows) {
        Context = r.what;
        ResetRegistry(r.nt ? "1" : "49");
        r.plant();
        StartAs(0, r.nt);
        DefaultNtsc = r.nt;
        RunMain([&](HWND dialog) {
            CHECK_EQ(Panel(dialog), r.panel);
            int id = 400 + (DetectedBoard & 1 ? 1 : DetectedBoard ? 2 : 0);
            if (*r.boardText)
                CHECK_EQ(TextOf(dialog, id), r.boardText);
            RECT w;
            GetWindowRect(dialog, &w);
            CHECK_EQ(Focus(dialog) * 10000 + w.left, 10000 + (GetSystemMetrics(SM_CXSCREEN) - w.right + w.left) / 2);
            // The board and audio radios each set their own choice.
            string seen;
            for (int id : {IDC_RATE_22K, IDC_MONO, IDC_OCELOT, IDC_SAMPLE8, IDC_DMA16, IDC_RATE_11K, IDC_STEREO, IDC_PUMA,
                           IDC_SAMPLE16, IDC_DMA8, IDC_RATE_44K})
                Command(dialog, id), seen += Text("%d%d%d%d%d ", SampleRateChoice, StereoAudio, Audio16Bit, Dma16Bit, BoardType);
            if (&r == rows)
                CHECK_EQ(seen, "11100 10100 10102 10002 10012 00012 01012 01011 01111 01101 21101 ");
            Command(dialog, IDC_CLOSE);
        });
        CHECK_EQ(to_string(PumaToMemoryRate) + Get(LM, kStravo + "\\LastBoard", "") + Boxes, r.lastBoard);
        // What it only reads it leaves as it was: no empty keys.
        if (&r == rows + 1)
            CHECK(!KeyThere(CU, kCompany) && !KeyThere(CU, "Software\\vexo"));
    }
}

// Help: an old help file of the language beside the program, which Close then
// ends, else the language's guide page through the shell (which fails on 32 and
// less); a page missing or not opened is told. Each row adds its file beside the
// program.
TEST(HelpOpensAnOldHelpFileOrTheGuide)
{
    struct { int offset; const char *file; bool fails; string seen; } rows[] = {
        {0, "guide\\en.htm", 1, "open " HERE "guide\\en.htm;" + Box(Text(Lang(IDS_GUIDE_NOT_OPENED, 0).c_str(), HERE "guide\\en.htm"))},
        {500, "guide\\fr.htm", 0, Box(Text(Lang(IDS_GUIDE_MISSING, 500).c_str(), HERE "guide\\de.htm"))},
        {600, "STRVGER.HLP", 0, "open " HERE "guide\\fr.htm;"},
        {600, "STRVFRE.HLP", 0, HERE "STRVFRE.HLP 3;" HERE "STRVFRE.HLP 2;"},
    };
    CreateDirectoryA(HERE, 0), CreateDirectoryA(HERE "guide", 0), strcpy(ProgramFolder, HERE);
    for (auto &r : rows) {
        // gone when the runner ends, however it ends
        CreateFileA((HERE + string(r.file)).c_str(), 0, 0, 0, CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, 0);
        StartAs(r.offset, 1);
        ShellAnswer = 33 - r.fails;
        RunMain([](HWND dialog) { Command(dialog, IDC_HELP_BUTTON), Command(dialog, IDC_CLOSE); });
        CHECK_EQ(Help + Boxes, r.seen);
    }
}

// A test on C: with 20 ms writes and 10 ms reads, in each language and on both
// platforms, with a Puma found: figures and bars, Store, the rates kept at closing.
TEST(ATestIsShownStoredAndKept)
{
    for (int run = 0; run < 3; run++) {
        int nt = run != 1, offset = run == 0 ? 0 : 400 + 100 * run;
        Context = "run " + to_string(run);
        ResetRegistry(nt ? "1" : "49");
        if (nt)
            Put(LM, kActBoard, "", "sz:vexoVIDEO Puma");
        else
            Put(LM, kPuma, "WriteToMem", "dw:10000");
        // a frame time and a format with two extra bytes of the capture tool's
        Put(CU, kVidCap, "MicroSecPerFrame", nt ? "dw:1" : "dw:40000");
        Put(CU, kVidCap, "WaveFormatBinary", "bin:0100020044ac000010b10200040010000200");
        Put(LM, kWriteSpeed, "C:", "dw:3000");
        StartAs(offset, nt);
        DefaultNtsc = nt;
        // Puma at 10000/12000 on a 4800/9600 drive, with the capture tool's default
        // sound: 2311 kB/s on NT, NTSC cropped; 2141 on Windows 95, PAL/SECAM cropped;
        // 2562 on NT with the sound card's 16-bit DMA.
        const char *shown[] = {"2311 kB/s 3.0:1 3.5:1 7.0:1 304x228 304x456 608x456 ",
                               "2141 kB/s 3,0:1 4,4:1 8,8:1 360x270 360x540 720x540 ",
                               "2562 kB/s 3,0:1 3,1:1 6,3:1 304x228 304x456 608x456 "};
        RunMain([&](HWND dialog) {
            UseScriptedDisk(dialog);
            if (run == 2)
                Command(dialog, IDC_DMA16);
            Command(dialog, IDC_START);
            CHECK(MemoryTestDone);
            CHECK_EQ(Focus(dialog), IDC_STORE);
            CHECK(IsWindowEnabled(GetDlgItem(dialog, IDC_STORE)) && IsWindowEnabled(GetDlgItem(dialog, IDC_GRAPHIC)));
            UpdateWindow(dialog);
            CHECK_EQ(Texts(dialog, {IDC_RATE, IDC_RATIO1, IDC_RATIO2, IDC_RATIO3, IDC_FRAME1, IDC_FRAME2, IDC_FRAME3,
                                    IDC_WRITE_TEXT, IDC_READ_TEXT}), shown[run] + string("4800 kB/s 9600 kB/s "));
            // Bars: the stored write rate grey at full height, the measured cyan over
            // the lower 70 %, blue ticks at every ninth.
            HWND bar = GetDlgItem(dialog, IDC_WRITE_BAR);
            RECT r;
            GetClientRect(bar, &r);
            CHECK_EQ(Text("%06lx %06lx %d %06lx", Pixel(bar, 3, r.bottom / 10 + 1), Pixel(bar, 3, r.bottom * 8 / 10),
                          (Pixel(bar, r.right / 3 - 2, r.bottom / 10 + 1) == 0x7f7f7f) * 10 + (Pixel(bar, r.right / 3 + 3, r.bottom / 10 + 1) == 0x7f7f7f),
                          Pixel(bar, (r.right - r.left) / 9, r.top + 2)),
                     "7f7f7f c0c000 10 c00000");
            Command(dialog, IDC_STORE);
            // A log-off cleans up as a close does, whatever its answer.
            SendMessageA(dialog, WM_ENDSESSION, run == 2, 0);
            CHECK(!FileThere());
            Send(dialog, WM_CLOSE);
        });
        string stored;
        for (auto v : {std::make_pair(kVidCap, "WaveFormatBinary"), {kVidCap, "CaptureAudio"}, {kVidCap, "MicroSecPerFrame"},
                       {kPuma, "AssumedDataRate"}, {kPuma, "CapDrive"}, {"Software\\vexo\\Puma\\CapRate", ""},
                       {"Software\\vexo\\Puma\\CapDrive", ""}, {"Software\\vexo\\Puma\\CapFormat", ""}})
            stored += Get(CU, v.first, v.second) + " ";
        CHECK_EQ(stored + Get(LM, kWriteSpeed, "C:") + Get(LM, kReadSpeed, "C:"),
                 string("bin:0100020044ac000010b102000400100002000000 ") +
                     (nt ? "- dw:33367 - - sz:" + string(shown[run], 4) + " sz:C: sz:HIGH " : "- dw:40000 dw:2141 sz:C: - - - ") + "dw:4800dw:9600");
        CHECK(Boxes.empty() && Help.empty());
        CHECK_EQ(Live(), 0);
    }
}

// Closing asks to store exactly when a measured rate would otherwise be lost.
TEST(ClosingAsksWhenAStoreIsDue)
{
    const string ask = Box(Lang(IDS_STORE_PROMPT, 0), MB_TASKMODAL | MB_ICONEXCLAMATION | MB_YESNOCANCEL);
    const string untested = Box(Lang(IDS_NOT_TESTED, 0));
    enum { BOARD = 1, CARACAL = 2, TEST = 4, FAILS = 8, OTHER = 16, STORE = 32 };
    struct Row {
        const char *what;
        int flags;
        std::vector<int> answers;
        string boxes;
        bool stored;
    } rows[] = {
        {"tested, no reference yet", BOARD | TEST, {}, "", true},
        {"tested, a reference: cancel, no", BOARD | CARACAL | TEST, {IDCANCEL, IDNO}, ask + ask, false},
        {"tested, a reference, stored", BOARD | CARACAL | TEST | STORE, {}, "", true},
        {"another drive selected: yes", BOARD | TEST | OTHER, {IDYES}, ask, true},
        {"a test that failed: store, yes", BOARD | TEST | FAILS | STORE, {IDYES}, ask + untested, false},
        {"no board", TEST, {}, "", false},
    };
    for (const Row &r : rows) {
        Context = r.what;
        ResetRegistry();
        if (r.flags & BOARD)
            Put(LM, kActBoard, "", "sz:vexoVIDEO Ocelot");
        // a reference, or a value too short to be one; sound recording off
        Put(CU, kCaracal, "AssumedDataRate", r.flags & CARACAL ? "dw:2000" : "bin:0102");
        Put(CU, kVidCap, "CaptureAudio", "dw:0");
        StartAs(0, 1);
        RunMain([&](HWND dialog) {
            if (r.flags & TEST) {
                UseScriptedDisk(dialog);
                Disk.shortReadAt = r.flags & FAILS ? 5 : 0;
                Command(dialog, IDC_START);
            }
            if (r.flags & OTHER) {
                strcpy(DriveTable[1].driveName, "Q:");
                SendDlgItemMessageA(dialog, IDC_DRIVES, CB_ADDSTRING, 0, (LPARAM) "(Q:)");
                UpdateWindow(dialog), Pick(dialog, IDC_DRIVES, 1);
                CHECK(!IsWindowEnabled(GetDlgItem(dialog, IDC_STORE)) && TextOf(dialog, IDC_RATE).empty());
            }
            if (r.flags & STORE)
                Command(dialog, IDC_STORE), CHECK_EQ(Focus(dialog), r.flags & FAILS ? IDC_START : IDC_DRIVES);
            Boxes.clear(), BoxCount = 0;
            BoxAnswers = r.answers;
            Send(dialog, WM_CLOSE);
            if (r.answers.size() && r.answers[0] == IDCANCEL) {
                CHECK(IsWindowVisible(dialog) && Focus(dialog) == IDC_STORE);
                Send(dialog, WM_CLOSE);
            }
        });
        CHECK_EQ(Boxes, r.boxes);
        CHECK_EQ(Get(CU, "Software\\vexo\\Ocelot\\CapDrive", "") + Get(CU, kVidCap, "CaptureAudio"), r.stored ? "sz:C:dw:0" : "-dw:0");
    }
}

// The measurement on real files and the system's drive calls: the passes when
// things go wrong, the clean-up, the drive list, the memory test and the system
// information dialog.

LRESULT CALLBACK CleanUpAtLogOff(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ENDSESSION)
        DeleteTestFiles(window);
    return DefWindowProcA(window, message, wParam, lParam);
}

// A child window that cleans up at log-off as the main dialog does: a top-level
// one of the program's title would pass for a running instance.
HWND Owner()
{
    static HWND top = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 10, 10, 0, 0, 0, 0);
    static HWND owner = CreateWindowExA(0, "Static", "", WS_CHILD, 0, 0, 10, 10, top, 0, 0, 0);
    SetWindowLongPtrA(owner, GWLP_WNDPROC, (LONG_PTR)CleanUpAtLogOff);
    SetWindowTextA(owner, AppCaption);
    return owner;
}


TEST(DiskTestWhenThingsGoWrong)
{
    const string boxes[] = {"", Box(Lang(IDS_CANNOT_OPEN, 0), MB_ICONHAND), Box(Lang(IDS_NO_MEMORY, 0), MB_ICONHAND | MB_TASKMODAL),
                            Box(Lang(IDS_DISK_FULL, 0) + " (19 MB / 20 MB)")};
    struct Row {
        const char *what;
        // 0: none; 1: sample array; 2: write buffer; 3: read buffer
        int fail;
        uint32_t sizeMB, freeMB;
        // passed, tested, blocks, writes/reads, started, rates (if passed), rates kept, a file left
        const char *result;
        int box;
    } rows[] = {
        {"a size set, kept", 0, 20, 500, "1 1 214 214/214 1 4800/9600 1234/5678 1", 0},
        {"escape at block 150", 0, 0, 500, "1 1 199 199/199 1 4800/9600 1234/5678 1", 0},
        {"disk full at block 120", 0, 0, 500, "1 1 119 120/119 1 4800/9600 1234/5678 1", 1},
        {"short read at block 7", 0, 0, 500, "0 0 6 500/7 1 - 1234/5678 1", 1},
        {"write fails at block 1", 0, 0, 500, "0 0 0 1/0 1 - 1234/5678 1", 1},
        {"no sample array", 1, 0, 500, "0 1 1 0/0 0 - 0/0 0", 2},
        {"no write buffer", 2, 0, 500, "0 0 2667 0/0 0 - 1234/5678 0", 2},
        {"no read buffer", 3, 0, 500, "0 0 500 500/0 1 - 1234/5678 1", 2},
        {"19 MB free", 0, 0, 19, "0 1 1 0/0 0 - 0/0 0", 3},
        {"no counter: the tick count", 0, 0, 41, "1 1 214 214/214 1 1600/3200 1234/5678 1", 0},
        {"log-off at block 150", 0, 0, 500, "0 0 199 199/0 1 - 1234/5678 0", 0},
        {"escape on a drive of 137 kB/s: a look every second", 0, 0, 500, "1 1 4 4/4 1 137/9600 1234/5678 1", 0},
        {"automatic, slow: 20 MB", 0, 0, 500, "1 1 214 214/214 1 960/9600 1234/5678 1", 0},
        {"automatic, fast: 2000 MB at most", 0, 0, 10000, "1 1 21334 21334/21334 1 1/9600 1234/5678 1", 0},
        {"automatic, fast: half the free space", 0, 0, 100, "1 1 534 534/534 1 96000/9600 1234/5678 1", 0},
        {"a size set, kept on a fast drive", 0, 30, 10000, "1 1 321 321/321 1 96000/9600 1234/5678 1", 0},
    };
    DiskScript scripts[16];
    scripts[0].titleMs = 2000, scripts[1].escapeAtWrite = 150, scripts[2].failWriteAt = 120, scripts[3].shortReadAt = 7, scripts[4].failWriteAt = 1;
    scripts[9].noCounter = true, scripts[10].endSessionAtWrite = 150, scripts[11].escapeAtWrite = 3, scripts[11].writeMs = 700;
    scripts[12].writeMs = 100, scripts[13].noData = scripts[14].noData = true;
    scripts[13].writeMs = 0, scripts[14].writeMs = scripts[15].writeMs = 1;
    for (Row &r : rows) {
        Context = r.what;
        ResetRegistry();
        StartAs(0, 0);
        strcpy(DriveTable[0].driveName, "C:");
        TestResult &t = TestResults[0], &q = TestResults[1];
        t.tested = 1, t.writeRate = 1234, t.readRate = 5678, t.freeMB = r.freeMB;
        // the samples of an earlier, shorter test
        t.samples = (BlockSample *)WatchGlobalAlloc(0, 8), t.blockCount = 1;
        strcpy(DriveTable[1].driveName, "Q:");
        q.tested = 1, q.writeRate = 111, q.readRate = 222;
        UseScriptedDisk(Owner(), scripts[&r - rows]);
        FailGlobalAlloc = r.fail, TestFileSizeMB = (int)r.sizeMB;
        int passed = RunDiskTest(Owner(), 0);
        CHECK_EQ(Text("%d %d %u %u/%u %d ", passed, t.tested, t.blockCount, Disk.writes, Disk.reads, TestStarted) +
                     (passed ? Text("%u/%u", t.writeRate, t.readRate) : "-") +
                     Text(" %u/%u %d", t.storedWriteRate, t.storedReadRate, FileThere()),
                 r.result);
        CHECK_EQ(Boxes, boxes[r.box]);
        CHECK_EQ(Live(WATCH_FILE) * 10 + Live(WATCH_MEMORY), t.samples ? 1 : 0);
        // How far each pass is, at its start and at each look at the queue, where
        // a new title takes 2 s and no block's time.
#define W "Writing test file... wait - 20 MB (C:\\VEXOSV32.DAT) "
#define R "Reading test file... wait (20 MB) "
#define C "vexoVIDEO STRAVO (Stravometer)|"
        if (&r == rows)
            CHECK_EQ(Disk.titles + Opens, W "0%|" W "23%|" W "46%|" W "69%|" W "92%|" W "100%|" C R "0%|" R "46%|" R "92%|" R "100%|" C C
                     "C:\\VEXOSV32.DAT c0000000 0 2 20000080;C:\\VEXOSV32.DAT 80000000 0 3 20000080;");
        // A pass of automatic length, ended by its time: the size written so far, 100 % at the end.
        if (&r == rows + 3)
            CHECK(!Disk.titles.find("Writing test file... wait - 0 MB (C:\\VEXOSV32.DAT) 0%|W") &&
                  Disk.titles.find("wait - 46 MB (C:\\VEXOSV32.DAT) 100%|" C "Reading test file... wait (46 MB) 0%|") != string::npos);
#undef W
#undef R
#undef C
        DeleteTestFiles(Owner());
        CHECK(!FileThere() && !t.samples && Live(WATCH_MEMORY) == 0);
        // only a drive tested when a clean-up came has rates kept
        CHECK_EQ(Get(LM, kWriteSpeed, "C:") != "-", t.tested || Disk.endSessionAtWrite);
        // Each tested drive's rates are stored under its own name.
        if (&r == rows)
            CHECK_EQ(Get(LM, kWriteSpeed, "C:") + Get(LM, kReadSpeed, "C:") + Get(LM, kWriteSpeed, "Q:") +
                         Get(LM, kReadSpeed, "Q:"), "dw:4800dw:9600dw:111dw:222");
    }
}

// The drive list from the system's answers, scripted: floppies A: and B: skipped, CD
// and network drives left out, eight at most, a long label cut, the extended
// free-space call (the caller's share) from version 4 on, the error mode put back,
// stored rates found by name.
struct { string roots, calls; DWORD version; uint64_t freeMB, totalMB; } Fake;
DWORD WINAPI FakeRoots(DWORD size, LPSTR out)
{
    string roots = Fake.roots + '|';
    for (char &c : roots)
        c = c == '|' ? 0 : c;
    return roots.size() < size ? memcpy(out, roots.c_str(), roots.size() + 1), (DWORD)roots.size() : 999;
}
DWORD WINAPI FakeMask() { return Fake.roots[0] == 'A' ? 0x7 : 0x4; }
UINT WINAPI FakeType(LPCSTR root) { return root[0] == 'D' ? DRIVE_CDROM : root[0] == 'N' ? DRIVE_REMOTE : root[0] == 'E' ? DRIVE_REMOVABLE : DRIVE_FIXED; }
BOOL WINAPI FakeLabel(LPCSTR root, LPSTR label, DWORD, LPDWORD, LPDWORD, LPDWORD, LPSTR, DWORD)
{
    return (root[0] == 'C' || root[0] == 'W') && strcpy(label, "A LABEL OF THIRTY-TWO CHARACTERS");
}
// The classic call in clusters of 4 kB, a little more free than the extended call,
// whose caller's share is less than the disk's free space.
BOOL WINAPI FakeFree(LPCSTR, LPDWORD sectors, LPDWORD bytes, LPDWORD freeClusters, LPDWORD clusters)
{
    return *sectors = 8, *bytes = 512, *freeClusters = (DWORD)(Fake.freeMB * 256 + 511), *clusters = (DWORD)(Fake.totalMB * 256), TRUE;
}
BOOL WINAPI FakeFreeEx(LPCSTR, PULARGE_INTEGER available, PULARGE_INTEGER total, PULARGE_INTEGER all)
{
    return available->QuadPart = Fake.freeMB << 20, total->QuadPart = Fake.totalMB << 20, all->QuadPart = Fake.totalMB << 20, TRUE;
}
GetDiskFreeSpaceExProc FakeFindEx() { return FakeFreeEx; }
UINT WINAPI FakeMode(UINT mode) { return Fake.calls += Text("%u,", mode), 77; }
DWORD WINAPI FakeVersion() { return Fake.version; }
const DriveCalls FakeDrives = {FakeRoots, FakeMask, FakeType, FakeLabel, FakeFree, FakeFindEx, FakeMode, FakeVersion};

// A drive of 16 TB with 11 TB free, true through either free-space call, in English and German.
TEST(DriveListFromTheSystem)
{
    const char *rows[][3] = {
        {"A:\\|B:\\|C:\\|D:\\|E:\\|N:\\", "4", "A LABEL OF THIRTY(C:) 10.9TB free of 14.5TB|(E:) 10.9TB free of 14.5TB|1,77,1,77,11444090"},
        {"C:\\|F:\\|G:\\|H:\\|I:\\|J:\\|K:\\|L:\\|M:\\", "3", "A LABEL OF THIRT(C:) 10,9TB frei von 14,5TB|(F:) 10,9TB frei von 14,5TB|"
         "GHIJKL4321/876511444091"},
    };
    for (auto &row : rows) {
        ResetRegistry();
        Put(LM, kWriteSpeed, "F:", "dw:4321"), Put(LM, kReadSpeed, "F:", "dw:8765");
        StartAs(&row == rows ? 0 : 500, 1);
        Fake = {row[0], "", (DWORD)atoi(row[1]), 11444090, 15258789};
        string lines;
        for (int i = 0, n = BuildDriveListWith(0, &FakeDrives); i < n; i++)
            lines += i < 2 ? DriveTable[i].description + string("|") : string(DriveTable[i].driveName, 1);
        CHECK_EQ(lines + (row[1][0] == '4' ? Fake.calls : Text("%u/%u", TestResults[1].storedWriteRate, TestResults[1].storedReadRate)) +
                     to_string(TestResults[0].freeMB), row[2]);
    }
}

// A text's width in a control's own font.
int Extent(HWND control, const string &text)
{
    HDC dc = GetDC(control);
    HGDIOBJ previous = SelectObject(dc, (HGDIOBJ)Send(control, WM_GETFONT));
    SIZE size;
    GetTextExtentPoint32A(dc, text.c_str(), (int)text.size(), &size);
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    return size.cx;
}

// The widest figure the program puts into each box, in each language, in the box's
// own font: the rates beside the bars (any 32-bit rate), the available rate uncapped
// on the fastest board, the drive line with the longest label and the widest sizes on
// the widest letter, the memory rate and the file size.
TEST(EveryFigureFitsItsBox)
{
    for (int offset : {0, 500, 600}) {
        ResetRegistry();
        StartAs(offset, 1);
        RunMain([&](HWND dialog) {
            // the box's text, or the line given, against the room the box leaves it
            auto fits = [](HWND window, int id, int margin, string text = "") {
                RECT r;
                GetClientRect(GetDlgItem(window, id), &r);
                text = text.empty() ? TextOf(window, id) : text;
                Context = Text("language %d, control %d: \"%s\"", LanguageOffset, id, text.c_str());
                CHECK(Extent(GetDlgItem(window, id), text) <= r.right - margin);
            };
            TestResult &t = TestResults[0];
            t.tested = 1, t.writeRate = t.readRate = 0xFFFFFFFF;
            // the memory at the evaluation's limit
            ToMemoryRate = FromMemoryRate = 132000, RateCapOff = 1;
            CheckDlgButton(dialog, IDC_AUDIO, BST_UNCHECKED);
            Command(dialog, IDC_OCELOT);
            InvalidateRect(dialog, 0, TRUE), UpdateWindow(dialog);
            for (int id : {IDC_WRITE_TEXT, IDC_READ_TEXT, IDC_RATE})
                fits(dialog, id, 0);
            CHECK_EQ(TextOf(dialog, IDC_WRITE_TEXT) + TextOf(dialog, IDC_RATE), "4294967295 kB/s118795 kB/s");
            for (uint64_t mb : {9999u, 10239999u, 0xFFFFFFFFu}) {
                Fake = {"W:\\", "", 4, mb, mb};
                DriveTable[0].description[0] = 0;
                BuildDriveListWith(dialog, &FakeDrives);
                string line = DriveTable[0].description;
                // the closed box's text: inside its 3-D edges, beside its button, a pixel in
                // from each side and one more on the left
                fits(dialog, IDC_DRIVES, GetSystemMetrics(SM_CXVSCROLL) + 2 * GetSystemMetrics(SM_CXEDGE) + 3, line);
            }
            MeasuredMemoryRate = 0xFFFFFFFF, TestFileSizeMB = MAX_TEST_SIZE_MB, MemoryTestDone = 1;
            Pending = [&](HWND info) {
                fits(info, IDC_MEMORY_RATE, 0);
                fits(info, IDC_FILESIZE, 4);
                fits(info, IDC_FILESIZE, 4, Lang(IDS_SIZE_AUTOMATIC));
                Command(info, IDOK);
            };
            Command(dialog, IDC_MORE);
            Send(dialog, WM_CLOSE);
        });
    }
}

TEST(MemoryTestAndSystemInformation)
{
    ResetRegistry();
    StartAs(0, 1);
    string seen;
    // The source, then the destination cannot be had, then both.
    for (int fail : {1, 2, 0}) {
        FailGlobalAlloc = fail, FromMemoryRate = 60000;
        seen += Text("%d", RunMemoryTest());
        seen += Text("%d%u/%u ", MemoryTestDone, ToMemoryRate, FromMemoryRate);
    }
    // The machine's own rate, timed by the counter; the evaluation's at its limit.
    CHECK_EQ(seen + Text("%u %d", CursorShown * 10 + Live(WATCH_MEMORY), MeasuredMemoryRate > 132000),
             "0085000/60000 1185000/85000 11132000/132000 0 1");

    // The language notice speaks the language chosen and stands over every window;
    // the stories go through the dialog itself.
    RunDialog(SysInfoDialogId, SysInfoDlgProc, [](HWND dialog) { Pick(dialog, IDC_LANGUAGE, 1), Command(dialog, IDOK); });
    CHECK_EQ(Boxes, Box(Lang(IDS_LANGUAGE_NOTICE, 500), MB_ICONHAND | MB_TASKMODAL, false));
}

// The graph dialog on a known test, and the capture tool's values on the real
// registry.

// The first device y of the column at x, from the top, that has the colour; -1 if none.
int RowOf(HWND window, int x, COLORREF colour)
{
    RECT client;
    GetClientRect(window, &client);
    HDC dc = GetDC(window);
    int found = -1;
    for (int y = 0; y < client.bottom && found < 0; y++)
        found = GetPixel(dc, x, y) == colour ? y : -1;
    ReleaseDC(window, dc);
    return found;
}

TEST(GraphOfATest)
{
    StartAs(500, 1);
    static BlockSample samples[215];
    for (BlockSample &s : samples)
        // 1 GB/s and half that: a y axis of 1045 units of 1000 kB/s
        s.writeUs = 92, s.readUs = 184;
    strcpy(DriveTable[0].driveName, "U:");
    TestResult &r = TestResults[0];
    r.tested = 1, r.blockSizeKB = 96, r.blockCount = 214, r.shortestBlockUs = 92, r.samples = samples;
    // the average lines stand apart from the curves
    r.writeRate = 800000, r.readRate = 300000;
    CHECK_EQ(RunDialog(IDD_GRAPH + 500, GraphDlgProc, [](HWND graph) {
        char title[128];
        RECT w;
        GetWindowTextA(graph, title, sizeof title), GetWindowRect(graph, &w);
        CHECK_EQ(Text("%s %ldx%ld", title, w.right - w.left, w.bottom - w.top), "Datenrate Grafik -  Laufwerk U: 600x300");
        UpdateWindow(graph);
        CHECK_EQ(Texts(graph, {IDC_Y_MAX, IDC_X_MID, IDC_X_MAX, IDC_CURSOR_KB}), "1045000 10 20 10000 ");
        // the widest lengths, of the largest test a user may set
        for (auto f : {std::pair<int, const char *>{IDC_X_MID, "51200"}, {IDC_X_MAX, "102400"}, {IDC_CURSOR_KB, "102400000"}})
            CHECK(Extent(GetDlgItem(graph, f.first), f.second) <= RectIn(graph, f.first).right - RectIn(graph, f.first).left);
        // each average beside its curve, write first
        CHECK(Drawn.find("800000;") < Drawn.find("300000;"));
        CHECK_EQ(RectIn(graph, IDC_CURSOR_KB).left, Graph.clientWidth - Graph.marginRight + 1);
        const int plotWidth = Graph.clientWidth - Graph.marginLeft - Graph.marginRight;
        const int plotHeight = Graph.clientHeight - Graph.marginTop - Graph.marginBottom;
        const int x = Graph.marginLeft + plotWidth / 4, bottom = Graph.clientHeight - Graph.marginBottom;
        CHECK(abs(RowOf(graph, x, RGB(255, 0, 0)) - (bottom - 1043 * plotHeight / 1045)) <= 1);
        CHECK(abs(RowOf(graph, x, RGB(0, 0, 255)) - (bottom - 521 * plotHeight / 1045)) <= 1);
        const int middle = Graph.marginLeft + plotWidth / 2;
        COLORREF beside = Pixel(graph, middle + 3, bottom - 20);
        Drawn.clear();
        Send(graph, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, bottom - 20));
        CHECK_EQ(Drawn, "-- Schreiben 1043478 ;-- Lesen 521739 ;");
        CHECK_EQ(TextOf(graph, IDC_CURSOR_KB), to_string(plotWidth / 4 * 20000 / plotWidth));
        // the paint's line at the middle inverted away: a line the paint never drew would be left there
        CHECK_EQ(Pixel(graph, middle, bottom - 20), beside);
        CHECK_EQ(Pixel(graph, Graph.marginLeft + plotWidth * (int)Graph.cursorKB / 20000, bottom - 20), beside ^ 0xFFFFFF);
        Send(graph, WM_LBUTTONUP, 0, MAKELPARAM(5, 2));
        UpdateWindow(graph);
        CHECK(RowOf(graph, x, RGB(0, 0, 255)) < 0 && RowOf(graph, x, RGB(255, 0, 0)) > 0);
        Command(graph, IDCANCEL);
    }), 1);
    CHECK_EQ(Live(), 0);
    r = TestResult();
}

// The capture tool's values: written only where they differ from the default,
// read back under the wrong type, too short, too long or empty.
TEST(CaptureToolValues)
{
    ResetRegistry();
    StartAs(0, 1);
    for (auto v : {std::make_pair("Text", "sz:123"), {"Old", "dw:40000"}, {"Short", "bin:6162"}, {"Long", "bin:6162636465666768"}})
        Put(CU, kVidCap, v.first, v.second);
    VidCapWriteFlag(101, "Off", 0, 1), VidCapWriteFlag(101, "On", 1, 1);
    VidCapWriteDword(101, "Frame", 33367, 33367);
    string seen = Text("%d%d%d%d ", VidCapReadFlag(101, "Missing", 1), VidCapReadFlag(101, "Text", 0), VidCapReadFlag(100, "Text", 1),
                       VidCapReadFlag(101, "Old", 0));
    for (const char *name : {"Off", "On", "Frame"})
        seen += Get(CU, kVidCap, name) + " ";
    for (const char *name : {"Short", "Long", "Old", "None"}) {
        char out[6] = {'Z', 'Z', 'Z', 'Z', 'Z', 'Z'};
        seen += Text("%u ", VidCapReadBinary(101, name, "123456", out, 6));
        seen += string(out, 6) + " ";
    }
    CHECK_EQ(seen + to_string(Live(WATCH_KEY)), "1001 dw:0 - - 2 abZZZZ 6 123456 6 123456 6 123456 0");
}

int main(int argc, char **argv)
{
    int passed = 0, failed = 0;
    for (auto &c : Cases) {
        if (argc > 1 && !strstr(c.first, argv[1]))
            continue;
        int before = Failures;
        Context.clear();
        c.second();
        bool ok = Failures == before && !Pending;
        printf("%s %s%s\n", ok ? "PASS" : "FAIL", c.first, Pending ? ": a scripted dialog never opened" : "");
        Pending = nullptr;
        fflush(stdout);
        (ok ? passed : failed)++;
    }
    printf("win: %d passed, %d failed\n", passed, failed);
    return failed != 0;
}
