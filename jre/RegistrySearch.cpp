#include "jre/RegistrySearch.h"

#include <windows.h>

#include <iterator>

#include "base/PathText.h"
#include "base/UniqueResource.h"

const RegistryKey kRuntimeRegistryKeys[5] = {
    {"Software\\JavaSoft\\Java Development Kit\\", RuntimeKind::DevelopmentKit, RuntimeVendor::Sun},
    {"Software\\JavaSoft\\Java Runtime Environment\\", RuntimeKind::RuntimeEnvironment, RuntimeVendor::Sun},
    {"Software\\JRockit\\Java Runtime Environment\\", RuntimeKind::RuntimeEnvironment, RuntimeVendor::JRockit},
    {"Software\\JRockit\\Java Development Kit\\", RuntimeKind::DevelopmentKit, RuntimeVendor::JRockit},
    {"Software\\IBM\\Java2 Runtime Environment\\", RuntimeKind::RuntimeEnvironment, RuntimeVendor::Ibm},
};

namespace {

bool kindPreferred(const RegistryKey& key, const LauncherSettings& s) {
    return key.kind == RuntimeKind::DevelopmentKit ? s.jdkPreferred : s.jrePreferred;
}

bool vendorPreferred(const RegistryKey& key, const LauncherSettings& s) {
    switch (key.vendor) {
    case RuntimeVendor::Sun: return s.sunPreferred;
    case RuntimeVendor::JRockit: return s.jrockitPreferred;
    case RuntimeVendor::Ibm: return s.ibmPreferred;
    }
    return false;
}

// The "JavaHome" value of an open version key; empty when it is missing or
// empty. A value stored without a terminating zero is taken up to the size
// the registry reports, never beyond it.
std::string javaHomeValue(HKEY versionKey) {
    DWORD size = 0;
    if (RegQueryValueExA(versionKey, "JavaHome", nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS ||
        size == 0)
        return {};
    std::string data(size, '\0');
    if (RegQueryValueExA(versionKey, "JavaHome", nullptr, nullptr,
                         reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS)
        return {};
    if (size < data.size()) data.resize(size);
    std::size_t end = data.find('\0');
    if (end != std::string::npos) data.resize(end);
    return data;
}

// The type a home registered under key is probed with: favor_server probes
// the Sun runtime environments client-first.
JvmType probeTypeFor(const RegistryKey& key, const LauncherSettings& settings) {
    bool sunRuntimeKey = key.kind == RuntimeKind::RuntimeEnvironment && key.vendor == RuntimeVendor::Sun;
    return sunRuntimeKey && settings.jvmType == JvmType::FavorServer ? JvmType::Default
                                                                     : settings.jvmType;
}

// One registered version inside the bounds: its JavaHome value, the home
// made of it, and the probe of that home. runtimeKey is its key, open.
void readVersion(HKEY runtimeKey, const RegistryKey& key, const LauncherSettings& settings,
                 RegisteredVersion& version) {
    // Opened below the runtime key: the whole path of a long version name
    // can be longer than the registry's ANSI calls take.
    UniqueRegKey versionKey;
    if (RegOpenKeyExA(runtimeKey, version.name.c_str(), 0, KEY_READ, versionKey.put()) != ERROR_SUCCESS) {
        version.result = RegistryVersionResult::NotOpened;
        return;
    }
    std::string home = javaHomeValue(versionKey.get());
    if (home.empty()) {
        version.result = RegistryVersionResult::NoJavaHome;
        return;
    }
    home = withTrailingBackslash(home);
    if (key.kind == RuntimeKind::DevelopmentKit) home += "jre\\";
    version.candidate.home = home;
    version.probe = probeJavaHome(home, probeTypeFor(key, settings));
    version.candidate.isServer = version.probe.isServer;
    version.result = version.probe.library.empty() ? RegistryVersionResult::NoLibrary
                                                    : RegistryVersionResult::Candidate;
}

// The runtime keys of a search, open for as long as versions are read below
// them.
class OpenKeys {
public:
    explicit OpenKeys(const RegistrySearch& search) {
        for (std::size_t k = 0; k < search.keys.size(); ++k)
            if (search.keys[k].searched)
                RegOpenKeyExA(HKEY_LOCAL_MACHINE, search.keys[k].key->path, 0, KEY_READ, roots_[k].put());
    }
    HKEY operator[](std::size_t k) const { return roots_[k].get(); }

private:
    UniqueRegKey roots_[std::size(kRuntimeRegistryKeys)];
};

// Lists the version subkeys of every key the settings allow, in the order
// the registry gives them.
void listVersions(RegistrySearch& search, const OpenKeys& roots, const LauncherSettings& settings) {
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
            JavaVersion::parse(version.name, kVersionFillMin, version.candidate.version);
            if (isWithinBounds(version.candidate.version, settings)) {
                version.candidate.preferred = isKeyPreferred(*key.key, settings);
                search.order.push_back(search.versions.size());
            } else {
                version.result = RegistryVersionResult::OutOfBounds;
            }
            search.versions.push_back(std::move(version));
        }
    }
}

// Stable exchange sort of the indices: repeated passes over neighbouring
// pairs, a pair swapped only when the second must come first, so equal
// versions keep their order.
void sortVersions(RegistrySearch& search, const LauncherSettings& settings) {
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

bool isKindAllowed(const RegistryKey& key, const LauncherSettings& s) {
    return s.bothKindsAllowed || kindPreferred(key, s);
}

bool isVendorAllowed(const RegistryKey& key, const LauncherSettings& s) {
    switch (key.vendor) {
    case RuntimeVendor::Sun: return s.sunAllowed || s.sunPreferred;
    case RuntimeVendor::JRockit: return s.jrockitAllowed || s.jrockitPreferred;
    case RuntimeVendor::Ibm: return s.ibmAllowed || s.ibmPreferred;
    }
    return false;
}

bool isKeySearched(const RegistryKey& key, const LauncherSettings& s) {
    return isKindAllowed(key, s) && isVendorAllowed(key, s);
}

bool isKeyPreferred(const RegistryKey& key, const LauncherSettings& s) {
    return kindPreferred(key, s) && vendorPreferred(key, s);
}

bool isWithinBounds(const JavaVersion& version, const LauncherSettings& s) {
    if (!isUnbounded(s.maxVersion) && compare(version, s.maxVersion) > 0) return false;
    if (!isUnbounded(s.minVersion) && compare(version, s.minVersion) < 0) return false;
    return true;
}

bool comesFirst(const RuntimeCandidate& b, const RuntimeCandidate& a, const LauncherSettings& s) {
    if (s.bothKindsAllowed && a.preferred != b.preferred) return b.preferred;
    if (s.jvmType == JvmType::FavorServer && a.isServer != b.isServer) return b.isServer;
    return compare(b.version, a.version) > 0;
}

// The order of the versions does not depend on what the probe finds, except
// for favor_server, which sorts server homes first: then every version is
// read before the sort. Otherwise the first usable version in sorted order is
// the first candidate in sorted order, and versions are read only as the
// choice reaches them.
RegistrySearch searchRegistry(const LauncherSettings& settings) {
    RegistrySearch search;
    for (const RegistryKey& key : kRuntimeRegistryKeys)
        search.keys.push_back({&key, isKeySearched(key, settings), false});
    OpenKeys roots(search);
    listVersions(search, roots, settings);

    auto usable = [&](std::size_t index) {
        RegisteredVersion& version = search.versions[index];
        if (version.result == RegistryVersionResult::Unread)
            readVersion(roots[version.key], *search.keys[version.key].key, settings, version);
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

void readEveryVersion(RegistrySearch& search, const LauncherSettings& settings) {
    OpenKeys roots(search);
    for (RegisteredVersion& version : search.versions)
        if (version.result == RegistryVersionResult::Unread)
            readVersion(roots[version.key], *search.keys[version.key].key, settings, version);
}
