#pragma once
// Message boxes whose texts may come from the string table by id.

#include <windows.h>

#include <string>

#include "base/StringTable.h"

// MessageBoxA where text and caption may each be a string-table id
// (MAKEINTRESOURCEA); a null caption gives the system's default title.
// Returns the MessageBoxA result, or 0 when the text could not be loaded.
int showMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT style);

void showError(HWND owner, const std::string& text);

template <typename... Args>
void showErrorFormat(HWND owner, const std::string& format, Args... args) {
    static_assert(areFormatArguments<Args...>);
    showError(owner, formatText(format.c_str(), args...));
}
