// The end-to-end tests' eyes and hands inside the Windows session: reads the windows
// of other processes, reads and plants registry values. One request per line on
// stdin, tab-separated; replies end with a line ".". Texts are UTF-8, their control
// characters (tabs, line breaks) turned into spaces.
//   windows                      a line per top-level window, and per control of the visible ones:
//                                hwnd owner/parent id class visible l t r b focused text
//                                (handles as decimal numbers, 0 for none, whatever the pointer width)
//   items HWND                   the texts of a drop-down list, a line each, "*" before the selected one
//   dump                         every value under HKCU and HKLM\Software (not
//                                Software\Classes, not Software\Wine, not the console
//                                settings that a console program's first start writes):
//                                key name type hex
//   set ROOT KEY NAME VALUE      a text, or a number when VALUE starts with "#"
//   set ROOT KEY                 deletes the key with all below it
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

static std::string Utf8(const wchar_t *text)
{
    char utf8[8192] = "";
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, 0, 0);
    for (char *p = utf8; *p; p++)
        if ((unsigned char)*p < ' ')
            *p = ' ';
    return utf8;
}

// A visible window's text as its program answers: none while it is busy measuring, which
// tells the stories a test is still running. A hidden one's as the system keeps it.
static void Describe(HWND w, HWND up)
{
    wchar_t text[2048] = L"", cls[64] = L"";
    if (!IsWindowVisible(w))
        InternalGetWindowText(w, text, 2048);
    else
        SendMessageTimeoutW(w, WM_GETTEXT, 2048, (LPARAM)text, SMTO_ABORTIFHUNG, 2000, 0);
    GetClassNameW(w, cls, 64);
    RECT r;
    GetWindowRect(w, &r);
    GUITHREADINFO thread = {sizeof thread};
    GetGUIThreadInfo(GetWindowThreadProcessId(w, 0), &thread);
    printf("%s\t%s\t%d\t%s\t%d\t%ld\t%ld\t%ld\t%ld\t%d\t%s\n", std::to_string((ULONG_PTR)w).c_str(),
           std::to_string((ULONG_PTR)up).c_str(), (int)GetWindowLongPtrW(w, GWLP_ID), Utf8(cls).c_str(),
           !!IsWindowVisible(w), r.left, r.top, r.right, r.bottom, thread.hwndFocus == w,
           Utf8(text).c_str());
}

static BOOL CALLBACK Child(HWND w, LPARAM) { return Describe(w, GetParent(w)), TRUE; }
static BOOL CALLBACK Top(HWND w, LPARAM)
{
    Describe(w, GetWindow(w, GW_OWNER));
    if (IsWindowVisible(w))
        EnumChildWindows(w, Child, 0);
    return TRUE;
}

static void Dump(HKEY root, const char *name, const std::wstring &path)
{
    HKEY key;
    if (path == L"Software\\Classes" || path == L"Software\\Wine" || path == L"Console" || RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key))
        return;
    wchar_t sub[512];
    static BYTE data[65536];
    for (DWORD i = 0, n = 512, size = sizeof data, type; !RegEnumValueW(key, i, sub, &n, 0, &type, data, &size);
         i++, n = 512, size = sizeof data) {
        printf("%s\\%s\t%s\t%lu\t", name, Utf8(path.c_str()).c_str(), Utf8(sub).c_str(), type);
        for (DWORD b = 0; b < size; b++)
            printf("%02x", data[b]);
        printf("\n");
    }
    for (DWORD i = 0, n = 512; !RegEnumKeyExW(key, i, sub, &n, 0, 0, 0, 0); i++, n = 512)
        Dump(root, name, path.empty() ? sub : path + L"\\" + sub);
    RegCloseKey(key);
}

int main()
{
    char line[8192];
    while (fgets(line, sizeof line, stdin)) {
        line[strcspn(line, "\r\n")] = 0;
        char *f[8] = {};
        int n = 0;
        for (char *p = strtok(line, "\t"); p && n < 8; p = strtok(0, "\t"))
            f[n++] = p;
        HWND window = n > 1 ? (HWND)(ULONG_PTR)strtoull(f[1], 0, 10) : 0;
        HKEY root = n > 1 && !strcmp(f[1], "HKLM") ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, key;
        if (!n) {
            continue;
        } else if (!strcmp(f[0], "windows")) {
            EnumWindows(Top, 0);
        } else if (!strcmp(f[0], "items")) {
            for (LRESULT i = 0, count = SendMessageW(window, CB_GETCOUNT, 0, 0); i < count; i++) {
                wchar_t text[512] = L"";
                SendMessageW(window, CB_GETLBTEXT, i, (LPARAM)text);
                printf("%s%s\n", i == SendMessageW(window, CB_GETCURSEL, 0, 0) ? "*" : "", Utf8(text).c_str());
            }
        } else if (!strcmp(f[0], "dump")) {
            Dump(HKEY_CURRENT_USER, "HKCU", L"");
            Dump(HKEY_LOCAL_MACHINE, "HKLM", L"Software");
        } else if (!strcmp(f[0], "set") && n == 3) {
            RegDeleteTreeA(root, f[2]);
        } else if (!strcmp(f[0], "set") && n == 5 && !RegCreateKeyExA(root, f[2], 0, 0, 0, KEY_WRITE, 0, &key, 0)) {
            DWORD number = strtoul(f[4] + 1, 0, 10), text = f[4][0] != '#';
            RegSetValueExA(key, strcmp(f[3], "@") ? f[3] : 0, 0, text ? REG_SZ : REG_DWORD,
                           text ? (BYTE *)f[4] : (BYTE *)&number, text ? strlen(f[4]) + 1 : 4);
            RegCloseKey(key);
        }
        printf(".\n");
        fflush(stdout);
    }
    return 0;
}
