#pragma once
// The launcher's messages, all in one place: the ids of the string table
// (res/strings.rc), and a failure as the steps of a launch return it: the
// message that tells the user why the launch stops, with what fills its
// placeholders. The steps only return failures; the top of the program shows
// them.

#include <windows.h>

#include <string>
#include <vector>

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

// What fills one placeholder: a text ("%s"), a number ("%d"), or the text of
// another string-table entry ("%s"; entry 0 gives an empty text).
struct MessageArgument {
    enum class Kind { Text, Number, Entry } kind = Kind::Text;
    std::string text;
    int number = 0;

};

inline MessageArgument textArgument(std::string text) {
    return {MessageArgument::Kind::Text, std::move(text), 0};
}
inline MessageArgument numberArgument(int value) { return {MessageArgument::Kind::Number, {}, value}; }
inline MessageArgument entryArgument(UINT id) {
    return {MessageArgument::Kind::Entry, {}, static_cast<int>(id)};
}

struct Failure {
    UINT message = 0;
    std::vector<MessageArgument> arguments;  // none, one or two
};

// A failed Windows call: message 202 with the fragment entry and the error
// code.
Failure windowsFailure(UINT fragment, DWORD errorCode);

// The text the user sees: the entry itself when it has no arguments,
// otherwise the entry formatted with them.
std::string messageText(const Failure& failure);
