// The counting wrappers of the counting build, and a thread that writes what is
// alive to the file named by STRAVO_COUNTS once a second. Each kind keeps
// the handles it made, so a free of something it did not make (a stock object, a
// double free) is not counted against it.
#define _WIN32_WINNT 0x0600
#include <windows.h>
#include <psapi.h>

#include <stdio.h>

namespace {

enum Kind { GDI_OBJECTS, DEVICE_CONTEXTS, PAINTS, MEMORY_BLOCKS, FILES, REGISTRY_KEYS, KIND_COUNT };
const char *const kKindNames[KIND_COUNT] = {"gdi", "dc", "paint", "memory", "files", "keys"};
enum { SLOTS = 4096, HANDLE_SCAN = 256, REPORT_MS = 1000 };

struct Table {
    void *live[SLOTS];
    int count;
    unsigned long made;
    int overflow;
};

Table Tables[KIND_COUNT];
CRITICAL_SECTION Lock;
DWORD UiThread;

void Made(Kind kind, void *handle)
{
    if (!handle)
        return;
    EnterCriticalSection(&Lock);
    Table &t = Tables[kind];
    t.made++;
    if (t.count < SLOTS)
        t.live[t.count++] = handle;
    else
        t.overflow = 1;
    LeaveCriticalSection(&Lock);
}

void Freed(Kind kind, void *handle)
{
    EnterCriticalSection(&Lock);
    Table &t = Tables[kind];
    for (int i = 0; i < t.count; i++) {
        if (t.live[i] == handle) {
            t.live[i] = t.live[--t.count];
            break;
        }
    }
    LeaveCriticalSection(&Lock);
}

BOOL CALLBACK CountChild(HWND, LPARAM count)
{
    ++*(int *)count;
    return TRUE;
}

BOOL CALLBACK CountTop(HWND window, LPARAM count)
{
    ++*(int *)count;
    EnumChildWindows(window, CountChild, count);
    return TRUE;
}

void WriteCounts(const char *path)
{
    char line[512];
    int n = 0;
    EnterCriticalSection(&Lock);
    for (int k = 0; k < KIND_COUNT; k++)
        n += snprintf(line + n, sizeof line - n, "%s %d %lu%s ", kKindNames[k], Tables[k].count,
                      Tables[k].made, Tables[k].overflow ? "+" : "");
    LeaveCriticalSection(&Lock);
    int windows = 0;
    EnumThreadWindows(UiThread, CountTop, (LPARAM)&windows);
    // Wine answers GetProcessHandleCount with 0: the kernel handles are counted by
    // asking after each small handle value, the lowest free one being handed out
    // first. Each question crosses to the wine server, so the scan stays short.
    unsigned long handles = 0;
    DWORD flags;
    for (ULONG_PTR value = 4; value < 4 * HANDLE_SCAN; value += 4)
        handles += GetHandleInformation((HANDLE)value, &flags) ? 1 : 0;
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    snprintf(line + n, sizeof line - n, "windows %d handles %lu committed_kb %lu working_kb %lu\r\n",
             windows, handles, (unsigned long)(memory.PagefileUsage / 1024),
             (unsigned long)(memory.WorkingSetSize / 1024));
    // Written whole and renamed over the last one: a reader never sees half a line.
    char part[MAX_PATH];
    snprintf(part, sizeof part, "%s.part", path);
    HANDLE file = CreateFileA(part, GENERIC_WRITE, 0, 0, CREATE_ALWAYS, 0, 0);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written;
    WriteFile(file, line, (DWORD)strlen(line), &written, 0);
    CloseHandle(file);
    MoveFileExA(part, path, MOVEFILE_REPLACE_EXISTING);
}

char ReportPath[MAX_PATH];

DWORD WINAPI Reporter(void *)
{
    for (;;) {
        WriteCounts(ReportPath);
        Sleep(REPORT_MS);
    }
}

// Started before WinMain; the last report is written when WinMain has returned,
// after the dialog and its logo are gone.
struct Start {
    Start()
    {
        InitializeCriticalSection(&Lock);
        UiThread = GetCurrentThreadId();
        if (GetEnvironmentVariableA("STRAVO_COUNTS", ReportPath, sizeof ReportPath))
            CloseHandle(CreateThread(0, 0, Reporter, 0, 0, 0));
    }
    ~Start()
    {
        if (ReportPath[0])
            WriteCounts(ReportPath);
    }
} Started;

}  // namespace

HPEN WINAPI CountedCreatePen(int style, int width, COLORREF colour)
{
    HPEN pen = CreatePen(style, width, colour);
    Made(GDI_OBJECTS, pen);
    return pen;
}

HBRUSH WINAPI CountedCreateSolidBrush(COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    Made(GDI_OBJECTS, brush);
    return brush;
}

HFONT WINAPI CountedCreateFontA(int height, int width, int escapement, int orientation, int weight,
                                DWORD italic, DWORD underline, DWORD strikeOut, DWORD charSet,
                                DWORD precision, DWORD clipPrecision, DWORD quality, DWORD pitch,
                                LPCSTR face)
{
    HFONT font = CreateFontA(height, width, escapement, orientation, weight, italic, underline,
                             strikeOut, charSet, precision, clipPrecision, quality, pitch, face);
    Made(GDI_OBJECTS, font);
    return font;
}

HPALETTE WINAPI CountedCreatePalette(const LOGPALETTE *palette)
{
    HPALETTE made = CreatePalette(palette);
    Made(GDI_OBJECTS, made);
    return made;
}

HBITMAP WINAPI CountedCreateDIBitmap(HDC dc, const BITMAPINFOHEADER *header, DWORD init,
                                     const void *bits, const BITMAPINFO *info, UINT usage)
{
    HBITMAP bitmap = CreateDIBitmap(dc, header, init, bits, info, usage);
    Made(GDI_OBJECTS, bitmap);
    return bitmap;
}

BOOL WINAPI CountedDeleteObject(HGDIOBJ object)
{
    BOOL ok = DeleteObject(object);
    if (ok)
        Freed(GDI_OBJECTS, object);
    return ok;
}

HDC WINAPI CountedCreateCompatibleDC(HDC dc)
{
    HDC made = CreateCompatibleDC(dc);
    Made(DEVICE_CONTEXTS, made);
    return made;
}

BOOL WINAPI CountedDeleteDC(HDC dc)
{
    BOOL ok = DeleteDC(dc);
    if (ok)
        Freed(DEVICE_CONTEXTS, dc);
    return ok;
}

HDC WINAPI CountedGetDC(HWND window)
{
    HDC dc = GetDC(window);
    Made(DEVICE_CONTEXTS, dc);
    return dc;
}

int WINAPI CountedReleaseDC(HWND window, HDC dc)
{
    int released = ReleaseDC(window, dc);
    if (released)
        Freed(DEVICE_CONTEXTS, dc);
    return released;
}

HDC WINAPI CountedBeginPaint(HWND window, LPPAINTSTRUCT paint)
{
    HDC dc = BeginPaint(window, paint);
    Made(PAINTS, dc);
    return dc;
}

BOOL WINAPI CountedEndPaint(HWND window, const PAINTSTRUCT *paint)
{
    Freed(PAINTS, paint->hdc);
    return EndPaint(window, paint);
}

HGLOBAL WINAPI CountedGlobalAlloc(UINT flags, SIZE_T bytes)
{
    HGLOBAL memory = GlobalAlloc(flags, bytes);
    Made(MEMORY_BLOCKS, memory);
    return memory;
}

HGLOBAL WINAPI CountedGlobalReAlloc(HGLOBAL memory, SIZE_T bytes, UINT flags)
{
    HGLOBAL moved = GlobalReAlloc(memory, bytes, flags);
    if (moved && moved != memory) {
        Freed(MEMORY_BLOCKS, memory);
        Made(MEMORY_BLOCKS, moved);
    }
    return moved;
}

HGLOBAL WINAPI CountedGlobalFree(HGLOBAL memory)
{
    HGLOBAL left = GlobalFree(memory);
    if (!left && memory)
        Freed(MEMORY_BLOCKS, memory);
    return left;
}

HLOCAL WINAPI CountedLocalAlloc(UINT flags, SIZE_T bytes)
{
    HLOCAL memory = LocalAlloc(flags, bytes);
    Made(MEMORY_BLOCKS, memory);
    return memory;
}

HLOCAL WINAPI CountedLocalFree(HLOCAL memory)
{
    HLOCAL left = LocalFree(memory);
    if (!left && memory)
        Freed(MEMORY_BLOCKS, memory);
    return left;
}

HANDLE WINAPI CountedCreateFileA(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                 DWORD disposition, DWORD flags, HANDLE pattern)
{
    HANDLE file = CreateFileA(name, access, share, security, disposition, flags, pattern);
    if (file != INVALID_HANDLE_VALUE)
        Made(FILES, file);
    return file;
}

BOOL WINAPI CountedCloseHandle(HANDLE handle)
{
    BOOL ok = CloseHandle(handle);
    if (ok)
        Freed(FILES, handle);
    return ok;
}

HFILE WINAPI CountedOpenFile(LPCSTR name, LPOFSTRUCT info, UINT style)
{
    HFILE file = OpenFile(name, info, style);
    // OpenFile with OF_EXIST or OF_DELETE leaves nothing open.
    if (file != HFILE_ERROR && !(style & (OF_EXIST | OF_DELETE | OF_PARSE)))
        Made(FILES, (void *)(INT_PTR)file);
    return file;
}

HFILE WINAPI Counted_lclose(HFILE file)
{
    HFILE result = _lclose(file);
    if (result != HFILE_ERROR)
        Freed(FILES, (void *)(INT_PTR)file);
    return result;
}

LONG WINAPI CountedRegOpenKeyExA(HKEY root, LPCSTR path, DWORD options, REGSAM access, PHKEY key)
{
    LONG status = RegOpenKeyExA(root, path, options, access, key);
    if (status == ERROR_SUCCESS)
        Made(REGISTRY_KEYS, *key);
    return status;
}

LONG WINAPI CountedRegCreateKeyExA(HKEY root, LPCSTR path, DWORD reserved, LPSTR cls, DWORD options,
                                   REGSAM access, LPSECURITY_ATTRIBUTES security, PHKEY key,
                                   LPDWORD disposition)
{
    LONG status = RegCreateKeyExA(root, path, reserved, cls, options, access, security, key, disposition);
    if (status == ERROR_SUCCESS)
        Made(REGISTRY_KEYS, *key);
    return status;
}

LONG WINAPI CountedRegCloseKey(HKEY key)
{
    LONG status = RegCloseKey(key);
    if (status == ERROR_SUCCESS)
        Freed(REGISTRY_KEYS, key);
    return status;
}
