/* The disk speed test. The timed passes are not built yet: a run reports failure
   without a message and leaves the slot as it was. */
#include "disk_test.h"

int RunDiskTest(HWND, int)
{
    return 0;
}

void DeleteTestFiles(HWND)
{
}
