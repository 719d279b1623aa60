// What a drive can carry during capture, the result box's arithmetic, and the
// capture settings taken from and handed back to the registry's texts and formats.
#include <gtest/gtest.h>

#include <string.h>

#include "../../evaluate/capture_rules.h"
#include "../../evaluate/evaluation_rules.h"
#include "text.h"

namespace {

enum { AUDIO = 1, NTSC = 2, CROP = 4, UNCAPPED = 8, DMA16 = 16 };

// A drive's rates under a board and platform, memory limits 60000/50000, with the
// loudest sound (44,100 Hz, stereo, 16 bits) where AUDIO is given.
std::string Evaluated(uint32_t write, uint32_t read, int board, int nt, int flags = 0)
{
    EvaluationInput in = {};
    in.writeRate = write, in.readRate = read, in.boardType = board, in.windowsNT = nt;
    in.pumaToMemoryRate = 10000, in.memoryToPumaRate = 12000, in.toMemoryRate = 60000, in.fromMemoryRate = 50000;
    in.audio = in.stereo = in.audio16Bit = (flags & AUDIO) != 0;
    in.sampleRateChoice = flags & AUDIO ? 2 : 0;
    in.ntsc = (flags & NTSC) != 0, in.cropping = (flags & CROP) != 0;
    in.rateCapOff = (flags & UNCAPPED) != 0, in.dma16Bit = (flags & DMA16) != 0;
    EvaluationResult r;
    EvaluateRates(&in, &r);
    return Text("%u/%u/%u", r.availableRate, r.compressionTenths, r.qualityClass);
}

TEST(Evaluation, WorkedExamplesBoardsAndSound)
{
    // Windows 95, Puma at its default limits, PAL/SECAM uncropped, 4000/5000 kB/s.
    EXPECT_EQ(Text("%u %u %u %u %u %u %u", VideoRate(4000, 10000, 0, 834), VideoRate(5000, 12000, 0, 834),
                   AudioShare(4000, 176400, 1000), AudioShare(5000, 176400, 1000), VideoRate(4000, 10000, 861, 834),
                   VideoRate(5000, 12000, 1033, 834), VideoRate(200, 60000, 200, 900)),
              "2382 2943 861 1033 1869 2335 0");
    const std::string figures[] = {
        Evaluated(4000, 5000, BOARD_PUMA, 0), Evaluated(4000, 5000, BOARD_PUMA, 0, AUDIO),
        Evaluated(8000, 9000, BOARD_OCELOT, 1, NTSC | CROP), Evaluated(8000, 9000, BOARD_OCELOT, 1, NTSC | CROP | UNCAPPED),
        Evaluated(30000, 30000, BOARD_LYNX, 1, NTSC), Evaluated(30000, 30000, BOARD_PUMA, 1, NTSC),
        Evaluated(30000, 30000, BOARD_PUMA, 1, CROP), Evaluated(30000, 30000, BOARD_PUMA_PLUS, 1, NTSC),
        Evaluated(30000, 30000, BOARD_OCELOT_PLUS, 1, NTSC), Evaluated(30000, 30000, 7, 1, NTSC),
        // Sound in units of 1000, of 1500 for the Ocelot, of 2000 for a 16-bit DMA card.
        Evaluated(3000, 6000, BOARD_LYNX, 1, NTSC | AUDIO), Evaluated(3000, 6000, BOARD_OCELOT, 1, NTSC | AUDIO),
        Evaluated(3000, 6000, BOARD_PUMA_PLUS, 1, NTSC | AUDIO | DMA16),
        Evaluated(150, 150, BOARD_LYNX, 0, AUDIO),  // too slow for its sound
    };
    const char *expected[] = {"2382/90/2", "1869/115/1", "6144/26/2", "6352/25/2", "3072/58/2", "3700/48/2", "3100/61/2",
                              "4096/43/2", "7168/25/2", "6144/29/2", "1980/90/2", "2128/84/2", "2202/81/2", "0/216000/0"};
    for (size_t i = 0; i < sizeof expected / sizeof *expected; i++)
        EXPECT_EQ(figures[i], expected[i]) << "row " << i;
    EXPECT_EQ(Text("%u%u%u%u %u %u %u %u", QualityClassOf(109), QualityClassOf(110), QualityClassOf(219),
                   QualityClassOf(220), AudioBytesPerSecond(1, 0, 0), AudioBytesPerSecond(2, 0, 0),
                   AudioBytesPerSecond(0, 1, 0), AudioBytesPerSecond(0, 0, 1)),
              "2110 22050 44100 22050 22050");
}

TEST(Evaluation, RatioTextsAndBars)
{
    std::string out;
    for (uint32_t tenths : {26u, 69u, 90u, 115u, 216000u}) {
        uint32_t ratios[3];
        ColumnRatios(tenths, ratios);
        for (int column = 0; column < 3; column++) {
            char dot[32], comma[32];
            FormatRatio(dot, sizeof dot, ratios[column], 0);
            FormatRatio(comma, sizeof comma, ratios[column], 1);
            out += Text("%s %s ", dot, comma);
        }
    }
    EXPECT_EQ(out, "3.0:1 3,0:1 3.0:1 3,0:1 3.0:1 3,0:1 3.0:1 3,0:1 3.4:1 3,4:1 6.9:1 6,9:1 3.0:1 3,0:1 4.5:1 4,5:1 "
                   "9.0:1 9,0:1 3.0:1 3,0:1 5.7:1 5,7:1 11.5:1 11,5:1 5400.0:1 5400,0:1 10800.0:1 10800,0:1 "
                   "21600.0:1 21600,0:1 ");
    out.clear();
    for (auto bar : {std::pair<uint32_t, int>{4500, 100}, {9000, 70}, {20000, 70}, {0, 70}, {1, 100}}) {
        BarBox b = SpeedBarBox(BarBox{0, 0, 150, 18}, bar.first, 9000, bar.second);
        out += Text("%d,%d,%d,%d ", b.left, b.top, b.right, b.bottom);
    }
    EXPECT_EQ(out, "1,1,75,17 1,5,149,17 1,5,149,17 1,5,1,17 1,1,1,17 ");
    int32_t xs[16];
    EXPECT_EQ(BarTickPositions(0, 150, 9, xs, 16) * 1000 + xs[0] * 10 + (xs[8] == 144), 9161);
    EXPECT_EQ(BarTickPositions(0, 90, 9, xs, 16), 8) << "no tick on the right edge";
    EXPECT_EQ(BarTickPositions(0, 8, 9, xs, 16), 0) << "a step of 0 draws none";
}

TEST(CaptureRules, BoardsRatesAndWaveFormats)
{
    std::string out;
    for (const char *name : {"vexoVIDEO Puma", "VEXOvideo ocelot", "vexoVIDEO Lynx", "vexoVIDEO Margay",
                             "vexoVIDEO Ocelot plus", "vexoVIDEO Puma plus", "vexoVIDEO Puma ", ""})
        out += Text("%d/%d ", BoardFromActBoard(name), BoardFromEditingBoard(name));
    EXPECT_EQ(out, "1/255 2/2 0/0 255/0 255/4 255/3 255/255 255/255 ");
    EXPECT_EQ(Text("%d%d%d%d%d %d%d%d%d %u %u", DefaultBoardType(BOARD_NONE, 1), DefaultBoardType(BOARD_NONE, 0),
                   DefaultBoardType(BOARD_PUMA_PLUS, 1), DefaultBoardType(BOARD_LYNX, 0), DefaultBoardType(5, 1),
                   PumaRateAccepted(199), PumaRateAccepted(200), PumaRateAccepted(20000), PumaRateAccepted(20001),
                   FrameTimeMicroseconds(0), FrameTimeMicroseconds(1)),
              "12301 0110 40000 33367");
    out.clear();
    for (WaveFormat f : {WaveFormat{1, 1, 11025, 0, 0, 8, 0}, {1, 2, 22050, 0, 0, 16, 0}, {1, 4, 8000, 0, 0, 12, 0}}) {
        int choice = -1, stereo = -1, sixteen = -1;
        AudioChoicesFromFormat(&f, &choice, &stereo, &sixteen);
        out += Text("%d%d%d ", choice, stereo, sixteen);
    }
    EXPECT_EQ(out, "000 111 201 ");
    struct Update {
        uint16_t tag;
        int choice, stereo, sixteen;
        unsigned char bytes[18];
    } updates[] = {
        {1, 2, 1, 1, {1, 0, 2, 0, 0x44, 0xAC, 0, 0, 0x10, 0xB1, 2, 0, 4, 0, 16, 0, 5, 0}},
        {0, 0, 0, 0, {1, 0, 1, 0, 0x11, 0x2B, 0, 0, 0x11, 0x2B, 0, 0, 1, 0, 8, 0, 5, 0}},
        {0x55, 1, 1, 0, {0x55, 0, 2, 0, 0x22, 0x56, 0, 0, 0x44, 0xAC, 0, 0, 2, 0, 8, 0, 5, 0}},
    };
    for (const Update &u : updates) {
        WaveFormat f = {u.tag, 7, 1, 2, 3, 12, 5};
        UpdateWaveFormat(&f, u.choice, u.stereo, u.sixteen);
        EXPECT_EQ(memcmp(&f, u.bytes, sizeof f), 0) << "tag " << u.tag << " rate " << u.choice;
    }
}

}  // namespace
