#pragma once
// The VM configuration of a launch: the class path (wildcards and entries
// relative to the launcher's folder resolved, the executable itself as an
// embedded jar), the user's VM parameters with their quoting and memory
// forms, the Java thread's stack size, the output files and the arguments
// main receives.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/CommandLine.h"
#include "base/Environment.h"
#include "base/Messages.h"
#include "settings/LauncherSettings.h"

// A class path piece is relative unless it starts with a drive letter and
// colon or with two backslashes.
bool isRelativeClassPathEntry(const std::string& piece);

// The search pattern and the prefix of found names for a piece that is
// relative or holds a wildcard. A relative piece is appended to the
// launcher's folder (which ends in a backslash) without that last backslash,
// so a piece that begins with a backslash names something inside the folder.
// "/" separates folders as "\" does: both are "\" in pattern and prefix.
struct ClassPathSearch {
    std::string pattern;
    std::string prefix;
};
ClassPathSearch classPathSearch(const std::string& piece, const std::string& launcherFolder);

// prefix + name for every match of the search, in the order the file system
// gives them (folders too). A name the ANSI code page cannot spell is given
// by its short name (noted in the trace); message 232 names a match that
// has none.
std::optional<Failure> classPathMatches(const ClassPathSearch& search, std::vector<std::string>& entries,
                                        LaunchTrace* trace = nullptr);

// One piece of "Class Path" and the entries it gave.
struct ClassPathPiece {
    std::string piece;
    bool searched = false;  // searched for, or kept as written
    std::string pattern;    // the search pattern when searched
    std::vector<std::string> entries;
};

// A VM parameter of the percentage form, the size it became, and the memory
// it was measured against (GlobalMemoryStatus, in bytes).
struct MemoryRewrite {
    std::string option;
    std::string rewritten;
    std::uint64_t totalPhysical = 0;
    std::uint64_t availableVirtual = 0;
};

struct VmConfiguration {
    std::vector<ClassPathPiece> classPath;
    std::string embeddedJar;  // the executable, when it goes last on the class path
    std::vector<MemoryRewrite> memoryOptions;
    // In order: the library path option (when there is one), the class path
    // option, the VM parameters; each through environment expansion. Class
    // data sharing's options come last (jvm/ClassDataSharing.h).
    std::vector<std::string> options;
    std::size_t sharingOptions = 0;  // how many of the last options are class data sharing's
    std::uint32_t stackSize = 0;  // from "-Xss"; 0: the JVM library's default
    std::string outputFile;       // expanded; empty: System.out stays
    std::string errorFile;
    // The same in UTF-16 when the settings give them so (VmSettings): these
    // are the files made.
    std::wstring outputFileWide;
    std::wstring errorFileWide;
    std::vector<Argument> mainArguments;
    // Message 209 for an empty class path, 232 for a match of a class path
    // search without an ANSI name: nothing after the class path is built.
    std::optional<Failure> failure;
};

// The command-line arguments followed by those of "Cmd" (expanded, split by
// the command line's rules, empty ones dropped).
std::vector<Argument> argumentsWithCmd(std::vector<Argument> arguments, const std::string& cmd,
                                          LaunchEnvironment& environment);

VmConfiguration buildVmConfiguration(const VmSettings& settings, const std::string& executable,
                                     const std::string& launcherFolder,
                                     const std::string& libraryPathOption,
                                     const std::vector<Argument>& arguments,
                                     LaunchEnvironment& environment, LaunchTrace* trace = nullptr);
