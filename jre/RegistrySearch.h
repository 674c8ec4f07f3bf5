#pragma once
// The search of the Java runtimes registered in the registry, in the
// launcher's own registry view. The five keys of Sun, JRockit and IBM
// runtimes and development kits under HKEY_LOCAL_MACHINE are searched as the
// settings allow; the keys that today's installers write (Oracle's JDK and
// JRE keys and those of the OpenJDK builds), under HKEY_LOCAL_MACHINE and
// then HKEY_CURRENT_USER, only when the settings ask for Java 9 or later.
// Every version subkey of a searched key is listed with its version; a
// version's home is read and probed only when the choice gets to it (in
// sorted order), so normally only the chosen one is read.

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "base/WideText.h"

#include "jre/JavaHome.h"
#include "settings/JavaVersion.h"
#include "settings/LauncherSettings.h"

enum class RuntimeKind { DevelopmentKit, RuntimeEnvironment };
enum class RuntimeVendor { Sun, JRockit, Ibm, OpenJdk };

struct RegistryKey {
    const char* path;  // below the root, with a trailing backslash
    RuntimeKind kind;  // for kindFromName keys: the kind of a name without "jre"
    RuntimeVendor vendor;
    const char* homeValue;    // the value that names the home folder
    const char* below;        // the subkey of a version that holds it ("" for the version itself)
    bool modern;              // searched for Java 9 or later only; its homes are Java 9+ homes
    bool kindFromName;        // a version whose name holds "jre" is a runtime environment
};

// The five keys of before Java 9, in the order they are searched (under
// HKEY_LOCAL_MACHINE only), and the keys of today's installers, each
// searched under HKEY_LOCAL_MACHINE and then HKEY_CURRENT_USER.
extern const RegistryKey kRuntimeRegistryKeys[5];
extern const RegistryKey kModernRegistryKeys[15];

struct RuntimeCandidate {
    JavaVersion version;
    // With a trailing backslash; "jre\" below a development kit of the old
    // key, unless only the kit's own folder holds a library.
    std::string home;
    bool isServer = false;
    bool preferred = false;
};

// Whether the settings allow a kind of runtime and a vendor, and whether
// they prefer them.
bool isKindAllowed(RuntimeKind kind, const DiscoverySettings& settings);
bool isVendorAllowed(RuntimeVendor vendor, const DiscoverySettings& settings);
bool isPreferred(RuntimeKind kind, RuntimeVendor vendor, const DiscoverySettings& settings);

// Whether the settings allow the kind of a key's runtimes (either, for
// kindFromName keys).
bool isKeyKindAllowed(const RegistryKey& key, const DiscoverySettings& settings);

// Whether the settings let a key be searched: modern keys only for Java 9
// or later, and the key's kind and vendor allowed.
bool isKeySearched(const RegistryKey& key, const DiscoverySettings& settings);

// Whether a registered version lies inside the settings' bounds.
bool isWithinBounds(const JavaVersion& version, const DiscoverySettings& settings);

// Whether candidate b must come before a: preferred first (when both kinds
// are allowed), server first (for favor_server), then the higher version.
bool comesFirst(const RuntimeCandidate& b, const RuntimeCandidate& a, const DiscoverySettings& settings);

// What became of one registered version.
enum class RegistryVersionResult {
    OutOfBounds,     // its version lies outside the bounds
    NotOpened,       // the subkey (or the one below it that holds the home) does not open
    NoJavaHome,      // no home value, or an empty one
    NoLibrary,       // no usable JVM library in its home
    Candidate,
    Unread,          // not needed by the choice
    NoVersion,       // a key of today's installers, and the name holds no version
    KindNotAllowed,  // its kind, told by its name, is not allowed
    HomeNotText,     // the home value is not a string
    HomeTooLong,     // the home value is longer than a path can be
    HomeNotAnsi,     // the home has no ANSI spelling and no short name
};

struct RegistryKeySearch {
    const RegistryKey* key = nullptr;
    HKEY root = nullptr;    // HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER
    bool searched = false;  // the settings allow it
    bool opened = false;    // it exists
    const char* rootName() const { return root == HKEY_CURRENT_USER ? "HKCU" : "HKLM"; }
};

struct RegisteredVersion {
    std::size_t key = 0;  // index into RegistrySearch::keys
    std::string name;     // the subkey's name
    RuntimeKind kind = RuntimeKind::RuntimeEnvironment;
    // Version and preferred always; home (once the home value was read) and
    // isServer (for a candidate) when it was read. The version is the one
    // the name gives, unless the name gives fewer than three numbers and the
    // home's release file names one (releaseLine).
    RuntimeCandidate candidate;
    JavaVersion nameVersion;
    std::string releaseLine;  // the release file's JAVA_VERSION line, when it gave the version
    RegistryVersionResult result = RegistryVersionResult::Unread;
    // The home value once read: in the ANSI code page with its references
    // expanded, and as the registry holds it when that is a REG_EXPAND_SZ.
    std::string home;
    std::wstring homeWritten;
    HomeProbe probe;  // once its home was read
    // A development kit of the old key whose "jre\" held no library: that
    // probe; probe is then the one of the kit's own folder.
    HomeProbe runtimeProbe;
};

struct PreferredVersionTry {
    std::string item;
    JavaVersion pattern;
    int match = -1;  // the first usable version in sorted order it matches; -1: none
};

struct RegistrySearch {
    std::vector<RegistryKeySearch> keys;      // every key, in search order
    std::vector<RegisteredVersion> versions;  // every subkey of the searched keys, in the order read
    std::vector<std::size_t> order;           // the versions that may be candidates, sorted
    std::vector<PreferredVersionTry> preferred;  // "Preferred versions" items up to the first match
    int chosen = -1;                          // index into versions; -1: none qualifies
    LaunchTrace* trace = nullptr;             // where the homes that take short names are noted
};

// Lists, sorts and chooses.
RegistrySearch searchRegistry(const DiscoverySettings& settings, LaunchTrace* trace = nullptr);

// Reads and probes every version the choice did not need, so that the whole
// search can be shown.
void readEveryVersion(RegistrySearch& search, const DiscoverySettings& settings);
