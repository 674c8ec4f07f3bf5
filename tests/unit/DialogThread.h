#pragma once
// Runs a modal dialog on a thread of its own, so that a test can look at it
// and drive it from outside its message loop, as a user would.

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

class DialogThread {
public:
    explicit DialogThread(std::function<INT_PTR()> show)
        : done_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
        thread_ = std::thread([this, show] {
            threadId_ = GetCurrentThreadId();
            result_ = show();
            SetEvent(done_);
        });
    }

    // Answers a dialog still open with Cancel and waits for the thread.
    ~DialogThread() {
        if (WaitForSingleObject(done_, 0) == WAIT_TIMEOUT) {
            if (HWND dialog = findDialog()) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            WaitForSingleObject(done_, 10000);
        }
        if (thread_.joinable()) thread_.join();
        CloseHandle(done_);
    }

    DialogThread(const DialogThread&) = delete;
    DialogThread& operator=(const DialogThread&) = delete;

    // The dialog once it is visible; null when it does not show within the
    // time or the thread ends first.
    HWND waitForDialog(DWORD timeoutMs = 10000) {
        HWND dialog = nullptr;
        waitUntil([&] { return (dialog = findDialog()) != nullptr; }, timeoutMs);
        return dialog;
    }

    // The dialog's end code; -2 when it is still open after the time.
    INT_PTR waitForResult(DWORD timeoutMs = 10000) {
        if (WaitForSingleObject(done_, timeoutMs) != WAIT_OBJECT_0) return -2;
        return result_;
    }

    DWORD threadId() const { return threadId_; }

    // Polls the condition until it holds or the time is up (or the dialog
    // thread ends); the result of the last poll.
    bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000) {
        DWORD start = GetTickCount();
        for (;;) {
            if (condition()) return true;
            if (GetTickCount() - start > timeoutMs) return false;
            if (WaitForSingleObject(done_, 5) == WAIT_OBJECT_0) return condition();
        }
    }

private:
    HWND findDialog() const {
        DWORD id = threadId_;
        if (!id) return nullptr;
        HWND found = nullptr;
        EnumThreadWindows(
            id,
            [](HWND window, LPARAM param) -> BOOL {
                char name[16];
                GetClassNameA(window, name, sizeof name);
                if (std::string(name) != "#32770" || !IsWindowVisible(window)) return TRUE;
                *reinterpret_cast<HWND*>(param) = window;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&found));
        return found;
    }

    HANDLE done_;
    std::atomic<DWORD> threadId_{0};
    INT_PTR result_ = -2;
    std::thread thread_;
};
