// The runtimes that today's Java installers register, the machine a JVM
// library is built for, and where the DLLs it imports come from: the
// launcher started on test runtimes laid out as Java 9+ homes (the library
// in bin\server\) and registered under real registry keys.
#include <windows.h>

#include <gtest/gtest.h>

#include "harness/LaunchHarness.h"
#include "harness/PeStub.h"
#include "harness/TestFolder.h"
#include "harness/TestRuntime.h"

namespace {

const RuntimeLayout kJava9Home = {.client = false, .server = true};

std::string settings(const std::string& runtimeSettings) {
    return "[Java Runtime Environment]\r\nMain Class=Main\r\n" + runtimeSettings +
           "[Class Path]\r\nClass Path=\\classes\r\n";
}

class ModernRuntime : public ::testing::Test {
protected:
    void SetUp() override { removeRuntimeRegistrations(); }
    void TearDown() override { removeRuntimeRegistrations(); }

    std::string prepare(const TestFolder& folder, const std::string& runtimeSettings) {
        folder.write("app.ini", settings(runtimeSettings));
        folder.write("classes\\Main.class", "main\n");
        return folder.addLauncher("app.exe");
    }

    // The JVM library the launch loaded ("" when none), after it ended.
    std::string loadedLibrary(const TestFolder& folder, const std::string& exe, LaunchOptions options = {}) {
        DeleteFileA(folder.file("trace.txt").c_str());
        options.environment.push_back({"TESTJVM_TRACE", folder.file("trace.txt")});
        result_ = launch(exe, options);
        trace_ = readTrace(folder.file("trace.txt"));
        for (const TraceEvent& load : trace_.all("load"))
            if (load.get("variant") == "full") return load.get("module");
        return "";
    }

    LaunchResult result_;
    Trace trace_;
};

TEST_F(ModernRuntime, EveryKeyOfTodaysInstallersUnderBothRoots) {
    struct Row {
        const char* key;  // below Software, the version subkey's name, and the subkey below it
        const char* value;
    };
    const Row rows[] = {
        {"JavaSoft\\JDK\\17.0.2", "JavaHome"},
        {"JavaSoft\\JRE\\10.0.1", "JavaHome"},
        {"Eclipse Adoptium\\JDK\\21.0.1.12\\hotspot\\MSI", "Path"},
        {"Eclipse Adoptium\\JRE\\17.0.9.9\\hotspot\\MSI", "Path"},
        {"Eclipse Foundation\\JDK\\17.0.1.12\\hotspot\\MSI", "Path"},
        {"AdoptOpenJDK\\JDK\\11.0.11.9\\hotspot\\MSI", "Path"},
        {"AdoptOpenJDK\\JDK\\11.0.10.9\\openj9\\MSI", "Path"},
        {"AdoptOpenJDK\\JRE\\11.0.11.9\\hotspot\\MSI", "Path"},
        {"AdoptOpenJDK\\JRE\\16.0.1.9\\openj9\\MSI", "Path"},
        {"Microsoft\\JDK\\17.0.8.7\\hotspot\\MSI", "Path"},
        {"Semeru\\JDK\\17.0.8.7\\openj9\\MSI", "Path"},
        {"Semeru\\JRE\\11.0.20.8\\openj9\\MSI", "Path"},
        {"SapMachine\\JDK\\17.0.9", "JavaHome"},
        {"Azul Systems\\Zulu\\zulu-17", "InstallationPath"},
        {"Azul Systems\\Zulu\\zulu-11-jre", "InstallationPath"},
        {"BellSoft\\Liberica\\jdk-21", "InstallationPath"},
        {"BellSoft\\Liberica\\jre-17", "InstallationPath"},
    };
    TestFolder folder("modern-keys");
    std::string exe = prepare(folder, "Minimum Version=9\r\n");
    int index = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.key);
        removeRuntimeRegistrations();
        std::string home = addTestRuntime(folder, "rt" + std::to_string(index), kJava9Home);
        // Every other row per user: installs for one user land there.
        registerHome(index++ % 2 ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE, std::string("Software\\") + row.key,
                     row.value, home);
        EXPECT_EQ(loadedLibrary(folder, exe), home + "\\bin\\server\\jvm.dll");
        EXPECT_EQ(result_.exitCode, 0);
    }
    // The value a key names the home with is the only one read: Temurin's
    // "JavaHome" is a flag.
    removeRuntimeRegistrations();
    registerHome(HKEY_LOCAL_MACHINE, "Software\\Eclipse Adoptium\\JDK\\21.0.1.12\\hotspot\\MSI", "JavaHome",
                 addTestRuntime(folder, "flag", kJava9Home));
    EXPECT_EQ(loadedLibrary(folder, exe), "");
    EXPECT_EQ(result_.exitCode, -1);  // the "JRE Not Found" dialog, cancelled
}

TEST_F(ModernRuntime, TodaysKeysOnlyWhenTheSettingsAskForJava9OrLater) {
    TestFolder folder("modern-gating");
    std::string old = addTestRuntime(folder, "jre18");
    std::string temurin = addTestRuntime(folder, "temurin17", kJava9Home);
    std::string oracle = addTestRuntime(folder, "oracle11", kJava9Home);
    registerHome(HKEY_LOCAL_MACHINE, "Software\\JavaSoft\\Java Runtime Environment\\1.8.0_301", "JavaHome", old);
    registerHome(HKEY_LOCAL_MACHINE, "Software\\Eclipse Adoptium\\JDK\\17.0.1.12\\hotspot\\MSI", "Path", temurin);
    std::string exe = prepare(folder, "Minimum Version=1.6\r\n");
    EXPECT_EQ(loadedLibrary(folder, exe), old + "\\bin\\client\\jvm.dll");
    folder.write("app.ini", settings("Minimum Version=17\r\n"));
    EXPECT_EQ(loadedLibrary(folder, exe), temurin + "\\bin\\server\\jvm.dll");
    // "openjdk" searches them for any minimum, and prefers none.
    folder.write("app.ini", settings("Minimum Version=1.6\r\nVM Provider=OpenJDK\r\n"));
    EXPECT_EQ(loadedLibrary(folder, exe), temurin + "\\bin\\server\\jvm.dll");
    // By default Oracle's keys come first, a lower version included; the
    // old development kit key holds a Java 9+ home as it is.
    registerHome(HKEY_LOCAL_MACHINE, "Software\\JavaSoft\\JDK\\11.0.2", "JavaHome", oracle);
    folder.write("app.ini", settings("Minimum Version=11\r\n"));
    EXPECT_EQ(loadedLibrary(folder, exe), oracle + "\\bin\\server\\jvm.dll");
    removeRuntimeRegistrations();
    registerHome(HKEY_LOCAL_MACHINE, "Software\\JavaSoft\\Java Development Kit\\17", "JavaHome", temurin);
    folder.write("app.ini", settings(""));
    EXPECT_EQ(loadedLibrary(folder, exe), temurin + "\\bin\\server\\jvm.dll");
    // A "Maximum Version" of 9 or more asks for them too, whatever the
    // minimum: "1.8 to 17" takes Temurin 17.
    removeRuntimeRegistrations();
    registerHome(HKEY_LOCAL_MACHINE, "Software\\Eclipse Adoptium\\JDK\\17.0.1.12\\hotspot\\MSI", "Path", temurin);
    folder.write("app.ini", settings("Minimum Version=1.8\r\nMaximum Version=17\r\n"));
    EXPECT_EQ(loadedLibrary(folder, exe), temurin + "\\bin\\server\\jvm.dll");
}

TEST_F(ModernRuntime, KeysNamingOnlyAMajorVersionTakeTheReleaseFilesVersion) {
    TestFolder folder("modern-release");
    std::string zulu = addTestRuntime(folder, "zulu21", kJava9Home);
    folder.write("zulu21\\release", "IMPLEMENTOR=\"Azul Systems, Inc.\"\nJAVA_VERSION=\"21.0.5\"\n");
    std::string liberica = addTestRuntime(folder, "liberica17", kJava9Home);
    folder.write("liberica17\\release", "JAVA_VERSION=\"17.0.9\"\r\n");
    registerHome(HKEY_LOCAL_MACHINE, "Software\\Azul Systems\\Zulu\\zulu-21", "InstallationPath", zulu);
    registerHome(HKEY_LOCAL_MACHINE, "Software\\BellSoft\\Liberica\\jdk-17", "InstallationPath", liberica);
    // 21.0.5 is above the minimum that 21 alone is below.
    std::string exe = prepare(folder, "Minimum Version=21.0.1\r\n");
    EXPECT_EQ(loadedLibrary(folder, exe), zulu + "\\bin\\server\\jvm.dll");
    // 17.0.9 matches the preferred version that 17 alone never matches.
    folder.write("app.ini", settings("Minimum Version=11\r\nPreferred versions=17.0.9\r\n"));
    EXPECT_EQ(loadedLibrary(folder, exe), liberica + "\\bin\\server\\jvm.dll");
    // A name without any version, and a home value the registry keeps with
    // references to expand (REG_EXPAND_SZ).
    removeRuntimeRegistrations();
    registerHome(HKEY_LOCAL_MACHINE, "Software\\Azul Systems\\Zulu\\zulu-latest", "InstallationPath",
                 "%RUNTIMES%\\zulu21", REG_EXPAND_SZ);
    folder.write("app.ini", settings("Minimum Version=21\r\n"));
    EXPECT_EQ(loadedLibrary(folder, exe, {.environment = {{"RUNTIMES", folder.path()}}}),
              zulu + "\\bin\\server\\jvm.dll");
}

TEST_F(ModernRuntime, LibrariesOfTheOtherMachineOrNoDllAtAllAreSkipped) {
    TestFolder folder("modern-bitness");
    std::string good = addTestRuntime(folder, "x64-301");
    std::string other = addTestRuntime(folder, "x86-402", {.client = false});
    folder.write("x86-402\\bin\\client\\jvm.dll", peStub(IMAGE_FILE_MACHINE_I386));
    std::string broken = addTestRuntime(folder, "broken", {.client = false});
    folder.write("broken\\bin\\client\\jvm.dll", "MZ");
    const std::string key = "Software\\JavaSoft\\Java Runtime Environment\\";
    registerHome(HKEY_LOCAL_MACHINE, key + "1.8.0_301", "JavaHome", good);
    registerHome(HKEY_LOCAL_MACHINE, key + "1.8.0_402", "JavaHome", other);
    registerHome(HKEY_LOCAL_MACHINE, key + "1.8.0_999", "JavaHome", broken);
    // A remembered folder of the other machine falls through as well.
    std::string exe = prepare(folder, "JRE Path=" + other + "\r\n");
    EXPECT_EQ(loadedLibrary(folder, exe), good + "\\bin\\client\\jvm.dll");
    EXPECT_EQ(result_.exitCode, 0);
}

TEST_F(ModernRuntime, PlantedCRuntimeDllsAreNeverLoaded) {
    // The runtime beside the executable imports vcruntime140.dll from its
    // bin folder; copies of that name lie beside the executable and in the
    // folder it is started from.
    TestFolder folder("modern-planted");
    addTestRuntime(folder, "jre", {.client = false, .server = true, .cRuntime = true});
    std::string exe = prepare(folder, "");
    folder.copyFromBuild("vcruntime140.dll", "vcruntime140.dll");
    folder.copyFromBuild("vcruntime140.dll", "start\\vcruntime140.dll");
    // Wine would take its own DLL of that name otherwise (the prefix's
    // setting; the variable given to a child process is not read).
    const char* overrides = "Software\\Wine\\DllOverrides";
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, overrides, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, "vcruntime140", 0, REG_SZ, reinterpret_cast<const BYTE*>("native"), 7);
    LaunchOptions options;
    options.workingDirectory = folder.file("start");
    std::string loaded = loadedLibrary(folder, exe, options);
    RegDeleteValueA(key, "vcruntime140");
    RegCloseKey(key);
    EXPECT_EQ(loaded, folder.file("jre\\bin\\server\\jvm.dll"));
    EXPECT_EQ(result_.exitCode, 0);
    std::vector<TraceEvent> runtimes;
    for (const TraceEvent& load : trace_.all("load"))
        if (load.get("variant") == "c-runtime") runtimes.push_back(load);
    ASSERT_EQ(runtimes.size(), 1u) << trace_.text;
    EXPECT_EQ(runtimes[0].get("module"), folder.file("jre\\bin\\vcruntime140.dll"));
}

}  // namespace
