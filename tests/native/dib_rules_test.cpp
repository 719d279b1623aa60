// DIB files built byte by byte: the header variants, their normalisation, the
// palettes, and hostile sizes refused without a read or write out of bounds. With
// STRAVO_DIB_CORPUS set, every file is also saved there as a seed for the fuzzer.
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "../../logo/dib_rules.h"
#include "dib_memory_io.h"

namespace {

typedef std::vector<unsigned char> Bytes;

void Put16(Bytes &b, uint16_t v) { b.push_back(v & 0xFF); b.push_back(v >> 8); }
void Put32(Bytes &b, uint32_t v) { for (int i = 0; i < 4; i++) b.push_back((v >> (8 * i)) & 0xFF); }

Bytes InfoHeader(int32_t width, int32_t height, uint16_t bits, uint32_t sizeImage = 0,
                 uint32_t clrUsed = 0, uint32_t compression = 0, uint32_t size = 40)
{
    Bytes b;
    Put32(b, size);
    Put32(b, (uint32_t)width);
    Put32(b, (uint32_t)height);
    Put16(b, 1);
    Put16(b, bits);
    Put32(b, compression);
    Put32(b, sizeImage);
    Put32(b, 2835);
    Put32(b, 2835);
    Put32(b, clrUsed);
    Put32(b, 0);
    return b;
}

Bytes CoreHeader(uint16_t width, uint16_t height, uint16_t bits)
{
    Bytes b;
    Put32(b, 12);
    Put16(b, width);
    Put16(b, height);
    Put16(b, 1);
    Put16(b, bits);
    return b;
}

Bytes Table(int entries, int stride)
{
    Bytes b;
    for (int i = 0; i < entries; i++) {
        b.push_back((unsigned char)(i * 3));      // blue
        b.push_back((unsigned char)(i * 5));      // green
        b.push_back((unsigned char)(i * 7 + 1));  // red
        if (stride == 4)
            b.push_back(0x99);                    // reserved, not copied
    }
    return b;
}

Bytes Pixels(size_t n)
{
    Bytes b(n);
    for (size_t i = 0; i < n; i++)
        b[i] = (unsigned char)(i * 13 + 7);
    return b;
}

// "BM", a size, reserved words and bfOffBits, then the parts.
Bytes File(const Bytes &header, const Bytes &table, const Bytes &pixels, bool fileHeader = true,
           int64_t offBits = -1)
{
    Bytes b;
    if (fileHeader) {
        b.push_back('B');
        b.push_back('M');
        Put32(b, (uint32_t)(14 + header.size() + table.size() + pixels.size()));
        Put32(b, 0);
        Put32(b, offBits < 0 ? (uint32_t)(14 + header.size() + table.size()) : (uint32_t)offBits);
    }
    b.insert(b.end(), header.begin(), header.end());
    b.insert(b.end(), table.begin(), table.end());
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

void SaveSeed(const std::string &name, const Bytes &file)
{
    const char *dir = getenv("STRAVO_DIB_CORPUS");
    if (!dir)
        return;
    std::string path = std::string(dir) + "/" + name;
    if (FILE *f = fopen(path.c_str(), "wb")) {
        fwrite(file.data(), 1, file.size(), f);
        fclose(f);
    }
}

// The header's fields, unpacked (the packed record's fields cannot be bound to
// the references that the checks take).
struct Header {
    uint32_t biSize = 0;
    int32_t biWidth = 0, biHeight = 0;
    uint16_t biBitCount = 0;
    uint32_t biSizeImage = 0, biClrUsed = 0, biClrImportant = 0;
};

struct Loaded {
    bool ok = false;
    Header header;
    Bytes table, pixels;
    int leftBlocks = 0;
};

Loaded Load(const std::string &name, const Bytes &file, int failAllocation = -1)
{
    SaveSeed(name, file);
    MemoryDib source;
    source.data = file.data();
    source.size = file.size();
    source.failAllocation = failAllocation;
    DibIo io = source.Io();
    Loaded r;
    void *block = LoadDib(&io);
    if (block) {
        r.ok = true;
        const unsigned char *p = (const unsigned char *)block;
        DibInfoHeader h;
        memcpy(&h, p, 40);
        r.header.biSize = h.biSize;
        r.header.biWidth = h.biWidth;
        r.header.biHeight = h.biHeight;
        r.header.biBitCount = h.biBitCount;
        r.header.biSizeImage = h.biSizeImage;
        r.header.biClrUsed = h.biClrUsed;
        r.header.biClrImportant = h.biClrImportant;
        r.table.assign(p + 40, p + 40 + r.header.biClrUsed * 4);
        r.pixels.assign(p + 40 + r.header.biClrUsed * 4, p + 40 + r.header.biClrUsed * 4 + r.header.biSizeImage);
        io.free(io.context, block);
    }
    r.leftBlocks = source.liveBlocks;
    return r;
}

TEST(Dib, CoreHeaderIsWidenedWithItsTable)
{
    Bytes pixels = Pixels(8 * 4);  // 4-bit, 15 wide: rows of 8 bytes, 4 rows
    Loaded r = Load("core4", File(CoreHeader(15, 4, 4), Table(16, 3), pixels));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.header.biSize, 40u);
    EXPECT_EQ(r.header.biWidth, 15);
    EXPECT_EQ(r.header.biHeight, 4);
    EXPECT_EQ(r.header.biBitCount, 4);
    EXPECT_EQ(r.header.biClrUsed, 16u);
    EXPECT_EQ(r.header.biClrImportant, 16u);
    EXPECT_EQ(r.header.biSizeImage, 32u);
    ASSERT_EQ(r.table.size(), 64u);
    for (int i = 0; i < 16; i++) {
        EXPECT_EQ(r.table[4 * i], (unsigned char)(i * 3)) << i;
        EXPECT_EQ(r.table[4 * i + 1], (unsigned char)(i * 5)) << i;
        EXPECT_EQ(r.table[4 * i + 2], (unsigned char)(i * 7 + 1)) << i;
        EXPECT_EQ(r.table[4 * i + 3], 0) << i;
    }
    EXPECT_EQ(r.pixels, pixels);
    EXPECT_EQ(r.leftBlocks, 0);
}

TEST(Dib, HeaderVariantsAndTheirSizes)
{
    struct Case {
        const char *name;
        Bytes file;
        bool ok;
        uint32_t sizeImage, colors;
    } cases[] = {
        {"1bit-33x2", File(InfoHeader(33, 2, 1), Table(2, 4), Pixels(16)), true, 16, 2},
        {"8bit-20colours", File(InfoHeader(4, 2, 8, 0, 20), Table(20, 4), Pixels(8)), true, 8, 20},
        {"24bit-no-table", File(InfoHeader(3, 2, 24), {}, Pixels(24)), true, 24, 0},
        {"24bit-16colours", File(InfoHeader(3, 2, 24, 0, 16), Table(16, 4), Pixels(24)), true, 24, 16},
        {"16bit", File(InfoHeader(3, 2, 16), {}, Pixels(16)), true, 16, 0},
        {"32bit", File(InfoHeader(3, 2, 32), {}, Pixels(24)), true, 24, 0},
        {"no-file-header", File(InfoHeader(8, 1, 8), Table(256, 4), Pixels(8), false), true, 8, 256},
        {"offbits-0", File(InfoHeader(8, 1, 8), Table(256, 4), Pixels(8), true, 0), true, 8, 256},
        {"rle8", File(InfoHeader(64, 64, 8, 6, 0, 1), Table(256, 4), Pixels(6)), true, 6, 256},
        {"header-108", File(InfoHeader(8, 1, 8, 0, 0, 0, 108), Table(256, 4), Pixels(8)), false, 0, 0},
        {"ends-in-bits", File(InfoHeader(33, 2, 1), Table(2, 4), Pixels(15)), false, 0, 0},
        {"ends-in-table", File(InfoHeader(4, 2, 8), Table(200, 4), {}), false, 0, 0},
        {"too-short", Bytes{'B', 'M', 1, 2, 3}, false, 0, 0},
        {"core-too-short", File(CoreHeader(2, 2, 1), {}, {}, false), false, 0, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Loaded r = Load(c.name, c.file);
        EXPECT_EQ(r.ok, c.ok);
        EXPECT_EQ(r.leftBlocks, 0);
        if (r.ok && c.ok) {
            EXPECT_EQ(r.header.biSizeImage, c.sizeImage);
            EXPECT_EQ(r.header.biClrUsed, c.colors);
            EXPECT_EQ(r.pixels, Pixels(c.sizeImage));
        }
    }
}

TEST(Dib, PixelsStandAtTheirOffset)
{
    // bfOffBits leaves a gap of 10 bytes after the table.
    Bytes header = InfoHeader(8, 1, 8, 0, 2), table = Table(2, 4), gap(10, 0xEE), pixels = Pixels(8);
    Bytes body = table;
    body.insert(body.end(), gap.begin(), gap.end());
    Loaded r = Load("offbits-gap", File(header, body, pixels, true, 14 + 40 + 8 + 10));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.pixels, pixels);
}

TEST(Dib, HostileSizesAreRefusedCleanly)
{
    struct Case {
        const char *name;
        Bytes file;
    } cases[] = {
        {"huge-width", File(InfoHeader(0x7FFFFFFF, 1, 32), {}, Pixels(64))},
        {"huge-height", File(InfoHeader(4, 0x7FFFFFFF, 8), Table(256, 4), Pixels(64))},
        {"size-image-4g", File(InfoHeader(4, 4, 8, 0xFFFFFFF0u), Table(256, 4), Pixels(64))},
        {"size-image-short", File(InfoHeader(64, 64, 8, 16), Table(256, 4), Pixels(16))},
        {"clrused-65535", File(InfoHeader(4, 4, 8, 0, 65535), Table(256, 4), Pixels(64))},
        {"offbits-beyond", File(InfoHeader(4, 4, 8), Table(256, 4), Pixels(16), true, 0x7FFFFFF0)},
        {"offbits-wrap", File(InfoHeader(4, 4, 8), Table(256, 4), Pixels(16), true, 0xFFFFFFF0u)},
        {"top-down", File(InfoHeader(4, -4, 8), Table(256, 4), Pixels(16))},
        {"zero-width", File(InfoHeader(0, 4, 8), Table(256, 4), Pixels(16))},
        {"bit-count-7", File(InfoHeader(4, 4, 7), {}, Pixels(64))},
        {"bitfields", File(InfoHeader(4, 4, 16, 0, 0, 3), Pixels(12), Pixels(32))},
        {"jpeg", File(InfoHeader(4, 4, 24, 100, 0, 4), {}, Pixels(100))},
        {"rle8-at-4-bits", File(InfoHeader(4, 4, 4, 10, 0, 1), Table(16, 4), Pixels(10))},
    };
    for (const Case &c : cases) {
        Loaded r = Load(c.name, c.file);
        EXPECT_FALSE(r.ok) << c.name;
        EXPECT_EQ(r.leftBlocks, 0) << c.name;
    }
    // Only the low 16 bits of biClrUsed count: 0x10010 reads 16 entries, and the
    // block's header says 16, so the bitmap code never looks past the table.
    Loaded r = Load("clrused-high-bits", File(InfoHeader(4, 4, 8, 0, 0x10010), Table(16, 4), Pixels(16)));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.header.biClrUsed, 16u);
    EXPECT_EQ(r.table.size(), 64u);
}

TEST(Dib, EveryAllocationFailureLeavesNothing)
{
    Bytes file = File(InfoHeader(33, 2, 1), Table(2, 4), Pixels(16));
    for (int failing = 0; failing < 2; failing++) {
        Loaded r = Load("alloc", file, failing);
        EXPECT_FALSE(r.ok) << failing;
        EXPECT_EQ(r.leftBlocks, 0) << failing;
    }
    EXPECT_TRUE(Load("alloc", file, 2).ok);
}

TEST(Dib, PixelsAreReadIn32kChunks)
{
    Bytes pixels = Pixels(70000);
    MemoryDib source;
    source.data = pixels.data();
    source.size = pixels.size();
    DibIo io = source.Io();
    Bytes into(70000);
    EXPECT_EQ(ReadChunked(&io, into.data(), 70000), 70000u);
    EXPECT_EQ(source.reads, (std::vector<uint32_t>{32768, 32768, 4464}));
    EXPECT_EQ(into, pixels);
    source.position = 10;
    EXPECT_EQ(ReadChunked(&io, into.data(), 70000), 0u) << "a short read gives 0";
}

TEST(Dib, PalettesOfTheVariants)
{
    unsigned char colors[DIB_MAX_COLORS][3];
    Bytes eight = InfoHeader(4, 2, 8, 0, 20);
    Bytes table = Table(20, 4);
    eight.insert(eight.end(), table.begin(), table.end());
    ASSERT_EQ(DibPaletteColors(eight.data(), 80, colors), 20);
    EXPECT_EQ(colors[3][0], 3 * 7 + 1);  // red from byte 2
    EXPECT_EQ(colors[3][1], 3 * 5);
    EXPECT_EQ(colors[3][2], 3 * 3);
    EXPECT_EQ(DibPaletteColors(eight.data(), 79, colors), 0) << "a table cut short makes none";

    Bytes cube = InfoHeader(4, 2, 24);
    ASSERT_EQ(DibPaletteColors(cube.data(), 0, colors), 256);
    const struct { int i, r, g, b; } cubeEntries[] = {
        {0, 0, 0, 0}, {1, 32, 0, 0}, {7, 224, 0, 0}, {8, 0, 32, 0}, {63, 224, 224, 0},
        {64, 0, 0, 64}, {255, 224, 224, 192}};
    for (const auto &e : cubeEntries) {
        EXPECT_EQ(colors[e.i][0], e.r) << e.i;
        EXPECT_EQ(colors[e.i][1], e.g) << e.i;
        EXPECT_EQ(colors[e.i][2], e.b) << e.i;
    }
    for (uint16_t bits : {16, 32}) {
        Bytes none = InfoHeader(4, 2, bits);
        EXPECT_EQ(DibPaletteColors(none.data(), 0, colors), 0) << bits;
    }
    Bytes core = CoreHeader(4, 2, 1);
    Bytes coreTable = Table(2, 3);
    core.insert(core.end(), coreTable.begin(), coreTable.end());
    ASSERT_EQ(DibPaletteColors(core.data(), 6, colors), 2);
    EXPECT_EQ(colors[1][0], 8);
    EXPECT_EQ(CountDibColors(core.data()), 2);
    EXPECT_EQ(ColorTableBytes(core.data()), 6);
    EXPECT_EQ(ColorTableBytes(eight.data()), 80);
}

}  // namespace
