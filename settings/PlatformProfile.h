#pragma once
// The platform's own settings reader, GetPrivateProfileStringA (W), with a
// buffer that grows until the value fits: what the index of a settings file
// (settings/ProfileIndex.h) must give for every lookup. The launch itself
// reads through SettingsFile.

#include <string>

#include "settings/SettingsFile.h"

// The value; empty for a missing file, section or key. Cut at kLongestValue.
std::string readValue(const std::string& file, const char* section, const char* key);
std::wstring readWideValue(const std::string& file, const char* section, const char* key);
