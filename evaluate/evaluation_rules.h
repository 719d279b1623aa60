/* What a drive can carry during capture: the available video data rate, the
   compression a full frame then needs and the quality class, and the arithmetic of
   the result box and its speed bars. Free of the system. */
#ifndef STRAVO_EVALUATION_RULES_H
#define STRAVO_EVALUATION_RULES_H

#include <stddef.h>
#include <stdint.h>

struct EvaluationInput {
    uint32_t writeRate, readRate;  /* kB/s */
    int boardType;
    uint32_t pumaToMemoryRate, memoryToPumaRate, toMemoryRate, fromMemoryRate;
    int windowsNT;
    int audio;                     /* audio recording switched on */
    int sampleRateChoice, stereo, audio16Bit, dma16Bit;
    int ntsc, cropping, rateCapOff;
};

struct EvaluationResult {
    uint32_t availableRate;
    uint32_t compressionTenths;
    uint32_t qualityClass;
};

struct BoardLimits {
    uint32_t capPal, capNtsc;
    uint32_t writeLimit, readLimit;
};

BoardLimits BoardLimitsOf(int boardType, uint32_t pumaToMemoryRate, uint32_t memoryToPumaRate,
                          uint32_t toMemoryRate, uint32_t fromMemoryRate);

/* Bytes per second of the audio stream the dialog's choices record. */
uint32_t AudioBytesPerSecond(int sampleRateChoice, int stereo, int audio16Bit);

/* The kB/s the audio takes out of a disk direction of `rate` kB/s. */
uint32_t AudioShare(uint32_t rate, uint32_t audioBytesPerSecond, uint32_t transferUnit);

/* The video rate one direction leaves: disk and board limit in series, less the
   audio, less the safety share. 0 when the audio takes all of it. */
uint32_t VideoRate(uint32_t diskRate, uint32_t limit, uint32_t audioShare, uint32_t perMille);

/* Ten times the uncompressed rate of the full frame size, kB/s. */
uint32_t UncompressedTenths(int ntsc, int cropping);

uint32_t QualityClassOf(uint32_t compressionTenths);

/* The word the capture software reads for a quality class: LOW, MID or HIGH. */
const char *QualityWord(uint32_t qualityClass);

void EvaluateRates(const EvaluationInput *input, EvaluationResult *result);

/* The compression of the three columns, first to third, in tenths; none below 3.0. */
void ColumnRatios(uint32_t compressionTenths, uint32_t ratios[3]);

/* "9.0:1", or "9,0:1" with a decimal comma. */
void FormatRatio(char *buffer, size_t size, uint32_t tenths, int decimalComma);

struct BarBox {
    int32_t left, top, right, bottom;
};

/* The filled part of a speed bar in a control's client rectangle. */
BarBox SpeedBarBox(BarBox client, uint32_t value, uint32_t fullScale, int32_t heightPercent);

/* The x of each tick mark dividing [left, right) into `parts`; returns how many,
   at most `capacity`. */
int BarTickPositions(int32_t left, int32_t right, int32_t parts, int32_t *xs, int capacity);

#endif
