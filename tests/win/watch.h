// Force-included into the program's sources as the Windows runner builds them (the
// product is built without it). What the program makes and frees is counted,
// since Wine's GetGuiResources counts nothing; message boxes, help calls (the old
// viewer's and the shell's), files opened, texts drawn, titles set and nested dialogs
// are the runner's to record and script; a chosen global allocation fails. windows.h
// comes first, so its declarations keep their names.
#ifndef STRAVO_WATCH_H
#define STRAVO_WATCH_H

#include <windows.h>

enum WatchKind { WATCH_GDI, WATCH_DC, WATCH_PAINT, WATCH_MEMORY, WATCH_FILE, WATCH_KEY, WATCH_KINDS };
void *WatchMade(int kind, void *handle);
void WatchGone(int kind, const void *handle);
// the net count of ShowCursor calls
extern int CursorShown;

#ifndef STRAVO_WATCH_KINDS_ONLY  // the runner's own files call the system directly

HGLOBAL WINAPI WatchGlobalAlloc(UINT, SIZE_T);
HANDLE WINAPI WatchCreateFileA(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
LONG WatchKey(LONG status, HKEY *key);
int WINAPI WatchMessageBoxA(HWND, LPCSTR, LPCSTR, UINT);
BOOL WINAPI WatchWinHelpA(HWND, LPCSTR, UINT, ULONG_PTR);
HINSTANCE WINAPI WatchShellExecuteA(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
INT_PTR WINAPI WatchDialogBoxParamA(HINSTANCE, LPCSTR, HWND, DLGPROC, LPARAM);
BOOL WINAPI WatchTextOutA(HDC, int, int, LPCSTR, int);
BOOL WINAPI WatchSetWindowTextA(HWND, LPCSTR);

#define WATCH_MADE(kind, type, call) ((type)WatchMade(kind, (void *)(call)))
#define CreatePen(...) WATCH_MADE(WATCH_GDI, HPEN, CreatePen(__VA_ARGS__))
#define CreateSolidBrush(...) WATCH_MADE(WATCH_GDI, HBRUSH, CreateSolidBrush(__VA_ARGS__))
#define CreateFontA(...) WATCH_MADE(WATCH_GDI, HFONT, CreateFontA(__VA_ARGS__))
#define CreatePalette(...) WATCH_MADE(WATCH_GDI, HPALETTE, CreatePalette(__VA_ARGS__))
#define CreateDIBitmap(...) WATCH_MADE(WATCH_GDI, HBITMAP, CreateDIBitmap(__VA_ARGS__))
#define GetDC(...) WATCH_MADE(WATCH_DC, HDC, GetDC(__VA_ARGS__))
#define CreateCompatibleDC(...) WATCH_MADE(WATCH_DC, HDC, CreateCompatibleDC(__VA_ARGS__))
#define BeginPaint(...) WATCH_MADE(WATCH_PAINT, HDC, BeginPaint(__VA_ARGS__))
#define LocalAlloc(...) WATCH_MADE(WATCH_MEMORY, HLOCAL, LocalAlloc(__VA_ARGS__))
#define CreateFileA WatchCreateFileA
#define OpenFile(...) ((HFILE)(INT_PTR)WatchMade(WATCH_FILE, (void *)(INT_PTR)OpenFile(__VA_ARGS__)))
#define GlobalAlloc WatchGlobalAlloc
#define GlobalReAlloc(m, ...) (WatchGone(WATCH_MEMORY, m), WATCH_MADE(WATCH_MEMORY, HGLOBAL, GlobalReAlloc(m, __VA_ARGS__)))
#define RegOpenKeyExA(root, path, o, access, key) WatchKey(RegOpenKeyExA(root, path, o, access, key), key)
#define RegCreateKeyExA(r, p, a, b, c, d, e, key, f) WatchKey(RegCreateKeyExA(r, p, a, b, c, d, e, key, f), key)
// The program frees plain variables, so that naming the handle twice is harmless.
#define DeleteObject(o) (WatchGone(WATCH_GDI, o), DeleteObject(o))
#define ReleaseDC(w, dc) (WatchGone(WATCH_DC, dc), ReleaseDC(w, dc))
#define DeleteDC(dc) (WatchGone(WATCH_DC, dc), DeleteDC(dc))
#define EndPaint(w, p) (WatchGone(WATCH_PAINT, (p)->hdc), EndPaint(w, p))
#define GlobalFree(m) (WatchGone(WATCH_MEMORY, m), GlobalFree(m))
#define LocalFree(m) (WatchGone(WATCH_MEMORY, m), LocalFree(m))
#define CloseHandle(h) (WatchGone(WATCH_FILE, h), CloseHandle(h))
#define _lclose(f) (WatchGone(WATCH_FILE, (void *)(INT_PTR)(f)), _lclose(f))
#define RegCloseKey(k) (WatchGone(WATCH_KEY, k), RegCloseKey(k))
#define ShowCursor(show) (CursorShown += (show) ? 1 : -1, ShowCursor(show))
#define MessageBoxA WatchMessageBoxA
#define WinHelpA WatchWinHelpA
#define ShellExecuteA WatchShellExecuteA
#define DialogBoxParamA WatchDialogBoxParamA
#define TextOutA WatchTextOutA
#define SetWindowTextA WatchSetWindowTextA
#endif

#endif
