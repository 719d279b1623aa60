/* The DIB reader on a file handle from OpenFile and movable global memory; the
   reading itself is the system-free one of dib_rules. */
#include "dib.h"

#include <string.h>

#include "dib_rules.h"

static uint32_t FileRead(void *context, void *buffer, uint32_t count)
{
    UINT n = _lread((HFILE)(INT_PTR)context, buffer, count);
    return n == (UINT)HFILE_ERROR ? 0 : n;
}

static int32_t FileSeek(void *context, int32_t offset, int origin)
{
    LONG at = _llseek((HFILE)(INT_PTR)context, offset, origin == DIB_SEEK_CUR ? FILE_CURRENT : FILE_BEGIN);
    return at == HFILE_ERROR ? -1 : at;
}

static void *BlockAlloc(void *, uint32_t size) { return GlobalAlloc(GMEM_MOVEABLE, size); }
static void *BlockRealloc(void *, void *block, uint32_t size) { return GlobalReAlloc((HGLOBAL)block, size, 0); }
static void BlockFree(void *, void *block) { GlobalFree((HGLOBAL)block); }
static void *BlockLock(void *, void *block) { return GlobalLock((HGLOBAL)block); }
static void BlockUnlock(void *, void *block) { GlobalUnlock((HGLOBAL)block); }

static DibIo FileIo(HFILE file)
{
    DibIo io = {(void *)(INT_PTR)file, FileRead, FileSeek, BlockAlloc, BlockRealloc,
                BlockFree, BlockLock, BlockUnlock};
    return io;
}

HGLOBAL ReadDibHeaderBlock(HFILE file)
{
    if (file == HFILE_ERROR)
        return 0;
    DibIo io = FileIo(file);
    return (HGLOBAL)ReadDibHeader(&io);
}

HGLOBAL LoadDibFile(HFILE file)
{
    if (file == HFILE_ERROR)
        return 0;
    DibIo io = FileIo(file);
    return (HGLOBAL)LoadDib(&io);
}

uint32_t ReadFileChunked(HFILE file, void *destination, uint32_t count)
{
    DibIo io = FileIo(file);
    return ReadChunked(&io, destination, count);
}

int GetDibHeader(HGLOBAL block, BITMAPINFOHEADER *header)
{
    if (!block)
        return 0;
    const void *p = GlobalLock(block);
    if (!p)
        return 0;
    unsigned char raw[DIB_INFO_HEADER_SIZE];
    memcpy(raw, p, sizeof raw);
    GlobalUnlock(block);
    /* Blocks of this reader are normalised already; anything else is normalised
       here, and what this reader would refuse gives a header of zeros. */
    DibInfoHeader normal;
    if (!NormaliseDibHeader(raw, &normal))
        memset(&normal, 0, sizeof normal);
    memcpy(header, &normal, sizeof normal);
    return 1;
}

HPALETTE MakeDibPalette(const void *header)
{
    if (!header)
        return 0;
    unsigned char colors[DIB_MAX_COLORS][3];
    int count = DibPaletteColors(header, ColorTableBytes(header), colors);
    if (!count)
        return 0;
    HLOCAL memory = LocalAlloc(LMEM_FIXED | LMEM_ZEROINIT, count * 4 + 8);
    if (!memory)
        return 0;
    LOGPALETTE *palette = (LOGPALETTE *)memory;
    palette->palVersion = 0x300;
    palette->palNumEntries = (WORD)count;
    for (int i = 0; i < count; i++) {
        palette->palPalEntry[i].peRed = colors[i][0];
        palette->palPalEntry[i].peGreen = colors[i][1];
        palette->palPalEntry[i].peBlue = colors[i][2];
        palette->palPalEntry[i].peFlags = 0;
    }
    HPALETTE made = CreatePalette(palette);
    LocalFree(memory);
    return made;
}

HPALETTE MakeDibPaletteFromBlock(HGLOBAL block)
{
    if (!block)
        return 0;
    const void *p = GlobalLock(block);
    if (!p)
        return 0;
    HPALETTE palette = MakeDibPalette(p);
    GlobalUnlock(block);
    return palette;
}

HBITMAP MakeDeviceBitmap(HGLOBAL block, HPALETTE palette, UINT colorUsage)
{
    if (!block)
        return 0;
    const unsigned char *p = (const unsigned char *)GlobalLock(block);
    if (!p)
        return 0;
    const BITMAPINFOHEADER *header = (const BITMAPINFOHEADER *)p;
    HDC screen = GetDC(0);
    HPALETTE previous = 0;
    if (palette) {
        previous = SelectPalette(screen, palette, FALSE);
        RealizePalette(screen);
    }
    HBITMAP bitmap = CreateDIBitmap(screen, header, CBM_INIT, p + (header->biSize & 0xFFFF) + ColorTableBytes(p),
                                    (const BITMAPINFO *)p, colorUsage);
    if (palette && previous)
        SelectPalette(screen, previous, FALSE);
    ReleaseDC(0, screen);
    GlobalUnlock(block);
    return bitmap;
}
