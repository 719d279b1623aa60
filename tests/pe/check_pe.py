#!/usr/bin/env python3
"""Checks a built stravo.exe: subsystem and OS version 4.0 on i686, only system DLLs
imported, only functions that Windows 95 and NT 4.0 both have, the dialog
procedures exported by their plain names. Prints one line per check and
'pe: N passed, N failed'."""
import struct
import sys

ALLOWED = {
    'kernel32.dll': '''DeleteCriticalSection EnterCriticalSection FreeLibrary GetLastError
        GetModuleHandleA GetModuleHandleW GetPrivateProfileIntA GetProcAddress GetStartupInfoA
        GetVersionExA InitializeCriticalSection IsDBCSLeadByteEx LeaveCriticalSection LoadLibraryA
        MultiByteToWideChar OutputDebugStringA SetUnhandledExceptionFilter Sleep TlsGetValue
        VirtualProtect VirtualQuery WideCharToMultiByte
        GetDiskFreeSpaceA GetDriveTypeA GetLogicalDriveStringsA GetLogicalDrives GetVersion
        GetVolumeInformationA SetErrorMode
        CloseHandle CreateFileA DeleteFileA GetTickCount GlobalAlloc GlobalFree ReadFile
        WriteFile
        GlobalLock GlobalReAlloc GlobalUnlock LocalAlloc LocalFree OpenFile _lclose _llseek _lread''',
    'user32.dll': '''DialogBoxParamA EnableWindow EndDialog FindWindowA GetDlgItem
        GetSystemMetrics GetWindowRect LoadStringA MapWindowPoints MessageBoxA PostMessageA
        PostQuitMessage PtInRect SetForegroundWindow SetWindowPos SetWindowTextA ShowWindow
        WinHelpA BeginPaint CheckDlgButton CheckRadioButton DrawIcon EndPaint FillRect
        GetClientRect GetSysColor InvalidateRect IsDlgButtonChecked IsIconic LoadIconA
        SendDlgItemMessageA SendMessageA SetDlgItemTextA SetFocus
        LoadCursorA PeekMessageA SetCursor
        GetDC GetDlgItemTextA ReleaseDC SetDlgItemInt ShowCursor MoveWindow
        ClientToScreen ScreenToClient''',
    'advapi32.dll': 'RegCloseKey RegCreateKeyExA RegOpenKeyExA RegQueryValueExA RegSetValueExA',
    'gdi32.dll': '''CreatePen CreateSolidBrush DeleteObject LineTo MoveToEx SelectObject
        CreateFontA DPtoLP SetBkColor SetMapMode SetROP2 SetTextAlign SetTextColor
        SetViewportExtEx SetViewportOrgEx SetWindowExtEx TextOutA
        CreateCompatibleDC CreateDIBitmap CreatePalette DeleteDC GetObjectA RealizePalette
        SelectPalette SetStretchBltMode StretchBlt''',
    'msvcrt.dll': '''__getmainargs __initenv __mb_cur_max __p__acmdln __p__commode __p__fmode
        __set_app_type __setusermatherr _amsg_exit _cexit _errno _initterm _iob _onexit abort
        atoi calloc exit fprintf fputc free fwrite localeconv malloc memchr memcpy memset
        setlocale signal strchr strerror strlen strncmp vfprintf wcslen''',
}
ALLOWED = {dll: set(names.split()) for dll, names in ALLOWED.items()}
EXPORTS = ['AboutBoxProc', 'DlgMain', 'SysInfoDlgProc']


class Pe:
    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from('<I', data, 0x3C)[0]
        assert data[pe:pe + 4] == b'PE\0\0'
        self.machine, nsect, _, _, _, optsize, _ = struct.unpack_from('<HHIIIHH', data, pe + 4)
        opt = pe + 24
        self.magic = struct.unpack_from('<H', data, opt)[0]
        self.os_version = struct.unpack_from('<HH', data, opt + 40)
        self.subsys_version = struct.unpack_from('<HH', data, opt + 48)
        self.subsystem = struct.unpack_from('<H', data, opt + 68)[0]
        dirs = opt + (96 if self.magic == 0x10B else 112)
        self.dirs = [struct.unpack_from('<II', data, dirs + 8 * i) for i in range(16)]
        self.sections = []
        for i in range(nsect):
            s = opt + optsize + 40 * i
            vsize, va, rsize, raw = struct.unpack_from('<IIII', data, s + 8)
            self.sections.append((va, max(vsize, rsize), raw))

    def off(self, rva):
        for va, size, raw in self.sections:
            if va <= rva < va + size:
                return rva - va + raw
        raise ValueError(hex(rva))

    def cstr(self, rva):
        o = self.off(rva)
        return self.data[o:self.data.index(b'\0', o)].decode()

    def imports(self):
        rva = self.dirs[1][0]
        result = {}
        wide = self.magic == 0x20B
        while rva:
            ilt, _, _, name, iat = struct.unpack_from('<IIIII', self.data, self.off(rva))
            if not name:
                break
            names = []
            t = ilt or iat
            while True:
                v = struct.unpack_from('<Q' if wide else '<I', self.data, self.off(t))[0]
                if not v:
                    break
                if v >> (63 if wide else 31):
                    names.append('#%d' % (v & 0xFFFF))
                else:
                    names.append(self.cstr((v & 0x7FFFFFFF) + 2))
                t += 8 if wide else 4
            result[self.cstr(name).lower()] = names
            rva += 20
        return result

    def exports(self):
        rva, size = self.dirs[0]
        if not rva:
            return []
        d = self.off(rva)
        n, names = struct.unpack_from('<II', self.data, d + 24)[0], struct.unpack_from('<I', self.data, d + 32)[0]
        return [self.cstr(struct.unpack_from('<I', self.data, self.off(names) + 4 * i)[0]) for i in range(n)]


def main():
    passed = failed = 0

    def check(ok, what):
        nonlocal passed, failed
        print(('ok   ' if ok else 'FAIL ') + what)
        if ok:
            passed += 1
        else:
            failed += 1

    for path in sys.argv[1:]:
        pe = Pe(open(path, 'rb').read())
        is32 = pe.magic == 0x10B
        check(pe.subsystem == 2, '%s: GUI subsystem' % path)
        if is32:
            check(pe.os_version == (4, 0), '%s: OS version 4.0 (is %d.%d)' % ((path,) + pe.os_version))
            check(pe.subsys_version == (4, 0), '%s: subsystem version 4.0 (is %d.%d)' % ((path,) + pe.subsys_version))
        for dll, names in sorted(pe.imports().items()):
            check(dll in ALLOWED, '%s: imports from %s allowed' % (path, dll))
            if not is32:
                continue    # the function list guards the Windows 95/NT build only
            extra = sorted(set(names) - ALLOWED.get(dll, set()))
            check(not extra, '%s: %s functions on the allowlist%s' % (path, dll, (' (not: %s)' % ' '.join(extra)) if extra else ''))
        exports = pe.exports()
        check(exports == sorted(EXPORTS), '%s: exports %s (has %s)' % (path, ' '.join(EXPORTS), ' '.join(exports)))
    print('pe: %d passed, %d failed' % (passed, failed))
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())
