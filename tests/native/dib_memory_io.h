// A DIB source over bytes in memory, with blocks from malloc that are counted, so
// that the tests and the fuzzer can tell a leak and make any allocation fail.
#ifndef STRAVO_TEST_DIB_MEMORY_IO_H
#define STRAVO_TEST_DIB_MEMORY_IO_H

#include <stdlib.h>
#include <string.h>

#include <vector>

#include "../../logo/dib_rules.h"

struct MemoryDib {
    const unsigned char *data = nullptr;
    size_t size = 0, position = 0;
    int liveBlocks = 0;
    int allocations = 0;
    int failAllocation = -1;  // the allocation (0, 1, ...) that fails; -1: none
    std::vector<uint32_t> reads;

    static MemoryDib *Of(void *c) { return (MemoryDib *)c; }
    static uint32_t Read(void *c, void *buffer, uint32_t count)
    {
        MemoryDib *m = Of(c);
        m->reads.push_back(count);
        size_t left = m->position < m->size ? m->size - m->position : 0;
        uint32_t n = count < left ? count : (uint32_t)left;
        if (n)
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
    bool Fails() { return allocations++ == failAllocation; }
    static void *Alloc(void *c, uint32_t size)
    {
        MemoryDib *m = Of(c);
        if (m->Fails())
            return nullptr;
        void *p = malloc(size ? size : 1);
        if (p)
            m->liveBlocks++;
        return p;
    }
    static void *Realloc(void *c, void *block, uint32_t size)
    {
        MemoryDib *m = Of(c);
        if (m->Fails())
            return nullptr;
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
