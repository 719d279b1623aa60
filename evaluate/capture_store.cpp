/* Writing the audio format, audio switch and frame time for the capture tool. Not
   built yet: the capture tool's settings are left as they are. */
#include "capture_store.h"

void StoreCaptureToolSettings(HWND)
{
}
