// libFuzzer target: any bytes as a logo file. The reader must refuse them, or give
// a block that is exactly what its own header says, read the way the program reads
// it: the palette through the same call, and every byte from the header to the end
// of the bits touched. Nothing may be left allocated.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include "../native/dib_memory_io.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    MemoryDib source(data, size);
    DibIo io = source.Io();
    const unsigned char *block = (const unsigned char *)LoadDib(&io);
    if (block) {
        DibInfoHeader h;
        memcpy(&h, block, sizeof h);
        const uint32_t end = 40 + ColorTableBytes(block) + h.biSizeImage;
        if (end != source.blockSize)
            abort();
        unsigned char colors[DIB_MAX_COLORS][3];
        DibPaletteColors(block, ColorTableBytes(block), colors);
        volatile unsigned char sum = 0;
        for (uint32_t i = 0; i < end; i++)
            sum = sum + block[i];
        io.free(io.context, (void *)block);
    }
    if (source.live != 0) {
        fprintf(stderr, "%d blocks left\n", source.live);
        abort();
    }
    return 0;
}
