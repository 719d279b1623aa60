// What a drive can carry during capture, the result box's arithmetic, and the
// capture settings taken from and handed back to the registry's texts and formats.
#include <gtest/gtest.h>

#include <array>

#include "../../evaluate/capture_rules.h"
#include "../../evaluate/evaluation_rules.h"
#include "text.h"

enum { AUDIO = 1, NTSC = 2, CROP = 4, UNCAPPED = 8, DMA16 = 16 };

TEST(Evaluation, WorkedExamplesBoardsAndSound)
{
    // A drive's rates under a board and platform (1: NT), memory limits 60000/50000,
    // with the loudest sound (44,100 Hz, stereo, 16 bits) where AUDIO is given.
    struct Row {
        uint32_t write, read;
        int board, nt, flags;
        const char *expect;
    } rows[] = {
        // the Puma at its default limits, PAL uncropped
        {4000, 5000, BOARD_PUMA, 0, 0, "2382/90/2"},
        {5000, 4000, BOARD_PUMA, 0, AUDIO, "1963/110/1"},
        {8000, 9000, BOARD_OCELOT, 1, NTSC | CROP, "6144/26/2"},
        {8000, 9000, BOARD_OCELOT, 1, NTSC | CROP | UNCAPPED, "6352/25/2"},
        {30000, 30000, BOARD_LYNX, 1, NTSC, "3072/58/2"},
        {30000, 30000, BOARD_PUMA, 1, NTSC, "3700/48/2"},
        {30000, 30000, BOARD_PUMA, 1, CROP, "3100/61/2"},
        {30000, 30000, BOARD_PUMA_PLUS, 1, NTSC, "4096/43/2"},
        {30000, 30000, BOARD_OCELOT_PLUS, 1, NTSC, "7168/25/2"},
        // Sound in units of 1000, of 1500 for the Ocelot, of 2000 for a 16-bit DMA card.
        {3000, 6000, BOARD_LYNX, 1, NTSC | AUDIO, "1980/90/2"},
        {3000, 6000, BOARD_OCELOT, 1, NTSC | AUDIO, "2128/84/2"},
        {3000, 6000, BOARD_PUMA_PLUS, 1, NTSC | AUDIO | DMA16, "2202/81/2"},
        // too slow for its sound
        {150, 150, BOARD_LYNX, 0, AUDIO, "0/216000/0"},
    };
    for (const Row &w : rows) {
        const int f = w.flags, a = f & AUDIO;
        EvaluationInput in = {w.write, w.read, w.board, 10000, 12000, 60000, 50000, w.nt, a, 2 * a, a, a,
                              (f & DMA16) != 0, (f & NTSC) != 0, (f & CROP) != 0, (f & UNCAPPED) != 0};
        EvaluationResult r;
        EvaluateRates(&in, &r);
        EXPECT_EQ(Text("%u/%u/%u", r.availableRate, r.compressionTenths, r.qualityClass), w.expect) << w.write;
    }
    EXPECT_EQ(Text("%u%u %u %u %s%s%s", QualityClassOf(219), QualityClassOf(220), AudioBytesPerSecond(1, 0, 0),
                   AudioBytesPerSecond(0, 0, 1), QualityWord(0), QualityWord(1), QualityWord(2)), "10 22050 22050 LOWMIDHIGH");
}

// The ratio texts and the bars at their edges; the dialog tests see the usual ones.
TEST(Evaluation, RatioTextsAndBars)
{
    std::string out;
    char text[32];
    uint32_t ratios[3];
    ColumnRatios(216000, ratios);
    for (uint32_t ratio : ratios)
        FormatRatio(text, sizeof text, ratio, 0), out += Text("%s ", text);
    FormatRatio(text, sizeof text, 115, 1);
    out += text;
    for (auto bar : {std::pair<uint32_t, int>{4500, 100}, {20000, 70}, {1, 100}}) {
        BarBox b = SpeedBarBox(BarBox{0, 0, 150, 18}, bar.first, 9000, bar.second);
        out += Text(" %d,%d,%d,%d", b.left, b.top, b.right, b.bottom);
    }
    int32_t xs[16];
    // Nine parts of 150: ticks from 16 to 144; none on the right edge, none of step 0.
    const int ticks = BarTickPositions(0, 144, 9, xs, 16);
    out += Text(" %d %d %d %d", ticks, xs[0], xs[7], BarTickPositions(0, 8, 9, xs, 16));
    EXPECT_EQ(out, "5400.0:1 10800.0:1 21600.0:1 11,5:1 1,1,75,17 1,5,149,17 1,1,1,17 8 16 128 0");
}

// The wave formats the capture tool hands over and gets back; the boards, limits
// and frame times read from the registry have their rows in the dialog tests.
TEST(CaptureRules, WaveFormats)
{
    std::string out;
    for (WaveFormat f : {WaveFormat{1, 1, 11025, 0, 0, 8, 0}, {1, 2, 22050, 0, 0, 16, 0}, {1, 4, 8000, 0, 0, 12, 0}}) {
        int choice = -1, stereo = -1, sixteen = -1;
        AudioChoicesFromFormat(&f, &choice, &stereo, &sixteen);
        out += Text(" %d%d%d", choice, stereo, sixteen);
    }
    // Tag 0 goes out as PCM; any other tag is kept, and so is the extra size.
    for (auto u : {std::array<int, 4>{1, 2, 1, 1}, {0, 0, 0, 0}, {0x55, 1, 1, 0}}) {
        WaveFormat f = {(uint16_t)u[0], 7, 1, 2, 3, 12, 5};
        UpdateWaveFormat(&f, u[1], u[2], u[3]);
        out += Text(" %u/%u/%u/%u/%u/%u/%u", f.wFormatTag, f.nChannels, f.nSamplesPerSec, f.nAvgBytesPerSec,
                    f.nBlockAlign, f.wBitsPerSample, f.cbSize);
    }
    for (int board = BOARD_LYNX; board <= BOARD_OCELOT_PLUS; board++)
        out += Text(" %u/%u/%d", ReferenceKey(1, board), ReferenceKey(0, board), DefaultBoardType(board, 0));
    EXPECT_EQ(out, " 000 111 201 1/2/44100/176400/4/16/5 1/1/11025/11025/1/8/5 85/2/22050/44100/2/8/5"
                   " 110/99/0 112/98/1 114/99/2 112/99/3 112/99/4");
}
