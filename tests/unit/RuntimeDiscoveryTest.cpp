// Runtime discovery against real folders and real registry keys of the Wine
// prefix.
#include <gtest/gtest.h>

#include <initializer_list>
#include <random>

#include "TempFolder.h"
#include "jre/JavaHome.h"
#include "jre/RegistrySearch.h"
#include "launcher/LaunchContext.h"
#include "launcher/LaunchObserver.h"
#include "launcher/Launcher.h"
#include "settings/SettingsPaths.h"

namespace {

const char kServer[] = "bin\\server\\jvm.dll";
const char kClient[] = "bin\\client\\jvm.dll";
const char kClassic[] = "bin\\classic\\jvm.dll";
const char kJrockit[] = "bin\\jrockit\\jvm.dll";

// A Java home under the temporary folder holding the given files.
std::string makeHome(const TempFolder& temp, const std::string& name,
                     std::initializer_list<const char*> files) {
    for (const char* file : files) temp.write(name + "\\" + file, "");
    CreateDirectoryA(temp.file(name).c_str(), nullptr);
    return temp.file(name) + "\\";
}

TEST(ProbeJavaHome, OrderPerJvmType) {
    TempFolder temp;
    std::string both = makeHome(temp, "both", {kServer, kClient});
    std::string clientOnly = makeHome(temp, "client", {kClient});
    std::string jrockitOnly = makeHome(temp, "jrockit", {kJrockit});
    std::string classicServer = makeHome(temp, "classic", {kClassic, kServer});
    std::string empty = makeHome(temp, "empty", {"bin\\java.dll"});

    bool server = false;
    EXPECT_EQ(probeJavaHome(both, JvmType::FavorServer, &server), both + kServer);
    EXPECT_TRUE(server);
    EXPECT_EQ(probeJavaHome(both, JvmType::Default, &server), both + kClient);
    EXPECT_FALSE(server);
    EXPECT_EQ(probeJavaHome(both, JvmType::Server, &server), both + kServer);
    EXPECT_TRUE(server);

    EXPECT_EQ(probeJavaHome(clientOnly, JvmType::Server), "");
    EXPECT_EQ(probeJavaHome(clientOnly, JvmType::FavorServer, &server), clientOnly + kClient);
    EXPECT_FALSE(server);

    EXPECT_EQ(probeJavaHome(jrockitOnly, JvmType::Default), jrockitOnly + kJrockit);
    EXPECT_EQ(probeJavaHome(jrockitOnly, JvmType::FavorServer), jrockitOnly + kJrockit);
    EXPECT_EQ(probeJavaHome(jrockitOnly, JvmType::Server), "");

    EXPECT_EQ(probeJavaHome(classicServer, JvmType::Default), classicServer + kClassic);

    server = true;  // left alone when nothing is found
    EXPECT_EQ(probeJavaHome(empty, JvmType::Default, &server), "");
    EXPECT_TRUE(server);
}

TEST(ProbeJavaHome, TrailingBackslash) {
    EXPECT_EQ(withTrailingBackslash("C:\\jre"), "C:\\jre\\");
    EXPECT_EQ(withTrailingBackslash("C:\\"), "C:\\");
    EXPECT_EQ(withTrailingBackslash(""), "");
}

// Registry fixture: the three vendor trees are removed before and after.
class Registry : public ::testing::Test {
protected:
    void SetUp() override { wipe(); }
    void TearDown() override { wipe(); }

    static void wipe() {
        for (const char* vendor : {"Software\\JavaSoft", "Software\\JRockit", "Software\\IBM"})
            RegDeleteTreeA(HKEY_LOCAL_MACHINE, vendor);
    }

    // Registers a version below one of the five keys (0..4 as searched).
    static void add(int key, const std::string& version, const std::string& home) {
        std::string path = std::string(kRuntimeRegistryKeys[key].path) + version;
        HKEY created;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_WRITE,
                                  nullptr, &created, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(created, "JavaHome", 0, REG_SZ, reinterpret_cast<const BYTE*>(home.c_str()),
                       static_cast<DWORD>(home.size() + 1));
        RegCloseKey(created);
    }

    std::string search(const LauncherSettings& settings) {
        std::string home;
        return searchRegistry(settings, home) ? home : "(none)";
    }

    TempFolder temp_;
};

enum { SunJdk, SunJre, JRockitJre, JRockitJdk, IbmJre };

TEST_F(Registry, DefaultSettingsTakeTheHigherVersionOfBothSunKinds) {
    std::string jdk = makeHome(temp_, "jdk16020", {"jre\\bin\\client\\jvm.dll"});
    std::string jre = makeHome(temp_, "jre16017", {kClient});
    add(SunJdk, "1.6.0_20", jdk.substr(0, jdk.size() - 1));  // no trailing backslash
    add(SunJre, "1.6.0_17", jre);
    add(JRockitJre, "1.9", makeHome(temp_, "jrockit", {kClient}));
    add(IbmJre, "1.9", makeHome(temp_, "ibm", {kClient}));
    LauncherSettings settings;
    EXPECT_EQ(search(settings), jdk + "jre\\");
}

TEST_F(Registry, FavorJreUnlessPreferredVersionsNameTheKit) {
    std::string jdk = makeHome(temp_, "jdk17", {"jre\\bin\\client\\jvm.dll"});
    std::string jre = makeHome(temp_, "jre16", {kClient});
    add(SunJdk, "1.7", jdk);
    add(SunJre, "1.6", jre);
    LauncherSettings settings;
    applyJvmSource("favor_JRE", settings);
    EXPECT_EQ(search(settings), jre);
    settings.preferredVersions = {"1.7"};
    EXPECT_EQ(search(settings), jdk + "jre\\");
}

TEST_F(Registry, OnlyJdkNeverSearchesRuntimeEnvironmentKeys) {
    std::string jdk = makeHome(temp_, "jdk15", {"jre\\bin\\client\\jvm.dll"});
    add(SunJdk, "1.5", jdk);
    add(SunJre, "1.8", makeHome(temp_, "jre18", {kClient}));
    LauncherSettings settings;
    applyJvmSource("only_JDK", settings);
    applyVmProvider("any", settings);
    for (const RegistryKey& key : kRuntimeRegistryKeys)
        EXPECT_EQ(isKeySearched(key, settings), key.kind == RuntimeKind::DevelopmentKit) << key.path;
    EXPECT_EQ(search(settings), jdk + "jre\\");
    // Any other "JVM Source" searches nothing at all.
    applyJvmSource("favor_jre", settings);
    EXPECT_EQ(search(settings), "(none)");
}

TEST_F(Registry, AnyVendorHighestVersionWins) {
    add(SunJre, "1.6", makeHome(temp_, "sun", {kClient}));
    std::string ibm = makeHome(temp_, "ibm", {kClient});
    add(IbmJre, "1.7.0", ibm);
    add(JRockitJdk, "1.6.5", makeHome(temp_, "jrockit", {"jre\\bin\\jrockit\\jvm.dll"}));
    LauncherSettings settings;
    applyVmProvider("any", settings);
    std::vector<RuntimeCandidate> found = findRegisteredRuntimes(settings);
    ASSERT_EQ(found.size(), 3u);
    for (const RuntimeCandidate& c : found) EXPECT_FALSE(c.preferred);
    EXPECT_EQ(search(settings), ibm);
    // Sun only (the default): the IBM and JRockit keys are not searched.
    EXPECT_EQ(search(LauncherSettings()), temp_.file("sun") + "\\");
}

TEST_F(Registry, FavorServerPutsServerHomesFirst) {
    // A development kit with a server library beats a higher one without.
    std::string serverKit = makeHome(temp_, "kit16", {"jre\\bin\\server\\jvm.dll"});
    std::string clientKit = makeHome(temp_, "kit17", {"jre\\bin\\client\\jvm.dll"});
    add(SunJdk, "1.6", serverKit);
    add(SunJdk, "1.7", clientKit);
    LauncherSettings settings;
    settings.jvmType = JvmType::FavorServer;
    EXPECT_EQ(search(settings), serverKit + "jre\\");

    // The Sun runtime key is probed client-first: a runtime with both
    // libraries counts as a client one there.
    Registry::wipe();
    std::string both = makeHome(temp_, "jre18", {kClient, kServer});
    std::string serverOnly = makeHome(temp_, "jre15", {kServer});
    add(SunJre, "1.8", both);
    add(SunJre, "1.5", serverOnly);
    std::vector<RuntimeCandidate> found = findRegisteredRuntimes(settings);
    ASSERT_EQ(found.size(), 2u);
    sortCandidates(found, settings);
    EXPECT_EQ(found[0].home, serverOnly);
    EXPECT_TRUE(found[0].isServer);
    EXPECT_FALSE(found[1].isServer);
}

TEST_F(Registry, PreferredVersionsPickInListOrder) {
    std::string v16 = makeHome(temp_, "v16", {kClient});
    std::string v15 = makeHome(temp_, "v15", {kClient});
    add(SunJre, "1.6.0_20", v16);
    add(SunJre, "1.5.0_22", v15);
    LauncherSettings settings;
    settings.preferredVersions = {"1.5", "1.6"};
    EXPECT_EQ(search(settings), v15);
    settings.preferredVersions = {"1.4", "1.6"};
    EXPECT_EQ(search(settings), v16);
    settings.preferredVersions = {"1.4"};
    EXPECT_EQ(search(settings), v16);  // no match: the first candidate
}

TEST_F(Registry, VersionBounds) {
    std::string named = makeHome(temp_, "named", {kClient});
    std::string v17 = makeHome(temp_, "v17", {kClient});
    add(SunJre, "current", named);  // no digits: 0.0.0.0
    add(SunJre, "1.7.0_80", v17);
    LauncherSettings settings;
    EXPECT_EQ(findRegisteredRuntimes(settings).size(), 2u);
    JavaVersion::parse("1.6", kVersionFillMin, settings.minVersion);
    EXPECT_EQ(findRegisteredRuntimes(settings).size(), 1u);
    // A maximum of 1.6 admits 1.6.x only; no maximum admits everything.
    settings = LauncherSettings();
    JavaVersion::parse("1.6", kVersionFillMax, settings.maxVersion);
    std::vector<RuntimeCandidate> found = findRegisteredRuntimes(settings);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].home, named);
}

TEST_F(Registry, UnusableEntriesAreSkipped) {
    std::string good = makeHome(temp_, "good", {kClient});
    add(SunJre, "1.6", good);
    add(SunJre, "1.7", makeHome(temp_, "nolib", {"bin\\java.dll"}));
    add(SunJre, "1.8", "");
    // A version key without JavaHome, and one of type DWORD.
    HKEY key;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\JavaSoft\\Java Runtime Environment\\1.9", 0,
                    nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
    DWORD number = 7;
    RegSetValueExA(key, "JavaHome", 0, REG_DWORD, reinterpret_cast<BYTE*>(&number), sizeof number);
    RegCloseKey(key);
    EXPECT_EQ(search(LauncherSettings()), good);
}

TEST_F(Registry, JavaHomeWithoutTerminatingZero) {
    std::string home = makeHome(temp_, "noterm", {kClient});
    home.pop_back();
    add(SunJre, "1.6", "placeholder");
    HKEY key;
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\JavaSoft\\Java Runtime Environment\\1.6", 0,
                  KEY_WRITE, &key);
    RegSetValueExA(key, "JavaHome", 0, REG_SZ, reinterpret_cast<const BYTE*>(home.data()),
                   static_cast<DWORD>(home.size()));
    RegCloseKey(key);
    EXPECT_EQ(search(LauncherSettings()), home + "\\");
}

// Unwatched, the search reads a version's JavaHome and probes it only when
// the choice gets to it; watched (and for favor_server) it reads every one
// first. Both must choose the same home, whatever is registered.
TEST_F(Registry, ReadingOnlyWhatTheChoiceNeedsChoosesAsReadingEverything) {
    const std::string client = makeHome(temp_, "client", {kClient});
    const std::string server = makeHome(temp_, "server", {kServer});
    const std::string kit = makeHome(temp_, "kit", {"jre\\bin\\client\\jvm.dll"});
    const std::string none = makeHome(temp_, "none", {"bin\\java.dll"});
    const std::string homes[] = {client, server, kit, none, ""};
    const char* versions[] = {"1.5.0_22", "1.6", "1.6.0_20", "1.7.0_80", "1.8", "current"};
    const char* sources[] = {"", "favor_JRE", "favor_JDK", "only_JRE", "only_JDK"};
    const char* providers[] = {"", "any", "favor_ibm", "jrockit"};
    const char* preferred[] = {"1.5", "1.6", "1.7", "1.8", "2"};
    struct Watch final : LaunchObserver {
        Watch() { launchContext.observer = this; }
        ~Watch() { launchContext.observer = nullptr; }
    };

    std::mt19937 random(20261207);
    auto pick = [&](int count) { return static_cast<int>(random() % static_cast<unsigned>(count)); };
    int chosen = 0;
    for (int round = 0; round < 60; ++round) {
        Registry::wipe();
        for (int i = 0, n = 1 + pick(6); i < n; ++i)
            add(pick(5), versions[pick(6)], homes[pick(5)]);
        LauncherSettings settings;
        applyJvmSource(sources[pick(5)], settings);
        applyVmProvider(providers[pick(4)], settings);
        settings.jvmType = pick(3) == 0 ? JvmType::Server : JvmType::Default;
        if (pick(2)) JavaVersion::parse("1.6", kVersionFillMin, settings.minVersion);
        for (int i = 0, n = pick(3); i < n; ++i) settings.preferredVersions.push_back(preferred[pick(5)]);

        std::string unwatched = search(settings);
        std::string watched;
        {
            Watch watch;
            watched = search(settings);
        }
        EXPECT_EQ(unwatched, watched) << "round " << round;
        if (watched != "(none)") ++chosen;
    }
    EXPECT_GT(chosen, 10);  // many rounds find something to choose
}

TEST(RegistryOrdering, StableExchangeSort) {
    LauncherSettings settings;
    auto candidate = [](const char* version, bool preferred, bool server, const char* home) {
        RuntimeCandidate c;
        JavaVersion::parse(version, 0, c.version);
        c.preferred = preferred;
        c.isServer = server;
        c.home = home;
        return c;
    };
    std::vector<RuntimeCandidate> list = {
        candidate("1.5", false, true, "a"), candidate("1.6", true, false, "b"),
        candidate("1.6", true, true, "c"), candidate("1.7", false, false, "d")};
    sortCandidates(list, settings);
    std::string order;
    for (auto& c : list) order += c.home;
    EXPECT_EQ(order, "bcda");  // preferred first, equal ones keep their order

    settings.jvmType = JvmType::FavorServer;
    sortCandidates(list, settings);
    order.clear();
    for (auto& c : list) order += c.home;
    EXPECT_EQ(order, "cbad");

    settings.bothKindsAllowed = false;  // preference no longer counts
    sortCandidates(list, settings);
    order.clear();
    for (auto& c : list) order += c.home;
    EXPECT_EQ(order, "cadb");
}

}  // namespace
