#pragma once
// A Java home is a folder that holds a runtime; probing it gives the path of
// the JVM library that the configured JVM type asks for.

#include <windows.h>

#include <optional>
#include <string>

#include "ui/MessageReporter.h"

#include "settings/LauncherSettings.h"

// The first existing library of the type's order below home (joined by plain
// concatenation), or empty. isServer, when given, is set only when a library
// is found: true for "bin\server\jvm.dll".
std::string probeJavaHome(const std::string& home, JvmType type, bool* isServer = nullptr);

// The runtime shipped beside the executable: its folder when it holds
// "bin\java.dll", else its "jre\" subfolder when that does. Nothing when
// neither does (then no library is looked up relative to the current
// directory) or when the module path cannot be had.
std::optional<std::string> findLocalRuntime(const MessageOwner& owner);

// The folder with a backslash appended when its last character is not one.
std::string withTrailingBackslash(const std::string& folder);
