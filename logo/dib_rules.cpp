/* Reading and normalising DIBs. Fields are read byte-wise (a file's headers need
   not be aligned in the buffer), and every size that comes from the file is
   bounded before memory is sized or read by it. */
#include "dib_rules.h"

#include <string.h>

static uint16_t U16(const void *p, size_t at)
{
    uint16_t v;
    memcpy(&v, (const unsigned char *)p + at, 2);
    return v;
}

static uint32_t U32(const void *p, size_t at)
{
    uint32_t v;
    memcpy(&v, (const unsigned char *)p + at, 4);
    return v;
}

static uint16_t ColorsForBitCount(uint16_t bitCount)
{
    return bitCount == 1 ? 2 : bitCount == 4 ? 16 : bitCount == 8 ? 256 : 0;
}

uint16_t CountDibColors(const void *header)
{
    if (U32(header, 0) == DIB_CORE_HEADER_SIZE)
        return ColorsForBitCount(U16(header, 10));
    uint32_t used = U32(header, 32);
    return used ? (uint16_t)(used & 0xFFFF) : ColorsForBitCount(U16(header, 14));
}

uint16_t ColorTableBytes(const void *header)
{
    uint32_t entry = U32(header, 0) == DIB_CORE_HEADER_SIZE ? 3 : 4;
    return (uint16_t)(CountDibColors(header) * entry);
}

uint32_t DibImageBytes(int32_t width, uint16_t bitCount, int32_t height)
{
    if (width <= 0 || height <= 0 || bitCount == 0)
        return 0;
    uint64_t row = (((uint64_t)width * bitCount + 31) & ~(uint64_t)31) / 8;
    uint64_t bytes = row * (uint64_t)height;
    return bytes > DIB_MAX_IMAGE_BYTES ? 0 : (uint32_t)bytes;
}

enum { BI_RGB_ = 0, BI_RLE8_ = 1, BI_RLE4_ = 2 };

int NormaliseDibHeader(const unsigned char raw[DIB_INFO_HEADER_SIZE], DibInfoHeader *h)
{
    uint32_t size = U32(raw, 0);
    if (size == DIB_CORE_HEADER_SIZE) {
        memset(h, 0, sizeof *h);
        h->biSize = DIB_INFO_HEADER_SIZE;
        h->biWidth = U16(raw, 4);
        h->biHeight = U16(raw, 6);
        h->biPlanes = U16(raw, 8);
        h->biBitCount = U16(raw, 10);
    } else if (size == DIB_INFO_HEADER_SIZE) {
        memcpy(h, raw, sizeof *h);
    } else {
        return 0;
    }
    const uint16_t colors = CountDibColors(h);
    /* The display's palettes end at 256 entries, and a table that long is all
       that a 16-bit table size can be trusted with. */
    if (colors > DIB_MAX_COLORS)
        return 0;
    switch (h->biBitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32:
        break;
    default:
        return 0;
    }
    /* Plain pixels or run-length encoding only: colour masks are not read, and
       what follows a header that names a compressed picture format is no DIB for
       this panel. */
    if (!(h->biCompression == BI_RGB_ || (h->biCompression == BI_RLE8_ && h->biBitCount == 8) ||
          (h->biCompression == BI_RLE4_ && h->biBitCount == 4)))
        return 0;
    /* A top-down image (negative height) draws as well, but the size rule has no
       answer for it: it must state its size, and the system draws no top-down
       image run-length encoded. */
    const int topDown = h->biHeight < 0;
    if (topDown && (!h->biSizeImage || h->biCompression != BI_RGB_ || h->biHeight == INT32_MIN))
        return 0;
    const uint32_t plain = DibImageBytes(h->biWidth, h->biBitCount, topDown ? -h->biHeight : h->biHeight);
    if (!plain)
        return 0;
    if (h->biSizeImage == 0)
        h->biSizeImage = plain;
    else if (h->biSizeImage > DIB_MAX_IMAGE_BYTES ||
             (h->biCompression == BI_RGB_ && h->biSizeImage < plain))
        return 0; /* the bitmap would be made from bytes the block does not hold */
    /* The block holds exactly these colours; a count beyond its low 16 bits
       would send the bitmap code past the table. A count whose low 16 bits are 0
       (0x10000, 0x20000, ...) names no table, yet 0 in the block's header names
       the full one: the header would no longer describe its block. */
    h->biClrUsed = colors;
    if (CountDibColors(h) != colors)
        return 0;
    if (size == DIB_CORE_HEADER_SIZE)
        h->biClrImportant = colors;
    return 1;
}

static void FreeBlock(const DibIo *io, void *block, int locked)
{
    if (locked)
        io->unlock(io->context, block);
    io->free(io->context, block);
}

void *ReadDibHeader(const DibIo *io)
{
    const int32_t start = io->seek(io->context, 0, DIB_SEEK_CUR);
    if (start < 0)
        return 0;
    unsigned char fileHeader[DIB_FILE_HEADER_SIZE];
    if (io->read(io->context, fileHeader, sizeof fileHeader) != sizeof fileHeader)
        return 0;
    uint32_t offBits = 0;
    if (fileHeader[0] == 'B' && fileHeader[1] == 'M')
        offBits = U32(fileHeader, 10);
    else if (io->seek(io->context, start, DIB_SEEK_SET) < 0)
        return 0;

    unsigned char raw[DIB_INFO_HEADER_SIZE];
    if (io->read(io->context, raw, sizeof raw) != sizeof raw)
        return 0;
    const int core = U32(raw, 0) == DIB_CORE_HEADER_SIZE;
    DibInfoHeader header;
    if (!NormaliseDibHeader(raw, &header))
        return 0;
    if (core && io->seek(io->context, -(int32_t)(DIB_INFO_HEADER_SIZE - DIB_CORE_HEADER_SIZE), DIB_SEEK_CUR) < 0)
        return 0;

    const uint32_t colors = header.biClrUsed;
    void *block = io->alloc(io->context, DIB_INFO_HEADER_SIZE + colors * 4);
    if (!block)
        return 0;
    unsigned char *p = (unsigned char *)io->lock(io->context, block);
    if (!p) {
        FreeBlock(io, block, 0);
        return 0;
    }
    memcpy(p, &header, sizeof header);
    unsigned char *table = p + DIB_INFO_HEADER_SIZE;
    if (colors) {
        const uint32_t bytes = colors * (core ? 3 : 4);
        if (io->read(io->context, table, bytes) != bytes) {
            FreeBlock(io, block, 1);
            return 0;
        }
        if (core) {
            /* Last entry first, so that no triple is overwritten before it moves. */
            for (uint32_t i = colors; i-- > 0;) {
                unsigned char blue = table[3 * i], green = table[3 * i + 1], red = table[3 * i + 2];
                table[4 * i] = blue;
                table[4 * i + 1] = green;
                table[4 * i + 2] = red;
                table[4 * i + 3] = 0;
            }
        }
    }
    if (offBits) {
        const int64_t bits = (int64_t)start + offBits;
        if (bits > 0x7FFFFFFF || io->seek(io->context, (int32_t)bits, DIB_SEEK_SET) < 0) {
            FreeBlock(io, block, 1);
            return 0;
        }
    }
    io->unlock(io->context, block);
    return block;
}

uint32_t ReadChunked(const DibIo *io, void *destination, uint32_t count)
{
    unsigned char *to = (unsigned char *)destination;
    uint32_t left = count;
    while (left > DIB_CHUNK_SIZE) {
        if (io->read(io->context, to, DIB_CHUNK_SIZE) != DIB_CHUNK_SIZE)
            return 0;
        to += DIB_CHUNK_SIZE;
        left -= DIB_CHUNK_SIZE;
    }
    return io->read(io->context, to, left) == left ? count : 0;
}

void *LoadDib(const DibIo *io)
{
    void *block = ReadDibHeader(io);
    if (!block)
        return 0;
    DibInfoHeader header;
    const unsigned char *p = (const unsigned char *)io->lock(io->context, block);
    if (!p) {
        FreeBlock(io, block, 0);
        return 0;
    }
    memcpy(&header, p, sizeof header);
    io->unlock(io->context, block);

    const uint32_t tableBytes = header.biClrUsed * 4;
    void *grown = io->realloc(io->context, block, DIB_INFO_HEADER_SIZE + tableBytes + header.biSizeImage);
    if (!grown) {
        FreeBlock(io, block, 0);
        return 0;
    }
    unsigned char *q = (unsigned char *)io->lock(io->context, grown);
    if (!q) {
        FreeBlock(io, grown, 0);
        return 0;
    }
    if (ReadChunked(io, q + DIB_INFO_HEADER_SIZE + tableBytes, header.biSizeImage) != header.biSizeImage) {
        FreeBlock(io, grown, 1);
        return 0;
    }
    io->unlock(io->context, grown);
    return grown;
}

int DibPaletteColors(const void *header, uint32_t tableBytes, unsigned char colors[DIB_MAX_COLORS][3])
{
    const uint32_t size = U32(header, 0);
    const uint32_t stride = size == DIB_CORE_HEADER_SIZE ? 3 : 4;
    const uint32_t count = CountDibColors(header);
    const unsigned char *table = (const unsigned char *)header + (size & 0xFFFF);
    if (count) {
        if (count > DIB_MAX_COLORS || count * stride > tableBytes)
            return 0;
        for (uint32_t i = 0; i < count; i++) {
            colors[i][0] = table[stride * i + 2];
            colors[i][1] = table[stride * i + 1];
            colors[i][2] = table[stride * i];
        }
        return (int)count;
    }
    const uint16_t bitCount = size == DIB_CORE_HEADER_SIZE ? U16(header, 10) : U16(header, 14);
    if (bitCount != 24)
        return 0;
    for (int i = 0; i < DIB_MAX_COLORS; i++) {
        colors[i][0] = (unsigned char)(32 * (i % 8));
        colors[i][1] = (unsigned char)(32 * ((i / 8) % 8));
        colors[i][2] = (unsigned char)(64 * (i / 64));
    }
    return DIB_MAX_COLORS;
}
