/* The drive list: the drives a disk test can run on, at most eight. */
#ifndef STRAVO_DRIVE_LIST_H
#define STRAVO_DRIVE_LIST_H

#include <windows.h>

#include "drive_records.h"

typedef BOOL(WINAPI *GetDiskFreeSpaceExProc)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER,
                                               PULARGE_INTEGER);

/* The system calls the list is built from. The program uses the system's own; the
   tests put recording wrappers around them to see the order of the calls. */
struct DriveCalls {
    DWORD(WINAPI *getLogicalDriveStrings)(DWORD, LPSTR);
    DWORD(WINAPI *getLogicalDrives)(void);
    UINT(WINAPI *getDriveType)(LPCSTR);
    BOOL(WINAPI *getVolumeInformation)(LPCSTR, LPSTR, DWORD, LPDWORD, LPDWORD, LPDWORD, LPSTR, DWORD);
    BOOL(WINAPI *getDiskFreeSpace)(LPCSTR, LPDWORD, LPDWORD, LPDWORD, LPDWORD);
    GetDiskFreeSpaceExProc (*findDiskFreeSpaceEx)(void); /* 0 where the system lacks it */
    UINT(WINAPI *setErrorMode)(UINT);
    DWORD(WINAPI *getVersion)(void);
};

extern DriveCalls SystemDriveCalls;

/* Fills DriveTable and the drive fields of TestResults; returns the count listed,
   or 0 without touching anything when the list is built already. */
int BuildDriveList(HWND owner);
int BuildDriveListWith(HWND owner, const DriveCalls *calls);

#endif
