// Force-included into every program source of the counting build: the calls that
// make or free a drawing object, a device context, a memory block, a file or a
// registry key go through counting wrappers, because Wine's GetGuiResources
// reports nothing. windows.h comes first, so its own declarations keep their names.
#ifndef STRAVO_COUNTED_CALLS_H
#define STRAVO_COUNTED_CALLS_H

#include <windows.h>

HPEN WINAPI CountedCreatePen(int style, int width, COLORREF colour);
HBRUSH WINAPI CountedCreateSolidBrush(COLORREF colour);
HFONT WINAPI CountedCreateFontA(int, int, int, int, int, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD,
                                DWORD, DWORD, LPCSTR);
HPALETTE WINAPI CountedCreatePalette(const LOGPALETTE *palette);
HBITMAP WINAPI CountedCreateDIBitmap(HDC, const BITMAPINFOHEADER *, DWORD, const void *,
                                     const BITMAPINFO *, UINT);
BOOL WINAPI CountedDeleteObject(HGDIOBJ object);
HDC WINAPI CountedCreateCompatibleDC(HDC dc);
BOOL WINAPI CountedDeleteDC(HDC dc);
HDC WINAPI CountedGetDC(HWND window);
int WINAPI CountedReleaseDC(HWND window, HDC dc);
HDC WINAPI CountedBeginPaint(HWND window, LPPAINTSTRUCT paint);
BOOL WINAPI CountedEndPaint(HWND window, const PAINTSTRUCT *paint);
HGLOBAL WINAPI CountedGlobalAlloc(UINT flags, SIZE_T bytes);
HGLOBAL WINAPI CountedGlobalReAlloc(HGLOBAL memory, SIZE_T bytes, UINT flags);
HGLOBAL WINAPI CountedGlobalFree(HGLOBAL memory);
HLOCAL WINAPI CountedLocalAlloc(UINT flags, SIZE_T bytes);
HLOCAL WINAPI CountedLocalFree(HLOCAL memory);
HANDLE WINAPI CountedCreateFileA(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
BOOL WINAPI CountedCloseHandle(HANDLE handle);
HFILE WINAPI CountedOpenFile(LPCSTR name, LPOFSTRUCT info, UINT style);
HFILE WINAPI Counted_lclose(HFILE file);
LONG WINAPI CountedRegOpenKeyExA(HKEY, LPCSTR, DWORD, REGSAM, PHKEY);
LONG WINAPI CountedRegCreateKeyExA(HKEY, LPCSTR, DWORD, LPSTR, DWORD, REGSAM, LPSECURITY_ATTRIBUTES,
                                   PHKEY, LPDWORD);
LONG WINAPI CountedRegCloseKey(HKEY key);

#define CreatePen CountedCreatePen
#define CreateSolidBrush CountedCreateSolidBrush
#define CreateFontA CountedCreateFontA
#define CreatePalette CountedCreatePalette
#define CreateDIBitmap CountedCreateDIBitmap
#define DeleteObject CountedDeleteObject
#define CreateCompatibleDC CountedCreateCompatibleDC
#define DeleteDC CountedDeleteDC
#define GetDC CountedGetDC
#define ReleaseDC CountedReleaseDC
#define BeginPaint CountedBeginPaint
#define EndPaint CountedEndPaint
#define GlobalAlloc CountedGlobalAlloc
#define GlobalReAlloc CountedGlobalReAlloc
#define GlobalFree CountedGlobalFree
#define LocalAlloc CountedLocalAlloc
#define LocalFree CountedLocalFree
#define CreateFileA CountedCreateFileA
#define CloseHandle CountedCloseHandle
#define OpenFile CountedOpenFile
#define _lclose Counted_lclose
#define RegOpenKeyExA CountedRegOpenKeyExA
#define RegCreateKeyExA CountedRegCreateKeyExA
#define RegCloseKey CountedRegCloseKey

#endif
