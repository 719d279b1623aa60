// Capture settings loaded from the real registry: board detection on both
// platforms, the Puma rates, and what the capture tool's values select.
#include <gtest/gtest.h>

#include <string.h>

#include "../../evaluate/capture_settings.h"
#include "../../resources/resource.h"
#include "../../shell/shell_state.h"
#include "registry_helpers.h"
#include "test_dialogs.h"

namespace {

const char kStravo[] = "Software\\vexo Computer Products\\vexoVIDEO STRAVO";
const char kServal[] = "Software\\vexo Computer Products\\Serval";
const char kPumaDriver[] = "Software\\vexo Computer Products\\vexoVIDEO Puma";
const char kPuma[] = "Software\\vexo\\Puma";
const char kVidCap[] = "Software\\Microsoft\\Multimedia Tools\\VidCap";

// A subkey-form value: the text in the default value of a subkey.
void SetSubkeyText(HKEY root, const char *path, const char *subkey, const char *text)
{
    char full[300];
    snprintf(full, sizeof full, "%s\\%s", path, subkey);
    SetRegText(root, full, 0, text);
}

class CaptureSettingsLoad : public ::testing::Test {
protected:
    void SetUp() override
    {
        AppInstance = GetModuleHandleA(0);
        ResetProgramRegistry();
        dialog_ = OpenQuietMainDialog();
        ASSERT_TRUE(dialog_);
        strcpy(BoardName, "vexoVIDEO");
        memset(&CaptureWaveFormat, 0, sizeof CaptureWaveFormat);
        DefaultNtsc = 0;
    }
    void TearDown() override
    {
        DestroyWindow(dialog_);
        ResetProgramRegistry();
        IsWindowsNT = 0;
    }
    void Load(int nt)
    {
        IsWindowsNT = nt;
        EXPECT_EQ(LoadCaptureSettings(dialog_), 1);
    }
    bool AudioChecked() const { return IsDlgButtonChecked(dialog_, IDC_AUDIO) == BST_CHECKED; }
    HWND dialog_ = 0;
};

TEST_F(CaptureSettingsLoad, WindowsNtBoardsAndLastBoard)
{
    struct Case { const char *actBoard; int board, type; const char *lastBoard; } cases[] = {
        {0, BOARD_NONE, BOARD_PUMA, "none"},
        {"VEXOvideo ocelot", BOARD_OCELOT, BOARD_OCELOT, "VEXOvideo ocelot"},
        {"vexoVIDEO Lynx", BOARD_LYNX, BOARD_LYNX, "vexoVIDEO Lynx"},
        {"vexoVIDEO Puma", BOARD_PUMA, BOARD_PUMA, "vexoVIDEO Puma"},
        {"vexoVIDEO Margay", BOARD_NONE, BOARD_PUMA, "none"},
        {"vexoVIDEO Ocelot plus", BOARD_NONE, BOARD_PUMA, "none"},
    };
    for (const Case &c : cases) {
        ResetProgramRegistry();
        if (c.actBoard)
            SetSubkeyText(HKEY_LOCAL_MACHINE, kStravo, "ActBoard", c.actBoard);
        Load(1);
        EXPECT_EQ(DetectedBoard, c.board) << (c.actBoard ? c.actBoard : "(none)");
        EXPECT_EQ(BoardType, c.type);
        RegValue last = GetRegValue(HKEY_LOCAL_MACHINE, "Software\\vexo Computer Products\\vexoVIDEO STRAVO\\LastBoard", 0);
        ASSERT_TRUE(last.found);
        EXPECT_EQ(last.type, (DWORD)REG_SZ);
        EXPECT_STREQ(last.text().c_str(), c.lastBoard);
    }
}

TEST_F(CaptureSettingsLoad, WindowsNtPumaRatesAreTakenOnlyInRangeAndInPairs)
{
    struct Case { const char *toMemory, *fromMemory; uint32_t expectTo, expectFrom; } cases[] = {
        {"5000", "20001", 10000, 12000},
        {"200", "20000", 200, 20000},
        {"199", "5000", 10000, 12000},
        {"15000", 0, 10000, 12000},   // one of the pair missing
        {"8000", "9000", 8000, 9000},
    };
    for (const Case &c : cases) {
        ResetProgramRegistry();
        SetSubkeyText(HKEY_LOCAL_MACHINE, kStravo, "ActBoard", "vexoVIDEO Puma");
        SetSubkeyText(HKEY_CURRENT_USER, kPuma, "PumaToMemory", c.toMemory);
        if (c.fromMemory)
            SetSubkeyText(HKEY_CURRENT_USER, kPuma, "MemoryToPuma", c.fromMemory);
        Load(1);
        EXPECT_EQ(PumaToMemoryRate, c.expectTo) << c.toMemory;
        EXPECT_EQ(MemoryToPumaRate, c.expectFrom) << c.toMemory;
        EXPECT_EQ(ToMemoryRate, 60000u);
        EXPECT_EQ(FromMemoryRate, 60000u);
    }
}

TEST_F(CaptureSettingsLoad, Windows95EditingBoardAndPumaProbe)
{
    struct Case {
        const char *editing;
        bool writeToMem; DWORD toMemory;
        const char *fromMemory;
        int board, type; uint32_t expectTo, expectFrom;
    } cases[] = {
        {0, false, 0, 0, BOARD_NONE, BOARD_OCELOT, 10000, 12000},
        {"vexoVIDEO Puma", false, 0, 0, BOARD_NONE, BOARD_OCELOT, 10000, 12000},
        {"vexoVIDEO Puma", true, 200, "20000", BOARD_PUMA, BOARD_PUMA, 200, 20000},
        {0, true, 199, "5000", BOARD_PUMA, BOARD_PUMA, 10000, 12000},
        {0, true, 5000, "20001", BOARD_PUMA, BOARD_PUMA, 10000, 12000},
        {0, true, 5000, 0, BOARD_PUMA, BOARD_PUMA, 5000, 12000},
        {"vexoVIDEO Margay", true, 5000, "6000", BOARD_LYNX, BOARD_LYNX, 10000, 12000},
        {"vexoVIDEO Ocelot plus", false, 0, 0, BOARD_OCELOT_PLUS, BOARD_OCELOT_PLUS, 10000, 12000},
        {"vexoVIDEO Puma plus", false, 0, 0, BOARD_PUMA_PLUS, BOARD_PUMA_PLUS, 10000, 12000},
    };
    for (const Case &c : cases) {
        ResetProgramRegistry();
        strcpy(BoardName, "vexoVIDEO");
        if (c.editing)
            SetRegText(HKEY_CURRENT_USER, kServal, "EditingBoard", c.editing);
        if (c.writeToMem)
            SetRegDword(HKEY_LOCAL_MACHINE, kPumaDriver, "WriteToMem", c.toMemory);
        if (c.fromMemory)
            SetSubkeyText(HKEY_LOCAL_MACHINE, kPumaDriver, "WriteFromMem", c.fromMemory);
        Load(0);
        SCOPED_TRACE(c.editing ? c.editing : "(no EditingBoard)");
        EXPECT_EQ(DetectedBoard, c.board);
        EXPECT_EQ(BoardType, c.type);
        EXPECT_EQ(PumaToMemoryRate, c.expectTo);
        EXPECT_EQ(MemoryToPumaRate, c.expectFrom);
        EXPECT_STREQ(BoardName, c.editing ? c.editing : "vexoVIDEO");
    }
    // Windows 95 writes no LastBoard.
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, "Software\\vexo Computer Products\\vexoVIDEO STRAVO\\LastBoard"));
}

TEST_F(CaptureSettingsLoad, CaptureToolAudioAndNorm)
{
    WaveFormat mono8 = {1, 1, 11025, 11025, 1, 8, 0};
    unsigned char longer[20] = {1, 0, 1, 0};
    unsigned char shorter[4] = {1, 0, 2, 0};  // tag and channels only
    struct Case {
        const char *what;
        DWORD type; const void *format; DWORD size;
        bool audioValue; DWORD captureAudio; bool frameValue; DWORD frameTime;
        int choice, stereo, wide; bool audio; int ntsc;
    } cases[] = {
        {"nothing stored", 0, 0, 0, false, 0, false, 0, 2, 1, 1, true, 1},
        {"mono 8-bit 11 kHz, PAL", REG_BINARY, &mono8, 18, true, 0, true, 40000, 0, 0, 0, false, 0},
        {"frame time other than PAL", REG_BINARY, &mono8, 18, true, 1, true, 33367, 0, 0, 0, true, 1},
        {"longer than 18 bytes: the default", REG_BINARY, longer, 20, false, 0, false, 0, 2, 1, 1, true, 1},
        {"not binary: the default", REG_SZ, "abc", 4, false, 0, false, 0, 2, 1, 1, true, 1},
        {"shorter: only its own bytes", REG_BINARY, shorter, 4, false, 0, false, 0, 2, 1, 1, true, 1},
        {"any nonzero CaptureAudio is on", REG_BINARY, &mono8, 18, true, 2, false, 0, 0, 0, 0, true, 1},
    };
    for (const Case &c : cases) {
        ResetProgramRegistry();
        memset(&CaptureWaveFormat, 0, sizeof CaptureWaveFormat);
        DefaultNtsc = 0;
        CheckDlgButton(dialog_, IDC_AUDIO, c.audio ? BST_UNCHECKED : BST_CHECKED);  // the load decides
        if (c.format)
            SetRegValue(HKEY_CURRENT_USER, kVidCap, "WaveFormatBinary", c.type, c.format, c.size);
        if (c.audioValue)
            SetRegDword(HKEY_CURRENT_USER, kVidCap, "CaptureAudio", c.captureAudio);
        if (c.frameValue)
            SetRegDword(HKEY_CURRENT_USER, kVidCap, "MicroSecPerFrame", c.frameTime);
        Load(1);
        SCOPED_TRACE(c.what);
        EXPECT_EQ(SampleRateChoice, c.choice);
        EXPECT_EQ(StereoAudio, c.stereo);
        EXPECT_EQ(Audio16Bit, c.wide);
        EXPECT_EQ(AudioChecked(), c.audio);
        EXPECT_EQ(DefaultNtsc, c.ntsc);
        EXPECT_EQ(Dma16Bit, 0);
    }
    // A shorter value fills its own bytes and leaves the rest as it was.
    ResetProgramRegistry();
    memset(&CaptureWaveFormat, 0xAB, sizeof CaptureWaveFormat);
    SetRegValue(HKEY_CURRENT_USER, kVidCap, "WaveFormatBinary", REG_BINARY, shorter, 4);
    Load(1);
    EXPECT_EQ(CaptureWaveFormat.nChannels, 2);
    EXPECT_EQ(CaptureWaveFormat.nSamplesPerSec, 0xABABABABu);
}

TEST_F(CaptureSettingsLoad, ZeroLengthFormatMeansNoSound)
{
    for (const char *board : {"vexoVIDEO Lynx", "vexoVIDEO Ocelot"}) {
        ResetProgramRegistry();
        SetSubkeyText(HKEY_LOCAL_MACHINE, kStravo, "ActBoard", board);
        SetRegValue(HKEY_CURRENT_USER, kVidCap, "WaveFormatBinary", REG_BINARY, "", 0);
        SetRegDword(HKEY_CURRENT_USER, kVidCap, "MicroSecPerFrame", 40000);
        CheckDlgButton(dialog_, IDC_AUDIO, BST_CHECKED);
        DefaultNtsc = 1;
        Load(1);
        SCOPED_TRACE(board);
        int ocelot = DetectedBoard == BOARD_OCELOT;
        EXPECT_EQ(SampleRateChoice, 1);
        EXPECT_EQ(StereoAudio, ocelot);
        EXPECT_EQ(Audio16Bit, ocelot);
        EXPECT_FALSE(AudioChecked());
        EXPECT_EQ(DefaultNtsc, 1);  // kept: the frame time is not read
    }
}

}  // namespace
