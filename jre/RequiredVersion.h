#pragma once
// The sentences that tell the user which Java version is required.

#include <string>

#include "settings/LauncherSettings.h"

// "latest version", "minimum version 1.6", ... from the string table.
std::string requiredVersionText(const JavaVersion& minVersion, const JavaVersion& maxVersion);

// The text of the "JRE Not Found" dialog: message 206 for a server JVM, 207
// otherwise, with the required-version text.
std::string jreNotFoundMessage(const DiscoverySettings& settings);
