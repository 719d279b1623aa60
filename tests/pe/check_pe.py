#!/usr/bin/env python3
# Checks the built program files: subsystem and OS version 4.0 for the 32-bit
# one, only system DLLs imported and, for the 32-bit one, only functions that
# Windows 95 and NT 4.0 both have, the dialog procedures exported by their plain
# names, and the dialogs and strings of all three languages exactly as
# resources.txt beside this file has them (each control's ID, class, style,
# rectangle in dialog units and text). Prints "pe: N passed, N failed".
#
# check_pe.py STRAVO.EXE... [--write: resources.txt anew from the first file]
import difflib
import os
import struct
import sys

ALLOWED = {
    'kernel32.dll': '''CloseHandle CreateFileA DeleteCriticalSection DeleteFileA EnterCriticalSection
        FreeLibrary GetDiskFreeSpaceA GetDriveTypeA GetLastError GetLogicalDriveStringsA GetLogicalDrives
        GetModuleHandleA GetModuleHandleW GetPrivateProfileIntA GetProcAddress GetStartupInfoA GetTickCount
        GetVersion GetVersionExA GetVolumeInformationA GlobalAlloc GlobalFree GlobalLock GlobalReAlloc
        GlobalUnlock InitializeCriticalSection IsDBCSLeadByteEx LeaveCriticalSection LoadLibraryA LocalAlloc
        LocalFree MultiByteToWideChar OpenFile OutputDebugStringA QueryPerformanceCounter
        QueryPerformanceFrequency ReadFile SetErrorMode SetUnhandledExceptionFilter Sleep TlsGetValue
        VirtualProtect VirtualQuery WideCharToMultiByte WriteFile _lclose _llseek _lread''',
    'user32.dll': '''BeginPaint CheckDlgButton CheckRadioButton ClientToScreen DialogBoxParamA DrawIcon
        EnableWindow EndDialog EndPaint FillRect FindWindowA GetClientRect GetDC GetDlgItem GetDlgItemTextA
        GetSysColor GetSystemMetrics GetWindowRect InvalidateRect IsDlgButtonChecked IsIconic LoadCursorA
        LoadIconA LoadStringA MapWindowPoints MessageBoxA MoveWindow PeekMessageA PostMessageA PostQuitMessage
        PtInRect ReleaseDC ScreenToClient SendDlgItemMessageA SendMessageA SetCursor SetDlgItemInt
        SetDlgItemTextA SetFocus SetForegroundWindow SetWindowPos SetWindowTextA ShowCursor ShowWindow
        WinHelpA''',
    'advapi32.dll': 'RegCloseKey RegCreateKeyExA RegOpenKeyExA RegQueryValueExA RegSetValueExA',
    'gdi32.dll': '''CreateCompatibleDC CreateDIBitmap CreateFontA CreatePalette CreatePen CreateSolidBrush
        DPtoLP DeleteDC DeleteObject GetObjectA LineTo MoveToEx RealizePalette SelectObject SelectPalette
        SetBkColor SetMapMode SetROP2 SetStretchBltMode SetTextAlign SetTextColor SetViewportExtEx
        SetViewportOrgEx SetWindowExtEx StretchBlt TextOutA''',
    'msvcrt.dll': '''__getmainargs __initenv __mb_cur_max __p__acmdln __p__commode __p__fmode
        __set_app_type __setusermatherr _amsg_exit _cexit _errno _initterm _iob _onexit abort atoi calloc
        exit fprintf fputc free fwrite localeconv malloc memchr memcpy memset setlocale signal strchr
        strerror strlen strncmp vfprintf wcslen''',
}
EXPORTS = ['AboutBoxProc', 'DlgMain', 'SysInfoDlgProc']


class Pe:
    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from('<I', data, 0x3C)[0]
        nsect, optsize = struct.unpack_from('<H', data, pe + 6)[0], struct.unpack_from('<H', data, pe + 20)[0]
        opt = pe + 24
        self.wide = struct.unpack_from('<H', data, opt)[0] == 0x20B
        self.os_version = struct.unpack_from('<HH', data, opt + 40)
        self.subsys_version = struct.unpack_from('<HH', data, opt + 48)
        self.subsystem = struct.unpack_from('<H', data, opt + 68)[0]
        dirs = opt + (112 if self.wide else 96)
        self.dirs = [struct.unpack_from('<II', data, dirs + 8 * i) for i in range(16)]
        self.sections = [struct.unpack_from('<IIII', data, opt + optsize + 40 * i + 8) for i in range(nsect)]

    def off(self, rva):
        return next(rva - va + raw for vsize, va, rsize, raw in self.sections if va <= rva < va + max(vsize, rsize))

    def u(self, fmt, rva):
        return struct.unpack_from(fmt, self.data, self.off(rva))

    def cstr(self, rva):
        o = self.off(rva)
        return self.data[o:self.data.index(b'\0', o)].decode()

    def imports(self):
        result, rva = {}, self.dirs[1][0]
        while self.u('<5I', rva)[3]:
            ilt, _, _, name, iat = self.u('<5I', rva)
            names, t = [], ilt or iat
            while self.u('<Q' if self.wide else '<I', t)[0]:
                v = self.u('<Q' if self.wide else '<I', t)[0]
                names.append('#%d' % (v & 0xFFFF) if v >> (63 if self.wide else 31) else self.cstr((v & 0x7FFFFFFF) + 2))
                t += 8 if self.wide else 4
            result[self.cstr(name).lower()] = names
            rva += 20
        return result

    def exports(self):
        rva = self.dirs[0][0]
        n, names = (self.u('<I', rva + 24)[0], self.u('<I', rva + 32)[0]) if rva else (0, 0)
        return [self.cstr(self.u('<I', names + 4 * i)[0]) for i in range(n)]

    def resources(self, kind):
        # {id: bytes} of one resource type (its first language)
        base, found = self.dirs[2][0], {}

        def entries(rva):
            named, ids = self.u('<HH', base + rva + 12)
            return [self.u('<II', base + rva + 16 + 8 * i) for i in range(named + ids)]
        for type_id, sub in entries(0):
            if type_id == kind:
                for rid, lang in entries(sub & 0x7FFFFFFF):
                    data_rva, size = self.u('<II', base + (entries(lang & 0x7FFFFFFF)[0][1]))
                    found[rid] = self.data[self.off(data_rva):self.off(data_rva) + size]
        return found


def text(blob, at):
    # A name-or-ordinal of a dialog template: (text, next offset).
    first = struct.unpack_from('<H', blob, at)[0]
    if first == 0xFFFF:
        return '#%d' % struct.unpack_from('<H', blob, at + 2)[0], at + 4
    end = at
    while struct.unpack_from('<H', blob, end)[0]:
        end += 2
    return blob[at:end].decode('utf-16-le'), end + 2


def dialog(blob):
    ex = struct.unpack_from('<HH', blob, 0) == (1, 0xFFFF)
    if ex:
        _, exstyle, style, count, x, y, cx, cy = struct.unpack_from('<IIIHhhhh', blob, 4)
        at = 26
    else:
        style, exstyle, count, x, y, cx, cy = struct.unpack_from('<IIHhhhh', blob, 0)
        at = 18
    _, at = text(blob, at)
    _, at = text(blob, at)
    caption, at = text(blob, at)
    lines = ['  style %08x ex %08x at %d,%d size %d,%d "%s"' % (style, exstyle, x, y, cx, cy, caption)]
    if style & 0x40:
        size, at = struct.unpack_from('<H', blob, at)[0], at + (6 if ex else 2)
        face, at = text(blob, at)
        lines.append('  font %d "%s"' % (size, face))
    for _ in range(count):
        at = (at + 3) & ~3
        if ex:
            _, exstyle, style, x, y, cx, cy, cid = struct.unpack_from('<IIIhhhhI', blob, at)
            at += 24
        else:
            style, exstyle, x, y, cx, cy, cid = struct.unpack_from('<IIhhhhH', blob, at)
            at += 18
        cls, at = text(blob, at)
        title, at = text(blob, at)
        at += 2 + struct.unpack_from('<H', blob, at)[0]
        lines.append('  %d %s %08x %d,%d,%d,%d "%s"' % (cid & 0xFFFF, cls, style, x, y, cx, cy, title))
    return lines


def resource_lines(pe):
    lines = []
    for rid, blob in sorted(pe.resources(5).items()):
        lines += ['dialog %d' % rid] + dialog(blob)
    for block, blob in sorted(pe.resources(6).items()):
        at = 0
        for i in range(16):
            n = struct.unpack_from('<H', blob, at)[0]
            if n:
                lines.append('string %d "%s"' % ((block - 1) * 16 + i, blob[at + 2:at + 2 + 2 * n].decode('utf-16-le')))
            at += 2 + 2 * n
    return [line.replace('\n', '\\n') for line in lines]


def main():
    paths = [a for a in sys.argv[1:] if not a.startswith('--')]
    golden = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'resources.txt')
    if '--write' in sys.argv:
        open(golden, 'w', encoding='utf-8').write('\n'.join(resource_lines(Pe(open(paths[0], 'rb').read()))) + '\n')
    passed = failed = 0
    for path in paths:
        pe = Pe(open(path, 'rb').read())
        checks = [(pe.subsystem == 2, 'GUI subsystem'), (pe.exports() == EXPORTS, 'exports %s' % pe.exports())]
        if not pe.wide:
            checks += [(pe.os_version == (4, 0) and pe.subsys_version == (4, 0), 'OS and subsystem version 4.0')]
        for dll, names in sorted(pe.imports().items()):
            extra = set(names) - set(ALLOWED.get(dll, '').split())
            checks.append((dll in ALLOWED and (pe.wide or not extra), 'imports of %s%s' % (dll, sorted(extra))))
        expected = open(golden, encoding='utf-8').read().splitlines()
        actual = resource_lines(pe)
        diff = list(difflib.unified_diff(expected, actual, lineterm='', n=0))[2:]
        checks.append((not diff, 'dialogs and strings as resources.txt has them' + ''.join('\n    ' + d for d in diff[:20])))
        for ok, what in checks:
            print(('ok   ' if ok else 'FAIL ') + '%s: %s' % (os.path.basename(os.path.dirname(path)), what))
            passed, failed = passed + ok, failed + (not ok)
    print('pe: %d passed, %d failed' % (passed, failed))
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())
