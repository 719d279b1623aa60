/* Capture settings and their registry-free rules. */
#include "capture_rules.h"

#include "../core/language.h"

int DetectedBoard = BOARD_NONE;
int BoardType = BOARD_PUMA;
char BoardName[BOARD_NAME_SIZE] = "vexoVIDEO";
uint32_t PumaToMemoryRate = 10000;
uint32_t MemoryToPumaRate = 12000;
int SampleRateChoice;
int StereoAudio;
int Audio16Bit;
int Dma16Bit;
WaveFormat CaptureWaveFormat;

const WaveFormat DefaultWaveFormat = {0, 2, 44100, 176400, 0, 16, 0};

int PumaRateAccepted(uint32_t rate)
{
    return rate >= 200 && rate <= 20000;
}

int BoardFromActBoard(const char *text)
{
    if (EqualIgnoringCase(text, "vexoVIDEO Puma"))
        return BOARD_PUMA;
    if (EqualIgnoringCase(text, "vexoVIDEO Ocelot"))
        return BOARD_OCELOT;
    if (EqualIgnoringCase(text, "vexoVIDEO Lynx"))
        return BOARD_LYNX;
    return BOARD_NONE;
}

int BoardFromEditingBoard(const char *text)
{
    static const struct { const char *name; int board; } names[] = {
        {"vexoVIDEO Lynx", BOARD_LYNX},         {"vexoVIDEO Margay", BOARD_LYNX},
        {"vexoVIDEO Ocelot", BOARD_OCELOT},     {"vexoVIDEO Ocelot plus", BOARD_OCELOT_PLUS},
        {"vexoVIDEO Puma plus", BOARD_PUMA_PLUS},
    };
    for (const auto &entry : names)
        if (EqualIgnoringCase(text, entry.name))
            return entry.board;
    return BOARD_NONE;
}

int DefaultBoardType(int detectedBoard, int windowsNT)
{
    if (detectedBoard >= BOARD_LYNX && detectedBoard <= BOARD_OCELOT_PLUS)
        return detectedBoard;
    return windowsNT ? BOARD_PUMA : BOARD_OCELOT;
}

uint16_t ReferenceKey(int windowsNT, int boardType)
{
    if (windowsNT)
        return boardType == BOARD_LYNX ? 110 : boardType == BOARD_OCELOT ? 114 : 112;
    return boardType == BOARD_PUMA ? 98 : 99;
}

void AudioChoicesFromFormat(const WaveFormat *format, int *sampleRateChoice, int *stereo,
                            int *audio16Bit)
{
    *stereo = format->nChannels == 2;
    *audio16Bit = format->wBitsPerSample != 8;
    if (format->nSamplesPerSec == 11025)
        *sampleRateChoice = 0;
    else if (format->nSamplesPerSec == 22050)
        *sampleRateChoice = 1;
    else
        *sampleRateChoice = 2;
}

void UpdateWaveFormat(WaveFormat *format, int sampleRateChoice, int stereo, int audio16Bit)
{
    /* Tag 0 is what the capture tool had when it stored no format. Every field below
       is computed as PCM, and no wave driver opens a format tagged 0, so it goes out
       as PCM. */
    if (format->wFormatTag == 0)
        format->wFormatTag = 1;
    format->nChannels = stereo == 1 ? 2 : 1;
    format->wBitsPerSample = audio16Bit == 1 ? 16 : 8;
    format->nSamplesPerSec = sampleRateChoice == 0 ? 11025 : sampleRateChoice == 1 ? 22050 : 44100;
    uint32_t bytesPerSec = (uint32_t)format->nChannels * format->nSamplesPerSec;
    if (format->wBitsPerSample > 8)
        bytesPerSec *= format->wBitsPerSample / 8;
    format->nAvgBytesPerSec = bytesPerSec;
    format->nBlockAlign = (uint16_t)(format->nChannels * format->wBitsPerSample / 8);
}

uint32_t FrameTimeMicroseconds(int ntsc)
{
    return ntsc ? 33367 : 40000;
}
