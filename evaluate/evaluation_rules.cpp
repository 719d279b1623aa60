/* The evaluation's integer arithmetic. Every division truncates, in the order the
   capture software's own figures were worked out; the intermediate products are
   taken in 64 bits, since a fast drive or a fast memory limit takes them past 32. */
#include "evaluation_rules.h"

#include <stdio.h>

#include "capture_rules.h"

BoardLimits BoardLimitsOf(int boardType, uint32_t pumaToMemoryRate, uint32_t memoryToPumaRate,
                          uint32_t toMemoryRate, uint32_t fromMemoryRate)
{
    BoardLimits limits = {6144, 6144, toMemoryRate, fromMemoryRate};
    switch (boardType) {
    case BOARD_LYNX:
        limits.capPal = limits.capNtsc = 3072;
        break;
    case BOARD_PUMA:
        limits.capPal = 3100;
        limits.capNtsc = 3700;
        limits.writeLimit = pumaToMemoryRate;
        limits.readLimit = memoryToPumaRate;
        break;
    case BOARD_PUMA_PLUS:
        limits.capPal = limits.capNtsc = 4096;
        break;
    case BOARD_OCELOT_PLUS:
        limits.capPal = limits.capNtsc = 7168;
        break;
    default: /* the Ocelot and anything unknown */
        break;
    }
    return limits;
}

uint32_t AudioBytesPerSecond(int sampleRateChoice, int stereo, int audio16Bit)
{
    uint32_t a = 11025;
    if (sampleRateChoice == 1)
        a *= 2;
    else if (sampleRateChoice == 2)
        a *= 4;
    if (stereo == 1)
        a *= 2;
    if (audio16Bit == 1)
        a *= 2;
    return a;
}

uint32_t AudioShare(uint32_t rate, uint32_t audioBytesPerSecond, uint32_t transferUnit)
{
    uint64_t share = ((uint64_t)rate + transferUnit) * audioBytesPerSecond / transferUnit / 1024;
    return share > 0xFFFFFFFFu ? 0xFFFFFFFFu : (uint32_t)share;
}

uint32_t VideoRate(uint32_t diskRate, uint32_t limit, uint32_t audioShare, uint32_t perMille)
{
    uint64_t sum = (uint64_t)diskRate + limit;
    if (audioShare >= diskRate || sum == 0)
        return 0;
    uint64_t rate = ((uint64_t)diskRate * limit - (uint64_t)audioShare * limit) / sum;
    return (uint32_t)(rate * perMille / 1000);
}

uint32_t UncompressedTenths(int ntsc, int cropping)
{
    if (ntsc)
        return cropping ? 162450 : 180000;
    return cropping ? 189844 : 216000;
}

uint32_t QualityClassOf(uint32_t compressionTenths)
{
    if (compressionTenths < 110)
        return 2;
    return compressionTenths < 220 ? 1 : 0;
}

const char *QualityWord(uint32_t qualityClass)
{
    return qualityClass == 1 ? "MID" : qualityClass == 2 ? "HIGH" : "LOW";
}

void EvaluateRates(const EvaluationInput *in, EvaluationResult *out)
{
    BoardLimits limits = BoardLimitsOf(in->boardType, in->pumaToMemoryRate, in->memoryToPumaRate,
                                       in->toMemoryRate, in->fromMemoryRate);
    uint32_t perMille = in->windowsNT ? 900 : 834;

    uint32_t audioWrite = 0, audioRead = 0;
    if (in->audio) {
        uint32_t a = AudioBytesPerSecond(in->sampleRateChoice, in->stereo, in->audio16Bit);
        uint32_t unit = in->boardType == BOARD_OCELOT || in->boardType == BOARD_OCELOT_PLUS ? 1500
                        : in->dma16Bit == 1                                                  ? 2000
                                                                                             : 1000;
        audioWrite = AudioShare(in->writeRate, a, unit);
        audioRead = AudioShare(in->readRate, a, unit);
    }
    uint32_t videoWrite = VideoRate(in->writeRate, limits.writeLimit, audioWrite, perMille);
    uint32_t videoRead = VideoRate(in->readRate, limits.readLimit, audioRead, perMille);
    uint32_t rate = videoWrite < videoRead ? videoWrite : videoRead;

    uint32_t cap = in->ntsc ? limits.capNtsc : limits.capPal;
    if (!in->rateCapOff && rate > cap)
        rate = cap;
    /* A drive that leaves no room for video needs the frame reduced beyond any
       ratio; the figure shown is the one for 1 kB/s, the lowest class. */
    out->availableRate = rate;
    out->compressionTenths = UncompressedTenths(in->ntsc, in->cropping) / (rate ? rate : 1);
    out->qualityClass = QualityClassOf(out->compressionTenths);
}

void ColumnRatios(uint32_t compressionTenths, uint32_t ratios[3])
{
    uint32_t r = compressionTenths;
    for (int column = 2; column >= 0; column--) {
        if (r < 30)
            r = 30;
        ratios[column] = r;
        r /= 2;
    }
}

void FormatRatio(char *buffer, size_t size, uint32_t tenths, int decimalComma)
{
    snprintf(buffer, size, decimalComma ? "%lu,%lu:1" : "%lu.%lu:1", (unsigned long)(tenths / 10),
             (unsigned long)(tenths % 10));
}

BarBox SpeedBarBox(BarBox rc, uint32_t value, uint32_t fullScale, int32_t heightPercent)
{
    BarBox b;
    b.left = rc.left + 1;
    b.top = rc.top + (int32_t)((int64_t)(rc.bottom - rc.top) * (100 - heightPercent) / 100);
    b.bottom = rc.bottom - 1;
    int64_t width = (int64_t)rc.right - b.left;
    int64_t filled = fullScale ? width * value / fullScale : width;
    b.right = filled >= (int64_t)rc.right - b.left ? rc.right - 1 : b.left + (int32_t)filled;
    if (b.top <= rc.top)
        b.top = rc.top + 1;
    return b;
}

int BarTickPositions(int32_t left, int32_t right, int32_t parts, int32_t *xs, int capacity)
{
    int32_t step = parts > 0 ? (right - left) / parts : 0;
    int count = 0;
    if (step <= 0)
        return 0;
    for (int32_t x = left + step; x < right && count < capacity; x += step)
        xs[count++] = x;
    return count;
}
