#pragma once
// The VM options of a launch: the class path (wildcards and entries relative
// to the launcher's folder resolved, the executable itself as an embedded
// jar), the user's VM parameters with their quoting and memory forms, and the
// application settings the Java thread needs.

#include <cstdint>
#include <string>
#include <vector>

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

// Splits "Virtual Machine Parameters" at blanks outside quoted parts; the
// pieces come back unchanged (quotes still in them, empty pieces included).
std::vector<std::string> splitVmParameterPieces(const std::string& value);

// Removes the quotes of quoted parts; a part closed by two quotes keeps one.
std::string stripQuotes(const std::string& option);

// The VM parameters as options: split, quotes stripped, memory forms
// rewritten by rewriteMemory (the machine's memory by default), empty ones
// dropped. stackSize is set from each "-Xss" option, so the last one decides.
using MemoryRewrite = std::string (*)(const std::string&);
std::vector<std::string> splitVmParameters(const std::string& value, std::uint32_t& stackSize,
                                           MemoryRewrite rewriteMemory = nullptr);

// Builds the class path option and the VM parameters into the launcher's
// vmOptions and reads "Output File", "Error File" and "Cmd". False without a
// settings file path, or after message 209 for an empty class path.
bool buildVmOptions(Launcher& launcher);
