// The launcher with real Java: the bridge runtime (bridgejvm/) runs the
// launcher's JNI calls in a Linux OpenJDK, so these cases check the launcher
// against Java's own behaviour, not against our reading of it. The Java
// applications are in java/, compiled by the build into bin\realjava.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "harness/BridgeRuntime.h"
#include "harness/LaunchHarness.h"
#include "harness/TestFolder.h"

namespace {

const char kJavaSoft[] = "Software\\JavaSoft";

class RealJava : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTreeA(HKEY_LOCAL_MACHINE, kJavaSoft); }

    void TearDown() override {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kJavaSoft);
        // Whatever happened to the launcher, its Linux VM must be gone.
        if (folder_) {
            EXPECT_TRUE(waitForNoBridgeJvm(folder_->path(), 10000)) << "a Linux Java VM was left running";
        }
    }

    // app.exe in a new folder with the bridge runtime in "jre" beside it
    // (its Linux Java: harness/BridgeRuntime.h), the application jars in
    // "lib" and these settings.
    std::string prepare(const std::string& name, const std::string& settings, const std::string& java = "",
                        bool console = false) {
        folder_ = std::make_unique<TestFolder>("realjava-" + name);
        addBridgeRuntime(*folder_, "jre", java);
        copyJars();
        folder_->write("app.ini", settings);
        return folder_->addLauncher("app.exe", console);
    }

    void copyJars() {
        folder_->copyFromBuild("realjava\\app.jar", "lib\\app.jar");
        folder_->copyFromBuild("realjava\\util.jar", "lib\\util.jar");
    }

    LaunchResult run(const std::string& exe, LaunchOptions options = {}) {
        options.outputFile = folder_->file("stdout.txt");
        options.errorFile = folder_->file("stderr.txt");
        options.timeoutMs = 60000;
        return launch(exe, std::move(options));
    }

    std::string output() const { return folder_->read("stdout.txt"); }
    std::string errors() const { return folder_->read("stderr.txt"); }

    std::unique_ptr<TestFolder> folder_;
};

std::string settingsFor(const std::string& mainClass, const std::string& more = "") {
    return "[Java Runtime Environment]\r\nMain Class=" + mainClass +
           "\r\n[Class Path]\r\nClass Path=\\lib\\*.jar\r\n" + more;
}

// The text Java on Windows puts in parentheses after a file name.
std::string windowsErrorText(DWORD error) {
    char text[512] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text, sizeof text,
                   nullptr);
    std::string result = text;
    while (!result.empty() && (result.back() == '\n' || result.back() == '\r' || result.back() == '.'))
        result.pop_back();
    return result;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        result.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return result;
}

TEST_F(RealJava, TypicalLaunchThroughTheRegistry) {
    std::string exe = prepare("typical", "");
    std::string home = addBridgeRuntime(*folder_, "Java\\jre6");
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\JavaSoft\\Java Runtime Environment\\1.6", 0,
                              nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, "JavaHome", 0, REG_SZ, reinterpret_cast<const BYTE*>(home.c_str()),
                   static_cast<DWORD>(home.size() + 1));
    RegCloseKey(key);
    // No runtime beside the executable: the registered one is found.
    removeTree(folder_->file("jre"));
    folder_->write("app.ini", "[Java Runtime Environment]\r\nMain Class=com.example.Typical\r\n"
                              "Virtual Machine Parameters=-Xmx10P\r\n[Class Path]\r\nClass Path=\\lib\\*.jar\r\n");

    LaunchResult result = run(exe, {.arguments = "document.txt"});
    EXPECT_EQ(result.exitCode, 0) << errors();
    EXPECT_TRUE(result.messageBoxes().empty());
    std::vector<std::string> out = lines(output());
    ASSERT_EQ(out.size(), 7u) << output() << errors();
    EXPECT_EQ(out[0], "args=document.txt");
    EXPECT_EQ(out[1], "VT_JVM_HOME=" + home);
    EXPECT_EQ(out[2], "VT_JVM_PATH=" + home + "\\bin\\client\\jvm.dll");
    EXPECT_EQ(out[3].substr(out[3].size() - home.size() - 4), home + "\\bin") << out[3];
    // A tenth of the physical memory, as the launcher computed it; Java
    // reports about that (less a survivor space, plus the heap's alignment).
    MEMORYSTATUSEX memory = {sizeof memory};
    GlobalMemoryStatusEx(&memory);
    double requested = static_cast<double>((memory.ullTotalPhys >> 10) / 10) * 1024;
    double reported = std::stod(out[4].substr(out[4].find('=') + 1));
    EXPECT_GT(reported, requested * 0.85) << out[4];
    EXPECT_LT(reported, requested * 1.01) << out[4];
    EXPECT_EQ(out[5], "greeting=hello from util.jar");
    EXPECT_EQ(out[6], "thread=main");
    EXPECT_EQ(errors(), "");
}

TEST_F(RealJava, Java17RegisteredByTodaysInstallerAsAJava9Home) {
    std::string exe = prepare("temurin", "");
    std::string home = addBridgeRuntime(*folder_, "Temurin\\jdk-17");
    // A Java 9+ home: the library in bin\server only.
    removeTree(home + "\\bin\\client");
    removeTree(folder_->file("jre"));
    const char* key = "Software\\Eclipse Adoptium\\JDK\\17.0.15.6\\hotspot\\MSI";
    HKEY created;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_WRITE, nullptr, &created, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(created, "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(home.c_str()),
                   static_cast<DWORD>(home.size() + 1));
    RegCloseKey(created);
    folder_->write("app.ini", settingsFor("com.example.Typical", "[Java Runtime Environment+]\r\nMinimum Version=17\r\n"));

    LaunchResult result = run(exe);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\Eclipse Adoptium");
    EXPECT_EQ(result.exitCode, 0) << errors();
    std::vector<std::string> out = lines(output());
    ASSERT_GE(out.size(), 3u) << output() << errors();
    EXPECT_EQ(out[2], "VT_JVM_PATH=" + home + "\\bin\\server\\jvm.dll");
}

TEST_F(RealJava, ArgumentsWithBlanksQuotesAndAnsiCharacters) {
    std::string exe = prepare("arguments", settingsFor("com.example.Echo"));
    LaunchResult result = run(exe, {.arguments = "\"two words\" say\"hi\" caf\xE9 \"\" end"});
    EXPECT_EQ(result.exitCode, 0) << errors();
    // Java decodes each argument with the ANSI code page (é is one character)
    // and System.out encodes it back.
    EXPECT_EQ(output(), "[two words] 9\r\n[say\"hi\"] 7\r\n[caf\xE9] 4\r\n[] 0\r\n[end] 3\r\n");

    // Beyond the code page: Java gets the characters themselves (four, and
    // a pair of surrogates) and System.out writes what it cannot encode as "?".
    result = run(exe, {.arguments = "\xC5\x81\xC3\xB3" "d\xC5\xBA \xF0\x9F\x98\x80", .utf8 = true});
    EXPECT_EQ(result.exitCode, 0) << errors();
    EXPECT_EQ(output(), "[?\xF3" "d?] 4\r\n[?] 2\r\n");
}

TEST_F(RealJava, ConsoleLauncherPassesTheStandardHandlesToJava) {
    std::string exe = prepare("console", settingsFor("com.example.Cli"), "", true);
    folder_->write("input.txt", "caf\xE9 \xF1o\r\nsecond line\r\n");
    LaunchResult result = run(exe, {.arguments = "5", .inputFile = folder_->file("input.txt")});
    EXPECT_EQ(result.exitCode, 5) << errors();
    EXPECT_TRUE(result.windows.empty());
    EXPECT_EQ(output(), "read caf\xE9 \xF1o 7\r\n");
    EXPECT_EQ(errors(), "to standard error\r\n");
}

TEST_F(RealJava, OutputAndErrorFilesWrittenByPrintln) {
    std::string exe = prepare("redirection", settingsFor("com.example.Streams",
                                                          "[Application]\r\nOutput File=out.txt\r\n"
                                                          "Error File=logs\\err.txt\r\n"));
    folder_->makeFolder("logs");
    folder_->write("out.txt", "old content that must go, and it is longer than the new one");
    LaunchResult result = run(exe);
    EXPECT_EQ(result.exitCode, 0) << errors();
    EXPECT_EQ(folder_->read("out.txt"), "to the output file\r\n");
    EXPECT_EQ(folder_->read("logs\\err.txt"), "to the error file\r\n");
    EXPECT_EQ(output(), "");
}

TEST_F(RealJava, OutputFileInAMissingFolder) {
    std::string exe = prepare("redirection-missing-folder",
                              settingsFor("com.example.Streams", "[Application]\r\nOutput File=nowhere\\out.txt\r\n"));
    LaunchResult result = run(exe);
    EXPECT_EQ(result.exitCode, 0) << errors();
    // The failed redirection is described; the application runs with the
    // standard streams it had.
    std::vector<std::string> err = lines(errors());
    ASSERT_GE(err.size(), 2u) << errors();
    // The message names the file as the settings did, with the system's text.
    EXPECT_EQ(err[0], "Exception in thread \"main\" java.io.FileNotFoundException: nowhere\\out.txt (" +
                          windowsErrorText(ERROR_PATH_NOT_FOUND) + ")");
    EXPECT_EQ(err.back(), "to the error file");
    EXPECT_EQ(output(), "to the output file\r\n");
}

// The "Java Exception" dialog of a process, found from outside it.
bool isExceptionDialog(const ShownWindow& window) {
    return window.className == "#32770" && window.caption == "Java Exception";
}

// A control's text in UTF-16, read across the process boundary.
std::wstring dialogTextWide(HWND dialog, int id) {
    std::wstring text(65536, L'\0');
    DWORD_PTR length = 0;
    SendMessageTimeoutW(GetDlgItem(dialog, id), WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, 10000, &length);
    text.resize(length);
    return text;
}

TEST_F(RealJava, UncaughtExceptionShowsTheRealTraceAndStopEndsWithMinusOne) {
    std::string exe = prepare("exception-stop", settingsFor("com.example.Thrower", "[Application]\r\nFailure Check=Yes\r\n"));
    LaunchOptions options;
    options.outputFile = folder_->file("stdout.txt");
    options.errorFile = folder_->file("stderr.txt");
    LaunchedProcess process(exe, options);
    HWND dialog = process.waitForWindow(isExceptionDialog, 60000);
    ASSERT_TRUE(dialog) << folder_->read("stderr.txt");
    const std::string frames =
        "\r\n"
        "\tat com.example.Thrower.fail(Thrower.java:16)\r\n"
        "\tat com.example.Thrower.main(Thrower.java:9)\r\n"
        "Caused by: java.io.IOException: disk full\r\n"
        "\tat com.example.Thrower.write(Thrower.java:21)\r\n"
        "\tat com.example.Thrower.fail(Thrower.java:14)\r\n"
        "\t... 1 more\r\n";
    // Every letter of the message, in UTF-16, also those of no ANSI code page.
    EXPECT_TRUE(dialogTextWide(dialog, 208) ==
                L"java.lang.IllegalStateException: outer failure in C:\\Users\\J\u00e9r\u00f4me\\"
                L"\u041e\u0442\u0447\u0451\u0442 \u5831\u544a\u66f8" + std::wstring(frames.begin(), frames.end()));
    // ExceptionDescribe printed the trace on standard error before, through
    // the VM's default charset (code page 1252), which lacks some of them.
    EXPECT_EQ(folder_->read("stderr.txt"), "Exception in thread \"main\" java.lang.IllegalStateException: "
                                           "outer failure in C:\\Users\\J\xE9r\xF4me\\????? ???" + frames);

    pressButton(dialog, IDCANCEL);
    ASSERT_TRUE(process.waitForExit(30000));
    EXPECT_EQ(process.exitCode(), -1);
    EXPECT_EQ(folder_->read("stdout.txt"), "about to fail\r\n");
}

TEST_F(RealJava, NonDaemonThreadKeepsTheLauncherAlive) {
    std::string exe = prepare("worker", settingsFor("com.example.Worker"));
    std::string release = folder_->file("release");
    LaunchOptions options;
    options.arguments = "release";
    options.outputFile = folder_->file("stdout.txt");
    options.errorFile = folder_->file("stderr.txt");
    LaunchedProcess process(exe, options);
    // main has returned and the Java thread detached; the worker still runs.
    DWORD start = GetTickCount();
    while (folder_->read("stdout.txt").find("main returned") == std::string::npos) {
        ASSERT_TRUE(process.running()) << folder_->read("stderr.txt");
        ASSERT_LT(GetTickCount() - start, 60000u);
        Sleep(20);
    }
    EXPECT_EQ(WaitForSingleObject(process.processHandle(), 300), static_cast<DWORD>(WAIT_TIMEOUT));
    folder_->write("release", "");
    ASSERT_TRUE(process.waitForExit(30000));
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_EQ(folder_->read("stdout.txt"), "main returned\r\nworker done\r\n");
}

TEST_F(RealJava, SystemExitFromAnyThreadGivesTheExitCode) {
    std::string exe = prepare("system-exit", settingsFor("com.example.Exiter"));
    for (const char* code : {"42", "-2", "0", "300"}) {
        LaunchResult result = run(exe, {.arguments = code});
        EXPECT_EQ(result.exitCode, std::stoi(code)) << errors();
        EXPECT_EQ(output(), "hook ran\r\n") << code;
    }
}

TEST_F(RealJava, KilledLauncherTakesItsVmAlong) {
    std::string exe = prepare("killed", settingsFor("com.example.Worker"));
    LaunchOptions options;
    options.arguments = "never";
    options.outputFile = folder_->file("stdout.txt");
    LaunchedProcess process(exe, options);
    DWORD start = GetTickCount();
    while (folder_->read("stdout.txt").find("main returned") == std::string::npos) {
        ASSERT_TRUE(process.running());
        ASSERT_LT(GetTickCount() - start, 60000u);
        Sleep(20);
    }
    EXPECT_EQ(bridgeJvmProcesses(folder_->path()).size(), 1u);
    TerminateProcess(process.processHandle(), 9);
    WaitForSingleObject(process.processHandle(), 10000);
    EXPECT_TRUE(waitForNoBridgeJvm(folder_->path(), 10000));
}

TEST_F(RealJava, OptionTheVmRejects) {
    std::string exe = prepare("rejected-option",
                              "[Java Runtime Environment]\r\nMain Class=com.example.Typical\r\n"
                              "Virtual Machine Parameters=-Xbogus\r\n[Class Path]\r\nClass Path=\\lib\\*.jar\r\n");
    LaunchResult result = run(exe);
    EXPECT_EQ(result.exitCode, -1);
    auto boxes = result.messageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "JNI exception: failed to create the Java VM\nReason: unknown.\n");
    // The VM's own words reached the launcher's standard error.
    EXPECT_EQ(errors().substr(0, 29), "Unrecognized option: -Xbogus\n") << errors();
    EXPECT_EQ(output(), "");
}

TEST_F(RealJava, MissingMainClassIsDescribedByJava) {
    std::string exe = prepare("missing-main", settingsFor("com.example.Missing"));
    LaunchResult result = run(exe);
    EXPECT_EQ(result.exitCode, -1);
    auto boxes = result.messageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Could not find the main class com/example/Missing.\n");
    std::vector<std::string> err = lines(errors());
    ASSERT_GE(err.size(), 3u) << errors();
    EXPECT_EQ(err[0], "Exception in thread \"main\" java.lang.NoClassDefFoundError: com/example/Missing");
    EXPECT_EQ(err[1], "Caused by: java.lang.ClassNotFoundException: com.example.Missing");
}

// Waits for the single-instance mode of the launcher: enable once it is
// merged. The primary's secondaryMain receives the arguments of a second
// launch, and the second launch ends with the number secondaryMain returned.
TEST_F(RealJava, SecondaryMainReceivesTheArgumentsOfASecondLaunch) {
    std::string exe = prepare("single-instance", settingsFor("com.example.Single",
                                                             "[Application]\r\nSingle Instance=yes\r\n"));
    LaunchOptions options;
    options.arguments = "release";
    options.outputFile = folder_->file("stdout.txt");
    options.errorFile = folder_->file("stderr.txt");
    LaunchedProcess primary(exe, options);
    DWORD start = GetTickCount();
    while (folder_->read("stdout.txt").find("primary started") == std::string::npos) {
        ASSERT_TRUE(primary.running()) << folder_->read("stderr.txt");
        ASSERT_LT(GetTickCount() - start, 60000u);
        Sleep(20);
    }
    LaunchResult second = launch(exe, {.arguments = "\"a b\" c", .timeoutMs = 60000});
    EXPECT_EQ(second.exitCode, 2);
    // Only the primary's VM runs.
    EXPECT_EQ(bridgeJvmProcesses(folder_->path()).size(), 1u);
    folder_->write("release", "");
    ASSERT_TRUE(primary.waitForExit(30000));
    EXPECT_EQ(primary.exitCode(), 0);
    std::vector<std::string> out = lines(folder_->read("stdout.txt"));
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[1].substr(0, 17), "secondary [a b|c]");
}

// HotSpot 17 through the bridge: the first launch makes the archive (in
// LOCALAPPDATA on the C: drive) when its VM ends, the second maps it, and
// neither prints a word about it.
TEST_F(RealJava, ClassDataSharingMapsTheArchiveFromTheSecondLaunchQuietly) {
    std::string exe = prepare("sharing", "[Product Information]\r\nProduct Name=Sharing\r\nProduct Code=S1\r\n"
                                         "[Java Runtime Environment]\r\nMain Class=com.example.Sharing\r\n"
                                         "Class Data Sharing=Yes\r\n[Class Path]\r\nClass Path=\\lib\\*.jar\r\n");
    char local[MAX_PATH] = "";
    GetEnvironmentVariableA("LOCALAPPDATA", local, MAX_PATH);
    removeTree(std::string(local) + "\\Sharing");
    for (const char* expected : {"SharedArchiveFile= mapped=false", "/Sharing/S1/app.jsa mapped=true"}) {
        LaunchResult result = run(exe);
        EXPECT_EQ(result.exitCode, 0) << errors();
        std::string out = output();
        EXPECT_EQ(out.substr(out.size() - std::min(out.size(), std::strlen(expected) + 2)), expected + std::string("\r\n"));
        EXPECT_EQ(errors(), "");
    }
    removeTree(std::string(local) + "\\Sharing");
}

// HotSpot ends the process from inside JNI_CreateJavaVM when the VM exits
// or crashes while being created; through the bridge the launcher ends the
// same way (a crash as an access violation), with no message of its own.
// A Java agent's premain runs at that time.
TEST_F(RealJava, VmThatEndsWhileBeingCreatedEndsTheLauncher) {
    std::string exe = prepare("ends-while-created", "");
    folder_->copyFromBuild("realjava\\agent.jar", "agent.jar");
    for (const auto& [agent, code] : {std::pair<std::string, int>{"exit=3", 3}, {"crash", int(0xC0000005)}}) {
        folder_->write("app.ini", settingsFor("com.example.Typical", "[Java Runtime Environment+]\r\n"
                                              "Virtual Machine Parameters=-javaagent:agent.jar=" + agent + "\r\n"));
        LaunchResult result = run(exe);
        EXPECT_EQ(result.exitCode, code) << agent << ": " << errors();
        EXPECT_TRUE(result.windows.empty()) << agent;
        EXPECT_EQ(output().find("args="), std::string::npos) << agent;
    }
}

// A runtime image of Java 17 made by jlink has no base archive: given
// -XX:ArchiveClassesAtExit its VM gives up while being created, and takes
// the launcher with it (exit code 1).
TEST_F(RealJava, ArchiveClassesAtExitEndsTheLauncherOnAJlinkImage) {
    ASSERT_EQ(bridgeJavaMissing("jlink"), "");
    std::string image = buildOutputFolder() + "\\..\\jlink-image";
    ASSERT_NE(GetFileAttributesA((image + "\\lib\\server\\libjvm.so").c_str()), INVALID_FILE_ATTRIBUTES);
    ASSERT_EQ(GetFileAttributesA((image + "\\lib\\server\\classes.jsa").c_str()), INVALID_FILE_ATTRIBUTES);
    std::string exe = prepare("jlink-dynamic-archive", "", "jlink");
    folder_->write("app.ini", settingsFor("com.example.Typical", "[Java Runtime Environment+]\r\n"
                                          "Virtual Machine Parameters=-XX:ArchiveClassesAtExit=app.jsa\r\n"));
    LaunchResult result = run(exe);
    EXPECT_EQ(result.exitCode, 1) << errors();
    EXPECT_TRUE(result.windows.empty());
    EXPECT_NE(output().find("DynamicDumpSharedSpaces is unsupported when base CDS archive is not loaded"),
              std::string::npos) << output() << errors();
    EXPECT_EQ(GetFileAttributesA(folder_->file("app.jsa").c_str()), INVALID_FILE_ATTRIBUTES);
    // Without the option the image runs the application, also with "Class
    // Data Sharing=Yes": no base archive, so no sharing options.
    folder_->write("app.ini", settingsFor("com.example.Typical\r\nClass Data Sharing=Yes"));
    for (int launch = 0; launch < 2; ++launch) {
        EXPECT_EQ(run(exe).exitCode, 0) << errors();
        EXPECT_EQ(errors(), "");
    }
}

// "Class Data Sharing=Yes" with Java 25: the first launch trains and makes
// the ahead-of-time cache when its VM ends, the second maps it; neither
// prints HotSpot's progress. The child JVM that makes the cache announces
// its options on standard error (a Windows program started without one
// does not have it).
TEST_F(RealJava, ClassDataSharingOfJava25MakesItsCacheFirstAndMapsItNext) {
    if (std::string missing = bridgeJavaMissing("java25"); !missing.empty()) GTEST_SKIP() << missing;
    std::string exe = prepare("java25-sharing", "[Product Information]\r\nProduct Name=Sharing25\r\nProduct Code=S1\r\n" +
                                                    settingsFor("com.example.Sharing\r\nClass Data Sharing=Yes"), "java25");
    char local[MAX_PATH] = "";
    GetEnvironmentVariableA("LOCALAPPDATA", local, MAX_PATH);
    std::string folder = std::string(local) + "\\Sharing25";
    removeTree(folder);
    EXPECT_EQ(run(exe, {.arguments = "AOTCache"}).exitCode, 0) << errors();
    EXPECT_EQ(output(), "AOTCache= mapped=false\r\n");
    EXPECT_TRUE(errors().empty() || errors().rfind("Picked up JAVA_TOOL_OPTIONS: ", 0) == 0) << errors();
    EXPECT_EQ(run(exe, {.arguments = "AOTCache"}).exitCode, 0) << errors();
    EXPECT_NE(output().find("/AppData/Local/Sharing25/S1/app.aot mapped=true\r\n"), std::string::npos) << output();
    EXPECT_EQ(errors(), "");
    removeTree(folder);
}

}  // namespace
