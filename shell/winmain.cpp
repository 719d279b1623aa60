/* Entry point of stravo.exe; the command line is not looked at. */
#include <windows.h>

#include "startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    return StravoMain(instance);
}
