#include "jre/RegistrySearch.h"

#include <windows.h>

#include "jre/JavaHome.h"
#include "launcher/LaunchContext.h"
#include "launcher/LaunchObserver.h"
#include "launcher/UniqueResource.h"

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

// Whether b must come before a.
bool comesFirst(const RuntimeCandidate& b, const RuntimeCandidate& a, const LauncherSettings& s) {
    if (s.bothKindsAllowed && a.preferred != b.preferred) return b.preferred;
    if (s.jvmType == JvmType::FavorServer && a.isServer != b.isServer) return b.isServer;
    return compare(b.version, a.version) > 0;
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

// One registered version: its JavaHome value, the home made of it, and the
// probe of that home; fills candidate as far as it gets.
RegistryVersionResult readVersion(const RegistryKey& key, const std::string& versionName,
                                  JvmType probeType, const LauncherSettings& settings,
                                  RuntimeCandidate& candidate) {
    if (!isWithinBounds(candidate.version, settings)) return RegistryVersionResult::OutOfBounds;

    UniqueRegKey versionKey;
    std::string subkey = std::string(key.path) + versionName;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, subkey.c_str(), 0, KEY_READ, versionKey.put()) !=
        ERROR_SUCCESS)
        return RegistryVersionResult::NotOpened;
    std::string home = javaHomeValue(versionKey.get());
    if (home.empty()) return RegistryVersionResult::NoJavaHome;

    home = withTrailingBackslash(home);
    if (key.kind == RuntimeKind::DevelopmentKit) home += "jre\\";
    candidate.home = home;
    if (probeJavaHome(home, probeType, &candidate.isServer).empty())
        return RegistryVersionResult::NoLibrary;
    candidate.preferred = isKeyPreferred(key, settings);
    return RegistryVersionResult::Candidate;
}

void searchKey(const RegistryKey& key, const LauncherSettings& settings,
               std::vector<RuntimeCandidate>& candidates) {
    UniqueRegKey root;
    bool opened = RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.path, 0, KEY_READ, root.put()) == ERROR_SUCCESS;
    LaunchObserver* observer = launchObserver();
    if (observer) observer->registryKeySearched(key, true, opened);
    if (!opened) return;

    bool sunRuntimeKey = key.kind == RuntimeKind::RuntimeEnvironment && key.vendor == RuntimeVendor::Sun;
    JvmType probeType = sunRuntimeKey && settings.jvmType == JvmType::FavorServer
                            ? JvmType::Default
                            : settings.jvmType;

    for (DWORD index = 0;; ++index) {
        char name[260];
        DWORD nameLength = sizeof name;
        if (RegEnumKeyExA(root.get(), index, name, &nameLength, nullptr, nullptr, nullptr,
                          nullptr) != ERROR_SUCCESS)
            break;
        std::string versionName(name, nameLength);

        RuntimeCandidate candidate;
        JavaVersion::parse(versionName, kVersionFillMin, candidate.version);
        RegistryVersionResult result = readVersion(key, versionName, probeType, settings, candidate);
        if (observer) observer->registryVersionRead(key, versionName, candidate, result);
        if (result == RegistryVersionResult::Candidate) candidates.push_back(candidate);
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

void sortCandidates(std::vector<RuntimeCandidate>& candidates, const LauncherSettings& s) {
    for (std::size_t pass = 1; pass < candidates.size(); ++pass) {
        bool swapped = false;
        for (std::size_t i = 0; i + pass < candidates.size(); ++i) {
            if (comesFirst(candidates[i + 1], candidates[i], s)) {
                std::swap(candidates[i], candidates[i + 1]);
                swapped = true;
            }
        }
        if (!swapped) break;
    }
}

const RuntimeCandidate* chooseCandidate(const std::vector<RuntimeCandidate>& candidates,
                                        const std::vector<std::string>& preferredVersions) {
    if (candidates.empty()) return nullptr;
    for (const std::string& item : preferredVersions) {
        JavaVersion pattern;
        JavaVersion::parse(item, kVersionFillMin, pattern);
        const RuntimeCandidate* match = nullptr;
        for (const RuntimeCandidate& candidate : candidates) {
            if (matches(candidate.version, pattern)) {
                match = &candidate;
                break;
            }
        }
        if (LaunchObserver* observer = launchObserver())
            observer->preferredVersionTried(item, pattern, match);
        if (match) return match;
    }
    return &candidates.front();
}

std::vector<RuntimeCandidate> findRegisteredRuntimes(const LauncherSettings& settings) {
    std::vector<RuntimeCandidate> candidates;
    for (const RegistryKey& key : kRuntimeRegistryKeys) {
        if (isKeySearched(key, settings)) {
            searchKey(key, settings, candidates);
        } else if (LaunchObserver* observer = launchObserver()) {
            observer->registryKeySearched(key, false, false);
        }
    }
    return candidates;
}

bool searchRegistry(const LauncherSettings& settings, std::string& home) {
    std::vector<RuntimeCandidate> candidates = findRegisteredRuntimes(settings);
    sortCandidates(candidates, settings);
    const RuntimeCandidate* chosen = chooseCandidate(candidates, settings.preferredVersions);
    if (LaunchObserver* observer = launchObserver()) observer->registryRuntimeChosen(candidates, chosen);
    if (!chosen) return false;
    home = chosen->home;
    return true;
}
