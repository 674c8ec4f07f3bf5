#pragma once
// Starts the launcher executable under test and watches, from outside its
// process, every top-level window it shows: message boxes and dialogs are
// recorded (caption, text, style, owner) and answered as the test says.

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

struct ShownWindow {
    HWND handle = nullptr;
    std::string className;
    std::string caption;
    std::string text;  // a message box's text; empty for other windows
    LONG style = 0;
    LONG exStyle = 0;
    HWND owner = nullptr;  // GW_OWNER; null when the window has none
    bool isMessageBox = false;
    // Shows an icon. Which one cannot be told from outside the process (icon
    // handles are per process); unit tests check the error icon in-process.
    bool hasIcon = false;
    std::vector<std::string> buttons;
};

// Called once for each new window; answers it (or leaves it open).
using WindowResponder = std::function<void(const ShownWindow&)>;

// Presses OK on message boxes and Cancel on other dialogs.
void defaultResponse(const ShownWindow& window);
void pressButton(HWND dialog, int id);

struct LaunchOptions {
    std::string arguments;         // the command line after the quoted program path
    std::string commandLine;       // when set, the whole command line instead
    std::string workingDirectory;  // default: the executable's folder
    // Variables set for the launched process; an entry "NAME" with the
    // value "\x01" removes the variable.
    std::vector<std::pair<std::string, std::string>> environment;
    // When set, the process's standard output and standard error are
    // written to these files (created or truncated).
    std::string outputFile;
    std::string errorFile;
    // When set, the process's standard input reads this file.
    std::string inputFile;
    // Added to the process creation flags (DETACHED_PROCESS: no console).
    DWORD creationFlags = 0;
    // The executable's path, the command line, the folder and the
    // variables' values are UTF-8 instead of ANSI text (names of any
    // language).
    bool utf8 = false;
    WindowResponder respond = defaultResponse;
    DWORD timeoutMs = 30000;
};

class LaunchedProcess {
public:
    LaunchedProcess(const std::string& exePath, LaunchOptions options);
    ~LaunchedProcess();  // ends the process if it still runs
    LaunchedProcess(const LaunchedProcess&) = delete;
    LaunchedProcess& operator=(const LaunchedProcess&) = delete;

    // Watches and answers windows until the process ends; false on time-out
    // (the process is then ended).
    bool waitForExit(DWORD timeoutMs);
    // Watches until a window that pred accepts appears (it is recorded but
    // not answered); null on time-out or when the process ends first.
    HWND waitForWindow(const std::function<bool(const ShownWindow&)>& pred, DWORD timeoutMs);
    // One pass over the process's windows.
    void poll();

    bool running() const;
    int exitCode() const;  // the process exit code as a signed value
    DWORD processId() const { return info_.dwProcessId; }
    HANDLE processHandle() const { return info_.hProcess; }
    const std::vector<ShownWindow>& windows() const { return windows_; }
    std::vector<ShownWindow> messageBoxes() const;

private:
    void scan(const std::function<bool(const ShownWindow&)>* hold, HWND* held);

    LaunchOptions options_;
    PROCESS_INFORMATION info_ = {};
    std::vector<HWND> seen_;
    std::vector<ShownWindow> windows_;
};

struct LaunchResult {
    int exitCode = 0;
    bool timedOut = false;
    std::vector<ShownWindow> windows;
    std::vector<ShownWindow> messageBoxes() const;
};

// Starts the executable, answers its windows and waits for it to end.
LaunchResult launch(const std::string& exePath, LaunchOptions options = {});

// Reads a window of any process: class, caption, message-box text, style.
ShownWindow describeWindow(HWND window);

// The visible top-level windows of a process with that class name.
std::vector<HWND> windowsOfClass(DWORD processId, const std::string& className);

// Polls done every 10 ms until it gives true; false after timeoutMs.
bool waitUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000);
