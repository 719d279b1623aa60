/* The capture settings: board, transfer limits and audio choices, and the rules
   that turn what the registry holds into them. Free of the system. */
#ifndef STRAVO_CAPTURE_RULES_H
#define STRAVO_CAPTURE_RULES_H

#include <stdint.h>

enum {
    BOARD_LYNX = 0, BOARD_PUMA = 1, BOARD_OCELOT = 2, BOARD_PUMA_PLUS = 3,
    BOARD_OCELOT_PLUS = 4, BOARD_NONE = 255,
    BOARD_NAME_SIZE = 40,
};

/* WAVEFORMATEX as the capture tool stores it: little-endian, packed, 18 bytes. */
#pragma pack(push, 1)
struct WaveFormat {
    uint16_t wFormatTag;
    uint16_t nChannels;
    uint32_t nSamplesPerSec;
    uint32_t nAvgBytesPerSec;
    uint16_t nBlockAlign;
    uint16_t wBitsPerSample;
    uint16_t cbSize;
};
#pragma pack(pop)
static_assert(sizeof(WaveFormat) == 18, "the stored format is 18 bytes");

extern int DetectedBoard;
extern int BoardType;
extern char BoardName[BOARD_NAME_SIZE];
extern uint32_t PumaToMemoryRate;
extern uint32_t MemoryToPumaRate;
extern int SampleRateChoice;
extern int StereoAudio;
extern int Audio16Bit;
extern int Dma16Bit;
extern WaveFormat CaptureWaveFormat;

/* The capture tool's format when it has none: stereo, 16-bit, 44,100 Hz. */
extern const WaveFormat DefaultWaveFormat;

/* A Puma transfer rate the registry may set: 200..20000 kB/s, both ends included. */
int PumaRateAccepted(uint32_t rate);

/* The board a Windows NT ActBoard text names: Puma, Ocelot, Lynx (whole text, any
   letter case), or BOARD_NONE. */
int BoardFromActBoard(const char *text);

/* The board a Windows 95 EditingBoard text names, or BOARD_NONE. A plain Puma is
   not named here; the Puma's own key decides that. */
int BoardFromEditingBoard(const char *text);

/* The board model the evaluation uses when the user has chosen none. */
int DefaultBoardType(int detectedBoard, int windowsNT);

/* The key a reference is stored under, where the capture software of the board
   looks: on Windows NT the board's own (Lynx 110, Ocelot 114, any other 112), on
   Windows 95 the Puma's (98), else the Caracal's (99). */
uint16_t ReferenceKey(int windowsNT, int boardType);

/* Sample rate, channels and sample width of a stored format. */
void AudioChoicesFromFormat(const WaveFormat *format, int *sampleRateChoice, int *stereo,
                            int *audio16Bit);

/* The format brought up to the dialog's audio choices; its extra size stays, and so
   does its tag unless it is 0 (no format), which becomes PCM (1). */
void UpdateWaveFormat(WaveFormat *format, int sampleRateChoice, int stereo, int audio16Bit);

/* The capture tool's frame time of a norm, in microseconds. */
uint32_t FrameTimeMicroseconds(int ntsc);

#endif
