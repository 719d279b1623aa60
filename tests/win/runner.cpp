// The runner's checks, registry fixtures and start state, the scripted disk, and
// the watch that the program's sources are built with here: what they make and
// free is noted; message boxes, help calls, the platform and nested dialogs
// answer from the test's script instead of the system.
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

bool CheckAt(bool ok, int line, const std::string &what)
{
    if (!ok)
        printf("line %d: %s%s%s\n", line, Context.c_str(), Context.empty() ? "" : ": ", what.c_str()), Failures++;
    return ok;
}

const HKEY LM = HKEY_LOCAL_MACHINE, CU = HKEY_CURRENT_USER;
const std::string kCompany = "Software\\vexo Computer Products\\", kStravo = kCompany + "vexoVIDEO STRAVO",
                  kServal = kCompany + "Serval", kCaracal = kCompany + "vexoVIDEO Caracal",
                  kPuma = kCompany + "vexoVIDEO Puma", kVidCap = "Software\\Microsoft\\Multimedia Tools\\VidCap",
                  kWriteSpeed = kStravo + "\\WriteSpeed", kReadSpeed = kStravo + "\\ReadSpeed",
                  kActBoard = kStravo + "\\ActBoard";

void Put(HKEY root, const std::string &path, const char *name, const std::string &value)
{
    HKEY key;
    std::string type = value.substr(0, value.find(':')), text = value.substr(type.size() + 1), data;
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

std::string Get(HKEY root, const std::string &path, const char *name)
{
    HKEY key;
    unsigned char data[4096];
    DWORD type, size = sizeof data;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "-";
    LONG status = RegQueryValueExA(key, name, 0, &type, data, &size);
    RegCloseKey(key);
    std::string out = type == REG_SZ ? "sz:" : type == REG_DWORD ? "dw:" : "bin:";
    if (status != ERROR_SUCCESS)
        return "-";
    if (type == REG_DWORD && size == 4)
        return out + std::to_string(*(DWORD *)data);
    if (type == REG_SZ && size && !data[size - 1])
        return out + std::string((char *)data, size - 1);
    for (DWORD i = 0; i < size; i++)
        out += "0123456789abcdef"[data[i] >> 4], out += "0123456789abcdef"[data[i] & 15];
    return out;
}

void ResetRegistry(const char *country)
{
    for (HKEY root : {CU, LM}) {
        RegDeleteTreeA(root, "Software\\vexo Computer Products");
        RegDeleteTreeA(root, "Software\\vexo");
    }
    RegDeleteTreeA(CU, kVidCap.c_str());
    Put(CU, "Control Panel\\International", "iCountry", std::string("sz:") + country);
}

std::vector<std::string> Boxes, Help;
std::vector<int> BoxAnswers;
DWORD Platform;
int FailGlobalAlloc, CursorShown;
static std::vector<std::pair<int, const void *>> LiveObjects;

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
        n += kind < 0 || object.first == kind;
    return n;
}

// Writes take 20 ms and reads 10 ms by the scripted clock: 4800 and 9600 kB/s.
DiskScript Disk;
static HWND DiskOwner;
static uint32_t FakeMs;

static void NoteBlock(uint32_t block, uint32_t ms)
{
    char title[256];
    FakeMs += ms;
    if (block == 1 && GetWindowTextA(DiskOwner, title, sizeof title) >= 0)
        Disk.titles.push_back(title);
}

static DWORD WINAPI SendEndSession(void *) { return (DWORD)SendMessageA(DiskOwner, WM_ENDSESSION, TRUE, 0); }

static BOOL WINAPI ScriptedWrite(HANDLE file, LPCVOID data, DWORD bytes, LPDWORD done, LPOVERLAPPED o)
{
    NoteBlock(++Disk.writes, 20);
    if (Disk.writes == Disk.escapeAtWrite)
        PostMessageA(DiskOwner, WM_KEYUP, VK_ESCAPE, 0xC0000001);
    if (Disk.writes == Disk.endSessionAtWrite) {
        CloseHandle(CreateThread(0, 0, SendEndSession, 0, 0, 0));
        while (!(HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE))
            Sleep(5);
    }
    return !(Disk.failWriteAt && Disk.writes >= Disk.failWriteAt) && WriteFile(file, data, bytes, done, o);
}

static BOOL WINAPI ScriptedRead(HANDLE file, LPVOID data, DWORD bytes, LPDWORD done, LPOVERLAPPED o)
{
    NoteBlock(++Disk.reads, 10);
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

std::string Box(const char *utf8, UINT style, bool owned)
{
    return Ansi(utf8) + "|" + AppCaption + "|" + std::to_string(style) + (owned ? "|owned" : "|");
}

int WINAPI WatchMessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT style)
{
    Boxes.push_back(std::string(text) + "|" + caption + "|" + std::to_string(style) + (owner ? "|owned" : "|"));
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

// Nested dialogs run as the system runs them; their procedure is wrapped so that
// the script runs at the dialog's first idle moment.
static std::vector<std::pair<int, std::function<void(HWND)>>> Scripts;
static std::map<HWND, std::pair<DLGPROC, std::function<void(HWND)>>> Running;
static std::pair<DLGPROC, std::function<void(HWND)>> Opening;
enum { WM_RUN_SCRIPT = WM_APP + 7 };

void Script(int templateId, std::function<void(HWND)> script) { Scripts.push_back({templateId, script}); }

static INT_PTR CALLBACK ScriptedProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!Running.count(window))
        Running[window] = Opening;
    auto &dialog = Running[window];
    if (message == WM_RUN_SCRIPT) {
        ShowWindow(window, SW_SHOWNORMAL);
        auto script = std::move(dialog.second);
        script(window);
        return TRUE;
    }
    INT_PTR result = dialog.first(window, message, wParam, lParam);
    if (message == WM_INITDIALOG)
        PostMessageA(window, WM_RUN_SCRIPT, 0, 0);
    if (message == WM_NCDESTROY)
        Running.erase(window);
    return result;
}

INT_PTR WINAPI WatchDialogBoxParamA(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC proc, LPARAM param)
{
    Opening = {proc, [](HWND window) { CHECK(!"a dialog opened without a script"), EndDialog(window, -2); }};
    for (size_t i = 0; i < Scripts.size(); i++)
        if (Scripts[i].first == (int)(INT_PTR)name) {
            Opening.second = Scripts[i].second;
            Scripts.erase(Scripts.begin() + i);
            break;
        }
    return DialogBoxParamA(instance, name, owner, ScriptedProc, param);
}

INT_PTR RunDialog(int templateId, DLGPROC proc, std::function<void(HWND)> script)
{
    Script(templateId, script);
    return WatchDialogBoxParamA(GetModuleHandleA(0), MAKEINTRESOURCEA(templateId), 0, proc, 0);
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
        c.second();
        bool ok = Failures == before && Scripts.empty();
        printf("%s %s%s\n", ok ? "PASS" : "FAIL", c.first, Scripts.empty() ? "" : ": a scripted dialog never opened");
        fflush(stdout);
        (ok ? passed : failed)++;
    }
    printf("win: %d passed, %d failed\n", passed, failed);
    return failed != 0;
}
