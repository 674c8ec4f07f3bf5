#pragma once
// The VM options of a launch: the class path (wildcards and entries relative
// to the launcher's folder resolved, the executable itself as an embedded
// jar), the user's VM parameters with their quoting and memory forms, and the
// application settings the Java thread needs.

#include <string>
#include <vector>

#include "jvm/VmParameters.h"

class Launcher;

// A class path piece is relative unless it starts with a drive letter and
// colon or with two backslashes.
bool isRelativeClassPathEntry(const std::string& piece);

// The search pattern and the prefix of found names for a piece that is
// relative or holds a wildcard.
struct ClassPathSearch {
    std::string pattern;
    std::string prefix;
};
ClassPathSearch classPathSearch(const std::string& piece, const std::string& launcherFolder);

// Appends prefix + name + ";" for every match of the piece's search, in the
// order the file system gives them (folders too).
void expandClassPathEntry(const std::string& piece, const std::string& launcherFolder,
                          std::string& classPath);

// Builds the class path option and the VM parameters into the launcher's
// vmOptions and reads "Output File", "Error File" and "Cmd". False without a
// settings file path, or after message 209 for an empty class path.
bool buildVmOptions(Launcher& launcher);
