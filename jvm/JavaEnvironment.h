#pragma once
// The environment of the Java program for the chosen runtime: VT_JVM_PATH,
// VT_JVM_HOME and "Path", and the native library path option.

#include <string>
#include <utility>
#include <vector>

#include "base/Environment.h"
#include "settings/LauncherSettings.h"

// The library path value before expansion: "Library Path", the launcher's
// folder, ".", the previous search path and the runtime's lib folder.
std::string libraryPathValue(const std::string& libraryPath, const std::string& launcherFolder,
                             const std::string& javaHome);

// The search path value before expansion: "System Path", the previous search
// path, the runtime's bin folder.
std::string searchPathValue(const std::string& systemPath, const std::string& javaBinFolder);

struct JavaEnvironment {
    std::vector<std::pair<std::string, std::string>> variables;  // in the order set
    std::string libraryPathOption;  // "-Djava.library.path=..."; empty without "Library Path"
};

// Sets the variables in the environment, each before the next value is
// expanded. A new "Path" longer than an environment variable can be (32,767
// characters) is not set.
JavaEnvironment setUpJavaEnvironment(const EnvironmentSettings& settings, const std::string& jvmLibrary,
                                     const std::string& launcherFolder, LaunchEnvironment& environment);
