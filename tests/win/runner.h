// The Windows runner: checks in the manner of Wine's own tests (a failure names
// the calling line), the registry as the tests set it up and read it back, and
// the runner's side of the watch that is built into the program's sources.
#ifndef STRAVO_RUNNER_H
#define STRAVO_RUNNER_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#define STRAVO_WATCH_KINDS_ONLY
#include "watch.h"

struct TestCase {
    TestCase(const char *name, void (*run)());
};
#define TEST(name)                                  \
    static void name();                             \
    static TestCase name##_case(#name, name);       \
    static void name()

// Every check says what it is about: the row of a table, the step of a story.
extern std::string Context;
bool CheckAt(bool ok, const char *file, int line, const std::string &what);
#define CHECK(c) CheckAt((c), __FILE__, __LINE__, #c)
std::string Shown(long long v);
std::string Shown(const std::string &v);
template <class A, class B>
bool CheckEqualAt(const A &a, const B &b, const char *file, int line, const char *text)
{
    return (a == b) || CheckAt(false, file, line, std::string(text) + " is " + Shown(a) + ", not " + Shown(b));
}
#define CHECK_EQ(a, b) CheckEqualAt((a), (b), __FILE__, __LINE__, #a)

// Registry: values as type and bytes; "" for a value or key that is not there.
struct RegData {
    DWORD type;
    std::string bytes;
    bool operator==(const RegData &o) const { return type == o.type && bytes == o.bytes; }
};
std::string Shown(const RegData &v);
RegData Sz(const std::string &text);
RegData Dword(DWORD value);
RegData Missing();
void RegPut(HKEY root, const std::string &path, const char *name, const RegData &value);
RegData RegGet(HKEY root, const std::string &path, const char *name);
// Removes the keys the program owns or reads; country 1 (English, NTSC).
void ResetRegistry(const char *country = "1");
extern const char kStravoKey[], kServalKey[], kCaracalKey[], kPumaKey[], kVidCapKey[];
extern const std::string kWriteSpeed, kReadSpeed;  // the machine's per-drive rates

// The program's state as start-up leaves it, in a language (0, 500, 600), with
// the drive tables and the main dialog's state cleared.
void StartAs(int languageOffset, int windowsNT);

// The disk passes on real files with a clock of the script's: each write and read
// takes its set milliseconds; a write can fail, a read come short, Escape be
// released or a log-off be sent at a chosen block (counted from 1; 0: never).
struct DiskScript {
    uint32_t writeMs = 20, readMs = 10, failWriteAt = 0, shortReadAt = 0, escapeAtWrite = 0;
    uint32_t endSessionAtWrite = 0, writes = 0, reads = 0;
    bool noCounter = false;        // no performance counter: the tick count serves
    std::vector<std::string> titles; // the owner's title at the first block of each pass
};
extern DiskScript Disk;
void UseScriptedDisk(HWND owner, DiskScript script = DiskScript());

// What the watch saw.
struct SeenBox {
    HWND owner;
    std::string text, caption;
    UINT style;
};
extern std::vector<SeenBox> Boxes;     // message boxes, in order
extern std::vector<int> BoxAnswers;    // answers to the next boxes; IDOK after them
extern std::vector<std::string> Help;  // "STRVENG.HLP 3" per help call
extern DWORD Platform;                 // what GetVersionExA reports; PLATFORM_FAILS fails it
const DWORD PLATFORM_FAILS = 0xFFFFFFFF;
extern int FailGlobalAlloc;            // the next n-th global allocation fails; 0 none
extern int CursorShown;                // the net count of ShowCursor calls
int Live(int kind);                    // objects of a kind made and not yet freed
// The next dialog opened from this template runs the script once it is up; a
// script ends its dialog itself.
void Script(int templateId, std::function<void(HWND)> script);
// Opens a dialog of the program's with its procedure and a script.
INT_PTR RunDialog(int templateId, DLGPROC proc, std::function<void(HWND)> script, HWND owner = 0);
// Messages that the dialogs under test have posted to themselves.
void Pump();
std::string TextOf(HWND dialog, int id);
// A text as the program's ANSI calls see it, from the UTF-8 of these sources.
std::string Ansi(const char *utf8);

#endif
