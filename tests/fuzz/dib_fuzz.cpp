// libFuzzer target: any bytes as a logo file. The reader must refuse or read them
// without touching memory outside its blocks, and leave no block behind.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include "../../logo/dib_rules.h"
#include "../native/dib_memory_io.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    MemoryDib source;
    source.data = data;
    source.size = size;
    DibIo io = source.Io();
    void *block = LoadDib(&io);
    if (block) {
        const DibInfoHeader *h = (const DibInfoHeader *)block;
        // Everything the bitmap and palette code will read must lie in the block.
        unsigned char colors[DIB_MAX_COLORS][3];
        DibPaletteColors(block, h->biClrUsed * 4, colors);
        volatile unsigned char last = ((const unsigned char *)block)[40 + h->biClrUsed * 4 + h->biSizeImage - 1];
        (void)last;
        if (h->biClrUsed > DIB_MAX_COLORS || h->biSizeImage > DIB_MAX_IMAGE_BYTES)
            abort();
        io.free(io.context, block);
    }
    if (source.liveBlocks != 0) {
        fprintf(stderr, "%d blocks left\n", source.liveBlocks);
        abort();
    }
    return 0;
}
