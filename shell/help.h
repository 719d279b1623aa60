/* The Help button and the old help viewer's end at Close. */
#ifndef STRAVO_HELP_H
#define STRAVO_HELP_H

#include <windows.h>

/* Opens the help file of the old kind where a user kept one beside the program,
   otherwise the user's guide page of the run's language through the shell; says
   so in a message box when the page is missing or cannot be opened. */
void OpenHelp(HWND dialog);

/* Tells the old help viewer to close, if Help started it in this run. */
void QuitHelp(HWND dialog);

#endif
