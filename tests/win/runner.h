// The Windows runner: checks that name their line, the registry as the tests set
// it up and read it back, the program's start state, a scripted disk, and what
// the watch built into the program's sources saw.
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
#define TEST(name)                            \
    static void name();                       \
    static TestCase name##_case(#name, name); \
    static void name()

// Every check says what it is about: the row of a table, the step of a story.
extern std::string Context;
bool CheckAt(bool ok, int line, const std::string &what);
#define CHECK(c) CheckAt((c), __LINE__, #c)
inline std::string Shown(long long v) { return std::to_string(v); }
inline std::string Shown(const std::string &v) { return '"' + v + '"'; }
inline std::string Shown(const std::vector<std::string> &v)
{
    std::string out;
    for (auto &s : v)
        out += Shown(s) + " ";
    return "{ " + out + "}";
}
template <class A, class B>
bool CheckEqualAt(const A &a, const B &b, int line, const char *text)
{
    return (a == b) || CheckAt(false, line, std::string(text) + " is " + Shown(a) + ", not " + Shown(b));
}
#define CHECK_EQ(a, b) CheckEqualAt((a), (b), __LINE__, #a)

// Registry values as text: "sz:TEXT", "dw:NUMBER", "bin:HEX"; "-" for none.
void Put(HKEY root, const std::string &path, const char *name, const std::string &value);
std::string Get(HKEY root, const std::string &path, const char *name);
// Removes the keys the program owns or reads; a country code (1: English, NTSC).
void ResetRegistry(const char *country = "1");
extern const HKEY LM, CU;
extern const std::string kStravo, kServal, kCaracal, kPuma, kVidCap, kWriteSpeed, kReadSpeed, kActBoard;

// The program's state as start-up leaves it, in a language (0, 500, 600), with
// the drive tables and the main dialog's state cleared.
void StartAs(int languageOffset, int windowsNT);

// The disk passes on real files with a clock of the script's: each write and read
// takes its set milliseconds; a write can fail, a read come short, Escape be
// released or a log-off be sent at a chosen block (counted from 1; 0: never).
struct DiskScript {
    uint32_t failWriteAt = 0, shortReadAt = 0, escapeAtWrite = 0, endSessionAtWrite = 0;
    bool noCounter = false;  // no performance counter: the tick count serves
    uint32_t writes = 0, reads = 0;
    std::vector<std::string> titles;  // the owner's title at the first block of each pass
};
extern DiskScript Disk;
void UseScriptedDisk(HWND owner, DiskScript script = DiskScript());

// What the watch saw: message boxes as "text|caption|style|owned", help calls as
// "FILE command".
extern std::vector<std::string> Boxes, Help;
extern std::vector<int> BoxAnswers;  // answers to the next boxes; IDOK after them
extern DWORD Platform;               // what GetVersionExA reports; PLATFORM_FAILS fails it
const DWORD PLATFORM_FAILS = 0xFFFFFFFF;
extern int FailGlobalAlloc;          // the n-th global allocation from now fails; 0 none
int Live(int kind = -1);             // objects of a kind (-1: all) made and not yet freed
std::string Box(const char *utf8, UINT style, bool owned);  // as Boxes holds one
// The next dialog opened from this template runs the script once it is up; a
// script ends its dialog itself.
void Script(int templateId, std::function<void(HWND)> script);
INT_PTR RunDialog(int templateId, DLGPROC proc, std::function<void(HWND)> script);
std::string TextOf(HWND dialog, int id);
std::string Ansi(const char *utf8);  // as the program's ANSI calls see it

#endif
