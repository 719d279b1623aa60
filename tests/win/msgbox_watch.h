// Watches for the message boxes that the code under test shows on this thread,
// records what they say and how they look, and answers them.
#ifndef STRAVO_TEST_MSGBOX_WATCH_H
#define STRAVO_TEST_MSGBOX_WATCH_H

#include <windows.h>

#include <string>
#include <vector>

struct SeenMessageBox {
    std::string caption;
    std::string text;
    HWND owner = 0;
    HICON icon = 0;
    bool hasOk = false, hasYes = false, hasNo = false, hasCancel = false;
    bool probeEnabled = true;  // was the probe window still enabled while the box stood?
};

class MessageBoxWatch {
public:
    // Each box that appears is answered with the next of the answers (IDOK when
    // they run out). A probe window, a top-level window of the calling thread,
    // shows whether the box was task-modal (it disables the thread's windows).
    explicit MessageBoxWatch(std::vector<int> answers = {});
    ~MessageBoxWatch();
    const std::vector<SeenMessageBox> &seen() const { return seen_; }
    HWND probe() const { return probe_; }

private:
    static DWORD WINAPI Run(void *self);
    void Look(HWND box);
    DWORD threadId_;
    HWND probe_;
    HANDLE thread_;
    volatile LONG stop_;
    std::vector<int> answers_;
    std::vector<SeenMessageBox> seen_;
    std::vector<HWND> answered_;
};

// The icons a message box can show, as this process loads them.
HICON StopIcon();
HICON ExclamationIcon();

#endif
