// The end-to-end tests' eyes inside the Windows session: reads the windows of
// other processes and the registry, and posts messages. One request per line on
// stdin, tab-separated; replies end with a line ".". Texts are UTF-8 with tab,
// newline and backslash escaped.
//   windows                      a line per top-level window and its controls:
//                                hwnd owner/parent id class style visible enabled l t r b text
//   items HWND                   the texts of a drop-down list, a line each
//   post HWND MESSAGE WPARAM LPARAM
//   dump                         every value under HKCU and HKLM\Software (not
//                                Software\Classes, not Software\Wine): key name type hex
//   set ROOT KEY NAME TYPE HEX   ("-" as TYPE deletes the key)
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

static std::string Escaped(const wchar_t *text)
{
    char utf8[8192];
    if (WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, 0, 0) <= 0)
        utf8[0] = 0;
    std::string out;
    for (const char *p = utf8; *p; ++p)
        out += *p == '\t' ? "\\t" : *p == '\n' ? "\\n" : *p == '\\' ? "\\\\" : std::string(1, *p);
    return out;
}

static void Describe(HWND w, HWND up)
{
    wchar_t text[2048] = L"", cls[64] = L"";
    SendMessageTimeoutW(w, WM_GETTEXT, 2048, (LPARAM)text, SMTO_ABORTIFHUNG, 2000, 0);
    GetClassNameW(w, cls, 64);
    RECT r;
    GetWindowRect(w, &r);
    printf("%p\t%p\t%d\t%s\t%lx\t%d\t%d\t%ld\t%ld\t%ld\t%ld\t%s\n", (void *)w, (void *)up,
           (int)GetWindowLongPtrW(w, GWLP_ID), Escaped(cls).c_str(), (unsigned long)GetWindowLongW(w, GWL_STYLE),
           IsWindowVisible(w) ? 1 : 0, IsWindowEnabled(w) ? 1 : 0, r.left, r.top, r.right, r.bottom,
           Escaped(text).c_str());
}

static BOOL CALLBACK Child(HWND w, LPARAM) { return Describe(w, GetParent(w)), TRUE; }
static BOOL CALLBACK Top(HWND w, LPARAM)
{
    if (IsWindowVisible(w)) {
        Describe(w, GetWindow(w, GW_OWNER));
        EnumChildWindows(w, Child, 0);
    }
    return TRUE;
}

static void Dump(HKEY root, const std::string &name, const std::string &path)
{
    HKEY key;
    if (path == "Software\\Classes" || path == "Software\\Wine" ||
        RegOpenKeyExW(root, std::wstring(path.begin(), path.end()).c_str(), 0, KEY_READ, &key))
        return;
    wchar_t value[512], sub[512];
    static BYTE data[65536];
    for (DWORD i = 0, n = 512, size = sizeof data, type;
         !RegEnumValueW(key, i, value, &n, 0, &type, data, &size); i++, n = 512, size = sizeof data) {
        printf("%s\\%s\t%s\t%lu\t", name.c_str(), Escaped(std::wstring(path.begin(), path.end()).c_str()).c_str(),
               Escaped(value).c_str(), (unsigned long)type);
        for (DWORD b = 0; b < size; b++)
            printf("%02x", data[b]);
        printf("\n");
    }
    for (DWORD i = 0, n = 512; !RegEnumKeyExW(key, i, sub, &n, 0, 0, 0, 0); i++, n = 512) {
        char narrow[1024];
        WideCharToMultiByte(CP_UTF8, 0, sub, -1, narrow, sizeof narrow, 0, 0);
        Dump(root, name, path.empty() ? narrow : path + "\\" + narrow);
    }
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
        if (!n)
            continue;
        if (!strcmp(f[0], "windows")) {
            EnumWindows(Top, 0);
        } else if (!strcmp(f[0], "items") && n == 2) {
            HWND list = (HWND)(ULONG_PTR)strtoull(f[1], 0, 16);
            for (LRESULT i = 0, count = SendMessageW(list, CB_GETCOUNT, 0, 0); i < count; i++) {
                wchar_t text[512] = L"";
                SendMessageW(list, CB_GETLBTEXT, i, (LPARAM)text);
                printf("%s\n", Escaped(text).c_str());
            }
        } else if (!strcmp(f[0], "post") && n == 5) {
            PostMessageW((HWND)(ULONG_PTR)strtoull(f[1], 0, 16), strtoul(f[2], 0, 0), strtoull(f[3], 0, 0),
                         strtoll(f[4], 0, 0));
        } else if (!strcmp(f[0], "dump")) {
            Dump(HKEY_CURRENT_USER, "HKCU", "");
            Dump(HKEY_LOCAL_MACHINE, "HKLM", "Software");
        } else if (!strcmp(f[0], "set") && n >= 5) {
            HKEY root = !strcmp(f[1], "HKLM") ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, key;
            if (!strcmp(f[4], "-")) {
                RegDeleteTreeA(root, f[2]);
                RegDeleteKeyA(root, f[2]);
            } else if (!RegCreateKeyExA(root, f[2], 0, 0, 0, KEY_WRITE, 0, &key, 0)) {
                BYTE data[4096];
                DWORD size = 0;
                for (const char *h = n > 5 ? f[5] : ""; h[0] && h[1] && size < sizeof data; h += 2)
                    data[size++] = (BYTE)strtoul(std::string(h, 2).c_str(), 0, 16);
                RegSetValueExA(key, strcmp(f[3], "@") ? f[3] : 0, 0, strtoul(f[4], 0, 0), data, size);
                RegCloseKey(key);
            }
        }
        printf(".\n");
        fflush(stdout);
    }
    return 0;
}
