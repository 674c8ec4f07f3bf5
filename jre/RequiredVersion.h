#pragma once
// The sentences that tell the user which Java version is required.

#include <string>

#include "settings/LauncherSettings.h"

// "latest version", "minimum version 1.6", ... from the string table; a
// bound is named as written when its text is given, else by its numbers.
std::string requiredVersionText(const JavaVersion& minVersion, const JavaVersion& maxVersion,
                                const std::string& minText = {}, const std::string& maxText = {});

// The text of the "JRE Not Found" dialog: message 206 for a server JVM, 207
// otherwise, with the required-version text.
std::string jreNotFoundMessage(const DiscoverySettings& settings);

// What a console program says instead of the dialog: message 234 with the
// required version, the download page, and the file names of the settings
// file and of the executable.
std::string jreNotFoundLine(const DiscoverySettings& settings, const std::string& settingsFile,
                            const std::string& executable);
