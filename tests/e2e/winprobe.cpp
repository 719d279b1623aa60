// A probe into a running Windows session, for the end-to-end tests: it reads
// windows, controls, message boxes and the registry of other processes and posts
// them commands. One request per line on stdin, tab-separated; one reply line on
// stdout, "OK ..." or "ERR ...", fields tab-separated, texts in UTF-8 with
// backslash, tab and newline escaped.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

static std::string Utf8(const wchar_t *text)
{
    char buffer[4096];
    int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, buffer, sizeof buffer, 0, 0);
    if (n <= 0)
        return std::string();
    std::string out;
    for (const char *p = buffer; *p; ++p) {
        if (*p == '\\') out += "\\\\";
        else if (*p == '\t') out += "\\t";
        else if (*p == '\n') out += "\\n";
        else if (*p == '\r') out += "\\r";
        else out += *p;
    }
    return out;
}

static std::wstring Wide(const std::string &text)
{
    wchar_t buffer[2048];
    int n = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, buffer, 2048);
    return n > 0 ? std::wstring(buffer) : std::wstring();
}

static std::string WindowText(HWND window)
{
    wchar_t text[2048];
    text[0] = 0;
    // WM_GETTEXT crosses processes; GetWindowText would not read other controls.
    SendMessageTimeoutW(window, WM_GETTEXT, 2048, (LPARAM)text, SMTO_ABORTIFHUNG, 2000, 0);
    text[2047] = 0;
    return Utf8(text);
}

static std::string ClassOf(HWND window)
{
    wchar_t name[256];
    if (!GetClassNameW(window, name, 256))
        name[0] = 0;
    return Utf8(name);
}

static HWND ParseWindow(const std::string &text)
{
    return (HWND)(ULONG_PTR)strtoull(text.c_str(), 0, 0);
}

static std::string Hex(ULONG_PTR value)
{
    char buffer[32];
    snprintf(buffer, sizeof buffer, "0x%llx", (unsigned long long)value);
    return buffer;
}

static std::string Num(long long value)
{
    return std::to_string(value);
}

/* "hwnd pid class visible iconic enabled left top right bottom owner id text" */
static std::string Describe(HWND window)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    RECT r;
    GetWindowRect(window, &r);
    std::string out = Hex((ULONG_PTR)window) + "\t" + Num(pid) + "\t" + ClassOf(window);
    out += "\t" + Num(IsWindowVisible(window) ? 1 : 0) + "\t" + Num(IsIconic(window) ? 1 : 0);
    out += "\t" + Num(IsWindowEnabled(window) ? 1 : 0);
    out += "\t" + Num(r.left) + "\t" + Num(r.top) + "\t" + Num(r.right) + "\t" + Num(r.bottom);
    out += "\t" + Hex((ULONG_PTR)GetWindow(window, GW_OWNER));
    out += "\t" + Num((long long)(LONG_PTR)GetWindowLongPtrW(window, GWLP_ID));
    out += "\t" + Hex((ULONG)GetWindowLongW(window, GWL_STYLE));
    out += "\t" + WindowText(window);
    return out;
}

static INT_PTR CALLBACK QuietDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
/* The base units a dialog in the program's font gets: an empty dialog of that
   font, made here, maps 4 x 8 dialog units to pixels. */
static std::string DialogUnits()
{
    alignas(4) WORD buffer[64] = {};
    DLGTEMPLATE *dlg = (DLGTEMPLATE *)buffer;
    dlg->style = WS_POPUP | DS_SETFONT;
    dlg->cx = 100;
    dlg->cy = 100;
    WORD *p = (WORD *)(dlg + 1);
    *p++ = 0;  // no menu
    *p++ = 0;  // standard class
    *p++ = 0;  // no title
    *p++ = 8;
    for (const wchar_t *face = L"MS Sans Serif"; *face; face++)
        *p++ = *face;
    *p++ = 0;
    HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(0), dlg, 0, QuietDialog, 0);
    if (!dialog)
        return "ERR dialog";
    RECT r = {0, 0, 4, 8};
    MapDialogRect(dialog, &r);
    DestroyWindow(dialog);
    return "OK\t" + Num(r.right) + "\t" + Num(r.bottom);
}

static BOOL CALLBACK CollectWindow(HWND window, LPARAM param)
{
    ((std::vector<HWND> *)param)->push_back(window);
    return TRUE;
}

/* The message box icons, told apart by their pixels: another process's icon
   handles mean nothing here. */
static const char *IconName(HWND iconControl)
{
    struct { LPCWSTR id; const char *name; } icons[] = {
        {IDI_HAND, "stop"}, {IDI_QUESTION, "question"},
        {IDI_EXCLAMATION, "exclamation"}, {IDI_ASTERISK, "information"}};
    RECT r;
    GetWindowRect(iconControl, &r);
    int w = 32, h = 32;
    HDC screen = GetDC(0);
    HDC shot = CreateCompatibleDC(screen);
    HBITMAP shotBitmap = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ oldShot = SelectObject(shot, shotBitmap);
    BitBlt(shot, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    const char *found = "none";
    int best = w * h / 10;  // at most a tenth of the pixels may differ
    for (auto &icon : icons) {
        HDC draw = CreateCompatibleDC(screen);
        HBITMAP drawBitmap = CreateCompatibleBitmap(screen, w, h);
        HGDIOBJ oldDraw = SelectObject(draw, drawBitmap);
        // The icon's own edges blend with what is under it: draw it on the box's
        // background, as the box did, not over the shot.
        HBRUSH background = CreateSolidBrush(GetPixel(shot, 0, 0));
        RECT all = {0, 0, w, h};
        FillRect(draw, &all, background);
        DeleteObject(background);
        DrawIconEx(draw, 0, 0, LoadIconW(0, icon.id), w, h, 0, 0, DI_NORMAL);
        int differ = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (GetPixel(draw, x, y) != GetPixel(shot, x, y))
                    ++differ;
        if (differ < best) {
            best = differ;
            found = icon.name;
        }
        SelectObject(draw, oldDraw);
        DeleteObject(drawBitmap);
        DeleteDC(draw);
    }
    SelectObject(shot, oldShot);
    DeleteObject(shotBitmap);
    DeleteDC(shot);
    ReleaseDC(0, screen);
    return found;
}

/* "caption text owner icon buttons" for a message box: buttons as id:text,... */
static std::string DescribeMessageBox(HWND box)
{
    std::string icon = "none", buttons;
    std::vector<HWND> children;
    EnumChildWindows(box, CollectWindow, (LPARAM)&children);
    for (HWND child : children) {
        std::string cls = ClassOf(child);
        LONG style = GetWindowLongW(child, GWL_STYLE);
        if (cls == "Static" && (style & SS_TYPEMASK) == SS_ICON && IsWindowVisible(child))
            icon = IconName(child);
        if (cls == "Button" && IsWindowVisible(child)) {
            if (!buttons.empty())
                buttons += ",";
            buttons += Num(GetDlgCtrlID(child)) + ":" + WindowText(child);
        }
    }
    return WindowText(box) + "\t" + WindowText(GetDlgItem(box, 0xFFFF)) + "\t" +
           Hex((ULONG_PTR)GetWindow(box, GW_OWNER)) + "\t" + icon + "\t" + buttons;
}

/* A 64-bit program sees the machine's 64-bit software key, this probe the 32-bit
   one unless told otherwise. */
static REGSAM RegistryView = KEY_WOW64_32KEY;

static HKEY ParseRoot(const std::string &name)
{
    if (name == "HKCU") return HKEY_CURRENT_USER;
    if (name == "HKLM") return HKEY_LOCAL_MACHINE;
    return 0;
}

/* "type data": numbers in decimal, texts as they are, anything else in hex. */
static std::string RegGet(const std::string &root, const std::string &path, const std::string &name)
{
    HKEY key;
    if (RegOpenKeyExW(ParseRoot(root), Wide(path).c_str(), 0, KEY_READ | RegistryView, &key) != ERROR_SUCCESS)
        return "ERR nokey";
    BYTE data[4096];
    DWORD type = 0, size = sizeof data - 2;
    LONG status = RegQueryValueExW(key, Wide(name).c_str(), 0, &type, data, &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        return "ERR novalue";
    data[size] = data[size + 1] = 0;
    if (type == REG_DWORD && size == 4)
        return "OK\tdword\t" + Num(*(DWORD *)data);
    if (type == REG_SZ)
        return "OK\tsz\t" + Utf8((wchar_t *)data);
    std::string hex;
    for (DWORD i = 0; i < size; ++i) {
        char b[4];
        snprintf(b, sizeof b, "%02x", data[i]);
        hex += b;
    }
    return "OK\t" + Num(type) + "\t" + hex;
}

static std::string RegSet(const std::vector<std::string> &a)
{
    HKEY key;
    if (RegCreateKeyExW(ParseRoot(a[1]), Wide(a[2]).c_str(), 0, 0, 0, KEY_ALL_ACCESS | RegistryView, 0, &key, 0) != ERROR_SUCCESS)
        return "ERR create";
    LONG status;
    if (a[4] == "dword") {
        DWORD value = (DWORD)strtoul(a[5].c_str(), 0, 0);
        status = RegSetValueExW(key, Wide(a[3]).c_str(), 0, REG_DWORD, (BYTE *)&value, 4);
    } else if (a[4] == "sz") {
        std::wstring value = Wide(a[5]);
        status = RegSetValueExW(key, Wide(a[3]).c_str(), 0, REG_SZ, (const BYTE *)value.c_str(),
                                (DWORD)(value.size() + 1) * 2);
    } else {  // raw bytes in hex, with a type number
        std::vector<BYTE> bytes;
        for (size_t i = 0; i + 1 < a[5].size(); i += 2)
            bytes.push_back((BYTE)strtoul(a[5].substr(i, 2).c_str(), 0, 16));
        /* The registry counts a text's terminator by itself when the character
           after the counted bytes is zero: two bytes that are not keep a text
           given without its terminator unterminated. */
        DWORD size = (DWORD)bytes.size();
        bytes.push_back(0xFF);
        bytes.push_back(0xFF);
        status = RegSetValueExW(key, Wide(a[3]).c_str(), 0, (DWORD)strtoul(a[4].c_str(), 0, 0),
                                bytes.data(), size);
    }
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? "OK" : "ERR set";
}

/* One line per key ("KEY") and per value ("KEY\tNAME\tTYPE\tHEX"), the subtree
   in the order the registry enumerates it: what the end-to-end cases compare
   before and after a session. A subkey of the top named in skip is left out. */
static void DumpKey(HKEY key, const std::string &path, FILE *out, const std::string &skip = "")
{
    fprintf(out, "%s\n", path.c_str());
    for (DWORD i = 0;; i++) {
        wchar_t name[16384];
        DWORD nameSize = 16384, type = 0, size = 0;
        if (RegEnumValueW(key, i, name, &nameSize, 0, &type, 0, &size) != ERROR_SUCCESS)
            break;
        std::vector<unsigned char> data(size + 2);
        nameSize = 16384;
        DWORD got = size;
        if (RegEnumValueW(key, i, name, &nameSize, 0, &type, data.data(), &got) != ERROR_SUCCESS)
            continue;
        std::string hex;
        char byte[4];
        for (DWORD b = 0; b < got; b++) {
            snprintf(byte, sizeof byte, "%02x", data[b]);
            hex += byte;
        }
        fprintf(out, "%s\t%s\t%lu\t%s\n", path.c_str(), Utf8(name).c_str(), (unsigned long)type, hex.c_str());
    }
    for (DWORD i = 0;; i++) {
        wchar_t name[512];
        DWORD nameSize = 512;
        if (RegEnumKeyExW(key, i, name, &nameSize, 0, 0, 0, 0) != ERROR_SUCCESS)
            break;
        HKEY sub;
        if (!skip.empty() && _wcsicmp(name, Wide(skip).c_str()) == 0)
            continue;
        if (RegOpenKeyExW(key, name, 0, KEY_READ | RegistryView, &sub) == ERROR_SUCCESS) {
            DumpKey(sub, path + "\\" + Utf8(name), out);
            RegCloseKey(sub);
        }
    }
}

static std::string Handle(const std::vector<std::string> &a)
{
    const std::string &cmd = a[0];
    if (cmd == "top" && a.size() >= 2) {  // top PID|0: top-level windows, one per field
        DWORD want = (DWORD)strtoul(a[1].c_str(), 0, 0);
        std::vector<HWND> windows;
        EnumWindows(CollectWindow, (LPARAM)&windows);
        std::string out = "OK";
        for (HWND window : windows) {
            DWORD pid = 0;
            GetWindowThreadProcessId(window, &pid);
            if ((!want || pid == want) && IsWindowVisible(window))
                out += "\t" + Hex((ULONG_PTR)window);
        }
        return out;
    }
    if (cmd == "info" && a.size() >= 2)
        return "OK\t" + Describe(ParseWindow(a[1]));
    if (cmd == "item" && a.size() >= 3) {  // item HWND ID
        HWND item = GetDlgItem(ParseWindow(a[1]), (int)strtol(a[2].c_str(), 0, 0));
        return item ? "OK\t" + Describe(item) : "ERR noitem";
    }
    if (cmd == "children" && a.size() >= 2) {  // handles of all children
        std::vector<HWND> children;
        EnumChildWindows(ParseWindow(a[1]), CollectWindow, (LPARAM)&children);
        std::string out = "OK";
        for (HWND child : children)
            out += "\t" + Hex((ULONG_PTR)child);
        return out;
    }
    if (cmd == "client" && a.size() >= 2) {  // client HWND: screen origin and size
        HWND window = ParseWindow(a[1]);
        RECT r;
        POINT origin = {0, 0};
        if (!GetClientRect(window, &r) || !ClientToScreen(window, &origin))
            return "ERR client";
        return "OK\t" + Num(origin.x) + "\t" + Num(origin.y) + "\t" + Num(r.right) + "\t" + Num(r.bottom);
    }
    if (cmd == "units")  // dialog base units of "MS Sans Serif" 8 in this Wine
        return DialogUnits();
    if (cmd == "focus" && a.size() >= 2) {  // focus HWND: the focus of that window's thread
        GUITHREADINFO info = {sizeof info};
        if (!GetGUIThreadInfo(GetWindowThreadProcessId(ParseWindow(a[1]), 0), &info))
            return "ERR focus";
        return "OK\t" + Hex((ULONG_PTR)info.hwndFocus);
    }
    if (cmd == "foreground")
        return "OK\t" + Hex((ULONG_PTR)GetForegroundWindow());
    if (cmd == "msgbox" && a.size() >= 2)
        return "OK\t" + DescribeMessageBox(ParseWindow(a[1]));
    if ((cmd == "post" || cmd == "send") && a.size() >= 5) {  // post HWND MSG WPARAM LPARAM [ms, send only]
        HWND window = ParseWindow(a[1]);
        UINT message = (UINT)strtoul(a[2].c_str(), 0, 0);
        WPARAM w = (WPARAM)strtoull(a[3].c_str(), 0, 0);
        LPARAM l = (LPARAM)strtoll(a[4].c_str(), 0, 0);
        if (cmd == "post")
            return PostMessageW(window, message, w, l) ? "OK" : "ERR post";
        DWORD_PTR result = 0;
        UINT wait = a.size() >= 6 ? (UINT)strtoul(a[5].c_str(), 0, 0) : 5000;  // optional ms
        if (!SendMessageTimeoutW(window, message, w, l, SMTO_ABORTIFHUNG, wait, &result))
            return "ERR send";
        return "OK\t" + Num((long long)(LONG_PTR)result);
    }
    if (cmd == "cbitems" && a.size() >= 2) {  // cbitems COMBO: its list texts
        HWND combo = ParseWindow(a[1]);
        int count = (int)SendMessageW(combo, CB_GETCOUNT, 0, 0);
        std::string out = "OK\t" + Num((int)SendMessageW(combo, CB_GETCURSEL, 0, 0));
        for (int i = 0; i < count; ++i) {
            wchar_t text[512];
            if ((int)SendMessageW(combo, CB_GETLBTEXTLEN, i, 0) >= 512)
                return "ERR toolong";
            text[0] = 0;
            SendMessageW(combo, CB_GETLBTEXT, i, (LPARAM)text);
            out += "\t" + Utf8(text);
        }
        return out;
    }
    if (cmd == "view" && a.size() >= 2) {  // view 32|64: the registry the program sees
        RegistryView = a[1] == "64" ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
        return "OK";
    }
    if (cmd == "regdump" && a.size() >= 4) {  // regdump ROOT PATH FILE [SKIP]
        HKEY key;
        if (RegOpenKeyExW(ParseRoot(a[1]), Wide(a[2]).c_str(), 0, KEY_READ | RegistryView, &key) != ERROR_SUCCESS)
            return "ERR open";
        FILE *out = _wfopen(Wide(a[3]).c_str(), L"w");
        if (!out) {
            RegCloseKey(key);
            return "ERR file";
        }
        DumpKey(key, a[1] + "\\" + a[2], out, a.size() >= 5 ? a[4] : "");
        fclose(out);
        RegCloseKey(key);
        return "OK";
    }
    if (cmd == "regget" && a.size() >= 4)
        return RegGet(a[1], a[2], a[3]);
    if (cmd == "regset" && a.size() >= 6)
        return RegSet(a);
    if (cmd == "regdelvalue" && a.size() >= 4) {
        HKEY key;
        if (RegOpenKeyExW(ParseRoot(a[1]), Wide(a[2]).c_str(), 0, KEY_ALL_ACCESS | RegistryView, &key) != ERROR_SUCCESS)
            return "OK";
        RegDeleteValueW(key, Wide(a[3]).c_str());
        RegCloseKey(key);
        return "OK";
    }
    if (cmd == "regdeltree" && a.size() >= 3) {
        HKEY key;
        LONG status = RegOpenKeyExW(ParseRoot(a[1]), Wide(a[2]).c_str(), 0, KEY_ALL_ACCESS | RegistryView, &key);
        if (status == ERROR_SUCCESS) {
            status = RegDeleteTreeW(key, 0);
            RegCloseKey(key);
            if (status == ERROR_SUCCESS)
                status = RegDeleteKeyExW(ParseRoot(a[1]), Wide(a[2]).c_str(), RegistryView, 0);
        }
        return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? "OK" : "ERR delete";
    }
    if (cmd == "profile" && a.size() >= 4) {  // profile SECTION KEY VALUE: WIN.INI
        return WriteProfileStringW(Wide(a[1]).c_str(), Wide(a[2]).c_str(), Wide(a[3]).c_str()) ? "OK" : "ERR";
    }
    return "ERR unknown";
}

int main()
{
    char line[8192];
    while (fgets(line, sizeof line, stdin)) {
        line[strcspn(line, "\r\n")] = 0;
        std::vector<std::string> args;
        for (char *p = line;;) {
            char *tab = strchr(p, '\t');
            if (tab)
                *tab = 0;
            args.push_back(p);
            if (!tab)
                break;
            p = tab + 1;
        }
        if (args[0] == "quit")
            break;
        std::string reply = Handle(args);
        fputs(reply.c_str(), stdout);
        fputc('\n', stdout);
        fflush(stdout);
    }
    return 0;
}
