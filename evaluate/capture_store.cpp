/* Writing the audio format, audio switch and frame time for the capture tool, so
   that a capture started afterwards uses what was evaluated here. */
#include "capture_store.h"

#include <string.h>

#include "capture_rules.h"
#include "../resources/resource.h"
#include "../store/store.h"

static const char kWaveFormat[] = "WaveFormatBinary";

void StoreCaptureToolSettings(HWND dialog)
{
    UpdateWaveFormat(&CaptureWaveFormat, SampleRateChoice, StereoAudio, Audio16Bit);

    const uint32_t size = sizeof CaptureWaveFormat + CaptureWaveFormat.cbSize;
    if (!CaptureWaveFormat.cbSize) {
        VidCapWriteBinary(VIDCAP_KEY, kWaveFormat, &CaptureWaveFormat, size);
    } else {
        /* The extra bytes come back from the stored value. Its fallback is a block of
           the full size (the format, then zeros): the format alone is shorter than
           the read asks for. */
        unsigned char *fallback = (unsigned char *)GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, 2 * size);
        if (!fallback)
            return;
        unsigned char *block = fallback + size;
        memcpy(fallback, &CaptureWaveFormat, sizeof CaptureWaveFormat);
        VidCapReadBinary(VIDCAP_KEY, kWaveFormat, fallback, block, size);
        memcpy(block, &CaptureWaveFormat, sizeof CaptureWaveFormat);
        VidCapWriteBinary(VIDCAP_KEY, kWaveFormat, block, size);
        GlobalFree((HGLOBAL)fallback);
    }

    VidCapWriteFlag(VIDCAP_KEY, "CaptureAudio", IsDlgButtonChecked(dialog, IDC_AUDIO) == BST_CHECKED, 1);
    uint32_t frameTime = FrameTimeMicroseconds(IsDlgButtonChecked(dialog, IDC_NTSC) == BST_CHECKED);
    VidCapWriteDword(VIDCAP_KEY, "MicroSecPerFrame", frameTime, frameTime);
}
