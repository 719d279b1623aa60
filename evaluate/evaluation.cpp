/* The evaluation and the result painting. Not built yet: no figures are computed
   and the paint draws nothing but the logo. */
#include "evaluation.h"

#include "../logo/logo_panel.h"
#include "../shell/shell_state.h"

void EvaluateDrive(HWND, int)
{
}

void PaintResults(HWND dialog)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(dialog, &paint);
    if (LogoLoaded)
        DrawLogo(dc, &LogoImage);
    EndPaint(dialog, &paint);
}
