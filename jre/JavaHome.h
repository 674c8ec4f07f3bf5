#pragma once
// A Java home is a folder that holds a runtime. Probing it finds the JVM
// library that the "JVM Type" setting accepts.

#include <string>

#include "settings/LauncherSettings.h"

// The full path of the first JVM library under home that jvmType accepts,
// or empty when there is none. home is joined with the library's relative
// path as it is, so it should end in a backslash. When a library is found
// and isServer is given, *isServer tells whether it is the server library.
std::string probeJavaHome(const std::string& home, JvmType type, bool* isServer = nullptr);
