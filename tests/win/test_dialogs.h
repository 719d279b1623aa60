// What many runner tests start from: the program's resources in English, and a
// main dialog from the template whose procedure does nothing of the program's.
#ifndef STRAVO_TEST_DIALOGS_H
#define STRAVO_TEST_DIALOGS_H

#include <windows.h>

// AppInstance, English and its caption, as start-up would leave them.
void UseEnglish();

// The English main dialog template under a procedure that only accepts WM_INITDIALOG.
HWND OpenQuietMainDialog();

#endif
