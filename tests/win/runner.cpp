// The runner's checks, registry fixtures and start state, and the watch that the
// program's sources are built with here: each wrapper calls the system's own call
// and notes what it made or freed; only message boxes, help calls and the
// platform answer from the test's script instead of the system.
#include "runner.h"

#include <stdio.h>
#include <string.h>

#include <map>
#include <utility>

#include "../../measure/disk_speed.h"
#include "../../measure/drive_records.h"
#include "../../resources/resource.h"
#include "../../shell/language.h"
#include "../../shell/shell_state.h"

std::string Context;
static std::vector<std::pair<const char *, void (*)()>> &Cases()
{
    static std::vector<std::pair<const char *, void (*)()>> cases;
    return cases;
}
TestCase::TestCase(const char *name, void (*run)()) { Cases().push_back({name, run}); }
static int Failures;

bool CheckAt(bool ok, const char *file, int line, const std::string &what)
{
    if (!ok) {
        printf("%s:%d: %s%s%s\n", strrchr(file, '/') ? strrchr(file, '/') + 1 : file, line,
               Context.c_str(), Context.empty() ? "" : ": ", what.c_str());
        Failures++;
    }
    return ok;
}
std::string Shown(long long v) { return std::to_string(v); }
std::string Shown(const std::string &v) { return '"' + v + '"'; }
std::string Shown(const RegData &v)
{
    char head[32];
    snprintf(head, sizeof head, "type %ld ", (long)v.type);
    return head + (v.type == REG_DWORD ? std::to_string(*(const DWORD *)v.bytes.data()) : Shown(v.bytes));
}

const char kStravoKey[] = "Software\\vexo Computer Products\\vexoVIDEO STRAVO";
const char kServalKey[] = "Software\\vexo Computer Products\\Serval";
const char kCaracalKey[] = "Software\\vexo Computer Products\\vexoVIDEO Caracal";
const char kPumaKey[] = "Software\\vexo Computer Products\\vexoVIDEO Puma";
const char kVidCapKey[] = "Software\\Microsoft\\Multimedia Tools\\VidCap";
const std::string kWriteSpeed = std::string(kStravoKey) + "\\WriteSpeed";
const std::string kReadSpeed = std::string(kStravoKey) + "\\ReadSpeed";

RegData Sz(const std::string &text) { return {REG_SZ, text + '\0'}; }
RegData Dword(DWORD value) { return {REG_DWORD, std::string((const char *)&value, 4)}; }
RegData Missing() { return {0xFFFFFFFF, ""}; }

void RegPut(HKEY root, const std::string &path, const char *name, const RegData &value)
{
    HKEY key;
    if (RegCreateKeyExA(root, path.c_str(), 0, 0, 0, KEY_WRITE, 0, &key, 0) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name, 0, value.type, (const BYTE *)value.bytes.data(), (DWORD)value.bytes.size());
    RegCloseKey(key);
}

RegData RegGet(HKEY root, const std::string &path, const char *name)
{
    HKEY key;
    char data[4096];
    DWORD type, size = sizeof data;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return Missing();
    LONG status = RegQueryValueExA(key, name, 0, &type, (BYTE *)data, &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? RegData{type, std::string(data, size)} : Missing();
}

void ResetRegistry(const char *country)
{
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        RegDeleteTreeA(root, "Software\\vexo Computer Products");
        RegDeleteTreeA(root, "Software\\vexo");
    }
    RegDeleteTreeA(HKEY_CURRENT_USER, kVidCapKey);
    RegPut(HKEY_CURRENT_USER, "Control Panel\\International", "iCountry", Sz(country));
}

std::vector<SeenBox> Boxes;
std::vector<int> BoxAnswers;
std::vector<std::string> Help;
DWORD Platform;
int FailGlobalAlloc, CursorShown;
static std::vector<std::pair<int, void *>> LiveObjects;

void StartAs(int languageOffset, int windowsNT)
{
    AppInstance = GetModuleHandleA(0);
    LanguageOffset = languageOffset;
    MainDialogId = (WORD)(IDD_MAIN + languageOffset);
    AboutDialogId = (WORD)(IDD_ABOUT + languageOffset);
    SysInfoDialogId = (WORD)(IDD_SYSINFO + languageOffset);
    LoadLangString(AppInstance, IDS_APP_CAPTION, AppCaption, sizeof AppCaption);
    HelpFile = HelpFileForOffset(languageOffset);
    IsWindowsNT = windowsNT;
    Platform = windowsNT ? VER_PLATFORM_WIN32_NT : VER_PLATFORM_WIN32_WINDOWS;
    ReferenceStored = TestStarted = SelectedDrive = LastTestedDrive = RateCapOff = MemoryTestDone = 0;
    TestFileSizeMB = 20;
    for (int slot = 0; slot < MAX_DRIVES; slot++) {
        if (TestResults[slot].samples)
            GlobalFree((HGLOBAL)TestResults[slot].samples);
        TestResults[slot] = TestResult();
        DriveTable[slot].description[0] = DriveTable[slot].driveName[0] = 0;
    }
    PassCalls = &SystemDiskCalls;
    Boxes.clear(), BoxAnswers.clear(), Help.clear(), LiveObjects.clear();
    FailGlobalAlloc = CursorShown = 0;
}

int Live(int kind)
{
    int n = 0;
    for (auto &object : LiveObjects)
        n += object.first == kind;
    return n;
}

DiskScript Disk;
static HWND DiskOwner;
static uint32_t FakeMs;

static void NoteBlock(uint32_t block, uint32_t ms)
{
    FakeMs += ms;
    if (block == 1) {
        char title[256];
        GetWindowTextA(DiskOwner, title, sizeof title);
        Disk.titles.push_back(title);
    }
}

static DWORD WINAPI SendEndSession(void *)
{
    SendMessageA(DiskOwner, WM_ENDSESSION, TRUE, 0);
    return 0;
}

static BOOL WINAPI ScriptedWrite(HANDLE file, LPCVOID data, DWORD bytes, LPDWORD done, LPOVERLAPPED o)
{
    NoteBlock(++Disk.writes, Disk.writeMs);
    if (Disk.writes == Disk.escapeAtWrite)
        PostMessageA(DiskOwner, WM_KEYUP, VK_ESCAPE, 0xC0000001);
    if (Disk.writes == Disk.endSessionAtWrite) {
        CloseHandle(CreateThread(0, 0, SendEndSession, 0, 0, 0));
        while (!(HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE))
            Sleep(5);
    }
    if (Disk.failWriteAt && Disk.writes >= Disk.failWriteAt)
        return FALSE;
    return WriteFile(file, data, bytes, done, o);
}

static BOOL WINAPI ScriptedRead(HANDLE file, LPVOID data, DWORD bytes, LPDWORD done, LPOVERLAPPED o)
{
    NoteBlock(++Disk.reads, Disk.readMs);
    BOOL ok = ReadFile(file, data, bytes, done, o);
    if (Disk.reads == Disk.shortReadAt)
        *done = bytes - 512;
    return ok;
}

static DWORD WINAPI FakeTicks() { return FakeMs * 3 + 7; }  // must not be the counter's
static BOOL WINAPI FakeCounter(LARGE_INTEGER *now) { now->QuadPart = FakeMs * 10ll + 123456789; return TRUE; }
static BOOL WINAPI FakeFrequency(LARGE_INTEGER *f) { f->QuadPart = 10000; return !Disk.noCounter; }
static const DiskCalls ScriptedCalls = {ScriptedWrite, ScriptedRead, FakeTicks, FakeCounter, FakeFrequency};

void UseScriptedDisk(HWND owner, DiskScript script)
{
    Disk = script;
    DiskOwner = owner;
    PassCalls = &ScriptedCalls;
}

// The wrappers that the program's sources call in place of the system's.
void *WatchMade(int kind, void *handle)
{
    if (handle && handle != INVALID_HANDLE_VALUE)
        LiveObjects.push_back({kind, handle});
    return handle;
}

static void Gone(int kind, void *handle)
{
    for (size_t i = 0; i < LiveObjects.size(); i++)
        if (LiveObjects[i] == std::make_pair(kind, handle)) {
            LiveObjects.erase(LiveObjects.begin() + i);
            return;
        }
}

BOOL WINAPI WatchDeleteObject(HGDIOBJ o) { Gone(WATCH_GDI, o); return DeleteObject(o); }
int WINAPI WatchReleaseDC(HWND w, HDC dc) { Gone(WATCH_DC, dc); return ReleaseDC(w, dc); }
BOOL WINAPI WatchDeleteDC(HDC dc) { Gone(WATCH_DC, dc); return DeleteDC(dc); }
BOOL WINAPI WatchEndPaint(HWND w, const PAINTSTRUCT *p) { Gone(WATCH_PAINT, p->hdc); return EndPaint(w, p); }
HGLOBAL WINAPI WatchGlobalFree(HGLOBAL m) { Gone(WATCH_MEMORY, m); return GlobalFree(m); }
HLOCAL WINAPI WatchLocalFree(HLOCAL m) { Gone(WATCH_MEMORY, m); return LocalFree(m); }
BOOL WINAPI WatchCloseHandle(HANDLE h) { Gone(WATCH_FILE, h); return CloseHandle(h); }
HFILE WINAPI Watch_lclose(HFILE f) { Gone(WATCH_FILE, (void *)(INT_PTR)f); return _lclose(f); }
LONG WINAPI WatchRegCloseKey(HKEY k) { Gone(WATCH_KEY, k); return RegCloseKey(k); }

HGLOBAL WINAPI WatchGlobalAlloc(UINT flags, SIZE_T bytes)
{
    if (FailGlobalAlloc && --FailGlobalAlloc == 0)
        return 0;
    return (HGLOBAL)WatchMade(WATCH_MEMORY, GlobalAlloc(flags, bytes));
}

HGLOBAL WINAPI WatchGlobalReAlloc(HGLOBAL m, SIZE_T bytes, UINT flags)
{
    HGLOBAL grown = GlobalReAlloc(m, bytes, flags);
    if (grown)
        Gone(WATCH_MEMORY, m), WatchMade(WATCH_MEMORY, grown);
    return grown;
}

LONG WINAPI WatchRegOpenKeyExA(HKEY root, LPCSTR path, DWORD options, REGSAM access, PHKEY key)
{
    LONG status = RegOpenKeyExA(root, path, options, access, key);
    if (status == ERROR_SUCCESS)
        WatchMade(WATCH_KEY, *key);
    return status;
}

LONG WINAPI WatchRegCreateKeyExA(HKEY root, LPCSTR path, DWORD reserved, LPSTR cls, DWORD options,
                                 REGSAM access, LPSECURITY_ATTRIBUTES security, PHKEY key, LPDWORD how)
{
    LONG status = RegCreateKeyExA(root, path, reserved, cls, options, access, security, key, how);
    if (status == ERROR_SUCCESS)
        WatchMade(WATCH_KEY, *key);
    return status;
}

int WINAPI WatchShowCursor(BOOL show)
{
    CursorShown += show ? 1 : -1;
    return ShowCursor(show);
}

int WINAPI WatchMessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT style)
{
    Boxes.push_back({owner, text, caption, style});
    return Boxes.size() <= BoxAnswers.size() ? BoxAnswers[Boxes.size() - 1] : IDOK;
}

BOOL WINAPI WatchWinHelpA(HWND, LPCSTR file, UINT command, ULONG_PTR)
{
    Help.push_back(std::string(file) + " " + std::to_string(command));
    return TRUE;
}

BOOL WINAPI WatchGetVersionExA(LPOSVERSIONINFOA version)
{
    if (Platform == PLATFORM_FAILS || version->dwOSVersionInfoSize != sizeof *version)
        return FALSE;
    version->dwMajorVersion = 4;
    version->dwPlatformId = Platform;
    return TRUE;
}

struct ScriptedDialog {
    DLGPROC proc;
    std::function<void(HWND)> script;
};
static std::vector<std::pair<int, std::function<void(HWND)>>> Scripts;
static std::map<HWND, ScriptedDialog> Running;
static ScriptedDialog Opening;
enum { WM_RUN_SCRIPT = WM_APP + 7 };

void Script(int templateId, std::function<void(HWND)> script) { Scripts.push_back({templateId, script}); }

static INT_PTR CALLBACK ScriptedProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!Running.count(window))
        Running[window] = Opening;
    ScriptedDialog &dialog = Running[window];
    if (message == WM_RUN_SCRIPT) {
        // As the dialog's modal loop would at its first idle moment.
        if (!IsWindowVisible(window))
            ShowWindow(window, SW_SHOWNORMAL);
        auto script = std::move(dialog.script);
        script(window);
        return TRUE;
    }
    INT_PTR result = dialog.proc(window, message, wParam, lParam);
    if (message == WM_INITDIALOG)
        PostMessageA(window, WM_RUN_SCRIPT, 0, 0);
    if (message == WM_NCDESTROY)
        Running.erase(window);
    return result;
}

INT_PTR WINAPI WatchDialogBoxParamA(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC proc, LPARAM param)
{
    Opening = {proc, [](HWND window) {
                   CHECK(!"a dialog opened without a script");
                   EndDialog(window, -2);
               }};
    for (size_t i = 0; i < Scripts.size(); i++)
        if (Scripts[i].first == (int)(INT_PTR)name) {
            Opening.script = Scripts[i].second;
            Scripts.erase(Scripts.begin() + i);
            break;
        }
    return DialogBoxParamA(instance, name, owner, ScriptedProc, param);
}

INT_PTR RunDialog(int templateId, DLGPROC proc, std::function<void(HWND)> script, HWND owner)
{
    Script(templateId, script);
    return WatchDialogBoxParamA(GetModuleHandleA(0), MAKEINTRESOURCEA(templateId), owner, proc, 0);
}

void Pump()
{
    MSG message;
    while (PeekMessageA(&message, 0, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

std::string TextOf(HWND dialog, int id)
{
    char text[512] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

std::string Ansi(const char *utf8)
{
    wchar_t wide[1024];
    char ansi[1024];
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 1024);
    WideCharToMultiByte(CP_ACP, 0, wide, -1, ansi, sizeof ansi, 0, 0);
    return ansi;
}

int main(int argc, char **argv)
{
    int passed = 0, failed = 0;
    for (auto &c : Cases()) {
        if (argc > 1 && !strstr(c.first, argv[1]))
            continue;
        int before = Failures;
        Context.clear();
        Scripts.clear();
        DWORD started = GetTickCount();
        c.second();
        bool ok = Failures == before && Scripts.empty();
        if (!Scripts.empty())
            printf("%d scripted dialogs never opened\n", (int)Scripts.size());
        printf("%s %s (%.1f s)\n", ok ? "PASS" : "FAIL", c.first, (GetTickCount() - started) / 1000.0);
        fflush(stdout);
        (ok ? passed : failed)++;
    }
    printf("win: %d passed, %d failed\n", passed, failed);
    return failed != 0;
}
