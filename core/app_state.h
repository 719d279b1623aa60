/* Process-wide state of the program. */
#ifndef STRAVO_APP_STATE_H
#define STRAVO_APP_STATE_H

#include <windows.h>

enum { APP_CAPTION_SIZE = 80, TEXT_BUFFER_SIZE = 128, QUALITY_TEXT_SIZE = 32 };

/* Set at start-up. */
extern HINSTANCE AppInstance;
extern int LanguageOffset;
extern WORD MainDialogId;
extern WORD AboutDialogId;
extern WORD SysInfoDialogId;
extern const char *HelpFile;
extern char AppCaption[APP_CAPTION_SIZE];
extern int IsWindowsNT;
extern int DefaultNtsc;
extern int ReferenceStored;
extern int TestStarted;
/* The program file's folder with its closing backslash, where its guide and an old
   help file lie; empty when the system does not tell it. */
extern char ProgramFolder[MAX_PATH];

/* State of the main dialog. */
extern int SelectedDrive;
extern int LastTestedDrive;
extern int LogoLoaded;
extern int MemoryTestDone;
extern int TestFileSizeMB;
extern int RateCapOff;
extern char QualityText[QUALITY_TEXT_SIZE];
extern char TextBuffer[TEXT_BUFFER_SIZE];
extern HICON IconHandle;
/* The old help viewer was started by Help in this run of the dialog. */
extern int HelpViewerStarted;

/* Loads string id + LanguageOffset; returns the characters copied, 0 if missing. */
int LoadLangString(HINSTANCE instance, UINT id, char *buffer, int size);

/* Shows a language-dependent string in a message box captioned AppCaption. Message
   texts get a buffer of their own: the French close prompt is longer than
   TextBuffer. Returns the box's answer. */
int ShowLangMessage(HWND owner, UINT id, UINT style);

#endif
