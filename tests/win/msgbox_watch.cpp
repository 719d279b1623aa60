// Message box watcher for the Windows tests.
#include "msgbox_watch.h"

#include <algorithm>

HICON StopIcon() { return LoadIconA(0, (LPCSTR)IDI_HAND); }
HICON ExclamationIcon() { return LoadIconA(0, (LPCSTR)IDI_EXCLAMATION); }

struct FindBoxes {
    DWORD threadId;
    std::vector<HWND> boxes;
};

static BOOL CALLBACK CollectBox(HWND window, LPARAM param)
{
    FindBoxes *find = (FindBoxes *)param;
    char className[32];
    if (GetWindowThreadProcessId(window, 0) == find->threadId && IsWindowVisible(window) &&
        GetClassNameA(window, className, sizeof className) && !strcmp(className, "#32770") &&
        GetDlgItem(window, 0xFFFF))
        find->boxes.push_back(window);
    return TRUE;
}

MessageBoxWatch::MessageBoxWatch(std::vector<int> answers)
    : threadId_(GetCurrentThreadId()), stop_(0), answers_(std::move(answers))
{
    probe_ = CreateWindowExA(0, "Static", "msgbox probe", WS_POPUP, 0, 0, 10, 10, 0, 0, 0, 0);
    // Dialogs standing already (the one under test has static texts with ID -1
    // too) are not boxes to answer.
    FindBoxes find = {threadId_, {}};
    EnumWindows(CollectBox, (LPARAM)&find);
    answered_ = find.boxes;
    thread_ = CreateThread(0, 0, Run, this, 0, 0);
}

MessageBoxWatch::~MessageBoxWatch()
{
    InterlockedExchange(&stop_, 1);
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    DestroyWindow(probe_);
}

static BOOL CALLBACK ReadBoxChild(HWND child, LPARAM param)
{
    SeenMessageBox *seen = (SeenMessageBox *)param;
    char className[32];
    GetClassNameA(child, className, sizeof className);
    if (!strcmp(className, "Static") && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
        seen->icon = (HICON)SendMessageA(child, STM_GETICON, 0, 0);
    return TRUE;
}

void MessageBoxWatch::Look(HWND box)
{
    SeenMessageBox seen;
    char text[512];
    GetWindowTextA(box, text, sizeof text);
    seen.caption = text;
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    seen.text = text;
    seen.owner = GetWindow(box, GW_OWNER);
    EnumChildWindows(box, ReadBoxChild, (LPARAM)&seen);
    seen.hasOk = GetDlgItem(box, IDOK) != 0;
    seen.hasYes = GetDlgItem(box, IDYES) != 0;
    seen.hasNo = GetDlgItem(box, IDNO) != 0;
    seen.hasCancel = GetDlgItem(box, IDCANCEL) != 0;
    seen.probeEnabled = IsWindowEnabled(probe_) != 0;
    size_t index = seen_.size();
    seen_.push_back(seen);
    int answer = index < answers_.size() ? answers_[index] : IDOK;
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
}

DWORD WINAPI MessageBoxWatch::Run(void *param)
{
    MessageBoxWatch *self = (MessageBoxWatch *)param;
    while (!self->stop_) {
        FindBoxes find = {self->threadId_, {}};
        EnumWindows(CollectBox, (LPARAM)&find);
        for (HWND box : find.boxes) {
            if (std::find(self->answered_.begin(), self->answered_.end(), box) != self->answered_.end())
                continue;
            // Let the box finish setting itself up before reading it.
            Sleep(50);
            self->answered_.push_back(box);
            self->Look(box);
        }
        Sleep(20);
    }
    return 0;
}
