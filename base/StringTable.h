#pragma once
// The executable's string table: entries loaded by id in the thread's ANSI
// code page, and the wvsprintfA formatting of the texts that have
// placeholders.

#include <windows.h>

#include <string>
#include <type_traits>

// Replaces target with string-table entry id. False, target unchanged, when
// the entry is missing or empty.
bool loadResourceString(std::string& target, UINT id);

// The same entry in UTF-16, as the table holds it.
bool loadResourceStringWide(std::wstring& target, UINT id);

// Formats with the wvsprintfA rules: "%s" takes a const char*, "%d" an int.
// Output beyond wvsprintfA's 1,024-byte limit is cut.
std::string formatText(const char* format, ...);
// The same with wvsprintfW: "%s" takes a const wchar_t*.
std::wstring formatTextWide(const wchar_t* format, ...);

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
