#pragma once
// The search of the runtimes that Sun, JRockit and IBM runtimes and
// development kits register under HKEY_LOCAL_MACHINE. Every version subkey
// of the keys the settings allow is listed with its version; a version's
// "JavaHome" is read and its home probed only when the choice gets to it (in
// sorted order), so normally only the chosen one is read.

#include <cstddef>
#include <string>
#include <vector>

#include "jre/JavaHome.h"
#include "settings/JavaVersion.h"
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

// Whether candidate b must come before a: preferred first (when both kinds
// are allowed), server first (for favor_server), then the higher version.
bool comesFirst(const RuntimeCandidate& b, const RuntimeCandidate& a, const LauncherSettings& settings);

// What became of one registered version.
enum class RegistryVersionResult { OutOfBounds, NotOpened, NoJavaHome, NoLibrary, Candidate, Unread };

struct RegistryKeySearch {
    const RegistryKey* key = nullptr;
    bool searched = false;  // the settings allow it
    bool opened = false;    // it exists
};

struct RegisteredVersion {
    std::size_t key = 0;  // index into RegistrySearch::keys
    std::string name;     // the subkey's name
    // Version and preferred always; home (once "JavaHome" was read) and
    // isServer (for a candidate) when it was read.
    RuntimeCandidate candidate;
    RegistryVersionResult result = RegistryVersionResult::Unread;
    HomeProbe probe;  // once its home was read
};

struct PreferredVersionTry {
    std::string item;
    JavaVersion pattern;
    int match = -1;  // the first usable version in sorted order it matches; -1: none
};

struct RegistrySearch {
    std::vector<RegistryKeySearch> keys;      // the five keys, in search order
    std::vector<RegisteredVersion> versions;  // every subkey of the searched keys, in the order read
    std::vector<std::size_t> order;           // the versions inside the bounds, sorted
    std::vector<PreferredVersionTry> preferred;  // "Preferred versions" items up to the first match
    int chosen = -1;                          // index into versions; -1: none qualifies
};

// Lists, sorts and chooses.
RegistrySearch searchRegistry(const LauncherSettings& settings);

// Reads and probes every version the choice did not need, so that the whole
// search can be shown.
void readEveryVersion(RegistrySearch& search, const LauncherSettings& settings);
