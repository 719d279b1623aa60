/* Reading a device-independent bitmap: the file and bitmap headers, the colour
   table and the pixel bits into one block, with the header normalised to the
   40-byte form. Free of the system: the file and the memory come through DibIo,
   so the same code reads from a file handle in the program and from memory in the
   tests and the fuzzer. A bitmap file is input from anywhere, so every size is
   checked before it is used. */
#ifndef STRAVO_DIB_RULES_H
#define STRAVO_DIB_RULES_H

#include <stddef.h>
#include <stdint.h>

enum {
    DIB_FILE_HEADER_SIZE = 14,
    DIB_INFO_HEADER_SIZE = 40,
    DIB_CORE_HEADER_SIZE = 12,
    DIB_CHUNK_SIZE = 32768,
    DIB_MAX_COLORS = 256,
    DIB_SEEK_SET = 0,
    DIB_SEEK_CUR = 1,
};

/* A logo larger than this is no logo: 64 MB of pixels. */
const uint32_t DIB_MAX_IMAGE_BYTES = 64u << 20;

#pragma pack(push, 1)
struct DibInfoHeader {
    uint32_t biSize;
    int32_t biWidth, biHeight;
    uint16_t biPlanes, biBitCount;
    uint32_t biCompression, biSizeImage;
    int32_t biXPelsPerMeter, biYPelsPerMeter;
    uint32_t biClrUsed, biClrImportant;
};
#pragma pack(pop)
static_assert(sizeof(DibInfoHeader) == 40, "the info header is 40 bytes");

/* The file and the memory blocks. seek returns the new position, or -1; a block
   is a handle that lock turns into a pointer. */
struct DibIo {
    void *context;
    uint32_t (*read)(void *context, void *buffer, uint32_t count);
    int32_t (*seek)(void *context, int32_t offset, int origin);
    void *(*alloc)(void *context, uint32_t size);
    void *(*realloc)(void *context, void *block, uint32_t size); /* 0: the block stays as it was */
    void (*free)(void *context, void *block);
    void *(*lock)(void *context, void *block);
    void (*unlock)(void *context, void *block);
};

/* Colours of a header (core or info, by its size field) and its table's bytes. */
uint16_t CountDibColors(const void *header);
uint16_t ColorTableBytes(const void *header);

/* Bytes of an uncompressed image: rows padded to 4 bytes. 0 when the size does not
   fit the limit, or the dimensions make no image. */
uint32_t DibImageBytes(int32_t width, uint16_t bitCount, int32_t height);

/* The 40 bytes read at a bitmap header, normalised: a core header widened, the
   image size and colour count filled in. 0 for a header this reader refuses. */
int NormaliseDibHeader(const unsigned char raw[DIB_INFO_HEADER_SIZE], DibInfoHeader *header);

/* A block of the normalised header and its RGBQUAD table, the file left at the
   pixel bits; 0 on any failure, with nothing left allocated. */
void *ReadDibHeader(const DibIo *io);

/* The whole DIB: header, table and pixel bits in one block; 0 on any failure. */
void *LoadDib(const DibIo *io);

/* count bytes in reads of at most 32768; count, or 0 on a short read. */
uint32_t ReadChunked(const DibIo *io, void *destination, uint32_t count);

/* The palette of a header followed by `tableBytes` of its table: its own colours,
   or the 256-colour cube for a 24-bit image without a table; as red, green, blue
   triples. Returns the entry count, 0 when no palette can be made. */
int DibPaletteColors(const void *header, uint32_t tableBytes, unsigned char colors[DIB_MAX_COLORS][3]);

#endif
