// The evaluation's figures, to the digit, and the result box's arithmetic.
#include <gtest/gtest.h>

#include <string.h>

#include "../../evaluate/capture_rules.h"
#include "../../evaluate/evaluation_rules.h"

namespace {

struct Audio {
    int on, sampleRate, stereo, wide, dma16;
};

EvaluationInput Input(uint32_t w, uint32_t d, int board, int nt, Audio audio = {}, int ntsc = 0,
                      int cropping = 0, int capOff = 0, uint32_t memory = 60000)
{
    EvaluationInput in = {};
    in.writeRate = w;
    in.readRate = d;
    in.boardType = board;
    in.pumaToMemoryRate = 10000;
    in.memoryToPumaRate = 12000;
    in.toMemoryRate = memory;
    in.fromMemoryRate = memory;
    in.windowsNT = nt;
    in.audio = audio.on;
    in.sampleRateChoice = audio.sampleRate;
    in.stereo = audio.stereo;
    in.audio16Bit = audio.wide;
    in.dma16Bit = audio.dma16;
    in.ntsc = ntsc;
    in.cropping = cropping;
    in.rateCapOff = capOff;
    return in;
}

const Audio kCdAudio = {1, 2, 1, 1, 0};  // 44,100 Hz, stereo, 16-bit

TEST(Evaluation, FiguresOfTheBoardsNormsAndAudio)
{
    struct Case {
        const char *what;
        EvaluationInput in;
        uint32_t rate, tenths, quality;
    } cases[] = {
        {"95, Puma, PAL, no audio", Input(4000, 5000, BOARD_PUMA, 0), 2382, 90, 2},
        {"95, Puma, PAL, CD audio", Input(4000, 5000, BOARD_PUMA, 0, kCdAudio), 1869, 115, 1},
        {"NT, Ocelot, NTSC cropped: capped", Input(8000, 9000, BOARD_OCELOT, 1, {}, 1, 1), 6144, 26, 2},
        {"the same with the cap off", Input(8000, 9000, BOARD_OCELOT, 1, {}, 1, 1, 1), 6352, 25, 2},
        {"Lynx, PAL: cap 3072", Input(9000, 9000, BOARD_LYNX, 1), 3072, 70, 2},
        {"Lynx, NTSC: cap 3072", Input(9000, 9000, BOARD_LYNX, 1, {}, 1), 3072, 58, 2},
        {"Puma, PAL: cap 3100", Input(20000, 20000, BOARD_PUMA, 1), 3100, 69, 2},
        {"Puma, NTSC: cap 3700", Input(20000, 20000, BOARD_PUMA, 1, {}, 1), 3700, 48, 2},
        {"Puma plus: cap 4096", Input(20000, 20000, BOARD_PUMA_PLUS, 1), 4096, 52, 2},
        {"Ocelot plus: cap 7168", Input(20000, 20000, BOARD_OCELOT_PLUS, 1), 7168, 30, 2},
        {"unknown board: cap 6144", Input(20000, 20000, 9, 1), 6144, 35, 2},
        {"Puma, NTSC cropped, slow drive", Input(1000, 1200, BOARD_PUMA, 0, {}, 1, 1), 758, 214, 1},
        {"22 kHz mono 8-bit, 16-bit DMA", Input(3000, 3000, BOARD_PUMA, 0, {1, 1, 0, 0, 1}), 1889, 114, 1},
        {"11 kHz stereo 8-bit", Input(3000, 3000, BOARD_PUMA, 0, {1, 0, 1, 0, 0}), 1868, 115, 1},
        {"Ocelot: audio in 1500-byte units", Input(3000, 3000, BOARD_OCELOT, 0, {1, 0, 0, 1, 1}), 2331, 92, 2},
        // Products beyond 32 bits: W x WM here, and (W + T) x A below.
        {"100 MB/s drive, cap off", Input(100000, 120000, BOARD_OCELOT_PLUS, 1, {}, 0, 0, 1), 33750, 6, 2},
        {"30 MB/s with CD audio, fast memory",
         Input(30000, 40000, BOARD_OCELOT_PLUS, 0, kCdAudio, 0, 0, 1, 200000), 19132, 11, 2},
        // The audio takes all the writing: no room for video, the lowest class.
        {"150 kB/s with CD audio", Input(150, 5000, BOARD_PUMA, 0, kCdAudio), 0, 216000, 0},
        {"nothing written", Input(0, 5000, BOARD_PUMA, 0), 0, 216000, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EvaluationResult r = {1, 1, 9};
        EvaluateRates(&c.in, &r);
        EXPECT_EQ(r.availableRate, c.rate);
        EXPECT_EQ(r.compressionTenths, c.tenths);
        EXPECT_EQ(r.qualityClass, c.quality);
    }
}

TEST(Evaluation, StepsOfTheWorkedExample)
{
    EXPECT_EQ(VideoRate(4000, 10000, 0, 834), 2382u);
    EXPECT_EQ(VideoRate(5000, 12000, 0, 834), 2943u);
    EXPECT_EQ(AudioBytesPerSecond(2, 1, 1), 176400u);
    EXPECT_EQ(AudioShare(4000, 176400, 1000), 861u);
    EXPECT_EQ(AudioShare(5000, 176400, 1000), 1033u);
    EXPECT_EQ(VideoRate(4000, 10000, 861, 834), 1869u);
    EXPECT_EQ(VideoRate(5000, 12000, 1033, 834), 2335u);
    EXPECT_EQ(VideoRate(8000, 60000, 0, 900), 6352u);
    EXPECT_EQ(VideoRate(9000, 60000, 0, 900), 7043u);
    // Past 32 bits the products stay exact.
    EXPECT_EQ(VideoRate(4000000, 4000000, 0, 1000), 2000000u);
    EXPECT_EQ(AudioShare(4000000000u, 176400, 1000), 689062672u);
    EXPECT_EQ(VideoRate(1000, 0, 0, 900), 0u) << "no limit, no video";
    EXPECT_EQ(VideoRate(0, 0, 0, 900), 0u);
}

TEST(Evaluation, UncompressedRatesAndClassBoundaries)
{
    EXPECT_EQ(UncompressedTenths(0, 0), 216000u);
    EXPECT_EQ(UncompressedTenths(0, 1), 189844u);
    EXPECT_EQ(UncompressedTenths(1, 0), 180000u);
    EXPECT_EQ(UncompressedTenths(1, 1), 162450u);
    const struct { uint32_t tenths, quality; } classes[] = {
        {0, 2}, {109, 2}, {110, 1}, {219, 1}, {220, 0}, {216000, 0}};
    for (const auto &c : classes)
        EXPECT_EQ(QualityClassOf(c.tenths), c.quality) << c.tenths;
}

TEST(Evaluation, RatioTextsOfTheThreeColumns)
{
    struct Case {
        uint32_t tenths;
        const char *point[3], *comma[3];  // first, second, third column
    } cases[] = {
        {90, {"3.0:1", "4.5:1", "9.0:1"}, {"3,0:1", "4,5:1", "9,0:1"}},
        {115, {"3.0:1", "5.7:1", "11.5:1"}, {"3,0:1", "5,7:1", "11,5:1"}},
        {69, {"3.0:1", "3.4:1", "6.9:1"}, {"3,0:1", "3,4:1", "6,9:1"}},
        {26, {"3.0:1", "3.0:1", "3.0:1"}, {"3,0:1", "3,0:1", "3,0:1"}},
        {0, {"3.0:1", "3.0:1", "3.0:1"}, {"3,0:1", "3,0:1", "3,0:1"}},
        {216000, {"5400.0:1", "10800.0:1", "21600.0:1"}, {"5400,0:1", "10800,0:1", "21600,0:1"}},
    };
    for (const Case &c : cases) {
        uint32_t ratios[3];
        ColumnRatios(c.tenths, ratios);
        for (int column = 0; column < 3; column++) {
            char text[16];
            FormatRatio(text, sizeof text, ratios[column], 0);
            EXPECT_STREQ(text, c.point[column]) << c.tenths << " column " << column;
            FormatRatio(text, sizeof text, ratios[column], 1);
            EXPECT_STREQ(text, c.comma[column]) << c.tenths << " column " << column;
        }
    }
    char small[4];
    FormatRatio(small, sizeof small, 115, 0);
    EXPECT_STREQ(small, "11.") << "a short buffer is cut, never overrun";
}

TEST(Evaluation, SpeedBarGeometry)
{
    const BarBox rc = {0, 0, 100, 20};
    struct Case {
        uint32_t value;
        int32_t percent;
        BarBox expected;
    } cases[] = {
        {4500, 100, {1, 1, 50, 19}},   // top raised off the frame
        {4500, 70, {1, 6, 50, 19}},    // 30 % of 20 left above
        {0, 70, {1, 6, 1, 19}},        // empty
        {9000, 100, {1, 1, 99, 19}},   // full scale stops inside the frame
        {4000000000u, 70, {1, 6, 99, 19}},
        {1000, 70, {1, 6, 12, 19}},    // 99 x 1000 / 9000
    };
    for (const Case &c : cases) {
        BarBox b = SpeedBarBox(rc, c.value, 9000, c.percent);
        EXPECT_EQ(b.left, c.expected.left) << c.value;
        EXPECT_EQ(b.top, c.expected.top) << c.value;
        EXPECT_EQ(b.right, c.expected.right) << c.value;
        EXPECT_EQ(b.bottom, c.expected.bottom) << c.value;
    }
    BarBox odd = SpeedBarBox(BarBox{0, 0, 100, 23}, 100, 9000, 70);
    EXPECT_EQ(odd.top, 6) << "23 x 30 / 100 truncates";
}

TEST(Evaluation, TickMarks)
{
    int32_t xs[16];
    ASSERT_EQ(BarTickPositions(0, 100, 9, xs, 16), 9);
    EXPECT_EQ(xs[0], 11);
    EXPECT_EQ(xs[8], 99);
    ASSERT_EQ(BarTickPositions(0, 90, 9, xs, 16), 8) << "no tick on the right edge";
    EXPECT_EQ(xs[7], 80);
    EXPECT_EQ(BarTickPositions(0, 8, 9, xs, 16), 0) << "a step of 0 draws none";
    EXPECT_EQ(BarTickPositions(0, 100, 9, xs, 3), 3);
}

}  // namespace
