#include "ScreenshotSignal.h"

#include <cstdio>
#include <string>

namespace {

struct State {
    std::string caption;
    std::string className;  // when set, the window is found by its class
    WPARAM closeCommand = 0;
    void (*close)(HWND) = nullptr;
    void (*check)(HWND) = nullptr;
    std::string readyFile;
    std::string doneFile;
    int visibleTicks = 0;
    DWORD signalledAt = 0;
    UINT_PTR timer = 0;
};
State state;

const UINT kTickMs = 50;
const DWORD kGiveUpMs = 60000;

std::string environment(const char* name) {
    char value[MAX_PATH] = "";
    DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length && length < sizeof value ? value : "";
}

HWND findWindow() {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM param) -> BOOL {
            char name[256] = "";
            if (state.className.empty())
                GetWindowTextA(window, name, sizeof name);
            else
                GetClassNameA(window, name, sizeof name);
            const std::string& wanted = state.className.empty() ? state.caption : state.className;
            if (wanted != name || !IsWindowVisible(window)) return TRUE;
            *reinterpret_cast<HWND*>(param) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
    HWND window = findWindow();
    if (!window) return;
    if (!state.signalledAt) {
        // Two ticks in a row visible: the window has been shown, and the
        // thread has been idle, so its picture has reached the display.
        if (++state.visibleTicks < 2) {
            RedrawWindow(window, nullptr, nullptr,
                         RDW_ERASE | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            return;
        }
        RECT frame;
        GetWindowRect(window, &frame);
        std::string temporary = state.readyFile + ".part";
        if (FILE* file = std::fopen(temporary.c_str(), "w")) {
            std::fprintf(file, "%ldx%ld+%ld+%ld\n", frame.right - frame.left,
                         frame.bottom - frame.top, frame.left, frame.top);
            std::fclose(file);
            MoveFileExA(temporary.c_str(), state.readyFile.c_str(), MOVEFILE_REPLACE_EXISTING);
        }
        state.signalledAt = GetTickCount();
        return;
    }
    if (GetFileAttributesA(state.doneFile.c_str()) != INVALID_FILE_ATTRIBUTES ||
        GetTickCount() - state.signalledAt > kGiveUpMs) {
        KillTimer(nullptr, state.timer);
        if (state.check) state.check(window);
        if (state.close)
            state.close(window);
        else
            PostMessageA(window, WM_COMMAND, state.closeCommand, 0);
    }
}

void startWatching() {
    state.readyFile = environment("SCREENSHOT_READY");
    state.doneFile = environment("SCREENSHOT_DONE");
    if (state.readyFile.empty() || state.doneFile.empty()) return;
    state.timer = SetTimer(nullptr, 0, kTickMs, tick);
}

}  // namespace

void closeAfterScreenshot(const char* caption, WPARAM closeCommand, void (*check)(HWND window)) {
    state.caption = caption;
    state.closeCommand = closeCommand;
    state.check = check;
    startWatching();
}

void closeAfterScreenshotOfClass(const char* className, void (*close)(HWND window)) {
    state.className = className;
    state.close = close;
    startWatching();
}
