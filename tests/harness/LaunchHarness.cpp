#include "harness/LaunchHarness.h"

#include <algorithm>
#include <stdexcept>

namespace {

std::string windowText(HWND window) {
    int length = GetWindowTextLengthA(window);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    length = GetWindowTextA(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length > 0 ? length : 0));
    return text;
}

std::string classOf(HWND window) {
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

bool sameName(const std::string& a, const std::string& b) {
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

std::wstring wideText(const std::string& text, UINT codePage) {
    std::wstring wide(text.size(), L'\0');
    int length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                                     static_cast<int>(wide.size()));
    wide.resize(static_cast<std::size_t>(length > 0 ? length : 0));
    return wide;
}

// The environment of this process with the given changes (values in that
// code page), as a block for CREATE_UNICODE_ENVIRONMENT.
std::wstring environmentBlock(const std::vector<std::pair<std::string, std::string>>& changes,
                              UINT codePage) {
    std::vector<std::wstring> entries;
    wchar_t* block = GetEnvironmentStringsW();
    for (const wchar_t* p = block; *p; p += lstrlenW(p) + 1) entries.emplace_back(p);
    FreeEnvironmentStringsW(block);
    for (const auto& [name, value] : changes) {
        std::wstring wideName = wideText(name, CP_ACP);
        entries.erase(std::remove_if(entries.begin(), entries.end(),
                                     [&](const std::wstring& entry) {
                                         std::size_t eq = entry.find(L'=', 1);
                                         return lstrcmpiW(entry.substr(0, eq).c_str(), wideName.c_str()) == 0;
                                     }),
                      entries.end());
        if (value != "\x01") entries.push_back(wideName + L"=" + wideText(value, codePage));
    }
    std::wstring result;
    for (const std::wstring& entry : entries) result += entry + L'\0';
    result += L'\0';
    return result;
}

// An inheritable handle to a new file for a standard stream; null for no path.
HANDLE standardHandleFile(const std::string& path) {
    if (path.empty()) return nullptr;
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create " + path);
    return file;
}

}  // namespace

ShownWindow describeWindow(HWND window) {
    ShownWindow shown;
    shown.handle = window;
    shown.className = classOf(window);
    shown.caption = windowText(window);
    shown.style = GetWindowLongA(window, GWL_STYLE);
    shown.exStyle = GetWindowLongA(window, GWL_EXSTYLE);
    shown.owner = GetWindow(window, GW_OWNER);
    if (shown.className != "#32770") return shown;

    HWND textControl = GetDlgItem(window, 0xFFFF);
    shown.isMessageBox = textControl != nullptr;
    if (textControl) shown.text = windowText(textControl);
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        std::string childClass = classOf(child);
        LONG childStyle = GetWindowLongA(child, GWL_STYLE);
        if (sameName(childClass, "Button") && (childStyle & WS_VISIBLE) &&
            (childStyle & 0x0F) <= BS_DEFPUSHBUTTON) {
            shown.buttons.push_back(windowText(child));
        }
        if (sameName(childClass, "Static") && (childStyle & 0x1F) == SS_ICON) {
            if (SendMessageA(child, STM_GETICON, 0, 0)) shown.hasIcon = true;
        }
    }
    return shown;
}

std::vector<HWND> windowsOfClass(DWORD processId, const std::string& className) {
    struct Search {
        DWORD processId;
        const std::string& className;
        std::vector<HWND> found;
    } search{processId, className, {}};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* search = reinterpret_cast<Search*>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == search->processId && IsWindowVisible(window) &&
                classOf(window) == search->className)
                search->found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool waitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        if (done()) return true;
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(10);
    }
}

void pressButton(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void defaultResponse(const ShownWindow& window) {
    if (window.className != "#32770") return;
    pressButton(window.handle, window.isMessageBox ? IDOK : IDCANCEL);
}

LaunchedProcess::LaunchedProcess(const std::string& exePath, LaunchOptions options)
    : options_(std::move(options)) {
    std::string commandLine = options_.commandLine.empty()
                                  ? "\"" + exePath + "\"" +
                                        (options_.arguments.empty() ? "" : " " + options_.arguments)
                                  : options_.commandLine;
    std::string directory = options_.workingDirectory.empty()
                                ? exePath.substr(0, exePath.rfind('\\'))
                                : options_.workingDirectory;
    UINT codePage = options_.utf8 ? CP_UTF8 : CP_ACP;
    std::wstring environment = environmentBlock(options_.environment, codePage);
    std::wstring wideCommandLine = wideText(commandLine, codePage);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    HANDLE output = standardHandleFile(options_.outputFile);
    HANDLE error = standardHandleFile(options_.errorFile);
    HANDLE input = nullptr;
    if (!options_.inputFile.empty()) {
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        input = CreateFileA(options_.inputFile.c_str(), GENERIC_READ, FILE_SHARE_READ, &inherit, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
        if (input == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot read " + options_.inputFile);
    }
    bool redirect = output || error || input;
    if (redirect) {
        startup.dwFlags |= STARTF_USESTDHANDLES;
        startup.hStdInput = input;
        startup.hStdOutput = output;
        startup.hStdError = error;
    }
    BOOL started = CreateProcessW(wideText(exePath, codePage).c_str(), wideCommandLine.data(), nullptr,
                                  nullptr, redirect ? TRUE : FALSE, CREATE_UNICODE_ENVIRONMENT | options_.creationFlags,
                                  environment.data(), wideText(directory, codePage).c_str(), &startup,
                                  &info_);
    DWORD startError = GetLastError();
    if (output) CloseHandle(output);
    if (error) CloseHandle(error);
    if (input) CloseHandle(input);
    if (!started)
        throw std::runtime_error("cannot start " + exePath + ": error " + std::to_string(startError));
}

LaunchedProcess::~LaunchedProcess() {
    if (running()) {
        TerminateProcess(info_.hProcess, 0xDEAD);
        WaitForSingleObject(info_.hProcess, 5000);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
}

bool LaunchedProcess::running() const {
    return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

int LaunchedProcess::exitCode() const {
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return static_cast<int>(code);
}

void LaunchedProcess::scan(const std::function<bool(const ShownWindow&)>* hold, HWND* held) {
    struct Context {
        DWORD processId;
        std::vector<HWND> found;
    } context{info_.dwProcessId, {}};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* context = reinterpret_cast<Context*>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == context->processId && IsWindowVisible(window))
                context->found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&context));

    for (HWND window : context.found) {
        if (std::find(seen_.begin(), seen_.end(), window) != seen_.end()) continue;
        // A dialog counts once its controls exist; until then look again.
        if (classOf(window) == "#32770" && !GetWindow(window, GW_CHILD)) continue;
        seen_.push_back(window);
        ShownWindow shown = describeWindow(window);
        windows_.push_back(shown);
        if (hold && (*hold)(shown)) {
            *held = window;
            return;
        }
        if (options_.respond) options_.respond(shown);
    }
}

void LaunchedProcess::poll() { scan(nullptr, nullptr); }

bool LaunchedProcess::waitForExit(DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        poll();
        if (WaitForSingleObject(info_.hProcess, 10) == WAIT_OBJECT_0) {
            poll();
            return true;
        }
        if (GetTickCount() - start > timeoutMs) {
            TerminateProcess(info_.hProcess, 0xDEAD);
            WaitForSingleObject(info_.hProcess, 5000);
            return false;
        }
    }
}

HWND LaunchedProcess::waitForWindow(const std::function<bool(const ShownWindow&)>& pred,
                                    DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        HWND held = nullptr;
        scan(&pred, &held);
        if (held) return held;
        if (WaitForSingleObject(info_.hProcess, 10) == WAIT_OBJECT_0) return nullptr;
        if (GetTickCount() - start > timeoutMs) return nullptr;
    }
}

namespace {
std::vector<ShownWindow> onlyMessageBoxes(const std::vector<ShownWindow>& windows) {
    std::vector<ShownWindow> boxes;
    for (const ShownWindow& window : windows)
        if (window.isMessageBox) boxes.push_back(window);
    return boxes;
}
}  // namespace

std::vector<ShownWindow> LaunchedProcess::messageBoxes() const { return onlyMessageBoxes(windows_); }
std::vector<ShownWindow> LaunchResult::messageBoxes() const { return onlyMessageBoxes(windows); }

LaunchResult launch(const std::string& exePath, LaunchOptions options) {
    DWORD timeout = options.timeoutMs;
    LaunchedProcess process(exePath, std::move(options));
    LaunchResult result;
    result.timedOut = !process.waitForExit(timeout);
    result.exitCode = process.exitCode();
    result.windows = process.windows();
    return result;
}
