/* Board detection and the capture tool's audio and norm settings. */
#include "capture_settings.h"

#include <string.h>

#include "../core/app_state.h"
#include "../measure/memory_bandwidth.h"
#include "../resources/resource.h"
#include "../store/store.h"

enum {
    VALUE_ACT_BOARD = 7, VALUE_LAST_BOARD = 8, VALUE_PUMA_TO_MEMORY = 9,
    VALUE_MEMORY_TO_PUMA = 10, VALUE_WRITE_TO_MEM = 14, VALUE_WRITE_FROM_MEM = 15,
    VALUE_EDITING_BOARD = 16,
};

static void DetectBoardNT()
{
    char text[256];
    uint32_t size = sizeof text;
    if (StoreReadSubkey(102, VALUE_ACT_BOARD, text, DATA_TEXT, &size) == 0) {
        DetectedBoard = BoardFromActBoard(text);
        if (DetectedBoard == BOARD_PUMA) {
            uint32_t toMemory, fromMemory, size1 = 4, size2 = 4;
            if (StoreReadSubkey(112, VALUE_PUMA_TO_MEMORY, &toMemory, DATA_NUMBER, &size1) == 0 &&
                StoreReadSubkey(112, VALUE_MEMORY_TO_PUMA, &fromMemory, DATA_NUMBER, &size2) == 0 &&
                PumaRateAccepted(toMemory) && PumaRateAccepted(fromMemory)) {
                PumaToMemoryRate = toMemory;
                MemoryToPumaRate = fromMemory;
            }
        }
    }
    /* The capture software learns from LastBoard which board this program saw. */
    if (DetectedBoard == BOARD_NONE)
        strcpy(text, "none");
    StoreWriteSubkey(102, VALUE_LAST_BOARD, text, DATA_TEXT);
}

static void DetectBoard95()
{
    uint32_t size = sizeof BoardName;
    if (StoreReadNamed(103, VALUE_EDITING_BOARD, BoardName, DATA_TEXT, &size) == 0)
        DetectedBoard = BoardFromEditingBoard(BoardName);
    if (DetectedBoard != BOARD_NONE)
        return;

    /* No editing product names the board: a Puma driver leaves its rates. */
    size = sizeof PumaToMemoryRate;
    if (StoreReadNamed(98, VALUE_WRITE_TO_MEM, &PumaToMemoryRate, DATA_NUMBER, &size) != 0)
        return;
    DetectedBoard = BOARD_PUMA;
    if (!PumaRateAccepted(PumaToMemoryRate)) {
        PumaToMemoryRate = 10000;
        MemoryToPumaRate = 12000;
        return;
    }
    size = sizeof MemoryToPumaRate;
    if (StoreReadSubkey(98, VALUE_WRITE_FROM_MEM, &MemoryToPumaRate, DATA_NUMBER, &size) == 0 &&
        !PumaRateAccepted(MemoryToPumaRate)) {
        PumaToMemoryRate = 10000;
        MemoryToPumaRate = 12000;
    }
}

static void LoadAudioAndNorm(HWND dialog)
{
    uint32_t n = VidCapReadBinary(VIDCAP_KEY, "WaveFormatBinary", &DefaultWaveFormat,
                                  &CaptureWaveFormat, sizeof CaptureWaveFormat);
    if (n) {
        AudioChoicesFromFormat(&CaptureWaveFormat, &SampleRateChoice, &StereoAudio, &Audio16Bit);
        CheckDlgButton(dialog, IDC_AUDIO,
                       VidCapReadFlag(VIDCAP_KEY, "CaptureAudio", 1) == 1 ? BST_CHECKED : BST_UNCHECKED);
        DefaultNtsc = VidCapReadDword(VIDCAP_KEY, "MicroSecPerFrame", 0) == 40000 ? 0 : 1;
    } else {
        /* An empty stored format: the capture tool records no sound. */
        SampleRateChoice = 1;
        int ocelot = DetectedBoard == BOARD_OCELOT || DetectedBoard == BOARD_OCELOT_PLUS;
        StereoAudio = ocelot;
        Audio16Bit = ocelot;
        CheckDlgButton(dialog, IDC_AUDIO, BST_UNCHECKED);
    }
}

int LoadCaptureSettings(HWND dialog)
{
    DetectedBoard = BOARD_NONE;
    PumaToMemoryRate = 10000;
    MemoryToPumaRate = 12000;
    ToMemoryRate = 60000;
    FromMemoryRate = 60000;
    if (IsWindowsNT)
        DetectBoardNT();
    else
        DetectBoard95();
    BoardType = DefaultBoardType(DetectedBoard, IsWindowsNT);
    LoadAudioAndNorm(dialog);
    Dma16Bit = 0;
    return 1;
}
