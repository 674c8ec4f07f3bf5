#pragma once
// The launcher's own process environment for the chosen runtime:
// VT_JVM_PATH, VT_JVM_HOME, "Path", and the native library path option.

#include <string>

class Launcher;

// The path with its last count components removed (each time cut at the last
// backslash); unchanged when no backslash is left.
std::string stripPathComponents(const std::string& path, int count);

// Windows environment expansion of %NAME% references against the launch's
// environment (LaunchContext.h); undefined variables stay as written, and
// the text is unchanged when expansion fails.
std::string expandEnvironment(const std::string& text);

// The library path value before expansion: "Library Path", the launcher's
// folder, ".", the previous search path and the runtime's lib folder.
std::string libraryPathValue(const std::string& libraryPath, const std::string& launcherFolder,
                             const std::string& javaHome);

// The search path value before expansion: "System Path", the previous search
// path, the runtime's bin folder.
std::string searchPathValue(const std::string& systemPath, const std::string& javaBinFolder);

// Sets the variables in the launch's environment (LaunchContext.h) and, when
// "Library Path" is set, appends the "-Djava.library.path=" option to the
// launcher's VM options.
void setUpJavaEnvironment(Launcher& launcher);
