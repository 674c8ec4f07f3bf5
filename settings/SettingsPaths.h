#pragma once
// Where the settings files lie: the settings file beside the executable, and
// the per-user settings file under APPDATA that remembers the runtime folder.

#include <string>

#include "settings/LaunchTrace.h"

// The executable's path with everything after its last "." replaced by
// "ini"; empty when the path holds no ".".
std::string settingsPathFor(const std::string& executable);

// The product name without the characters \ ? " | > < : / *.
std::string userFolderName(const std::string& productName);

// appData\folder name\product code\<executable name without extension>.ini
std::string userSettingsPathFor(const std::string& executable, const std::string& appData,
                                const std::string& productName, const std::string& productCode);

// APPDATA (or another variable) as it is now, in UTF-16.
std::wstring appDataValue(const wchar_t* name = L"APPDATA");

// The per-user settings file of the executable (APPDATA as it is now, with
// short names where the ANSI code page cannot spell it, noted in the trace
// when there is one). Empty when APPDATA has no ANSI spelling and no short
// name.
std::string userSettingsFilePath(const std::string& executable, const std::string& productName,
                                 const std::string& productCode, LaunchTrace* trace = nullptr);

// Makes the folders of the last levels folders of a file's path, the
// outermost first (those that exist stay as they are).
void createParentFolders(const std::string& file, int levels);

// The operating system reports the NT platform.
bool isNtPlatform();

// The remembered runtime folder lives in the per-user settings file.
bool usesUserSettingsFile(bool isService);
