// Board detection texts, the rate range and the audio choices of a stored format.
#include <gtest/gtest.h>

#include "../../evaluate/capture_rules.h"

TEST(CaptureRules, BoardNamesOnEachPlatform)
{
    struct Case { const char *text; int nt, win95; } cases[] = {
        {"vexoVIDEO Puma", BOARD_PUMA, BOARD_NONE},  // Windows 95 asks the Puma's own key
        {"VEXOVIDEO OCELOT", BOARD_OCELOT, BOARD_OCELOT},
        {"vexoVIDEO Lynx", BOARD_LYNX, BOARD_LYNX},
        {"vexoVIDEO Margay", BOARD_NONE, BOARD_LYNX},
        {"vexoVIDEO Ocelot plus", BOARD_NONE, BOARD_OCELOT_PLUS},
        {"vexovideo puma PLUS", BOARD_NONE, BOARD_PUMA_PLUS},
        {"vexoVIDEO Ocelot ", BOARD_NONE, BOARD_NONE},  // whole text only
        {"vexoVIDEO", BOARD_NONE, BOARD_NONE},
        {"", BOARD_NONE, BOARD_NONE},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(BoardFromActBoard(c.text), c.nt) << c.text;
        EXPECT_EQ(BoardFromEditingBoard(c.text), c.win95) << c.text;
    }
}

TEST(CaptureRules, PumaRatesAndDefaultBoard)
{
    EXPECT_FALSE(PumaRateAccepted(199));
    EXPECT_TRUE(PumaRateAccepted(200));
    EXPECT_TRUE(PumaRateAccepted(20000));
    EXPECT_FALSE(PumaRateAccepted(20001));
    EXPECT_FALSE(PumaRateAccepted(0));

    for (int board = 0; board <= 4; board++) {
        EXPECT_EQ(DefaultBoardType(board, 1), board);
        EXPECT_EQ(DefaultBoardType(board, 0), board);
    }
    EXPECT_EQ(DefaultBoardType(BOARD_NONE, 1), BOARD_PUMA);
    EXPECT_EQ(DefaultBoardType(BOARD_NONE, 0), BOARD_OCELOT);
    EXPECT_EQ(DefaultBoardType(5, 0), BOARD_OCELOT);
    EXPECT_EQ(DefaultBoardType(-1, 1), BOARD_PUMA);
}

TEST(CaptureRules, AudioChoicesOfAStoredFormat)
{
    struct Case { uint16_t channels; uint32_t rate; uint16_t bits; int choice, stereo, wide; } cases[] = {
        {2, 44100, 16, 2, 1, 1}, {1, 11025, 8, 0, 0, 0}, {2, 22050, 8, 1, 1, 0},
        {1, 8000, 12, 2, 0, 1},  // other rates count as 44,100 Hz, other widths as 16-bit
        {4, 48000, 24, 2, 0, 1}, {0, 0, 0, 2, 0, 1},
    };
    for (const Case &c : cases) {
        WaveFormat format = {1, c.channels, c.rate, 0, 0, c.bits, 0};
        int choice = -1, stereo = -1, wide = -1;
        AudioChoicesFromFormat(&format, &choice, &stereo, &wide);
        EXPECT_EQ(choice, c.choice) << c.rate;
        EXPECT_EQ(stereo, c.stereo) << c.channels;
        EXPECT_EQ(wide, c.wide) << c.bits;
    }
    int choice, stereo, wide;
    AudioChoicesFromFormat(&DefaultWaveFormat, &choice, &stereo, &wide);
    EXPECT_EQ(choice, 2);
    EXPECT_EQ(stereo, 1);
    EXPECT_EQ(wide, 1);
    EXPECT_EQ(DefaultWaveFormat.nAvgBytesPerSec, 176400u);
}
