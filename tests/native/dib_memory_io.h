// A DIB source over bytes in memory, with counted blocks from malloc, so that the
// tests and the fuzzer can see a leak, make any allocation fail and know the size
// of the block they got.
#ifndef STRAVO_TEST_DIB_MEMORY_IO_H
#define STRAVO_TEST_DIB_MEMORY_IO_H

#include <stdlib.h>
#include <string.h>

#include "../../logo/dib_rules.h"

struct MemoryDib {
    const unsigned char *data = nullptr;
    size_t size = 0, position = 0;
    int liveBlocks = 0, allocations = 0, failAllocation = -1;  // -1: none fails
    uint32_t blockSize = 0, largestRead = 0;

    static MemoryDib *Of(void *c) { return (MemoryDib *)c; }
    static uint32_t Read(void *c, void *buffer, uint32_t count)
    {
        MemoryDib *m = Of(c);
        m->largestRead = count > m->largestRead ? count : m->largestRead;
        size_t left = m->position < m->size ? m->size - m->position : 0;
        uint32_t n = count < left ? count : (uint32_t)left;
        memcpy(buffer, m->data + m->position, n);
        m->position += n;
        return n;
    }
    static int32_t Seek(void *c, int32_t offset, int origin)
    {
        MemoryDib *m = Of(c);
        int64_t to = (origin == DIB_SEEK_CUR ? (int64_t)m->position : 0) + offset;
        if (to < 0)
            return -1;
        m->position = (size_t)to;  // past the end is allowed, as for a file
        return (int32_t)to;
    }
    static void *Alloc(void *c, uint32_t size)
    {
        MemoryDib *m = Of(c);
        if (m->allocations++ == m->failAllocation)
            return nullptr;
        m->liveBlocks++;
        m->blockSize = size;
        return malloc(size ? size : 1);
    }
    static void *Realloc(void *c, void *block, uint32_t size)
    {
        MemoryDib *m = Of(c);
        if (m->allocations++ == m->failAllocation)
            return nullptr;
        m->blockSize = size;
        return realloc(block, size ? size : 1);
    }
    static void Free(void *c, void *block)
    {
        Of(c)->liveBlocks--;
        free(block);
    }
    static void *Lock(void *, void *block) { return block; }
    static void Unlock(void *, void *) {}

    DibIo Io() { return DibIo{this, Read, Seek, Alloc, Realloc, Free, Lock, Unlock}; }
};

#endif
