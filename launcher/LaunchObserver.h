#pragma once
// Told of every decision a launch makes, step by step, by the code that makes
// it: the settings it reads and where each value came from, the files it
// tests, the runtime discovery, the class path and memory options, and the
// messages it would show. The launcher has no observer (launchObserver() is
// null, see LaunchContext.h); every report stands behind that null test, and
// anything a report needs beyond what the launch computes anyway is computed
// inside it.

#include <cstdint>
#include <string>
#include <vector>

struct JavaVersion;
struct RegistryKey;
struct RuntimeCandidate;
enum class JvmType;

// Where a setting's value came from. The first four are the layered
// lookup's outcomes when the key's own section of the file has no value:
// bit 0 says the base layer has the key, bit 1 that the section with "+"
// has a value.
enum class SettingSource {
    Missing = 0,      // the layered lookup found it nowhere
    Base = 1,         // the base layer
    PlusSection = 2,  // the section with "+" alone
    BaseAndPlus = 3,  // the base value, extended by the section with "+"
    FileSection,      // the key's own section of the file
    File,             // a plain read of the settings file
    UserFile,         // a plain read of the per-user settings file
};

// The three places a runtime is looked for, in the order they are tried.
enum class RuntimeSource { Remembered, BesideExecutable, Registry };

// What became of one registered version.
enum class RegistryVersionResult { OutOfBounds, NotOpened, NoJavaHome, NoLibrary, Candidate };

class LaunchObserver {
public:
    virtual void settingRead(const std::string& /*file*/, const std::string& /*section*/,
                             const std::string& /*key*/, const std::string& /*value*/,
                             SettingSource) {}
    // A search for the path (FindFirstFileA) found an entry, or not.
    virtual void fileTested(const std::string& /*path*/, bool /*exists*/) {}

    // Discovery: the source tried next, then what it does.
    virtual void runtimeSourceTried(RuntimeSource) {}
    // A Java home probed for the JVM library of a type: the library found
    // (empty for none) and whether it is the server one.
    virtual void javaHomeProbed(const std::string& /*home*/, JvmType, const std::string& /*library*/,
                                bool /*isServer*/) {}
    // A registration key: skipped by the settings, or searched (opened or
    // not present).
    virtual void registryKeySearched(const RegistryKey&, bool /*searched*/, bool /*opened*/) {}
    // One version subkey: its name, the candidate as far as it was built
    // (version always; home once the JavaHome value was read; isServer and
    // preferred for a candidate) and the outcome.
    virtual void registryVersionRead(const RegistryKey&, const std::string& /*name*/,
                                     const RuntimeCandidate&, RegistryVersionResult) {}
    // A "Preferred versions" item, its pattern, and the first sorted
    // candidate it matches (null for none).
    virtual void preferredVersionTried(const std::string& /*item*/, const JavaVersion& /*pattern*/,
                                       const RuntimeCandidate* /*match*/) {}
    // The candidates in sorted order and the one chosen (null when there
    // are none).
    virtual void registryRuntimeChosen(const std::vector<RuntimeCandidate>&,
                                       const RuntimeCandidate* /*chosen*/) {}

    // A "Class Path" piece: searched for (classPathSearch with the
    // launcher's folder) or kept as written, and the entries it added, each
    // followed by ";".
    virtual void classPathEntryExpanded(const std::string& /*piece*/, bool /*searched*/,
                                        const std::string& /*launcherFolder*/,
                                        const char* /*added*/) {}
    // A VM parameter of the percentage form and the memory it is measured
    // against, as GlobalMemoryStatus gave it: total physical memory and free
    // address space in bytes. Reported just before it is rewritten
    // (percentMemoryOption with these values).
    virtual void memoryMeasured(const std::string& /*option*/, std::uint64_t /*totalPhysical*/,
                                std::uint64_t /*availableVirtual*/) {}

    // A message box the launch shows. With an observer, the observer takes
    // it instead of a message box, and the box counts as answered with OK.
    virtual void messageShown(const char* /*text*/) {}

protected:
    ~LaunchObserver() = default;
};
