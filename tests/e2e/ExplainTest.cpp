// The companion that explains a launch, held against the launch itself: in
// each set-up the launcher runs on the test runtime, explain --json runs on
// the same executable with the same arguments, folder and environment, and
// the JVM library, the VM options, the environment and the arguments of main
// that explain reports must be what the test runtime was given.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "harness/JsonValue.h"
#include "harness/LaunchHarness.h"
#include "harness/PeStub.h"
#include "harness/TestFolder.h"
#include "harness/TestRuntime.h"

namespace {

struct Compared {
    LaunchResult launch;
    Trace trace;
    LaunchResult explainRun;
    JsonValue explanation;
};

class Explain : public ::testing::Test {
protected:
    void SetUp() override { removeRuntimeRegistrations(); }
    void TearDown() override { removeRuntimeRegistrations(); }

    // One of the five registration keys, as searched.
    static std::string key(int index) {
        static const char* const keys[] = {
            "Software\\JavaSoft\\Java Development Kit\\", "Software\\JavaSoft\\Java Runtime Environment\\",
            "Software\\JRockit\\Java Runtime Environment\\", "Software\\JRockit\\Java Development Kit\\",
            "Software\\IBM\\Java2 Runtime Environment\\"};
        return keys[index];
    }

    static void registerRuntime(int keyIndex, const std::string& version, const std::string& home) {
        std::string path = key(keyIndex) + version;
        HKEY created;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                                  &created, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(created, "JavaHome", 0, REG_SZ, reinterpret_cast<const BYTE*>(home.c_str()),
                       static_cast<DWORD>(home.size() + 1));
        RegCloseKey(created);
    }

    // A test runtime at folder\name with the given layout; its full path.
    static std::string runtime(const TestFolder& folder, const std::string& name, RuntimeLayout layout = {}) {
        return addTestRuntime(folder, name, layout);
    }

    // app.exe with its settings and the class Main in "classes".
    static std::string prepare(const TestFolder& folder, const std::string& settings,
                               const std::string& mainScript = "main\n") {
        folder.write("app.ini", settings);
        folder.write("classes\\Main.class", mainScript);
        return folder.addLauncher("app.exe");
    }

    // Launches exe, then explains the same launch.
    static Compared launchAndExplain(const TestFolder& folder, const std::string& exe, LaunchOptions options = {}) {
        Compared c;
        DeleteFileA(folder.file("trace.txt").c_str());
        options.environment.push_back({"TESTJVM_TRACE", folder.file("trace.txt")});
        c.launch = launch(exe, options);
        c.trace = readTrace(folder.file("trace.txt"));
        c.explanation = explain(folder, exe, options, &c.explainRun);
        return c;
    }

    // explain --json for exe with the arguments, folder and environment of
    // options.
    static JsonValue explain(const TestFolder& folder, const std::string& exe, const LaunchOptions& options,
                             LaunchResult* run = nullptr) {
        LaunchOptions explainOptions;
        explainOptions.arguments =
            "--json \"" + exe + "\"" + (options.arguments.empty() ? "" : " " + options.arguments);
        explainOptions.workingDirectory =
            options.workingDirectory.empty() ? exe.substr(0, exe.rfind('\\')) : options.workingDirectory;
        explainOptions.environment = options.environment;
        explainOptions.outputFile = folder.file("explain.json");
        LaunchResult result = launch(buildOutputFolder() + "\\explain.exe", explainOptions);
        EXPECT_TRUE(result.windows.empty()) << "explain showed a window";
        if (run) *run = result;
        std::string json = folder.read("explain.json");
        try {
            return parseJson(json);
        } catch (const std::exception& e) {
            ADD_FAILURE() << e.what() << "\n" << json;
            return {};
        }
    }

    // The JVM library the launcher loaded ("" when none), the VM options and
    // the arguments of main it passed, and the environment the VM saw, are
    // what explain reports.
    static void expectSameDecisions(const Compared& c) {
        const JsonValue& e = c.explanation;
        ASSERT_EQ(e.kind, JsonValue::Kind::Object);
        std::string loaded;
        for (const TraceEvent& load : c.trace.all("load"))
            if (load.get("variant") == "full" || load.get("variant") == "nodefault") loaded = load.get("module");
        EXPECT_EQ(e["discovery"]["jvmLibrary"].text, loaded) << c.trace.text;

        TraceEvent create = c.trace.first("create");
        std::vector<std::string> options = create.name.empty() ? std::vector<std::string>() : create.list("option");
        EXPECT_EQ(e["vmOptions"].strings(), options);

        for (const TraceEvent& variable : c.trace.all("vm-env")) {
            const JsonValue& environment = e["environment"];
            std::string name = variable.get("name");
            ASSERT_TRUE(environment.has(name)) << name;
            EXPECT_EQ(environment[name].text, variable.get("value")) << name;
        }

        TraceEvent call;
        for (const TraceEvent& event : c.trace.all("call"))
            if (event.get("method") == "main") {
                call = event;
                break;
            }
        std::vector<std::string> arguments = call.name.empty() ? std::vector<std::string>() : call.list("arg");
        if (!call.name.empty()) EXPECT_EQ(e["mainArguments"].strings(), arguments);
        EXPECT_EQ(e["outcome"].text == "starts Java", !create.name.empty());
    }

    // The outcome of one version subkey of a key.
    static std::string versionResult(const JsonValue& e, int keyIndex, const std::string& name) {
        const JsonValue& steps = e["discovery"]["steps"];
        for (const JsonValue& step : steps.items) {
            if (step["source"].text != "registry") continue;
            for (const JsonValue& k : step["keys"].items) {
                if (k["key"].text != key(keyIndex)) continue;
                for (const JsonValue& v : k["versions"].items)
                    if (v["name"].text == name) return v["result"].text;
            }
        }
        return "(not read)";
    }
};

const char kBase[] =
    "[Java Runtime Environment]\r\nMain Class=Main\r\n"
    "[Class Path]\r\nClass Path=\\classes\r\n";

std::string withRuntimeSettings(const std::string& lines) {
    return "[Java Runtime Environment]\r\nMain Class=Main\r\n" + lines +
           "[Class Path]\r\nClass Path=\\classes\r\n";
}

TEST_F(Explain, TypicalLaunchThroughTheRegistry) {
    TestFolder folder("explain-typical");
    std::string home = runtime(folder, "Java\\jre6", {.client = true, .server = true});
    registerRuntime(1, "1.6", home);
    folder.write("app.ini",
                 "[Java Runtime Environment]\r\nMain Class=com.example.App\r\n"
                 "Virtual Machine Parameters=-Xmx50P -Xms10:64P\r\n"
                 "[Class Path]\r\nClass Path=\\lib\\*.jar;C:\\absent\\kept.jar;\\missing\\*.jar\r\n");
    folder.write("lib\\app.jar", "#testjvm-jar\nclass com/example/App\nmain\n");
    folder.write("lib\\util.jar", "#testjvm-jar\n");
    std::string exe = folder.addLauncher("app.exe");

    Compared c = launchAndExplain(folder, exe, {.arguments = "document.txt \"two words\""});
    EXPECT_EQ(c.launch.exitCode, 0);
    expectSameDecisions(c);
    const JsonValue& e = c.explanation;
    EXPECT_EQ(e["discovery"]["jvmLibrary"].text, home + "\\bin\\client\\jvm.dll");
    EXPECT_EQ(e["discovery"]["javaHome"].text, home);

    const JsonValue& pieces = e["classPath"];
    ASSERT_EQ(pieces.size(), 3u);
    EXPECT_EQ(pieces[0]["pattern"].text, folder.file("lib\\*.jar"));
    EXPECT_EQ(pieces[0]["entries"].size(), 2u);
    EXPECT_FALSE(pieces[1]["searched"].boolean);
    EXPECT_EQ(pieces[1]["entries"].strings(), std::vector<std::string>{"C:\\absent\\kept.jar"});
    EXPECT_TRUE(pieces[2]["entries"].items.empty());

    const JsonValue& memory = e["memoryOptions"];
    ASSERT_EQ(memory.size(), 2u);
    EXPECT_EQ(memory[0]["option"].text, "-Xmx50P");
    EXPECT_EQ(memory[1]["option"].text, "-Xms10:64P");
    EXPECT_EQ(e["vmOptions"][1].text, memory[0]["rewritten"].text);
}

TEST_F(Explain, RegistryCasesChooseWhatTheLauncherLoads) {
    struct Case {
        const char* name;
        std::string settings;
        std::function<void(const TestFolder&)> registry;
        std::string expectedHome;  // relative to the folder
        const char* library = "bin\\client\\jvm.dll";
    };
    auto jdk = [](const TestFolder& f, const char* name, RuntimeLayout layout = {}) {
        addTestRuntime(f, std::string(name) + "\\jre", layout);
        return f.file(name);
    };
    const RuntimeLayout serverOnly = {.client = false, .server = true};
    const RuntimeLayout both = {.client = true, .server = true};
    std::vector<Case> cases = {
        {"default-settings", kBase,
         [&](const TestFolder& f) {
             registerRuntime(0, "1.6.0_20", jdk(f, "jdk16020"));
             registerRuntime(1, "1.6.0_17", runtime(f, "jre16017"));
             registerRuntime(2, "1.9", runtime(f, "jrockit"));
             registerRuntime(4, "1.9", runtime(f, "ibm"));
         },
         "jdk16020\\jre"},
        {"favor-jre", withRuntimeSettings("JVM Source=favor_JRE\r\n"),
         [&](const TestFolder& f) {
             registerRuntime(0, "1.7", jdk(f, "jdk17"));
             registerRuntime(1, "1.6", runtime(f, "jre16"));
         },
         "jre16"},
        {"favor-jre-preferred-kit", withRuntimeSettings("JVM Source=favor_JRE\r\nPreferred versions=1.7\r\n"),
         [&](const TestFolder& f) {
             registerRuntime(0, "1.7", jdk(f, "jdk17"));
             registerRuntime(1, "1.6", runtime(f, "jre16"));
         },
         "jdk17\\jre"},
        {"only-jdk", withRuntimeSettings("JVM Source=only_JDK\r\nVM Provider=any\r\n"),
         [&](const TestFolder& f) {
             registerRuntime(0, "1.5", jdk(f, "jdk15"));
             registerRuntime(1, "1.8", runtime(f, "jre18"));
         },
         "jdk15\\jre"},
        {"any-vendor", withRuntimeSettings("VM Provider=any\r\n"),
         [&](const TestFolder& f) {
             registerRuntime(1, "1.6", runtime(f, "sun"));
             registerRuntime(4, "1.7.0", runtime(f, "ibm"));
             registerRuntime(3, "1.6.5", jdk(f, "jrockit"));
         },
         "ibm"},
        {"favor-server-kits", withRuntimeSettings("JVM Type=favor_server\r\n"),
         [&](const TestFolder& f) {
             registerRuntime(0, "1.6", jdk(f, "kit16", serverOnly));
             registerRuntime(0, "1.7", jdk(f, "kit17"));
         },
         "kit16\\jre", "bin\\server\\jvm.dll"},
        {"favor-server-sun-runtimes", withRuntimeSettings("JVM Type=favor_server\r\n"),
         [&](const TestFolder& f) {
             registerRuntime(1, "1.8", runtime(f, "jre18", both));
             registerRuntime(1, "1.5", runtime(f, "jre15", serverOnly));
         },
         "jre15", "bin\\server\\jvm.dll"},
        {"preferred-versions", withRuntimeSettings("Preferred versions=1.5;1.6\r\n"),
         [&](const TestFolder& f) {
             registerRuntime(1, "1.6.0_20", runtime(f, "v16"));
             registerRuntime(1, "1.5.0_22", runtime(f, "v15"));
         },
         "v15"},
        {"preferred-versions-second-item", withRuntimeSettings("Preferred versions=1.4;1.6\r\n"),
         [&](const TestFolder& f) {
             registerRuntime(1, "1.6.0_20", runtime(f, "v16"));
             registerRuntime(1, "1.5.0_22", runtime(f, "v15"));
         },
         "v16"},
        {"preferred-versions-no-match", withRuntimeSettings("Preferred versions=1.4\r\n"),
         [&](const TestFolder& f) {
             registerRuntime(1, "1.6.0_20", runtime(f, "v16"));
             registerRuntime(1, "1.5.0_22", runtime(f, "v15"));
         },
         "v16"},
        // "current" has no digits: version 0.0.0.0, below any minimum.
        {"minimum-version", withRuntimeSettings("Minimum Version=1.6\r\n"),
         [&](const TestFolder& f) {
             registerRuntime(1, "current", runtime(f, "named"));
             registerRuntime(1, "1.7.0_80", runtime(f, "v17"));
         },
         "v17"},
        {"maximum-version", withRuntimeSettings("Maximum Version=1.6\r\n"),
         [&](const TestFolder& f) {
             registerRuntime(1, "current", runtime(f, "named"));
             registerRuntime(1, "1.7.0_80", runtime(f, "v17"));
         },
         "named"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        removeRuntimeRegistrations();
        TestFolder folder(std::string("explain-") + test.name);
        test.registry(folder);
        // IBM runtimes keep the Java thread alive after main: the script ends
        // the process itself.
        std::string exe = prepare(folder, test.settings, "main\n    exit 0\n");
        Compared c = launchAndExplain(folder, exe, {.arguments = test.name});
        expectSameDecisions(c);
        EXPECT_EQ(c.explanation["discovery"]["jvmLibrary"].text,
                  folder.file(test.expectedHome) + "\\" + test.library);
    }
}

TEST_F(Explain, RegistryEntriesThatAreSkippedAndWhy) {
    TestFolder folder("explain-skipped");
    std::string good = runtime(folder, "good");
    registerRuntime(1, "1.6", good);
    registerRuntime(1, "1.7", runtime(folder, "nolib", {.client = false}));
    registerRuntime(1, "1.8", "");
    HKEY k;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, (key(1) + "1.9").c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr);
    DWORD number = 7;
    RegSetValueExA(k, "JavaHome", 0, REG_DWORD, reinterpret_cast<BYTE*>(&number), sizeof number);
    RegCloseKey(k);
    // A home stored without its terminating zero, above the maximum.
    std::string unterminated = runtime(folder, "noterm");
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, (key(1) + "2.0").c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr);
    RegSetValueExA(k, "JavaHome", 0, REG_SZ, reinterpret_cast<const BYTE*>(unterminated.data()),
                   static_cast<DWORD>(unterminated.size()));
    RegCloseKey(k);

    // A home longer than a path; one the code page cannot spell that has no
    // short name (it does not exist).
    registerRuntime(1, "1.6.1", "C:\\" + std::string(MAX_PATH, 'x'));
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, (key(1) + "1.6.2").c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr);
    const wchar_t unspellable[] = L"C:\\missing\\\u0141\u00f3d\u017a";
    RegSetValueExW(k, L"JavaHome", 0, REG_SZ, reinterpret_cast<const BYTE*>(unspellable), sizeof unspellable);
    RegCloseKey(k);

    std::string exe = prepare(folder, withRuntimeSettings("Maximum Version=1.9\r\n"));
    Compared c = launchAndExplain(folder, exe);
    expectSameDecisions(c);
    const JsonValue& e = c.explanation;
    EXPECT_EQ(versionResult(e, 1, "1.6.1"), "home too long");
    EXPECT_EQ(versionResult(e, 1, "1.6.2"), "home without ANSI spelling");
    EXPECT_EQ(e["discovery"]["jvmLibrary"].text, good + "\\bin\\client\\jvm.dll");
    EXPECT_EQ(versionResult(e, 1, "1.6"), "candidate");
    EXPECT_EQ(versionResult(e, 1, "1.7"), "no JVM library");
    EXPECT_EQ(versionResult(e, 1, "1.8"), "no JavaHome");
    EXPECT_EQ(versionResult(e, 1, "2.0"), "out of bounds");
    // The development-kit key is searched but absent; the other vendors'
    // keys are not searched with the default "VM Provider", nor those of
    // Java 9 and later without the settings asking for it.
    const JsonValue& keys = e["discovery"]["steps"][2]["keys"];
    ASSERT_EQ(keys.size(), 35u);
    EXPECT_FALSE(keys[5]["searched"].boolean);
    EXPECT_TRUE(keys[5]["modern"].boolean);
    EXPECT_TRUE(keys[0]["searched"].boolean);
    EXPECT_FALSE(keys[0]["opened"].boolean);
    EXPECT_FALSE(keys[2]["searched"].boolean);
    EXPECT_FALSE(keys[2]["vendorAllowed"].boolean);

    // Without the maximum the unterminated home is taken as far as the
    // registry reports it, and wins.
    folder.write("app.ini", kBase);
    c = launchAndExplain(folder, exe);
    expectSameDecisions(c);
    EXPECT_EQ(c.explanation["discovery"]["jvmLibrary"].text, unterminated + "\\bin\\client\\jvm.dll");
}

TEST_F(Explain, TodaysKeysTheMachineOfLibrariesAndTheDllSearch) {
    TestFolder folder("explain-modern");
    std::string temurin = runtime(folder, "temurin", {.client = false, .server = true});
    std::string zulu = runtime(folder, "zulu", {.client = false});
    folder.write("zulu\\bin\\server\\jvm.dll", peStub(IMAGE_FILE_MACHINE_I386));
    folder.write("temurin\\bin\\vcruntime140.dll", "");
    registerHome(HKEY_CURRENT_USER, "Software\\Eclipse Adoptium\\JDK\\17.0.1.12\\hotspot\\MSI", "Path", temurin);
    registerHome(HKEY_LOCAL_MACHINE, "Software\\Azul Systems\\Zulu\\zulu-21", "InstallationPath", zulu);
    std::string exe = prepare(folder, withRuntimeSettings("Minimum Version=17\r\n"));
    Compared c = launchAndExplain(folder, exe);
    expectSameDecisions(c);
    const JsonValue& e = c.explanation;
    EXPECT_EQ(e["discovery"]["modernJava"].text, "Minimum Version");
    EXPECT_EQ(e["discovery"]["dllDirectory"].text, temurin + "\\bin");
    EXPECT_EQ(e["discovery"]["runtimeLibraries"].strings(), std::vector<std::string>{temurin + "\\bin\\vcruntime140.dll"});
    int seen = 0;
    for (const JsonValue& k : e["discovery"]["steps"][2]["keys"].items) {
        if (k["key"].text == "Software\\Eclipse Adoptium\\JDK\\" && k["root"].text == "HKCU") {
            ++seen;
            ASSERT_EQ(k["versions"].size(), 1u);
            EXPECT_EQ(k["versions"][0]["result"].text, "candidate");
        }
        if (k["key"].text == "Software\\Azul Systems\\Zulu\\" && k["root"].text == "HKLM") {
            ++seen;
            const JsonValue& version = k["versions"][0];
            EXPECT_EQ(version["result"].text, "no JVM library");
            const JsonValue& test = version["probe"]["tests"][1];  // client missing, then server
            EXPECT_EQ(test["machine"].text, "i686");
            EXPECT_FALSE(test["usable"].boolean);
        }
    }
    EXPECT_EQ(seen, 2);
}

TEST_F(Explain, VersionsOfTheReleaseFileAndExpandedHomes) {
    TestFolder folder("explain-release");
    std::string zulu = runtime(folder, "zulu21", {.client = false, .server = true});
    folder.write("zulu21\\release", "JAVA_VERSION=\"21.0.5\"\n");
    registerHome(HKEY_LOCAL_MACHINE, "Software\\Azul Systems\\Zulu\\zulu-21", "InstallationPath",
                 "%EXPLAIN_HOMES%\\zulu21", REG_EXPAND_SZ);
    std::string exe = prepare(folder, withRuntimeSettings("Minimum Version=21.0.1\r\n"));
    Compared c = launchAndExplain(folder, exe, {.environment = {{"EXPLAIN_HOMES", folder.path()}}});
    EXPECT_EQ(c.launch.exitCode, 0);
    expectSameDecisions(c);
    const JsonValue* zuluVersion = nullptr;
    for (const JsonValue& k : c.explanation["discovery"]["steps"][2]["keys"].items)
        if (k["key"].text == "Software\\Azul Systems\\Zulu\\" && k["root"].text == "HKLM") zuluVersion = &k["versions"][0];
    ASSERT_TRUE(zuluVersion);
    EXPECT_EQ((*zuluVersion)["version"].text, "21.0.5.0");
    EXPECT_EQ((*zuluVersion)["nameVersion"].text, "21.0.0.0");
    EXPECT_EQ((*zuluVersion)["releaseVersion"].text, "JAVA_VERSION=\"21.0.5\"");
    EXPECT_EQ((*zuluVersion)["homeWritten"].text, "%EXPLAIN_HOMES%\\zulu21");
    EXPECT_EQ((*zuluVersion)["homeRead"].text, zulu + "\\");
}

TEST_F(Explain, JreNotFoundShowsTheDialogTheLauncherShows) {
    TestFolder folder("explain-jre-not-found");
    folder.makeFolder("appdata");
    std::string exe = prepare(folder,
                              "[Product Information]\r\nProduct Name=Demo\r\nProduct Code=demo-1\r\n" +
                                  withRuntimeSettings("JVM Type=server\r\nMinimum Version=1.6\r\n"));
    std::string dialogText;
    LaunchOptions options;
    options.environment = {{"APPDATA", folder.file("appdata")}};
    options.respond = [&dialogText](const ShownWindow& window) {
        if (!window.isMessageBox && window.className == "#32770") {
            char text[512] = "";
            GetDlgItemTextA(window.handle, 203, text, sizeof text);
            dialogText = text;
        }
        defaultResponse(window);
    };
    Compared c = launchAndExplain(folder, exe, options);
    EXPECT_EQ(c.launch.exitCode, -1);
    expectSameDecisions(c);
    const JsonValue& e = c.explanation;
    EXPECT_EQ(e["outcome"].text, "JRE Not Found");
    EXPECT_EQ(e["exitCode"].number, -1);
    ASSERT_FALSE(dialogText.empty());
    EXPECT_EQ(e["discovery"]["jreNotFoundMessage"].text, dialogText);
    EXPECT_EQ(e["discovery"]["rememberedIn"].text, folder.file("appdata\\Demo\\demo-1\\app.ini"));
    // Nothing was written by either.
    EXPECT_FALSE(folder.exists("appdata\\Demo"));

    // A "JVM Source" of no known value (the case is wrong) allows no kind of
    // runtime: an installed one is not even looked at.
    registerRuntime(1, "1.8", runtime(folder, "jre18"));
    folder.write("app.ini", withRuntimeSettings("JVM Source=favor_jre\r\n"));
    c = launchAndExplain(folder, exe, options);
    EXPECT_EQ(c.launch.exitCode, -1);
    expectSameDecisions(c);
    EXPECT_EQ(c.explanation["outcome"].text, "JRE Not Found");
    const JsonValue& keys = c.explanation["discovery"]["steps"][2]["keys"];
    ASSERT_EQ(keys.size(), 35u);
    for (const JsonValue& k : keys.items) {
        EXPECT_FALSE(k["searched"].boolean) << k["key"].text;
        EXPECT_FALSE(k["kindAllowed"].boolean) << k["key"].text;
    }
    EXPECT_EQ(dialogText,
              "The Java Runtime Environment (JRE) was not found. Please  download and install a JRE "
              "(latest version) from:");
    EXPECT_EQ(c.explanation["discovery"]["jreNotFoundMessage"].text, dialogText);
}

TEST_F(Explain, RememberedFolderEnvironmentReferencesAndApplicationSettings) {
    TestFolder folder("explain-remembered");
    std::string home = runtime(folder, "picked", {.client = true, .server = true, .marker = false});
    runtime(folder, "jre");  // beside the executable, but the remembered folder comes first
    folder.write("appdata\\Demo\\demo-1\\app.ini", "[Java Runtime Environment]\r\nJRE Path=" + home + "\r\n");
    folder.write("lib\\x.jar", "#testjvm-jar\n");
    std::string exe = prepare(
        folder,
        "[Product Information]\r\nProduct Name=Demo\r\nProduct Code=demo-1\r\n"
        "[Java Runtime Environment]\r\nMain Class=Main\r\nJVM Type=favor_server\r\n"
        "Library Path=%VT_JVM_HOME%\\native\r\nSystem Path=C:\\tools;\r\n"
        "Virtual Machine Parameters= -Xss1m \"-Dhome=%VT_JVM_HOME%\"  -Dsearch=%Path% -Dq=\"a b\"\"\r\n"
        "[Java Runtime Environment+]\r\nJVM Type=server\r\n"
        "[Class Path]\r\nClass Path=\\classes;\\lib\\*.jar\r\n"
        "[Application]\r\nEmbedded Jar=yes\r\nOutput File=%VT_JVM_HOME%\\out.txt\r\nError File=err.txt\r\n"
        "[Application+]\r\nCmd=--from \"the settings\"\r\n");
    Compared c = launchAndExplain(folder, exe,
                                  {.arguments = "-nosplash x",
                                   .environment = {{"APPDATA", folder.file("appdata")}}});
    EXPECT_EQ(c.launch.exitCode, 0);
    expectSameDecisions(c);
    const JsonValue& e = c.explanation;
    EXPECT_EQ(e["discovery"]["jvmLibrary"].text, home + "\\bin\\server\\jvm.dll");
    EXPECT_EQ(e["settings"]["userFileExists"].boolean, true);
    EXPECT_EQ(e["javaStackSize"].number, 1048576);
    EXPECT_EQ(c.trace.first("create").get("stack"), "1048576");
    EXPECT_EQ(e["splash"]["choice"].text, "suppressed");
    EXPECT_EQ(e["outputFile"].text, home + "\\out.txt");
    EXPECT_EQ(e["errorFile"].text, "err.txt");
    // "JRE Path" came from the per-user file; "Cmd" from the plus section
    // alone, with its leading blank; "JVM Type" from the file section, which
    // hides the plus section's.
    std::string sources;
    for (const JsonValue& read : e["settings"]["reads"].items) {
        const std::string& k = read["key"].text;
        if (k == "JRE Path" || k == "Cmd" || k == "JVM Type") sources += k + ": " + read["source"].text + "; ";
    }
    EXPECT_EQ(sources, "JRE Path: per-user file; JVM Type: file section; Cmd: plus section; ");
    EXPECT_EQ(e["mainArguments"].strings(),
              (std::vector<std::string>{"-nosplash", "x", "--from", "the settings"}));
}

TEST_F(Explain, RuntimeBesideTheExecutableFromAnotherFolder) {
    TestFolder folder("explain-local");
    runtime(folder, "app\\jre");
    folder.makeFolder("elsewhere");
    folder.write("app\\app.ini",
                 std::string(kBase) +
                     "[Application]\r\nOverride WorkingDir=Yes\r\nOutput File=out.txt\r\n"
                     "[Display]\r\nSplash Screen=missing.bmp\r\n");
    folder.write("app\\classes\\Main.class", "main\n    out hello\n");
    std::string exe = folder.addLauncher("app\\app.exe");
    Compared c = launchAndExplain(folder, exe, {.workingDirectory = folder.file("elsewhere")});
    EXPECT_EQ(c.launch.exitCode, 0);
    expectSameDecisions(c);
    const JsonValue& e = c.explanation;
    EXPECT_EQ(e["discovery"]["jvmLibrary"].text, folder.file("app\\jre\\bin\\client\\jvm.dll"));
    EXPECT_EQ(e["workingDirectory"].text, folder.file("app"));
    EXPECT_TRUE(e["workingDirectoryChanged"].boolean);
    EXPECT_EQ(e["splash"]["choice"].text, "own window");
    EXPECT_FALSE(e["splash"]["imageExists"].boolean);
    EXPECT_TRUE(folder.exists("app\\out.txt"));
}

TEST_F(Explain, LaunchesThatStopWithAMessage) {
    TestFolder folder("explain-messages");
    runtime(folder, "jre");
    struct Case {
        const char* settings;
        const char* message;
    };
    const Case cases[] = {
        {"[Java Runtime Environment]\r\nMain Class=Main\r\n[Class Path]\r\nClass Path=\\nothing\\*.jar\r\n",
         "Java Class Path was not specified in INI file."},
        {"[Class Path]\r\nClass Path=\\classes\r\n", "Main class was not specified in INI file."},
    };
    std::string exe = prepare(folder, cases[0].settings);
    for (const Case& test : cases) {
        SCOPED_TRACE(test.message);
        folder.write("app.ini", test.settings);
        Compared c = launchAndExplain(folder, exe);
        EXPECT_EQ(c.launch.exitCode, -1);
        expectSameDecisions(c);
        auto boxes = c.launch.messageBoxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, test.message);
        EXPECT_EQ(c.explanation["messages"].strings(), std::vector<std::string>{test.message});
        EXPECT_EQ(c.explanation["exitCode"].number, -1);
    }
}

TEST_F(Explain, SingleInstanceWithAndWithoutARunningPrimary) {
    TestFolder folder("explain-single-instance");
    runtime(folder, "jre");
    ScriptEvent release("explain-primary");
    std::string exe = prepare(folder, std::string(kBase) + "[Application]\r\nSingle Instance=yes\r\n",
                              "main\n    wait " + release.name() + "\n");
    std::string instanceName = exe;
    std::replace(instanceName.begin(), instanceName.end(), '\\', '_');

    JsonValue alone = explain(folder, exe, {});
    EXPECT_TRUE(alone["singleInstance"]["requested"].boolean);
    EXPECT_FALSE(alone["singleInstance"]["primaryRunning"].boolean);
    EXPECT_EQ(alone["outcome"].text, "starts Java");

    LaunchOptions primaryOptions;
    primaryOptions.environment = {{"TESTJVM_TRACE", folder.file("trace.txt")}};
    LaunchedProcess primary(exe, primaryOptions);
    ASSERT_TRUE(waitForTraceEvent(folder.file("trace.txt"), "call", 10000));
    JsonValue second = explain(folder, exe, {.arguments = "more"});
    EXPECT_TRUE(second["singleInstance"]["primaryRunning"].boolean);
    EXPECT_EQ(second["singleInstance"]["instanceName"].text, instanceName);
    EXPECT_EQ(second["outcome"].text, "hands over to the running instance");
    EXPECT_TRUE(second["exitCode"].isNull());
    EXPECT_TRUE(second["vmOptions"].items.empty());

    release.set();
    EXPECT_TRUE(primary.waitForExit(10000));
    EXPECT_EQ(primary.exitCode(), 0);
}

}  // namespace
