/* Reading a DIB file into one movable block, and the palette and screen bitmap
   made from it. */
#ifndef STRAVO_DIB_H
#define STRAVO_DIB_H

#include <windows.h>

#include <stdint.h>

HGLOBAL LoadDibFile(HFILE file);
HGLOBAL ReadDibHeaderBlock(HFILE file);
int GetDibHeader(HGLOBAL block, BITMAPINFOHEADER *header);
HPALETTE MakeDibPalette(const void *header);
HPALETTE MakeDibPaletteFromBlock(HGLOBAL block);
HBITMAP MakeDeviceBitmap(HGLOBAL block, HPALETTE palette, UINT colorUsage);
uint32_t ReadFileChunked(HFILE file, void *destination, uint32_t count);

#endif
