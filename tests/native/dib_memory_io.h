// A DIB source over bytes in memory, with counted blocks from malloc, so that the
// tests and the fuzzer can see a leak, make any allocation fail and know the size
// of the block they got.
#ifndef STRAVO_TEST_DIB_MEMORY_IO_H
#define STRAVO_TEST_DIB_MEMORY_IO_H

#include <stdlib.h>
#include <string.h>

#include "../../logo/dib_rules.h"

struct MemoryDib {
    const unsigned char *data;
    size_t size, at = 0;
    // -1: no allocation fails
    int live = 0, calls = 0, failAt = -1;
    uint32_t blockSize = 0, largestRead = 0;

    MemoryDib(const void *bytes, size_t n) : data((const unsigned char *)bytes), size(n) {}
    static MemoryDib *Of(void *c) { return (MemoryDib *)c; }
    void *Grow(void *block, uint32_t n)
    {
        if (calls++ == failAt)
            return nullptr;
        live += !block, blockSize = n;
        return realloc(block, n ? n : 1);
    }
    DibIo Io()
    {
        return DibIo{this,
                     [](void *c, void *to, uint32_t count) {
                         MemoryDib *m = Of(c);
                         uint32_t n = (uint32_t)(m->at < m->size ? m->size - m->at : 0);
                         n = count < n ? count : n;
                         m->largestRead = count > m->largestRead ? count : m->largestRead;
                         memcpy(to, m->data + m->at, n);
                         m->at += n;
                         return n;
                     },
                     [](void *c, int32_t offset, int origin) {
                         // Past the end is allowed, as for a file.
                         int64_t to = (origin == DIB_SEEK_CUR ? (int64_t)Of(c)->at : 0) + offset;
                         Of(c)->at = to < 0 ? Of(c)->at : (size_t)to;
                         return to < 0 ? -1 : (int32_t)to;
                     },
                     [](void *c, uint32_t n) { return Of(c)->Grow(nullptr, n); },
                     [](void *c, void *block, uint32_t n) { return Of(c)->Grow(block, n); },
                     [](void *c, void *block) { Of(c)->live--, free(block); },
                     [](void *, void *block) { return block; }, [](void *, void *) {}};
    }
};

#endif
