/* The logo panel. Reading bitmap files is not built yet: no file counts as usable,
   so the main dialog always runs narrowed. */
#include "logo_panel.h"

LogoImageRecord LogoImage;

int LogoFileUsable(const char *)
{
    return 0;
}

int LoadLogo(HWND, unsigned, const char *, LogoImageRecord *, WORD *, WORD *)
{
    return 0;
}

int DrawLogo(HDC, LogoImageRecord *)
{
    return 1;
}

void RealizeLogoPalette(HWND, LogoImageRecord *)
{
}

void FreeLogo(LogoImageRecord *)
{
}
