#include "jre/RegistrySearch.h"

#include "base/PathText.h"
#include "base/UniqueResource.h"
#include "jre/ReleaseFile.h"

namespace {
using K = RuntimeKind;
using V = RuntimeVendor;
constexpr K Jdk = K::DevelopmentKit;
constexpr K Jre = K::RuntimeEnvironment;
}  // namespace

const RegistryKey kRuntimeRegistryKeys[5] = {
    {"Software\\JavaSoft\\Java Development Kit\\", Jdk, V::Sun, "JavaHome", "", false, false},
    {"Software\\JavaSoft\\Java Runtime Environment\\", Jre, V::Sun, "JavaHome", "", false, false},
    {"Software\\JRockit\\Java Runtime Environment\\", Jre, V::JRockit, "JavaHome", "", false, false},
    {"Software\\JRockit\\Java Development Kit\\", Jdk, V::JRockit, "JavaHome", "", false, false},
    {"Software\\IBM\\Java2 Runtime Environment\\", Jre, V::Ibm, "JavaHome", "", false, false},
};

const RegistryKey kModernRegistryKeys[15] = {
    {"Software\\JavaSoft\\JDK\\", Jdk, V::Sun, "JavaHome", "", true, false},
    {"Software\\JavaSoft\\JRE\\", Jre, V::Sun, "JavaHome", "", true, false},
    {"Software\\Eclipse Adoptium\\JDK\\", Jdk, V::OpenJdk, "Path", "hotspot\\MSI", true, false},
    {"Software\\Eclipse Adoptium\\JRE\\", Jre, V::OpenJdk, "Path", "hotspot\\MSI", true, false},
    {"Software\\Eclipse Foundation\\JDK\\", Jdk, V::OpenJdk, "Path", "hotspot\\MSI", true, false},
    {"Software\\AdoptOpenJDK\\JDK\\", Jdk, V::OpenJdk, "Path", "hotspot\\MSI", true, false},
    {"Software\\AdoptOpenJDK\\JDK\\", Jdk, V::OpenJdk, "Path", "openj9\\MSI", true, false},
    {"Software\\AdoptOpenJDK\\JRE\\", Jre, V::OpenJdk, "Path", "hotspot\\MSI", true, false},
    {"Software\\AdoptOpenJDK\\JRE\\", Jre, V::OpenJdk, "Path", "openj9\\MSI", true, false},
    {"Software\\Microsoft\\JDK\\", Jdk, V::OpenJdk, "Path", "hotspot\\MSI", true, false},
    {"Software\\Semeru\\JDK\\", Jdk, V::OpenJdk, "Path", "openj9\\MSI", true, false},
    {"Software\\Semeru\\JRE\\", Jre, V::OpenJdk, "Path", "openj9\\MSI", true, false},
    {"Software\\SapMachine\\JDK\\", Jdk, V::OpenJdk, "JavaHome", "", true, false},
    {"Software\\Azul Systems\\Zulu\\", Jdk, V::OpenJdk, "InstallationPath", "", true, true},
    {"Software\\BellSoft\\Liberica\\", Jdk, V::OpenJdk, "InstallationPath", "", true, true},
};

namespace {

bool kindPreferred(RuntimeKind kind, const DiscoverySettings& s) {
    return kind == RuntimeKind::DevelopmentKit ? s.jdkPreferred : s.jrePreferred;
}

bool vendorPreferred(RuntimeVendor vendor, const DiscoverySettings& s) {
    switch (vendor) {
    case RuntimeVendor::Sun: return s.sunPreferred;
    case RuntimeVendor::JRockit: return s.jrockitPreferred;
    case RuntimeVendor::Ibm: return s.ibmPreferred;
    case RuntimeVendor::OpenJdk: return false;
    }
    return false;
}

// The kind of a version: the key's, or for keys that tell it by name, a
// runtime environment when the name holds "jre" (zulu-8-jre, jre-17).
RuntimeKind kindOf(const RegistryKey& key, const std::string& name) {
    if (!key.kindFromName) return key.kind;
    for (std::size_t i = 0; i + 3 <= name.size(); ++i)
        if (CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, name.c_str() + i, 3, "jre", 3) == CSTR_EQUAL)
            return RuntimeKind::RuntimeEnvironment;
    return RuntimeKind::DevelopmentKit;
}

// The home value of an open version key, or why there is none: read in
// UTF-16, its references expanded when the registry keeps it as
// REG_EXPAND_SZ, in the ANSI code page with short names where it cannot
// spell it. A string stored without a terminating zero is taken up to the
// size the registry reports, never beyond it.
RegistryVersionResult homeValue(HKEY versionKey, const char* name, RegisteredVersion& version, LaunchTrace* trace) {
    std::wstring wideName = toWide(name);
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(versionKey, wideName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        size < sizeof(wchar_t))
        return RegistryVersionResult::NoJavaHome;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return RegistryVersionResult::HomeNotText;
    // A folder name longer than a path can be names no folder a runtime
    // can be loaded from.
    if (size / sizeof(wchar_t) > MAX_PATH + 1) return RegistryVersionResult::HomeTooLong;
    std::wstring data(size / sizeof(wchar_t), L'\0');
    if (RegQueryValueExW(versionKey, wideName.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()),
                         &size) != ERROR_SUCCESS)
        return RegistryVersionResult::NoJavaHome;
    if (size / sizeof(wchar_t) < data.size()) data.resize(size / sizeof(wchar_t));
    std::size_t end = data.find(L'\0');
    if (end != std::wstring::npos) data.resize(end);
    if (type == REG_EXPAND_SZ) {
        version.homeWritten = data;
        data = expandReferences(data);
    }
    if (data.empty()) return RegistryVersionResult::NoJavaHome;
    AnsiPath path = ansiPathOf(data);
    if (!path.ok) return RegistryVersionResult::HomeNotAnsi;
    traceShortName(trace, data, path);
    if (path.path.size() > MAX_PATH) return RegistryVersionResult::HomeTooLong;
    version.home = withTrailingBackslash(path.path);
    return RegistryVersionResult::Candidate;
}

// Reads the home value of a version below its key, open; Candidate when it
// gave a home.
RegistryVersionResult readHome(HKEY runtimeKey, const RegistryKey& key, RegisteredVersion& version,
                               LaunchTrace* trace) {
    // Opened below the runtime key: the whole path of a long version name
    // can be longer than the registry's ANSI calls take.
    UniqueRegKey versionKey;
    std::string subkey = version.name;
    if (*key.below) subkey += std::string("\\") + key.below;
    if (RegOpenKeyExA(runtimeKey, subkey.c_str(), 0, KEY_READ, versionKey.put()) != ERROR_SUCCESS)
        return RegistryVersionResult::NotOpened;
    return homeValue(versionKey.get(), key.homeValue, version, trace);
}

// The type a home registered under key is probed with: favor_server probes
// the Sun runtime environments of the old key client-first.
JvmType probeTypeFor(const RegistryKey& key, const DiscoverySettings& settings) {
    bool oldSunRuntimeKey = &key == &kRuntimeRegistryKeys[1];
    return oldSunRuntimeKey && settings.jvmType == JvmType::FavorServer ? JvmType::Default : settings.jvmType;
}

// One registered version inside the bounds: its home value (unless it was
// read already), the home made of it, and the probe of that home.
// runtimeKey is its key, open.
void readVersion(HKEY runtimeKey, const RegistryKey& key, const DiscoverySettings& settings,
                 RegisteredVersion& version, LaunchTrace* trace) {
    if (version.home.empty()) {
        version.result = readHome(runtimeKey, key, version, trace);
        if (version.result != RegistryVersionResult::Candidate) return;
    }
    const std::string& home = version.home;
    JvmType type = probeTypeFor(key, settings);
    if (key.modern) {
        version.probe = probeJavaHome(home, type, HomeLayout::Modern);
    } else if (key.kind == RuntimeKind::DevelopmentKit) {
        // A development kit of before Java 9 has its runtime in "jre\"; one
        // of Java 9 or later registered here has its libraries itself.
        version.probe = probeJavaHome(home + "jre\\", type);
        if (version.probe.library.empty()) {
            version.runtimeProbe = std::move(version.probe);
            version.probe = probeJavaHome(home, type);
        }
    } else {
        version.probe = probeJavaHome(home, type);
    }
    version.candidate.home = version.probe.home;
    version.candidate.isServer = version.probe.isServer;
    version.result = version.probe.library.empty() ? RegistryVersionResult::NoLibrary
                                                   : RegistryVersionResult::Candidate;
}

// A version whose name gives fewer than three numbers (zulu-17, jdk-21,
// "1.8"), or none, takes the whole version from its home's release file
// when there is one. Its home is read for that now; a version whose home
// cannot be read stays with its name's version and is skipped later for
// that reason.
void versionFromRelease(HKEY runtimeKey, const RegistryKey& key, RegisteredVersion& version, LaunchTrace* trace) {
    RegistryVersionResult home = readHome(runtimeKey, key, version, trace);
    std::string line;
    JavaVersion released;
    if (home != RegistryVersionResult::Candidate) {
        version.result = home;
    } else if (readReleaseVersion(releaseFileIn(version.home), line) &&
               JavaVersion::parse(line, kVersionFillMin, released)) {
        version.releaseLine = line;
        version.candidate.version = released;
    }
}

// The keys of a search, open for as long as versions are read below them.
class OpenKeys {
public:
    explicit OpenKeys(const RegistrySearch& search) : roots_(search.keys.size()) {
        for (std::size_t k = 0; k < search.keys.size(); ++k)
            if (search.keys[k].searched)
                RegOpenKeyExA(search.keys[k].root, search.keys[k].key->path, 0, KEY_READ, roots_[k].put());
    }
    HKEY operator[](std::size_t k) const { return roots_[k].get(); }

private:
    std::vector<UniqueRegKey> roots_;
};

// What a version's kind and version allow before its home is probed.
RegistryVersionResult firstLook(const RegistryKey& key, RegisteredVersion& version, HKEY runtimeKey,
                                const DiscoverySettings& settings, LaunchTrace* trace) {
    if (!isKindAllowed(version.kind, settings)) return RegistryVersionResult::KindNotAllowed;
    if (version.nameVersion.count < 3) {
        versionFromRelease(runtimeKey, key, version, trace);
        if (version.result != RegistryVersionResult::Unread) return version.result;
    }
    // The keys of today's installers name versions by number; one without
    // any (and no release file to tell it) is no runtime of theirs.
    if (key.modern && version.candidate.version.count == 0) return RegistryVersionResult::NoVersion;
    if (!isWithinBounds(version.candidate.version, settings)) return RegistryVersionResult::OutOfBounds;
    return RegistryVersionResult::Unread;
}

// Lists the version subkeys of every key the settings allow, in the order
// the registry gives them.
void listVersions(RegistrySearch& search, const OpenKeys& roots, const DiscoverySettings& settings) {
    for (std::size_t k = 0; k < search.keys.size(); ++k) {
        RegistryKeySearch& key = search.keys[k];
        key.opened = roots[k] != nullptr;
        if (!key.opened) continue;
        for (DWORD index = 0;; ++index) {
            char name[260];
            DWORD nameLength = sizeof name;
            if (RegEnumKeyExA(roots[k], index, name, &nameLength, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS)
                break;
            RegisteredVersion version;
            version.key = k;
            version.name.assign(name, nameLength);
            version.kind = kindOf(*key.key, version.name);
            JavaVersion::parse(version.name, kVersionFillMin, version.nameVersion);
            version.candidate.version = version.nameVersion;
            version.result = firstLook(*key.key, version, roots[k], settings, search.trace);
            if (version.result == RegistryVersionResult::Unread) {
                version.candidate.preferred = isPreferred(version.kind, key.key->vendor, settings);
                search.order.push_back(search.versions.size());
            }
            search.versions.push_back(std::move(version));
        }
    }
}

// Stable exchange sort of the indices: repeated passes over neighbouring
// pairs, a pair swapped only when the second must come first, so equal
// versions keep their order.
void sortVersions(RegistrySearch& search, const DiscoverySettings& settings) {
    std::vector<std::size_t>& items = search.order;
    for (std::size_t pass = 1; pass < items.size(); ++pass) {
        bool swapped = false;
        for (std::size_t i = 0; i + pass < items.size(); ++i) {
            if (comesFirst(search.versions[items[i + 1]].candidate, search.versions[items[i]].candidate,
                           settings)) {
                std::swap(items[i], items[i + 1]);
                swapped = true;
            }
        }
        if (!swapped) break;
    }
}

}  // namespace

bool isKindAllowed(RuntimeKind kind, const DiscoverySettings& s) {
    return s.bothKindsAllowed || kindPreferred(kind, s);
}

bool isVendorAllowed(RuntimeVendor vendor, const DiscoverySettings& s) {
    switch (vendor) {
    case RuntimeVendor::Sun: return s.sunAllowed || s.sunPreferred;
    case RuntimeVendor::JRockit: return s.jrockitAllowed || s.jrockitPreferred;
    case RuntimeVendor::Ibm: return s.ibmAllowed || s.ibmPreferred;
    case RuntimeVendor::OpenJdk: return s.openJdkAllowed;
    }
    return false;
}

bool isPreferred(RuntimeKind kind, RuntimeVendor vendor, const DiscoverySettings& s) {
    return kindPreferred(kind, s) && vendorPreferred(vendor, s);
}

bool isKeyKindAllowed(const RegistryKey& key, const DiscoverySettings& s) {
    return key.kindFromName ? isKindAllowed(RuntimeKind::DevelopmentKit, s) ||
                                  isKindAllowed(RuntimeKind::RuntimeEnvironment, s)
                            : isKindAllowed(key.kind, s);
}

bool isKeySearched(const RegistryKey& key, const DiscoverySettings& s) {
    if (key.modern && s.modernJava == ModernJava::NotAsked) return false;
    return isKeyKindAllowed(key, s) && isVendorAllowed(key.vendor, s);
}

bool isWithinBounds(const JavaVersion& version, const DiscoverySettings& s) {
    if (!isUnbounded(s.maxVersion) && compare(version, s.maxVersion) > 0) return false;
    if (!isUnbounded(s.minVersion) && compare(version, s.minVersion) < 0) return false;
    return true;
}

bool comesFirst(const RuntimeCandidate& b, const RuntimeCandidate& a, const DiscoverySettings& s) {
    if (s.bothKindsAllowed && a.preferred != b.preferred) return b.preferred;
    if (s.jvmType == JvmType::FavorServer && a.isServer != b.isServer) return b.isServer;
    return compare(b.version, a.version) > 0;
}

// The order of the versions does not depend on what the probe finds, except
// for favor_server, which sorts server homes first: then every version is
// read before the sort. Otherwise the first usable version in sorted order is
// the first candidate in sorted order, and versions are read only as the
// choice reaches them.
RegistrySearch searchRegistry(const DiscoverySettings& settings, LaunchTrace* trace) {
    RegistrySearch search;
    search.trace = trace;
    for (const RegistryKey& key : kRuntimeRegistryKeys)
        search.keys.push_back({&key, HKEY_LOCAL_MACHINE, isKeySearched(key, settings), false});
    for (const RegistryKey& key : kModernRegistryKeys) {
        bool searched = isKeySearched(key, settings);
        search.keys.push_back({&key, HKEY_LOCAL_MACHINE, searched, false});
        search.keys.push_back({&key, HKEY_CURRENT_USER, searched, false});
    }
    OpenKeys roots(search);
    listVersions(search, roots, settings);

    auto usable = [&](std::size_t index) {
        RegisteredVersion& version = search.versions[index];
        if (version.result == RegistryVersionResult::Unread)
            readVersion(roots[version.key], *search.keys[version.key].key, settings, version, search.trace);
        return version.result == RegistryVersionResult::Candidate;
    };
    if (settings.jvmType == JvmType::FavorServer)
        for (std::size_t index : search.order) usable(index);
    sortVersions(search, settings);

    for (const std::string& item : settings.preferredVersions) {
        PreferredVersionTry preferred{item, {}, -1};
        JavaVersion::parse(item, kVersionFillMin, preferred.pattern);
        for (std::size_t index : search.order) {
            if (matches(search.versions[index].candidate.version, preferred.pattern) && usable(index)) {
                preferred.match = static_cast<int>(index);
                break;
            }
        }
        search.preferred.push_back(preferred);
        if (preferred.match >= 0) {
            search.chosen = preferred.match;
            return search;
        }
    }
    for (std::size_t index : search.order) {
        if (usable(index)) {
            search.chosen = static_cast<int>(index);
            break;
        }
    }
    return search;
}

void readEveryVersion(RegistrySearch& search, const DiscoverySettings& settings) {
    OpenKeys roots(search);
    for (RegisteredVersion& version : search.versions)
        if (version.result == RegistryVersionResult::Unread)
            readVersion(roots[version.key], *search.keys[version.key].key, settings, version, search.trace);
}
