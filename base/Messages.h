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
    PathWithoutAnsiName = 232,
    PathTooLong = 233,
    JreNotFoundLine = 234,
};
}  // namespace msg

// A message and what fills its placeholders. Which of the fields a message
// takes is its own (messageText knows each one): message 202 the text of
// the entry fragment and the number, 203 the texts of fragment and reason,
// 211 and 215 the text, 222 and 233 the text and the number, 232 the name
// in UTF-16; the others none.
struct Failure {
    UINT message = 0;
    std::string text;
    UINT fragment = 0;
    UINT reason = 0;  // 0: an empty text
    int number = 0;
    std::wstring name;  // a name the ANSI code page cannot spell
};

// A failed Windows call: message 202 with the fragment entry and the error
// code.
Failure windowsFailure(UINT fragment, DWORD errorCode);

// The path has no ANSI spelling and no short name: message 232 with the
// path.
Failure pathFailure(const std::wstring& path);

// The text the user sees: the entry itself when it has no arguments,
// otherwise the entry formatted with them. In the ANSI code page (a wide
// argument as near as it comes), and in UTF-16.
std::string messageText(const Failure& failure);
std::wstring messageTextWide(const Failure& failure);

// Whether the text needs UTF-16 to be shown whole.
inline bool hasWideArgument(const Failure& failure) { return !failure.name.empty(); }
