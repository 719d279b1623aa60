// Force-included into the program's sources as the Windows runner builds them (the
// product is built without it). What the program makes and frees is counted,
// since Wine's GetGuiResources counts nothing; message boxes, help calls, nested
// dialogs and the platform are the runner's to record and script; a chosen global
// allocation fails. windows.h comes first, so its declarations keep their names.
#ifndef STRAVO_WATCH_H
#define STRAVO_WATCH_H

#include <windows.h>

enum WatchKind { WATCH_GDI, WATCH_DC, WATCH_PAINT, WATCH_MEMORY, WATCH_FILE, WATCH_KEY, WATCH_KINDS };

#ifndef STRAVO_WATCH_KINDS_ONLY  // the runner's own files call the system directly

void *WatchMade(int kind, void *handle);
BOOL WINAPI WatchDeleteObject(HGDIOBJ);
int WINAPI WatchReleaseDC(HWND, HDC);
BOOL WINAPI WatchDeleteDC(HDC);
BOOL WINAPI WatchEndPaint(HWND, const PAINTSTRUCT *);
HGLOBAL WINAPI WatchGlobalAlloc(UINT, SIZE_T);
HGLOBAL WINAPI WatchGlobalReAlloc(HGLOBAL, SIZE_T, UINT);
HGLOBAL WINAPI WatchGlobalFree(HGLOBAL);
HLOCAL WINAPI WatchLocalFree(HLOCAL);
BOOL WINAPI WatchCloseHandle(HANDLE);
HFILE WINAPI Watch_lclose(HFILE);
LONG WINAPI WatchRegOpenKeyExA(HKEY, LPCSTR, DWORD, REGSAM, PHKEY);
LONG WINAPI WatchRegCreateKeyExA(HKEY, LPCSTR, DWORD, LPSTR, DWORD, REGSAM, LPSECURITY_ATTRIBUTES, PHKEY, LPDWORD);
LONG WINAPI WatchRegCloseKey(HKEY);
int WINAPI WatchShowCursor(BOOL);
int WINAPI WatchMessageBoxA(HWND, LPCSTR, LPCSTR, UINT);
BOOL WINAPI WatchWinHelpA(HWND, LPCSTR, UINT, ULONG_PTR);
BOOL WINAPI WatchGetVersionExA(LPOSVERSIONINFOA);
INT_PTR WINAPI WatchDialogBoxParamA(HINSTANCE, LPCSTR, HWND, DLGPROC, LPARAM);

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
#define CreateFileA(...) WATCH_MADE(WATCH_FILE, HANDLE, CreateFileA(__VA_ARGS__))
#define OpenFile(...) ((HFILE)(INT_PTR)WatchMade(WATCH_FILE, (void *)(INT_PTR)OpenFile(__VA_ARGS__)))
#define DeleteObject WatchDeleteObject
#define ReleaseDC WatchReleaseDC
#define DeleteDC WatchDeleteDC
#define EndPaint WatchEndPaint
#define GlobalAlloc WatchGlobalAlloc
#define GlobalReAlloc WatchGlobalReAlloc
#define GlobalFree WatchGlobalFree
#define LocalFree WatchLocalFree
#define CloseHandle WatchCloseHandle
#define _lclose Watch_lclose
#define RegOpenKeyExA WatchRegOpenKeyExA
#define RegCreateKeyExA WatchRegCreateKeyExA
#define RegCloseKey WatchRegCloseKey
#define ShowCursor WatchShowCursor
#define MessageBoxA WatchMessageBoxA
#define WinHelpA WatchWinHelpA
#define GetVersionExA WatchGetVersionExA
#define DialogBoxParamA WatchDialogBoxParamA
#endif

#endif
