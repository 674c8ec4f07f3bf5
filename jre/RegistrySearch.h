#pragma once
// The search of the runtimes that Sun, JRockit and IBM runtimes and
// development kits register under HKEY_LOCAL_MACHINE.

#include <string>
#include <vector>

#include "jre/JavaVersion.h"
#include "settings/LauncherSettings.h"

enum class RuntimeKind { DevelopmentKit, RuntimeEnvironment };
enum class RuntimeVendor { Sun, JRockit, Ibm };

struct RegistryKey {
    const char* path;  // below HKEY_LOCAL_MACHINE, with a trailing backslash
    RuntimeKind kind;
    RuntimeVendor vendor;
};

// The five registration keys in the order they are searched.
extern const RegistryKey kRuntimeRegistryKeys[5];

struct RuntimeCandidate {
    JavaVersion version;
    std::string home;  // with a trailing backslash; "jre\" below a development kit
    bool isServer = false;
    bool preferred = false;
};

// Whether the settings allow searching a key (its kind and its vendor are
// allowed), and whether its candidates are preferred.
bool isKindAllowed(const RegistryKey& key, const LauncherSettings& settings);
bool isVendorAllowed(const RegistryKey& key, const LauncherSettings& settings);
bool isKeySearched(const RegistryKey& key, const LauncherSettings& settings);
bool isKeyPreferred(const RegistryKey& key, const LauncherSettings& settings);

// Whether a registered version lies inside the settings' bounds.
bool isWithinBounds(const JavaVersion& version, const LauncherSettings& settings);

// Stable exchange sort: preferred first (when both kinds are allowed), server
// first (for favor_server), then the higher version.
void sortCandidates(std::vector<RuntimeCandidate>& candidates, const LauncherSettings& settings);

// The first candidate matching the first preferred version that matches any,
// else the first candidate; null when there are none.
const RuntimeCandidate* chooseCandidate(const std::vector<RuntimeCandidate>& candidates,
                                        const std::vector<std::string>& preferredVersions);

// Every acceptable registered runtime, in search order.
std::vector<RuntimeCandidate> findRegisteredRuntimes(const LauncherSettings& settings);

// The Java home folder of the best registered runtime; false when none
// qualifies. Unless a LaunchObserver watches or the type is favor_server,
// a version's JavaHome is read and probed only when the choice reaches it
// (in sorted order); the choice is the same as reading every one first.
bool searchRegistry(const LauncherSettings& settings, std::string& home);
