// Runtime discovery against real folders and real registry keys of the Wine
// prefix.
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <random>

#include "TempFolder.h"
#include "harness/PeStub.h"
#include "jre/LibraryMachine.h"
#include "jre/RuntimeDiscovery.h"

namespace {

const char kServer[] = "bin\\server\\jvm.dll";
const char kClient[] = "bin\\client\\jvm.dll";
const char kClassic[] = "bin\\classic\\jvm.dll";
const char kJrockit[] = "bin\\jrockit\\jvm.dll";

// A Java home under the temporary folder holding the given files.
std::string makeHome(const TempFolder& temp, const std::string& name,
                     std::initializer_list<const char*> files) {
    for (const char* file : files) temp.write(name + "\\" + file, peStub());
    CreateDirectoryA(temp.file(name).c_str(), nullptr);
    return temp.file(name) + "\\";
}

std::string library(const std::string& home, JvmType type, bool* server = nullptr) {
    HomeProbe probe = probeJavaHome(home, type);
    if (server && !probe.library.empty()) *server = probe.isServer;
    return probe.library;
}

TEST(ProbeJavaHome, OrderPerJvmType) {
    TempFolder temp;
    std::string both = makeHome(temp, "both", {kServer, kClient});
    std::string clientOnly = makeHome(temp, "client", {kClient});
    std::string jrockitOnly = makeHome(temp, "jrockit", {kJrockit});
    std::string classicServer = makeHome(temp, "classic", {kClassic, kServer});

    bool server = false;
    EXPECT_EQ(library(both, JvmType::FavorServer, &server), both + kServer);
    EXPECT_TRUE(server);
    EXPECT_EQ(library(both, JvmType::Default, &server), both + kClient);
    EXPECT_FALSE(server);
    EXPECT_EQ(library(both, JvmType::Server), both + kServer);
    EXPECT_EQ(library(clientOnly, JvmType::Server), "");
    EXPECT_EQ(library(clientOnly, JvmType::FavorServer), clientOnly + kClient);
    EXPECT_EQ(library(jrockitOnly, JvmType::FavorServer), jrockitOnly + kJrockit);
    EXPECT_EQ(library(jrockitOnly, JvmType::Server), "");
    EXPECT_EQ(library(classicServer, JvmType::Default), classicServer + kClassic);

    // A library of another machine, or no DLL at all, does not count: the
    // order goes on. The probe's tests show why.
    std::string mixed = makeHome(temp, "mixed", {kServer});
    temp.write("mixed\\bin\\client\\jvm.dll", peStub(IMAGE_FILE_MACHINE_I386));
    temp.write("mixed\\bin\\classic\\jvm.dll", "MZ, but not a DLL");
    HomeProbe probe = probeJavaHome(mixed, JvmType::Default);
    EXPECT_EQ(probe.library, mixed + kServer);
    const std::vector<LibraryTest>& tests = probe.tests;
    ASSERT_EQ(tests.size(), 4u);
    EXPECT_EQ(tests[0].machine, IMAGE_FILE_MACHINE_I386);
    EXPECT_TRUE(tests[1].exists && tests[1].machine == 0);
    EXPECT_FALSE(tests[2].exists);
    EXPECT_TRUE(tests[3].usable());
    EXPECT_EQ(probe.machine(), ownMachine());
    EXPECT_EQ(probeJavaHome(mixed, JvmType::FavorServer, HomeLayout::Modern).library, mixed + kServer);
    EXPECT_EQ(library(mixed, JvmType::Default, nullptr), mixed + kServer);
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

    static std::string search(const DiscoverySettings& settings) {
        RegistrySearch found = searchRegistry(settings);
        if (found.chosen < 0) return "(none)";
        return found.versions[static_cast<std::size_t>(found.chosen)].candidate.home;
    }

    TempFolder temp_;
};

enum { SunJdk, SunJre, JRockitJre, JRockitJdk, IbmJre };

TEST_F(Registry, DefaultSettingsTakeTheHigherVersionOfBothSunKinds) {
    std::string jdk = makeHome(temp_, "jdk16020", {"jre\\bin\\client\\jvm.dll"});
    add(SunJdk, "1.6.0_20", jdk.substr(0, jdk.size() - 1));  // no trailing backslash
    add(SunJre, "1.6.0_17", makeHome(temp_, "jre16017", {kClient}));
    add(JRockitJre, "1.9", makeHome(temp_, "jrockit", {kClient}));
    add(IbmJre, "1.9", makeHome(temp_, "ibm", {kClient}));
    EXPECT_EQ(search(DiscoverySettings()), jdk + "jre\\");
}

TEST_F(Registry, KindsVendorsAndPreferredVersions) {
    std::string jdk = makeHome(temp_, "jdk17", {"jre\\bin\\client\\jvm.dll"});
    std::string jre = makeHome(temp_, "jre16", {kClient});
    std::string ibm = makeHome(temp_, "ibm", {kClient});
    add(SunJdk, "1.7", jdk);
    add(SunJre, "1.6", jre);
    add(IbmJre, "1.8.0", ibm);
    DiscoverySettings settings;
    applyJvmSource("favor_JRE", settings);
    EXPECT_EQ(search(settings), jre);
    settings.preferredVersions = {"1.4", "1.7"};
    EXPECT_EQ(search(settings), jdk + "jre\\");
    settings.preferredVersions = {"1.4"};  // no match: the first candidate
    EXPECT_EQ(search(settings), jre);

    settings = DiscoverySettings();
    applyJvmSource("only_JDK", settings);
    EXPECT_EQ(search(settings), jdk + "jre\\");
    applyJvmSource("favor_jre", settings);  // anything else searches nothing
    EXPECT_EQ(search(settings), "(none)");

    settings = DiscoverySettings();
    applyVmProvider("any", settings);
    EXPECT_EQ(search(settings), ibm);
}

TEST_F(Registry, FavorServerPutsServerHomesFirst) {
    // A development kit with a server library beats a higher one without.
    std::string serverKit = makeHome(temp_, "kit16", {"jre\\bin\\server\\jvm.dll"});
    add(SunJdk, "1.6", serverKit);
    add(SunJdk, "1.7", makeHome(temp_, "kit17", {"jre\\bin\\client\\jvm.dll"}));
    DiscoverySettings settings;
    settings.jvmType = JvmType::FavorServer;
    EXPECT_EQ(search(settings), serverKit + "jre\\");

    // The Sun runtime key is probed client-first: a runtime with both
    // libraries counts as a client one there.
    Registry::wipe();
    std::string serverOnly = makeHome(temp_, "jre15", {kServer});
    add(SunJre, "1.8", makeHome(temp_, "jre18", {kClient, kServer}));
    add(SunJre, "1.5", serverOnly);
    EXPECT_EQ(search(settings), serverOnly);
}

TEST_F(Registry, BoundsAndUnusableEntries) {
    std::string good = makeHome(temp_, "good", {kClient});
    add(SunJre, "current", makeHome(temp_, "named", {kClient}));  // no digits: 0.0.0.0
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
    DiscoverySettings settings;
    EXPECT_EQ(search(settings), good);

    RegistrySearch found = searchRegistry(settings);
    readEveryVersion(found, settings);
    std::string results;
    for (const RegisteredVersion& v : found.versions)
        if (v.name != "1.9") results += v.name + "=" + std::to_string(static_cast<int>(v.result)) + " ";
    EXPECT_EQ(results, "1.6=4 1.7=3 1.8=2 current=4 ");

    // A maximum of 1.6 admits 1.6.x and below only.
    JavaVersion::parse("1.5", kVersionFillMax, settings.maxVersion);
    EXPECT_EQ(search(settings), temp_.file("named") + "\\");
    JavaVersion::parse("1.6", kVersionFillMin, settings.minVersion);
    EXPECT_EQ(search(settings), "(none)");
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
    EXPECT_EQ(search(DiscoverySettings()), home + "\\");
}

TEST_F(Registry, BrokenEntriesOfTodaysKeysAreSkippedAndSaySo) {
    const std::string zulu = "Software\\Azul Systems\\Zulu\\";
    auto value = [&](const std::string& name, DWORD type, const void* data, DWORD size) {
        HKEY key;
        RegCreateKeyExA(HKEY_CURRENT_USER, (zulu + name).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
        RegSetValueExA(key, "InstallationPath", 0, type, static_cast<const BYTE*>(data), size);
        RegCloseKey(key);
    };
    std::string good = makeHome(temp_, "good", {kServer});
    std::string other = temp_.file("x86") + "\\";
    temp_.write("x86\\bin\\server\\jvm.dll", peStub(IMAGE_FILE_MACHINE_I386));
    DWORD number = 7;
    std::string tooLong(300, 'x');
    value("zulu-11", REG_SZ, good.c_str(), static_cast<DWORD>(good.size() + 1));
    value("zulu-17", REG_DWORD, &number, sizeof number);
    value("zulu-18", REG_SZ, "", 1);
    value("zulu-19", REG_SZ, tooLong.c_str(), static_cast<DWORD>(tooLong.size() + 1));
    value("zulu-20", REG_SZ, other.c_str(), static_cast<DWORD>(other.size() + 1));
    value("zulu-latest", REG_SZ, good.c_str(), static_cast<DWORD>(good.size() + 1));
    value("zulu-8-jre", REG_SZ, good.c_str(), static_cast<DWORD>(good.size()));  // no terminating zero

    DiscoverySettings settings;
    JavaVersion::parse("8", kVersionFillMin, settings.minVersion);
    applyVmProvider("openjdk", settings);
    RegistrySearch found = searchRegistry(settings);
    readEveryVersion(found, settings);
    std::string results;
    for (const RegisteredVersion& v : found.versions)
        results += v.name + "=" + std::to_string(static_cast<int>(v.result)) + " ";
    EXPECT_EQ(results, "zulu-11=4 zulu-17=8 zulu-18=2 zulu-19=9 zulu-20=3 zulu-8-jre=4 zulu-latest=6 ");
    ASSERT_GE(found.chosen, 0);
    EXPECT_EQ(found.versions[static_cast<std::size_t>(found.chosen)].name, "zulu-11");
    EXPECT_EQ(found.versions[6].kind, RuntimeKind::DevelopmentKit);
    EXPECT_EQ(found.versions[5].kind, RuntimeKind::RuntimeEnvironment);
    // Only a runtime environment, by its name.
    applyJvmSource("only_JRE", settings);
    found = searchRegistry(settings);
    ASSERT_GE(found.chosen, 0);
    EXPECT_EQ(found.versions[static_cast<std::size_t>(found.chosen)].name, "zulu-8-jre");
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Azul Systems");
}

// The search reads a version's JavaHome and probes it only when the choice
// gets to it. It must choose what choosing among every usable version would:
// the first in sorted order that matches the first preferred version that
// matches any, else the first.
TEST_F(Registry, ReadingOnlyWhatTheChoiceNeedsChoosesAsReadingEverything) {
    const std::string homes[] = {makeHome(temp_, "client", {kClient}), makeHome(temp_, "server", {kServer}),
                                 makeHome(temp_, "kit", {"jre\\bin\\client\\jvm.dll"}),
                                 makeHome(temp_, "none", {"bin\\java.dll"}), ""};
    const char* versions[] = {"1.5.0_22", "1.6", "1.6.0_20", "1.7.0_80", "1.8", "current"};
    const char* sources[] = {"", "favor_JRE", "favor_JDK", "only_JRE", "only_JDK"};
    const char* providers[] = {"", "any", "favor_ibm", "jrockit"};
    const char* preferred[] = {"1.5", "1.6", "1.7", "1.8", "2"};

    std::mt19937 random(20261207);
    auto pick = [&](int count) { return static_cast<int>(random() % static_cast<unsigned>(count)); };
    int chosen = 0;
    for (int round = 0; round < 60; ++round) {
        Registry::wipe();
        for (int i = 0, n = 1 + pick(6); i < n; ++i) add(pick(5), versions[pick(6)], homes[pick(5)]);
        DiscoverySettings settings;
        applyJvmSource(sources[pick(5)], settings);
        applyVmProvider(providers[pick(4)], settings);
        settings.jvmType = pick(3) == 0 ? JvmType::Server : JvmType::Default;
        if (pick(2)) JavaVersion::parse("1.6", kVersionFillMin, settings.minVersion);
        for (int i = 0, n = pick(3); i < n; ++i) settings.preferredVersions.push_back(preferred[pick(5)]);

        RegistrySearch found = searchRegistry(settings);
        RegistrySearch everything = found;
        readEveryVersion(everything, settings);
        std::vector<std::size_t> usable;
        for (std::size_t index : everything.order)
            if (everything.versions[index].result == RegistryVersionResult::Candidate) usable.push_back(index);
        int expected = usable.empty() ? -1 : static_cast<int>(usable.front());
        for (const std::string& item : settings.preferredVersions) {
            JavaVersion pattern;
            JavaVersion::parse(item, kVersionFillMin, pattern);
            auto match = std::find_if(usable.begin(), usable.end(), [&](std::size_t index) {
                return matches(everything.versions[index].candidate.version, pattern);
            });
            if (match != usable.end()) {
                expected = static_cast<int>(*match);
                break;
            }
        }
        EXPECT_EQ(found.chosen, expected) << "round " << round;
        if (expected >= 0) ++chosen;
    }
    EXPECT_GT(chosen, 10);  // many rounds find something to choose
}

// The order of the three sources, with a launcher folder of the test's own.
class Discovery : public Registry {
protected:
    std::string discover(const DiscoverySettings& settings) {
        RuntimeDiscovery found = discoverRuntime(settings, app_);
        return found.jvmLibrary.empty() ? "(none)" : found.jvmLibrary;
    }
    void besideExecutable(const char* relative) {
        std::string name = relative;
        temp_.write("app\\" + name, name.find("jvm.dll") != std::string::npos ? peStub() : "");
    }

    std::string app_ = temp_.file("app") + "\\";
};

TEST_F(Discovery, PrecedenceOfTheThreeSources) {
    std::string remembered = makeHome(temp_, "remembered", {kClient});
    std::string registered = makeHome(temp_, "registered", {kClient});
    add(SunJre, "1.6", registered);
    besideExecutable("bin\\java.dll");
    besideExecutable(kClient);

    // A remembered folder with or without the trailing backslash.
    DiscoverySettings settings;
    settings.jrePath = remembered;
    EXPECT_EQ(discover(settings), remembered + kClient);
    settings.jrePath = remembered.substr(0, remembered.size() - 1);
    EXPECT_EQ(discover(settings), remembered + kClient);
    // A stale one falls through to the runtime beside the executable, and
    // without a marker there to the registry.
    settings.jrePath = temp_.file("gone");
    EXPECT_EQ(discover(settings), app_ + kClient);
    DeleteFileA((app_ + "bin\\java.dll").c_str());
    EXPECT_EQ(discover(settings), registered + kClient);
}

TEST_F(Discovery, LocalRuntimeMarker) {
    // In "jre\" below the executable; the executable's own folder wins.
    besideExecutable("jre\\bin\\java.dll");
    besideExecutable("jre\\bin\\client\\jvm.dll");
    EXPECT_EQ(discover(DiscoverySettings()), app_ + "jre\\bin\\client\\jvm.dll");
    besideExecutable("bin\\java.dll");
    EXPECT_EQ(findLocalRuntime(app_).home, app_);
}

TEST_F(Discovery, NoMarkerMeansNoRelativeProbe) {
    // A library in the current directory, but no "bin\java.dll" anywhere:
    // nothing may be loaded from wherever the launcher was started.
    makeHome(temp_, "cwd", {kClient});
    besideExecutable(kClient);
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    SetCurrentDirectoryA(temp_.file("cwd").c_str());
    EXPECT_EQ(findLocalRuntime(app_).home, "");
    EXPECT_EQ(discover(DiscoverySettings()), "(none)");
    SetCurrentDirectoryA(previous);
}

}  // namespace
