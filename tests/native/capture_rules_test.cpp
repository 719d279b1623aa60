// Board detection texts, the rate range and the audio choices of a stored format.
#include <gtest/gtest.h>

#include <string.h>

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

TEST(CaptureRules, WaveFormatFollowsTheAudioChoices)
{
    struct Case {
        int rate, stereo, wide;
        uint16_t channels, bits, align;
        uint32_t samples, perSecond;
    } cases[] = {
        {2, 1, 1, 2, 16, 4, 44100, 176400},
        {0, 0, 0, 1, 8, 1, 11025, 11025},
        {1, 1, 0, 2, 8, 2, 22050, 44100},
        {1, 0, 1, 1, 16, 2, 22050, 44100},
        {7, 1, 1, 2, 16, 4, 44100, 176400},  // any other choice is 44,100 Hz
    };
    for (const Case &c : cases) {
        WaveFormat format = {0x55, 9, 1, 1, 9, 9, 3};
        UpdateWaveFormat(&format, c.rate, c.stereo, c.wide);
        EXPECT_EQ(format.nChannels, c.channels);
        EXPECT_EQ(format.wBitsPerSample, c.bits);
        EXPECT_EQ(format.nBlockAlign, c.align);
        EXPECT_EQ(format.nSamplesPerSec, c.samples);
        EXPECT_EQ(format.nAvgBytesPerSec, c.perSecond);
        EXPECT_EQ(format.wFormatTag, 0x55) << "the tag stays";
        EXPECT_EQ(format.cbSize, 3) << "the extra size stays";
    }
    // As the capture tool stores it: stereo, 16-bit, 44,100 Hz with tag 1.
    WaveFormat format = {1, 0, 0, 0, 0, 0, 0};
    UpdateWaveFormat(&format, 2, 1, 1);
    const unsigned char bytes[18] = {0x01, 0x00, 0x02, 0x00, 0x44, 0xAC, 0x00, 0x00, 0x10,
                                     0xB1, 0x02, 0x00, 0x04, 0x00, 0x10, 0x00, 0x00, 0x00};
    EXPECT_EQ(memcmp(&format, bytes, sizeof bytes), 0);
    // The default of a capture tool without a format (tag 0) goes out as the same PCM bytes.
    WaveFormat none = DefaultWaveFormat;
    UpdateWaveFormat(&none, 2, 1, 1);
    EXPECT_EQ(memcmp(&none, bytes, sizeof bytes), 0);
    EXPECT_EQ(FrameTimeMicroseconds(0), 40000u);
    EXPECT_EQ(FrameTimeMicroseconds(1), 33367u);
}
