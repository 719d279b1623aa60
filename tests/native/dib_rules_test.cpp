// The DIB reader on files built byte by byte: what it accepts, how it normalises,
// and that a block it returns is exactly what its own header says. The files are
// also the fuzzer's seeds (written where STRAVO_DIB_CORPUS names a folder).
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "dib_memory_io.h"

namespace {

struct Bmp {
    bool fileHeader = true;
    uint32_t gap = 0, offBits = 1;  // 1: where the bits really start
    uint32_t headerSize = 40;
    int32_t width = 4, height = 4;
    uint16_t bits = 8;
    uint32_t compression = 0, sizeImage = 0, clrUsed = 20;
    uint32_t tableEntries = 20, pixelBytes = 16;
};

void Put(std::vector<uint8_t> &out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; i++)
        out.push_back((uint8_t)(value >> (8 * i)));
}

uint8_t Pixel(size_t i) { return (uint8_t)(i * 7 + 1); }

std::vector<uint8_t> Build(const Bmp &b)
{
    std::vector<uint8_t> out;
    const bool core = b.headerSize == 12;
    const uint32_t table = b.tableEntries * (core ? 3 : 4);
    if (b.fileHeader) {
        out.push_back('B'), out.push_back('M');
        Put(out, 0, 4), Put(out, 0, 4);
        Put(out, b.offBits == 1 ? 14 + b.headerSize + table + b.gap : b.offBits, 4);
    }
    Put(out, b.headerSize, 4);
    if (core) {
        Put(out, (uint32_t)b.width, 2), Put(out, (uint32_t)b.height, 2), Put(out, 1, 2), Put(out, b.bits, 2);
    } else {
        Put(out, (uint32_t)b.width, 4), Put(out, (uint32_t)b.height, 4), Put(out, 1, 2), Put(out, b.bits, 2);
        Put(out, b.compression, 4), Put(out, b.sizeImage, 4), Put(out, 2835, 4), Put(out, 2835, 4);
        Put(out, b.clrUsed, 4), Put(out, 0, 4);
        out.resize(out.size() + b.headerSize - 40, 0);
    }
    for (uint32_t i = 0; i < b.tableEntries; i++) {
        out.push_back((uint8_t)i), out.push_back((uint8_t)(i + 100)), out.push_back((uint8_t)(i + 200));
        if (!core)
            out.push_back(0);
    }
    out.resize(out.size() + b.gap, 0xEE);
    for (uint32_t i = 0; i < b.pixelBytes; i++)
        out.push_back(Pixel(i));
    return out;
}

void Seed(const std::string &name, const std::vector<uint8_t> &bytes)
{
    const char *folder = getenv("STRAVO_DIB_CORPUS");
    if (!folder)
        return;
    FILE *f = fopen((std::string(folder) + "/" + name).c_str(), "wb");
    if (f) {
        fwrite(bytes.data(), 1, bytes.size(), f);
        fclose(f);
    }
}

struct Case {
    const char *name;
    Bmp bmp;
    bool loads;
    uint32_t colors, imageBytes;
    int palette;
};

Bmp With(void (*change)(Bmp &))
{
    Bmp b;
    change(b);
    return b;
}

TEST(DibReader, VariantsAndTheirBlocks)
{
    const Case cases[] = {
        {"8-bit-20-colours", Bmp(), true, 20, 16, 20},
        {"no-file-header", With([](Bmp &b) { b.fileHeader = false; }), true, 20, 16, 20},
        {"offbits-0", With([](Bmp &b) { b.offBits = 0; }), true, 20, 16, 20},
        {"offbits-past-a-gap", With([](Bmp &b) { b.gap = 6; }), true, 20, 16, 20},
        {"core-4-bit", With([](Bmp &b) { b.headerSize = 12, b.bits = 4, b.tableEntries = 16, b.pixelBytes = 16; }),
         true, 16, 16, 16},
        {"1-bit-33x2", With([](Bmp &b) { b.bits = 1, b.width = 33, b.height = 2, b.clrUsed = 0,
                                         b.tableEntries = 2; }), true, 2, 16, 2},
        {"24-bit-cube", With([](Bmp &b) { b.bits = 24, b.clrUsed = b.tableEntries = 0, b.pixelBytes = 48; }),
         true, 0, 48, 256},
        {"24-bit-16-colours", With([](Bmp &b) { b.bits = 24, b.clrUsed = b.tableEntries = 16, b.pixelBytes = 48; }),
         true, 16, 48, 16},
        {"16-bit", With([](Bmp &b) { b.bits = 16, b.clrUsed = b.tableEntries = 0, b.pixelBytes = 32; }),
         true, 0, 32, 0},
        {"rle8-as-stated", With([](Bmp &b) { b.compression = 1, b.sizeImage = b.pixelBytes = 10; }),
         true, 20, 10, 20},
        {"top-down-sized", With([](Bmp &b) { b.height = -4, b.sizeImage = 16; }), true, 20, 16, 20},
        {"header-108", With([](Bmp &b) { b.headerSize = 108; }), false, 0, 0, 0},
        {"ends-in-the-bits", With([](Bmp &b) { b.pixelBytes = 15; }), false, 0, 0, 0},
        {"ends-in-the-table", With([](Bmp &b) { b.tableEntries = 19, b.pixelBytes = 0; }), false, 0, 0, 0},
        {"stated-size-too-small", With([](Bmp &b) { b.sizeImage = 12; }), false, 0, 0, 0},
        {"257-colours", With([](Bmp &b) { b.clrUsed = 257; }), false, 0, 0, 0},
        {"top-down-without-size", With([](Bmp &b) { b.height = -4; }), false, 0, 0, 0},
        {"top-down-size-too-small", With([](Bmp &b) { b.height = -4, b.sizeImage = 15; }), false, 0, 0, 0},
        {"top-down-rle8", With([](Bmp &b) { b.height = -4, b.compression = 1, b.sizeImage = 16; }), false, 0, 0, 0},
    };
    std::vector<Case> all(std::begin(cases), std::end(cases));
    // A colour count whose low 16 bits are 0 names no table; 0 in the block would
    // name the full one.
    for (uint16_t bits : {1, 4, 8})
        for (uint32_t count : {0x10000u, 0x20000u}) {
            Case c = {"colours-beyond-16-bits", Bmp(), false, 0, 0, 0};
            c.bmp.bits = bits, c.bmp.clrUsed = count;
            all.push_back(c);
        }
    for (const Case &c : all) {
        std::vector<uint8_t> file = Build(c.bmp);
        Seed(std::string(c.name) + std::to_string(c.bmp.bits) + "-" + std::to_string(c.bmp.clrUsed), file);
        MemoryDib m;
        m.data = file.data(), m.size = file.size();
        DibIo io = m.Io();
        unsigned char *block = (unsigned char *)LoadDib(&io);
        ASSERT_EQ(block != nullptr, c.loads) << c.name;
        if (!block) {
            EXPECT_EQ(m.liveBlocks, 0) << c.name;
            continue;
        }
        DibInfoHeader h;
        memcpy(&h, block, sizeof h);
        EXPECT_EQ(h.biSize, 40u) << c.name;
        EXPECT_EQ(h.biClrUsed, c.colors) << c.name;
        EXPECT_EQ(h.biSizeImage, c.imageBytes) << c.name;
        EXPECT_EQ(h.biHeight, c.bmp.height) << c.name;
        const uint32_t table = ColorTableBytes(block);
        EXPECT_EQ(m.blockSize, 40 + table + h.biSizeImage) << c.name << ": the header describes its block";
        for (uint32_t i = 0; i < table / 4; i++)
            ASSERT_EQ(block[40 + 4 * i + 2], (uint8_t)(i + 200)) << c.name << " entry " << i;
        for (uint32_t i = 0; i < h.biSizeImage; i++)
            ASSERT_EQ(block[40 + table + i], Pixel(i)) << c.name << " byte " << i;
        unsigned char colors[DIB_MAX_COLORS][3];
        EXPECT_EQ(DibPaletteColors(block, table, colors), c.palette) << c.name;
        if (c.palette == 256 && !table) {
            EXPECT_EQ(colors[9][0] * 65536 + colors[9][1] * 256 + colors[9][2], 32 * 65536 + 32 * 256);
            EXPECT_EQ(colors[255][0] * 65536 + colors[255][1] * 256 + colors[255][2], 224 * 65793 - 32);
        } else if (c.palette) {
            EXPECT_EQ(colors[3][0] * 65536 + colors[3][1] * 256 + colors[3][2], 203 * 65536 + 103 * 256 + 3);
        }
        EXPECT_TRUE(c.bmp.headerSize != 12 || h.biClrImportant == 16) << c.name;
        io.free(io.context, block);
        EXPECT_EQ(m.liveBlocks, 0) << c.name;
    }
}

TEST(DibReader, FailuresLeaveNothingAndBitsComeInChunks)
{
    std::vector<uint8_t> file = Build(Bmp());
    for (int failing = 0; failing < 2; failing++) {
        MemoryDib m;
        m.data = file.data(), m.size = file.size(), m.failAllocation = failing;
        DibIo io = m.Io();
        EXPECT_EQ(LoadDib(&io), nullptr) << "allocation " << failing;
        EXPECT_EQ(m.liveBlocks, 0) << "allocation " << failing;
    }
    Bmp large;
    large.width = large.height = 256, large.pixelBytes = 65536 + 4;
    large.sizeImage = 65536 + 4;
    std::vector<uint8_t> big = Build(large);
    MemoryDib m;
    m.data = big.data(), m.size = big.size();
    DibIo io = m.Io();
    void *block = LoadDib(&io);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(m.largestRead, 32768u);
    EXPECT_EQ(((unsigned char *)block)[40 + 80 + 65539], Pixel(65539));
    io.free(io.context, block);
}

}  // namespace
