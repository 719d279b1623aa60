/* The logo in the right-hand column of the main dialog. */
#ifndef STRAVO_LOGO_PANEL_H
#define STRAVO_LOGO_PANEL_H

#include <windows.h>

struct LogoImageRecord {
    HDC memoryDC;
    HBITMAP previousBitmap;
    HPALETTE palette;
    int width, height;
};

/* Where the logo is painted: the panel control's client area, in the dialog's
   client coordinates. */
struct LogoAreaRecord {
    int x, y, width, height;
};

extern LogoImageRecord LogoImage;
extern LogoAreaRecord LogoArea;

int LogoFileUsable(const char *fileName);
int LoadLogo(HWND dialog, unsigned id, const char *fileName, LogoImageRecord *logo, WORD *width,
             WORD *height);
int DrawLogo(HDC dc, LogoImageRecord *logo);
void RealizeLogoPalette(HWND dialog, LogoImageRecord *logo);
void FreeLogo(LogoImageRecord *logo);

#endif
