#pragma once
// Error reporting: every failure that stops the launcher is shown in a modal
// message box with the error icon. Texts come from the string table.

#include <windows.h>

#include <cstddef>
#include <string>
#include <type_traits>

// The owner window of a message box, asked for only when a box is shown:
// finding it may have to wait (for the splash window being made).
class MessageOwner {
public:
    using Resolve = HWND (*)(const void* context);
    MessageOwner(std::nullptr_t = nullptr) {}
    MessageOwner(Resolve resolve, const void* context) : resolve_(resolve), context_(context) {}
    HWND window() const { return resolve_ ? resolve_(context_) : nullptr; }

private:
    Resolve resolve_ = nullptr;
    const void* context_ = nullptr;
};

// Replaces target with string-table entry id. False, target unchanged, when
// the entry is missing or empty.
bool loadResourceString(std::string& target, UINT id);

// Formats with the wvsprintfA rules: "%s" takes a const char*, "%d" an int.
// Output beyond wvsprintfA's 1,024-byte limit is cut.
std::string formatText(const char* format, ...);

// wvsprintfA takes C strings and integers only.
template <typename... Args>
constexpr bool areFormatArguments = ((std::is_integral_v<Args> || std::is_same_v<Args, const char*> ||
                                      std::is_same_v<Args, char*>) && ...);

// Loads entry id and formats it into target with the arguments.
template <typename... Args>
bool formatResourceString(std::string& target, UINT id, Args... args) {
    static_assert(areFormatArguments<Args...>);
    std::string format;
    loadResourceString(format, id);
    target = formatText(format.c_str(), args...);
    return true;
}

// MessageBoxA where text and caption may each be a string-table id
// (MAKEINTRESOURCEA); a null caption gives the system's default title.
// Returns the MessageBoxA result, or 0 when the text could not be loaded.
// A launch with an observer (LaunchContext.h) tells it the text instead and
// counts the box as answered with OK.
int showMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT style);

void showError(HWND owner, const std::string& text);

template <typename... Args>
void showErrorFormat(HWND owner, const std::string& format, Args... args) {
    static_assert(areFormatArguments<Args...>);
    showError(owner, formatText(format.c_str(), args...));
}

// Ids of the string table.
namespace msg {
enum : UINT {
    WindowsException = 202,
    JniCreateException = 203,
    ComError = 204,
    JniException = 205,
    JreNotFoundServer = 206,
    JreNotFound = 207,
    ModulePathFailed = 208,
    ClassPathMissing = 209,
    MainClassMissing = 210,
    MainClassLoadFailed = 211,
    CreateJavaVmMissing = 212,
    CreateVmFailed = 213,
    BrowseTitle = 214,
    MainClassNotFound = 215,
    MainMethodMissing = 216,
    LatestVersion = 217,
    MaximumVersion = 218,
    MinimumVersion = 219,
    ExactVersion = 220,
    VersionRange = 221,
    JvmLibraryLoadFailed = 222,
    InitializeFailed = 223,
    InitializeModuleFailed = 224,
    ReasonUnknown = 225,
    ReasonDetached = 226,
    ReasonVersion = 227,
    ReasonNoMemory = 228,
    ReasonExists = 229,
    ReasonInvalid = 230,
};
}  // namespace msg

// Shows a failed Windows call: message 202 with fragment id and error code.
void showWindowsError(HWND owner, UINT fragmentId, DWORD errorCode);
