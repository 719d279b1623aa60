// The DIB reader on files built byte by byte: what it accepts, how it normalises,
// and that a block it returns is exactly what its own header says. The files are
// also the fuzzer's seeds (written where STRAVO_DIB_CORPUS names a folder).
#include <gtest/gtest.h>

#include "dib_memory_io.h"
#include "text.h"

// Offsets in the file; LENGTH cuts or pads the file, SKIP drops its first bytes.
enum { OFF = 10, HSIZE = 14, W = 18, H = 22, BITS = 28, COMP = 30, SIZE = 34, USED = 46, LENGTH = -1, SKIP = -2 };
struct Case {
    std::string name;
    std::vector<std::pair<int, int32_t>> patches;
    // height colours/image bytes/palette, or - when refused
    const char *expect;
    bool core = false;
};

// 4x4 at 8 bits with 20 colours, entry i being (i, i + 100, i + 200), then 48
// bytes of bits; the core form is 4x2 at 4 bits with 16 three-byte entries.
static std::vector<uint8_t> File(const Case &c)
{
    std::vector<uint8_t> f = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0};
    auto put = [&f](uint32_t v, int bytes) { f.insert(f.end(), (uint8_t *)&v, (uint8_t *)&v + bytes); };
    put(c.core ? 74 : 134, 4);
    for (uint32_t v : c.core ? std::vector<uint32_t>{12, 0x20004, 0x40001}
                             : std::vector<uint32_t>{40, 4, 4, 0x80001, 0, 0, 0, 0, 20, 0})
        put(v, 4);
    for (uint32_t i = 0; i < (c.core ? 16u : 20u); i++)
        put(i + (i + 100) * 256 + (i + 200) * 65536, c.core ? 3 : 4);
    for (int i = 0; i < 48; i++)
        f.push_back((uint8_t)(i * 7 + 1));
    for (auto p : c.patches)
        if (p.first == LENGTH)
            f.resize(p.second, 0x5A);
        else if (p.first == SKIP)
            f.erase(f.begin(), f.begin() + 14);
        else
            memcpy(&f[p.first], &p.second, p.first == BITS ? 2 : 4);
    return f;
}

static int Rgb(const unsigned char c[3]) { return c[0] << 16 | c[1] << 8 | c[2]; }

TEST(DibReader, VariantsAndTheirBlocks)
{
    std::vector<Case> cases = {
        {"8-bit-20-colours", {}, "4 20/16/20"},
        {"no-file-header", {{SKIP, 0}}, "4 20/16/20"},
        {"offbits-0", {{OFF, 0}}, "4 20/16/20"},
        {"offbits-past-a-gap", {{OFF, 140}}, "4 20/16/20"},
        {"core-4-bit-4x2", {}, "2 16/8/16", true},
        {"core-offbits-0", {{OFF, 0}}, "2 16/8/16", true},
        {"1-bit-33x2", {{BITS, 1}, {W, 33}, {H, 2}, {USED, 0}}, "2 2/16/2"},
        {"24-bit-cube", {{BITS, 24}, {USED, 0}}, "4 0/48/256"},
        {"24-bit-16-colours", {{BITS, 24}, {USED, 16}}, "4 16/48/16"},
        {"16-bit", {{BITS, 16}, {USED, 0}}, "4 0/32/0"},
        {"rle8-as-stated", {{COMP, 1}, {SIZE, 10}}, "4 20/10/20"},
        {"top-down-sized", {{H, -4}, {SIZE, 16}}, "-4 20/16/20"},
        {"large-in-chunks", {{W, 256}, {H, 256}, {SIZE, 65540}, {LENGTH, 134 + 65540}}, "256 20/65540/20"},
        {"header-108", {{HSIZE, 108}}, "-"},
        {"ends-in-the-bits", {{LENGTH, 134 + 15}}, "-"},
        {"ends-in-the-table", {{LENGTH, 54 + 76}}, "-"},
        {"stated-size-too-small", {{SIZE, 12}}, "-"},
        {"257-colours", {{USED, 257}}, "-"},
        {"top-down-without-size", {{H, -4}}, "-"},
        {"top-down-size-too-small", {{H, -4}, {SIZE, 15}}, "-"},
        {"top-down-rle8", {{H, -4}, {COMP, 1}, {SIZE, 16}}, "-"},
        // A colour count whose low 16 bits are 0 names no table; 0 in the block would
        // name the full one.
        {"1-bit-colours-10000", {{BITS, 1}, {USED, 0x10000}}, "-"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> f = File(c);
        if (const char *folder = getenv("STRAVO_DIB_CORPUS"))
            if (FILE *seed = fopen((std::string(folder) + "/" + c.name).c_str(), "wb"))
                fwrite(f.data(), 1, f.size(), seed), fclose(seed);
        const size_t bits = f[0] == 'B' && f[10] ? f[10] : f.size() - 48;
        // Each of the two allocations failing in turn, then none.
        for (int failAt = 1; failAt >= -1; failAt--) {
            MemoryDib m(f.data(), f.size());
            m.failAt = failAt;
            DibIo io = m.Io();
            unsigned char *block = (unsigned char *)LoadDib(&io), colors[DIB_MAX_COLORS][3];
            if (!block || failAt >= 0) {
                EXPECT_TRUE(!block && (failAt >= 0 || !strcmp(c.expect, "-"))) << failAt;
                EXPECT_EQ(m.live, 0);
                continue;
            }
            DibInfoHeader h;
            memcpy(&h, block, sizeof h);
            const uint32_t table = ColorTableBytes(block);
            const int palette = DibPaletteColors(block, table, colors);
            EXPECT_EQ(Text("%d %u/%u/%d", h.biHeight, h.biClrUsed, h.biSizeImage, palette), c.expect);
            EXPECT_EQ(Text("%u %u", h.biSize, h.biClrImportant), c.core ? "40 16" : "40 0");
            // the header describes its block
            EXPECT_EQ(m.blockSize, 40 + table + h.biSizeImage);
            EXPECT_EQ(memcmp(block + 40 + table, &f[bits], h.biSizeImage), 0);
            // bits come in chunks
            EXPECT_LE(m.largestRead, 32768u);
            for (int i = 0; table && i < palette; i++)
                ASSERT_EQ(Rgb(colors[i]), (i + 200) * 65536 + (i + 100) * 256 + i);
            EXPECT_TRUE(table || palette < 256 || (Rgb(colors[9]) == 0x202000 && Rgb(colors[255]) == 0xE0E0C0));
            io.free(io.context, block);
            EXPECT_EQ(m.live, 0);
        }
    }
}
