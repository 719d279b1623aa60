/* The logo in the right-hand column of the main dialog: read at start-up, kept as
   a bitmap in a memory DC with its palette, stretched into the panel's area at
   every paint, released when the dialog goes. */
#include "logo_panel.h"

#include "dib.h"

LogoImageRecord LogoImage;
LogoAreaRecord LogoArea;

int LogoFileUsable(const char *fileName)
{
    OFSTRUCT of;
    HFILE file = OpenFile(fileName, &of, OF_READ);
    if (file == HFILE_ERROR)
        return 0;
    HGLOBAL block = LoadDibFile(file);
    int usable = block != 0;
    if (block)
        GlobalFree(block);
    _lclose(file);
    return usable;
}

int LoadLogo(HWND dialog, unsigned id, const char *fileName, LogoImageRecord *logo, WORD *width,
             WORD *height)
{
    static OFSTRUCT of;
    HFILE file = OpenFile(fileName, &of, OF_READ);
    if (file == HFILE_ERROR)
        return 0;
    HGLOBAL block = LoadDibFile(file);
    if (!block) {
        _lclose(file);
        return 0;
    }
    HPALETTE palette = MakeDibPaletteFromBlock(block);
    if (!palette) {
        GlobalFree(block);
        _lclose(file);
        return 0;
    }
    HBITMAP bitmap = MakeDeviceBitmap(block, palette, DIB_RGB_COLORS);
    GlobalFree(block);
    _lclose(file);
    if (!bitmap) {
        DeleteObject(palette);
        return 0;
    }

    HWND panel = GetDlgItem(dialog, (int)id);
    HDC panelDc = GetDC(panel);
    RECT client;
    GetClientRect(panel, &client);
    POINT corner = {0, 0};
    ClientToScreen(panel, &corner);
    ScreenToClient(dialog, &corner);
    /* A memory DC the system will not give leaves no logo, and nothing made for it. */
    HDC memory = panelDc ? CreateCompatibleDC(panelDc) : 0;
    if (panelDc)
        ReleaseDC(panel, panelDc);
    if (!memory) {
        DeleteObject(bitmap);
        DeleteObject(palette);
        return 0;
    }
    LogoArea.x = corner.x;
    LogoArea.y = corner.y;
    LogoArea.width = client.right;
    LogoArea.height = client.bottom;
    logo->memoryDC = memory;
    logo->previousBitmap = (HBITMAP)SelectObject(memory, bitmap);
    logo->palette = palette;

    BITMAP info;
    GetObjectA(bitmap, sizeof info, &info);
    logo->width = info.bmWidth;
    logo->height = info.bmHeight;
    if (width)
        *width = (WORD)info.bmWidth;
    if (height)
        *height = (WORD)info.bmHeight;
    return 1;
}

int DrawLogo(HDC dc, LogoImageRecord *logo)
{
    HPALETTE previous = SelectPalette(dc, logo->palette, FALSE);
    RealizePalette(dc);
    SelectPalette(dc, previous, FALSE);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, LogoArea.x, LogoArea.y, LogoArea.width, LogoArea.height, logo->memoryDC, 0, 0,
               logo->width, logo->height, SRCCOPY);
    return 1;
}

void RealizeLogoPalette(HWND dialog, LogoImageRecord *logo)
{
    if (!logo->palette)
        return;
    HDC dc = GetDC(dialog);
    HPALETTE previous = SelectPalette(dc, logo->palette, FALSE);
    RealizePalette(dc);
    SelectPalette(dc, previous, FALSE);
    ReleaseDC(dialog, dc);
}

void FreeLogo(LogoImageRecord *logo)
{
    HGDIOBJ bitmap = SelectObject(logo->memoryDC, logo->previousBitmap);
    DeleteObject(bitmap);
    DeleteObject(logo->palette);
    DeleteDC(logo->memoryDC);
    logo->memoryDC = 0;
    logo->previousBitmap = 0;
    logo->palette = 0;
}
