/* Start-up: language, single instance, platform check and the modal main dialog. */
#ifndef STRAVO_STARTUP_H
#define STRAVO_STARTUP_H

#include <windows.h>

/* Default LanguageOffset from iCountry of WIN.INI; sets DefaultNtsc. */
int ReadCountryDefaults();

/* Steps 2 to 6 of the start: language offset, dialog IDs, help file, caption. */
void ChooseLanguage();

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
