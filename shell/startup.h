/* Start-up: language, single instance, platform check and the modal main dialog. */
#ifndef STRAVO_STARTUP_H
#define STRAVO_STARTUP_H

#include <windows.h>

/* Default LanguageOffset from iCountry of WIN.INI; sets DefaultNtsc. */
int ReadCountryDefaults();

/* ProgramFolder from the program file's name. */
void FindProgramFolder();

/* The language from the country code and the stored word, then as SetLanguage. */
void ChooseLanguage();

/* The language offset, the dialog IDs, the help file and the caption of a language. */
void SetLanguage(int offset);

/* Brings a running instance to the front; returns 1 when there was one. */
int RaiseRunningInstance();

/* Records the platform; returns 0 (after string 35) on a platform we refuse. */
int CheckPlatform();
int AcceptPlatform(DWORD platformId);

/* Runs the main dialog modally; reports a dialog that cannot be created. */
void RunMainDialog();

/* The whole start-up sequence; returns the exit code. */
int StravoMain(HINSTANCE instance);

#endif
