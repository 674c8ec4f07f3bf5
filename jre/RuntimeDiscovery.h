#pragma once
// Finding the JVM library of a launch: the remembered folder, the runtime
// shipped beside the executable, then the registered runtimes; the first
// that gives a library wins. Each step is kept with what it looked at.

#include <optional>
#include <string>
#include <vector>

#include "base/FileProbe.h"
#include "base/Messages.h"
#include "jre/JavaHome.h"
#include "jre/RegistrySearch.h"
#include "settings/LauncherSettings.h"

// The three places a runtime is looked for, in the order they are tried.
enum class RuntimeSource { Remembered, BesideExecutable, Registry };

struct DiscoveryStep {
    RuntimeSource source = RuntimeSource::Remembered;
    std::vector<FileProbe> tests;  // the runtime markers beside the executable
    HomeProbe probe;               // the home probed for the library to load; none: no home
    RegistrySearch registry;       // the registry step's search

    // The home probed for the library to load: the registry's chosen
    // version's own probe where that probe gave it (the step probes no
    // home again then), else the step's.
    const HomeProbe& homeProbe() const {
        return probe.home.empty() && registry.chosen >= 0 ? registry.versions[static_cast<std::size_t>(registry.chosen)].probe
                                                          : probe;
    }
};

struct RuntimeDiscovery {
    DiscoveryStep steps[3];      // the three sources, in the order tried
    std::size_t stepsTried = 0;  // those tried: up to the one that gave a library
    std::string jvmLibrary;      // empty: none of them gave a library
    // None gave a library, and a file it looked for lies deeper than the
    // ANSI calls reach even through short names: message 233 names the
    // first such path, instead of "JRE Not Found".
    std::optional<Failure> failure;

    // The step that gave the library (or the last one tried).
    const DiscoveryStep& lastStep() const { return steps[stepsTried - 1]; }
    // The registered version the library comes from; null when the registry
    // did not give it.
    const RegisteredVersion* chosenRegistryVersion() const;
};

RuntimeDiscovery discoverRuntime(const DiscoverySettings& settings, const std::string& launcherFolder,
                                 LaunchTrace* trace = nullptr);
