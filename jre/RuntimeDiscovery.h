#pragma once
// Finding the JVM library of a launch: the remembered folder, the runtime
// shipped beside the executable, then the registered runtimes; the first
// that gives a library wins. Each step is kept with what it looked at.

#include <optional>
#include <string>
#include <vector>

#include "base/FileTest.h"
#include "jre/JavaHome.h"
#include "jre/RegistrySearch.h"
#include "settings/LauncherSettings.h"

// The three places a runtime is looked for, in the order they are tried.
enum class RuntimeSource { Remembered, BesideExecutable, Registry };

struct DiscoveryStep {
    RuntimeSource source = RuntimeSource::Remembered;
    std::vector<FileTest> tests;  // the runtime markers beside the executable
    HomeProbe probe;              // the home probed for the library to load; none: no home
    RegistrySearch registry;      // the registry step's search
};

struct RuntimeDiscovery {
    DiscoveryStep steps[3];     // the three sources, in the order tried
    std::size_t stepsTried = 0;  // those tried: up to the one that gave a library
    std::string jvmLibrary;     // empty: none of them gave a library
};

RuntimeDiscovery discoverRuntime(const LauncherSettings& settings, const std::string& launcherFolder,
                                 PathFallbacks* notes = nullptr);
