// What Store leaves for the capture tool: the audio format, the audio switch and
// the frame time, each written only as the write-if-changed rules allow.
#include <gtest/gtest.h>

#include <string.h>

#include <vector>

#include "../../evaluate/capture_rules.h"
#include "../../evaluate/capture_store.h"
#include "../../resources/resource.h"
#include "../../shell/shell_state.h"
#include "registry_helpers.h"
#include "test_dialogs.h"

namespace {

const char kVidCap[] = "Software\\Microsoft\\Multimedia Tools\\VidCap";

class CaptureStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        AppInstance = GetModuleHandleA(0);
        ResetProgramRegistry();
        dialog_ = OpenQuietMainDialog();
        ASSERT_TRUE(dialog_);
        CaptureWaveFormat = WaveFormat{0, 2, 44100, 176400, 0, 16, 0};
        SampleRateChoice = 2;
        StereoAudio = 1;
        Audio16Bit = 1;
    }
    void TearDown() override
    {
        DestroyWindow(dialog_);
        ResetProgramRegistry();
    }
    void Settings(bool audio, bool ntsc)
    {
        CheckDlgButton(dialog_, IDC_AUDIO, audio ? BST_CHECKED : BST_UNCHECKED);
        CheckRadioButton(dialog_, IDC_PAL, IDC_NTSC, ntsc ? IDC_NTSC : IDC_PAL);
    }
    RegValue Value(const char *name) { return GetRegValue(HKEY_CURRENT_USER, kVidCap, name); }
    HWND dialog_ = 0;
};

TEST_F(CaptureStore, FlagsAndFrameTimeFollowTheWriteIfChangedRule)
{
    struct Case {
        const char *what;
        bool audio, ntsc;
        int storedAudio;      // -1: absent
        long storedFrame;     // -1: absent
        int audioWritten;     // -1: absent afterwards
        long frameAfter;      // -1: absent afterwards
    } cases[] = {
        {"nothing stored, audio on, PAL", true, false, -1, -1, -1, -1},
        {"nothing stored, audio off", false, false, -1, -1, 0, -1},
        {"PAL stored, NTSC chosen", true, true, -1, 40000, -1, 33367},
        {"PAL stored, PAL chosen", true, false, 1, 40000, 1, 40000},
        {"15 frames per second stored", true, false, 0, 66667, 1, 40000},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ResetProgramRegistry();
        if (c.storedAudio >= 0)
            SetRegDword(HKEY_CURRENT_USER, kVidCap, "CaptureAudio", c.storedAudio);
        if (c.storedFrame >= 0)
            SetRegDword(HKEY_CURRENT_USER, kVidCap, "MicroSecPerFrame", c.storedFrame);
        Settings(c.audio, c.ntsc);
        StoreCaptureToolSettings(dialog_);
        RegValue audio = Value("CaptureAudio"), frame = Value("MicroSecPerFrame");
        EXPECT_EQ(audio.found ? (int)audio.dword() : -1, c.audioWritten);
        EXPECT_EQ(frame.found ? (long)frame.dword() : -1, c.frameAfter);
        RegValue format = Value("WaveFormatBinary");
        ASSERT_TRUE(format.found) << "the format is written every time";
        EXPECT_EQ(format.type, (DWORD)REG_BINARY);
        ASSERT_EQ(format.data.size(), 18u);
        EXPECT_EQ(format.data[0], 1) << "a format tag of 0 is written as PCM";
    }
}

TEST_F(CaptureStore, TheFormatCarriesTheChoicesAndKeepsItsExtraBytes)
{
    // Stereo, 8-bit, 22,050 Hz over a stored format with tag 0x11 and 2 extra bytes.
    unsigned char stored[20] = {0x11, 0, 1, 0, 0x22, 0x56, 0, 0, 0, 0, 0, 0, 1, 0, 4, 0, 2, 0, 0xAB, 0xCD};
    SetRegValue(HKEY_CURRENT_USER, kVidCap, "WaveFormatBinary", REG_BINARY, stored, sizeof stored);
    memcpy(&CaptureWaveFormat, stored, sizeof CaptureWaveFormat);
    SampleRateChoice = 1;
    StereoAudio = 1;
    Audio16Bit = 0;
    Settings(true, false);
    for (int round = 0; round < 2; round++) {  // a second Store writes the same bytes
        StoreCaptureToolSettings(dialog_);
        RegValue format = Value("WaveFormatBinary");
        const unsigned char expected[20] = {0x11, 0, 2, 0, 0x22, 0x56, 0, 0, 0x44, 0xAC, 0, 0,
                                            2, 0, 8, 0, 2, 0, 0xAB, 0xCD};
        ASSERT_EQ(format.data.size(), sizeof expected);
        EXPECT_EQ(memcmp(format.data.data(), expected, sizeof expected), 0);
    }

    // The stored value gone: the extra bytes read back as zeros, never as what lies
    // beyond the 18-byte format in memory.
    ResetProgramRegistry();
    StoreCaptureToolSettings(dialog_);
    RegValue format = Value("WaveFormatBinary");
    ASSERT_EQ(format.data.size(), 20u);
    EXPECT_EQ(format.data[18], 0);
    EXPECT_EQ(format.data[19], 0);
}

}  // namespace
