#pragma once
// Where the settings files lie: the settings file beside the executable, and
// the per-user settings file under APPDATA that remembers the runtime folder.

#include <windows.h>

#include <string>

#include "ui/MessageReporter.h"

// Full path of the executable the launch belongs to: the running one, unless
// the launch context names another. On failure shows message 202 with
// fragment 208 and the error code, owned by owner.
bool modulePath(std::string& path, const MessageOwner& owner);

// The module path with everything after its last "." replaced by "ini";
// empty when the path holds no ".".
std::string settingsPathFor(const std::string& modulePath);

// settingsPathFor(modulePath()); false without a module path or without ".".
bool settingsFilePath(std::string& path, const MessageOwner& owner);

// The folder part of a module path, up to and including its last backslash
// (empty when it has none).
std::string folderOf(const std::string& path);

// The product name without the characters \ ? " | > < : / *.
std::string userFolderName(const std::string& productName);

// appData\folder name\product code\<executable name without extension>.ini
std::string userSettingsPathFor(const std::string& modulePath, const std::string& appData,
                                const std::string& productName, const std::string& productCode);

// The per-user settings file path for this executable, creating the two
// folder levels on the way when createFolders is set. Empty without a module
// path.
std::string userSettingsFilePath(const std::string& productName, const std::string& productCode,
                                 bool createFolders, const MessageOwner& owner);

// The operating system reports the NT platform.
bool isNtPlatform();

// The remembered runtime folder lives in the per-user settings file.
bool usesUserSettingsFile(bool isService);

// A search for the path finds an entry (a folder counts too).
bool fileExists(const std::string& path);
