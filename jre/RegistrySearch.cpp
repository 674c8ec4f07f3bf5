#include "jre/RegistrySearch.h"

#include <windows.h>

#include <iterator>

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

// Stable exchange sort: repeated passes over neighbouring pairs, a pair
// swapped only when the second must come first, so equal items keep their
// order. candidateOf gives the candidate an item is sorted by.
template <class Item, class CandidateOf>
void exchangeSort(std::vector<Item>& items, const LauncherSettings& s, CandidateOf candidateOf) {
    for (std::size_t pass = 1; pass < items.size(); ++pass) {
        bool swapped = false;
        for (std::size_t i = 0; i + pass < items.size(); ++i) {
            if (comesFirst(candidateOf(items[i + 1]), candidateOf(items[i]), s)) {
                std::swap(items[i], items[i + 1]);
                swapped = true;
            }
        }
        if (!swapped) break;
    }
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
RegistryVersionResult readVersion(HKEY runtimeKey, const RegistryKey& key,
                                  const std::string& versionName, JvmType probeType,
                                  const LauncherSettings& settings, RuntimeCandidate& candidate) {
    if (!isWithinBounds(candidate.version, settings)) return RegistryVersionResult::OutOfBounds;

    // Opened below the runtime key: the whole path of a long version name
    // can be longer than the registry's ANSI calls take.
    UniqueRegKey versionKey;
    if (RegOpenKeyExA(runtimeKey, versionName.c_str(), 0, KEY_READ, versionKey.put()) != ERROR_SUCCESS)
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

// The type a home registered under key is probed with: favor_server probes
// the Sun runtime environments client-first.
JvmType probeTypeFor(const RegistryKey& key, const LauncherSettings& settings) {
    bool sunRuntimeKey = key.kind == RuntimeKind::RuntimeEnvironment && key.vendor == RuntimeVendor::Sun;
    return sunRuntimeKey && settings.jvmType == JvmType::FavorServer ? JvmType::Default
                                                                     : settings.jvmType;
}

// Opens key into root and calls visit with the name of each of its version
// subkeys, in the order the registry gives them. The caller keeps root open
// for as long as it opens versions below it.
template <class Visit>
void forEachVersionName(const RegistryKey& key, UniqueRegKey& root, Visit visit) {
    bool opened = RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.path, 0, KEY_READ, root.put()) == ERROR_SUCCESS;
    if (LaunchObserver* observer = launchObserver()) observer->registryKeySearched(key, true, opened);
    if (!opened) return;
    for (DWORD index = 0;; ++index) {
        char name[260];
        DWORD nameLength = sizeof name;
        if (RegEnumKeyExA(root.get(), index, name, &nameLength, nullptr, nullptr, nullptr,
                          nullptr) != ERROR_SUCCESS)
            break;
        visit(std::string(name, nameLength));
    }
}

void searchKey(const RegistryKey& key, const LauncherSettings& settings,
               std::vector<RuntimeCandidate>& candidates) {
    JvmType probeType = probeTypeFor(key, settings);
    UniqueRegKey root;
    forEachVersionName(key, root, [&](const std::string& versionName) {
        RuntimeCandidate candidate;
        JavaVersion::parse(versionName, kVersionFillMin, candidate.version);
        RegistryVersionResult result = readVersion(root.get(), key, versionName, probeType,
                                                    settings, candidate);
        if (LaunchObserver* observer = launchObserver())
            observer->registryVersionRead(key, versionName, candidate, result);
        if (result == RegistryVersionResult::Candidate) candidates.push_back(candidate);
    });
}

// A registered version inside the bounds whose JavaHome is read and probed
// only when the choice gets to it.
struct RegisteredVersion {
    HKEY runtimeKey;  // open while the choice is made
    const RegistryKey* key;
    std::string name;
    RuntimeCandidate candidate;  // version and preferred; home and isServer once read
    enum class State { Unread, Candidate, Unusable } state = State::Unread;
};

// The same choice as sorting the candidates and choosing among them, but
// with the JavaHome value read and probed for as few versions as the choice
// needs: the order of the versions does not depend on what the probe finds
// (only favor_server sorts by it), so the first usable version in sorted
// order is the first candidate in sorted order.
bool chooseRegisteredVersion(const LauncherSettings& settings, std::string& home) {
    std::vector<RegisteredVersion> versions;
    UniqueRegKey roots[std::size(kRuntimeRegistryKeys)];
    for (std::size_t k = 0; k < std::size(kRuntimeRegistryKeys); ++k) {
        const RegistryKey& key = kRuntimeRegistryKeys[k];
        if (!isKeySearched(key, settings)) continue;
        forEachVersionName(key, roots[k], [&](const std::string& name) {
            RegisteredVersion version{roots[k].get(), &key, name, {}};
            JavaVersion::parse(name, kVersionFillMin, version.candidate.version);
            if (!isWithinBounds(version.candidate.version, settings)) return;
            version.candidate.preferred = isKeyPreferred(key, settings);
            versions.push_back(std::move(version));
        });
    }
    // Sorted by reference: an exchange moves two pointers, not two versions.
    std::vector<RegisteredVersion*> sorted;
    sorted.reserve(versions.size());
    for (RegisteredVersion& version : versions) sorted.push_back(&version);
    exchangeSort(sorted, settings,
                 [](const RegisteredVersion* v) -> const RuntimeCandidate& { return v->candidate; });

    auto usable = [&](RegisteredVersion& version) {
        if (version.state == RegisteredVersion::State::Unread) {
            bool candidate = readVersion(version.runtimeKey, *version.key, version.name,
                                         probeTypeFor(*version.key, settings), settings,
                                         version.candidate) == RegistryVersionResult::Candidate;
            version.state = candidate ? RegisteredVersion::State::Candidate
                                      : RegisteredVersion::State::Unusable;
        }
        return version.state == RegisteredVersion::State::Candidate;
    };
    auto choose = [&](RegisteredVersion& version) {
        home = version.candidate.home;
        return true;
    };
    for (const std::string& item : settings.preferredVersions) {
        JavaVersion pattern;
        JavaVersion::parse(item, kVersionFillMin, pattern);
        for (RegisteredVersion* version : sorted)
            if (matches(version->candidate.version, pattern) && usable(*version)) return choose(*version);
    }
    for (RegisteredVersion* version : sorted)
        if (usable(*version)) return choose(*version);
    return false;
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
    exchangeSort(candidates, s, [](const RuntimeCandidate& c) -> const RuntimeCandidate& { return c; });
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
    // Every candidate is read and probed when someone watches (to report
    // each one) and for favor_server (which sorts by the probe's result).
    if (!launchObserver() && settings.jvmType != JvmType::FavorServer)
        return chooseRegisteredVersion(settings, home);
    std::vector<RuntimeCandidate> candidates = findRegisteredRuntimes(settings);
    sortCandidates(candidates, settings);
    const RuntimeCandidate* chosen = chooseCandidate(candidates, settings.preferredVersions);
    if (LaunchObserver* observer = launchObserver()) observer->registryRuntimeChosen(candidates, chosen);
    if (!chosen) return false;
    home = chosen->home;
    return true;
}
