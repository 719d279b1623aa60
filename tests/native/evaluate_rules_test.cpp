// What a drive can carry during capture, the result box's arithmetic, and the
// capture settings taken from and handed back to the registry's texts and formats.
#include <gtest/gtest.h>

#include <string.h>

#include "../../evaluate/capture_rules.h"
#include "../../evaluate/evaluation_rules.h"

namespace {

enum { AUDIO = 1, NTSC = 2, CROP = 4, UNCAPPED = 8, DMA16 = 16 };

// A drive's rates under a board and platform, with the loudest sound (44,100 Hz,
// stereo, 16 bits) where AUDIO is given.
EvaluationInput Input(uint32_t write, uint32_t read, int board, int nt, int flags = 0)
{
    EvaluationInput in = {};
    in.writeRate = write, in.readRate = read, in.boardType = board, in.windowsNT = nt;
    in.pumaToMemoryRate = 10000, in.memoryToPumaRate = 12000;
    in.toMemoryRate = 60000, in.fromMemoryRate = 50000;
    in.audio = in.stereo = in.audio16Bit = (flags & AUDIO) != 0;
    in.sampleRateChoice = flags & AUDIO ? 2 : 0;
    in.ntsc = (flags & NTSC) != 0, in.cropping = (flags & CROP) != 0;
    in.rateCapOff = (flags & UNCAPPED) != 0, in.dma16Bit = (flags & DMA16) != 0;
    return in;
}

TEST(Evaluation, WorkedExamplesAndTheirSteps)
{
    // Windows 95, Puma at its default limits, PAL/SECAM uncropped, 4000/5000 kB/s.
    EXPECT_EQ(VideoRate(4000, 10000, 0, 834), 2382u);
    EXPECT_EQ(VideoRate(5000, 12000, 0, 834), 2943u);
    EXPECT_EQ(AudioShare(4000, 176400, 1000), 861u);
    EXPECT_EQ(AudioShare(5000, 176400, 1000), 1033u);
    EXPECT_EQ(VideoRate(4000, 10000, 861, 834), 1869u);
    EXPECT_EQ(VideoRate(5000, 12000, 1033, 834), 2335u);
    EXPECT_EQ(VideoRate(200, 60000, 200, 900), 0u) << "the audio takes it all";

    struct Case {
        const char *what;
        EvaluationInput in;
        uint32_t rate, tenths, quality;
    } cases[] = {
        {"puma 95", Input(4000, 5000, BOARD_PUMA, 0), 2382, 90, 2},
        {"puma 95 with sound", Input(4000, 5000, BOARD_PUMA, 0, AUDIO), 1869, 115, 1},
        {"ocelot nt ntsc cropped", Input(8000, 9000, BOARD_OCELOT, 1, NTSC | CROP), 6144, 26, 2},
        {"the same uncapped", Input(8000, 9000, BOARD_OCELOT, 1, NTSC | CROP | UNCAPPED), 6352, 25, 2},
        {"lynx ntsc", Input(30000, 30000, BOARD_LYNX, 1, NTSC), 3072, 58, 2},
        {"puma ntsc", Input(30000, 30000, BOARD_PUMA, 1, NTSC), 3700, 48, 2},
        {"puma pal cropped", Input(30000, 30000, BOARD_PUMA, 1, CROP), 3100, 61, 2},
        {"puma plus", Input(30000, 30000, BOARD_PUMA_PLUS, 1, NTSC), 4096, 43, 2},
        {"ocelot plus", Input(30000, 30000, BOARD_OCELOT_PLUS, 1, NTSC), 7168, 25, 2},
        {"unknown board", Input(30000, 30000, 7, 1, NTSC), 6144, 29, 2},
        {"sound in units of 1000", Input(3000, 6000, BOARD_LYNX, 1, NTSC | AUDIO), 1980, 90, 2},
        {"ocelot: units of 1500", Input(3000, 6000, BOARD_OCELOT, 1, NTSC | AUDIO), 2128, 84, 2},
        {"16-bit dma: units of 2000", Input(3000, 6000, BOARD_PUMA_PLUS, 1, NTSC | AUDIO | DMA16), 2202, 81, 2},
        {"too slow for its sound", Input(150, 150, BOARD_LYNX, 0, AUDIO), 0, 216000, 0},
    };
    for (const Case &c : cases) {
        EvaluationResult r;
        EvaluateRates(&c.in, &r);
        EXPECT_EQ(r.availableRate, c.rate) << c.what;
        EXPECT_EQ(r.compressionTenths, c.tenths) << c.what;
        EXPECT_EQ(r.qualityClass, c.quality) << c.what;
    }
}

TEST(Evaluation, ClassesAndSoundRates)
{
    const uint32_t classes[][2] = {{109, 2}, {110, 1}, {219, 1}, {220, 0}};
    for (auto c : classes)
        EXPECT_EQ(QualityClassOf(c[0]), c[1]) << c[0];
    const uint32_t audio[][4] = {{1, 0, 0, 22050}, {2, 0, 0, 44100}, {0, 1, 0, 22050}, {0, 0, 1, 22050}};
    for (auto a : audio)
        EXPECT_EQ(AudioBytesPerSecond((int)a[0], (int)a[1], (int)a[2]), a[3]);
}

TEST(Evaluation, RatioTextsAndBars)
{
    struct Case {
        uint32_t tenths;
        const char *dot[3], *comma[3];
    } cases[] = {{26, {"3.0:1", "3.0:1", "3.0:1"}, {"3,0:1", "3,0:1", "3,0:1"}},
                 {69, {"3.0:1", "3.4:1", "6.9:1"}, {"3,0:1", "3,4:1", "6,9:1"}},
                 {90, {"3.0:1", "4.5:1", "9.0:1"}, {"3,0:1", "4,5:1", "9,0:1"}},
                 {115, {"3.0:1", "5.7:1", "11.5:1"}, {"3,0:1", "5,7:1", "11,5:1"}},
                 {216000, {"5400.0:1", "10800.0:1", "21600.0:1"}, {"5400,0:1", "10800,0:1", "21600,0:1"}}};
    for (const Case &c : cases) {
        uint32_t ratios[3];
        ColumnRatios(c.tenths, ratios);
        for (int column = 0; column < 3; column++) {
            char text[32];
            FormatRatio(text, sizeof text, ratios[column], 0);
            EXPECT_STREQ(text, c.dot[column]) << c.tenths << " column " << column;
            FormatRatio(text, sizeof text, ratios[column], 1);
            EXPECT_STREQ(text, c.comma[column]) << c.tenths << " column " << column;
        }
    }
    const BarBox client = {0, 0, 150, 18};
    struct Bar {
        uint32_t value;
        int percent;
        BarBox box;
    } bars[] = {{4500, 100, {1, 1, 75, 17}}, {9000, 70, {1, 5, 149, 17}}, {20000, 70, {1, 5, 149, 17}},
                {0, 70, {1, 5, 1, 17}},      {1, 100, {1, 1, 1, 17}}};
    for (const Bar &b : bars) {
        BarBox box = SpeedBarBox(client, b.value, 9000, b.percent);
        EXPECT_EQ(box.left, b.box.left) << b.value;
        EXPECT_EQ(box.top, b.box.top) << b.value;
        EXPECT_EQ(box.right, b.box.right) << b.value;
        EXPECT_EQ(box.bottom, b.box.bottom) << b.value;
    }
    int32_t xs[16];
    ASSERT_EQ(BarTickPositions(0, 150, 9, xs, 16), 9);
    EXPECT_EQ(xs[0], 16);
    EXPECT_EQ(xs[8], 144);
    EXPECT_EQ(BarTickPositions(0, 90, 9, xs, 16), 8) << "no tick on the right edge";
    EXPECT_EQ(BarTickPositions(0, 8, 9, xs, 16), 0) << "a step of 0 draws none";
}

TEST(CaptureRules, BoardsFromTheMakersTexts)
{
    struct Name {
        const char *text;
        int nt, windows95;
    } names[] = {{"vexoVIDEO Puma", BOARD_PUMA, BOARD_NONE},
                 {"VEXOvideo ocelot", BOARD_OCELOT, BOARD_OCELOT},
                 {"vexoVIDEO Lynx", BOARD_LYNX, BOARD_LYNX},
                 {"vexoVIDEO Margay", BOARD_NONE, BOARD_LYNX},
                 {"vexoVIDEO Ocelot plus", BOARD_NONE, BOARD_OCELOT_PLUS},
                 {"vexoVIDEO Puma plus", BOARD_NONE, BOARD_PUMA_PLUS},
                 {"vexoVIDEO Puma ", BOARD_NONE, BOARD_NONE},
                 {"", BOARD_NONE, BOARD_NONE}};
    for (const Name &n : names) {
        EXPECT_EQ(BoardFromActBoard(n.text), n.nt) << n.text;
        EXPECT_EQ(BoardFromEditingBoard(n.text), n.windows95) << n.text;
    }
    EXPECT_EQ(DefaultBoardType(BOARD_NONE, 1), BOARD_PUMA);
    EXPECT_EQ(DefaultBoardType(BOARD_NONE, 0), BOARD_OCELOT);
    EXPECT_EQ(DefaultBoardType(BOARD_PUMA_PLUS, 1), BOARD_PUMA_PLUS);
    EXPECT_EQ(DefaultBoardType(BOARD_LYNX, 0), BOARD_LYNX);
    EXPECT_EQ(DefaultBoardType(5, 1), BOARD_PUMA);
    const uint32_t rates[][2] = {{199, 0}, {200, 1}, {20000, 1}, {20001, 0}};
    for (auto r : rates)
        EXPECT_EQ(PumaRateAccepted(r[0]), (int)r[1]) << r[0];
    EXPECT_EQ(FrameTimeMicroseconds(0), 40000u);
    EXPECT_EQ(FrameTimeMicroseconds(1), 33367u);
}

TEST(CaptureRules, WaveFormatsBothWays)
{
    struct Stored {
        uint32_t rate;
        uint16_t channels, bits;
        int choice, stereo, sixteen;
    } stored[] = {{11025, 1, 8, 0, 0, 0}, {22050, 2, 16, 1, 1, 1}, {44100, 2, 16, 2, 1, 1},
                  {8000, 4, 12, 2, 0, 1}, {22050, 1, 8, 1, 0, 0}};
    for (const Stored &s : stored) {
        WaveFormat f = {1, s.channels, s.rate, 0, 0, s.bits, 0};
        int choice = -1, stereo = -1, sixteen = -1;
        AudioChoicesFromFormat(&f, &choice, &stereo, &sixteen);
        EXPECT_EQ(choice, s.choice) << s.rate;
        EXPECT_EQ(stereo, s.stereo) << s.channels;
        EXPECT_EQ(sixteen, s.sixteen) << s.bits;
    }
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
