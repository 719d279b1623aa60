/* Which settings controls the main dialog shows and enables for the board and the
   audio switch. */
#include "settings_panel.h"

#include "../evaluate/capture_rules.h"
#include "../resources/resource.h"

static void InvalidateControl(HWND dialog, int id, BOOL erase)
{
    HWND control = GetDlgItem(dialog, id);
    if (!control)
        return;
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(0, dialog, (POINT *)&r, 2);
    InvalidateRect(dialog, &r, erase);
}

static void ShowControl(HWND dialog, int id, int show)
{
    ShowWindow(GetDlgItem(dialog, id), show ? SW_SHOW : SW_HIDE);
}

void RefreshSettingsPanel(HWND dialog)
{
    InvalidateControl(dialog, IDC_RESULT_BOX, FALSE);

    /* The Ocelot boards synchronise sound themselves: no sound card choice. */
    int ocelot = BoardType == BOARD_OCELOT || BoardType == BOARD_OCELOT_PLUS;
    if (ocelot) {
        ShowControl(dialog, IDC_CARD_LABEL, 0);
        ShowControl(dialog, IDC_DMA8, 0);
        ShowControl(dialog, IDC_DMA16, 0);
        ShowControl(dialog, IDC_SYNC_TEXT, 1);
    } else {
        ShowControl(dialog, IDC_SYNC_TEXT, 0);
        ShowControl(dialog, IDC_CARD_LABEL, 1);
        ShowControl(dialog, IDC_DMA8, 1);
        ShowControl(dialog, IDC_DMA16, 1);
    }

    BOOL third = BoardType != BOARD_LYNX;
    EnableWindow(GetDlgItem(dialog, IDC_FRAME3), third);
    EnableWindow(GetDlgItem(dialog, IDC_RATIO3), third);

    BOOL audio = IsDlgButtonChecked(dialog, IDC_AUDIO) == BST_CHECKED;
    static const int audioControls[] = {
        IDC_RATE_11K, IDC_RATE_22K, IDC_RATE_44K, IDC_MONO, IDC_STEREO, IDC_SAMPLE8,
        IDC_SAMPLE16, IDC_DMA8, IDC_DMA16, IDC_CARD_LABEL, IDC_SYNC_TEXT,
    };
    for (int id : audioControls)
        EnableWindow(GetDlgItem(dialog, id), audio);
}

void RefreshSpeedBars(HWND dialog)
{
    InvalidateControl(dialog, IDC_WRITE_BAR, TRUE);
    InvalidateControl(dialog, IDC_READ_BAR, TRUE);
}
