// Hostile input end to end: settings files edited by hand or broken, a
// registry filled by careless installers, pictures from anywhere, extreme
// command lines and paths, and other processes writing into the
// single-instance block. Each case names the outcome it expects; none may
// crash, hang or lose what the user gave.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "harness/JsonValue.h"
#include "harness/LaunchHarness.h"
#include "harness/TestFolder.h"
#include "harness/TestRuntime.h"

inline bool operator==(SIZE a, SIZE b) { return a.cx == b.cx && a.cy == b.cy; }
inline std::ostream& operator<<(std::ostream& out, SIZE size) {
    return out << size.cx << " x " << size.cy;
}

namespace {

using Args = std::vector<std::string>;

const char kMainClassMissing[] = "Main class was not specified in INI file.";

const char kSettings[] =
    "[Java Runtime Environment]\r\nMain Class=Main\r\n"
    "[Class Path]\r\nClass Path=\\classes\r\n";

// Deterministic bytes of every value, zeros and line ends included.
std::string garbage(std::size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    for (char& c : bytes) {
        seed = seed * 1103515245u + 12345u;
        c = static_cast<char>(seed >> 16);
    }
    return bytes;
}

class BadInput : public ::testing::Test {
protected:
    // app.exe with a test runtime in "jre" beside it and the class Main.
    std::string prepare(const std::string& settings,
                        const std::string& mainScript = "main\n    out started\n") {
        addTestRuntime(folder_, "jre");
        folder_.write("app.ini", settings);
        folder_.write("classes\\Main.class", mainScript);
        return folder_.addLauncher("app.exe");
    }

    LaunchOptions options(const std::string& arguments = "") const {
        LaunchOptions options;
        options.arguments = arguments;
        options.environment = {{"TESTJVM_TRACE", tracePath()}};
        return options;
    }

    LaunchResult run(const std::string& exe, LaunchOptions launchOptions) {
        LaunchResult result = launch(exe, std::move(launchOptions));
        trace_ = readTrace(tracePath());
        return result;
    }
    LaunchResult run(const std::string& exe) { return run(exe, options()); }

    // The launch reached main and ended well.
    void expectMainRan(const LaunchResult& result) const {
        EXPECT_FALSE(result.timedOut);
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_TRUE(result.messageBoxes().empty());
        EXPECT_TRUE(trace_.has("call")) << trace_.text.substr(0, 2000);
        EXPECT_TRUE(trace_.problems().empty()) << trace_.text.substr(0, 2000);
    }

    // The launch stopped with the one message that "Main Class" is missing.
    static void expectMainClassMessage(const LaunchResult& result) {
        EXPECT_FALSE(result.timedOut);
        EXPECT_EQ(result.exitCode, -1);
        auto boxes = result.messageBoxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, kMainClassMissing);
    }

    std::string tracePath() const { return folder_.file("trace.txt"); }

    TestFolder folder_{std::string("bad-input-") +
                       ::testing::UnitTest::GetInstance()->current_test_info()->name()};
    Trace trace_;
};

// ---------------------------------------------------------------- settings

TEST_F(BadInput, SettingsFileOfBinaryGarbageGivesTheMainClassMessage) {
    // Random bytes, and the same behind a UTF-16 byte order mark, which the
    // platform's reader takes as a wide file.
    for (const std::string& content : {garbage(65536, 1), "\xFF\xFE" + garbage(65536, 2)}) {
        std::string exe = prepare(content);
        expectMainClassMessage(run(exe));
        EXPECT_FALSE(trace_.has("load"));
    }
}

TEST_F(BadInput, SettingsFileOfCarriageReturnsOnlyGivesTheMainClassMessage) {
    std::string exe = prepare(std::string(100000, '\r'));
    expectMainClassMessage(run(exe));
}

TEST_F(BadInput, ValueOf64KilobytesReachesTheVmWhole) {
    // A VM parameter of 64 KB: read whole (the value's buffer grows to fit),
    // expanded whole (it is longer than the platform's expansion handles in
    // one call) and handed to the VM unchanged.
    const std::string big = "-Dbig=" + std::string(65536, 'v');
    std::string exe = prepare(
        "[Java Runtime Environment]\r\nMain Class=Main\r\nVirtual Machine Parameters=" + big +
        " -Dsmall=1\r\n[Class Path]\r\nClass Path=\\classes\r\n");
    LaunchResult result = run(exe);
    expectMainRan(result);
    Args vmOptions = trace_.first("create").list("option");
    ASSERT_EQ(vmOptions.size(), 3u);
    EXPECT_EQ(vmOptions[1].size(), big.size());
    EXPECT_EQ(vmOptions[1], big);
    EXPECT_EQ(vmOptions[2], "-Dsmall=1");
}

TEST_F(BadInput, TenThousandSectionsBeforeTheRealOnes) {
    std::string settings;
    for (int i = 0; i < 10000; ++i)
        settings += "[Section " + std::to_string(i) + "]\r\nMain Class=Wrong" + std::to_string(i) +
                    "\r\nClass Path=\\nowhere\r\n";
    settings += kSettings;
    std::string exe = prepare(settings);
    DWORD start = GetTickCount();
    LaunchResult result = run(exe);
    DWORD elapsed = GetTickCount() - start;
    expectMainRan(result);
    EXPECT_EQ(trace_.first("call").get("class"), "Main");
    std::printf("[ timing   ] launch with 10,000 sections: %lu ms\n", elapsed);
    EXPECT_LT(elapsed, 20000u);
}

TEST_F(BadInput, ClassPathOfTwoThousandEntriesGivesAnOptionOver32Kilobytes) {
    // 1,000 jars beside the launcher, searched and found, alternating with
    // 1,000 absolute entries of files that do not exist, which stay as
    // written. The whole option reaches the VM unchanged.
    std::string entries;
    std::string expected = "-Djava.class.path=";
    for (int i = 0; i < 1000; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "j%04d.jar", i);
        folder_.write(std::string("lib\\") + name,
                      i == 0 ? "#testjvm-jar\nclass Main\nmain\n    out started\n" : "#testjvm-jar\n");
        std::string absent = "C:\\absent\\a" + std::to_string(i) + ".jar";
        entries += std::string(i ? ";" : "") + "\\lib\\" + name + ";" + absent;
        expected += folder_.file(std::string("lib\\") + name) + ";" + absent + ";";
    }
    std::string exe = prepare("[Java Runtime Environment]\r\nMain Class=Main\r\n"
                              "[Class Path]\r\nClass Path=" + entries + "\r\n");
    ASSERT_GT(expected.size(), 32768u);
    LaunchResult result = run(exe);
    expectMainRan(result);
    Args vmOptions = trace_.first("create").list("option");
    ASSERT_FALSE(vmOptions.empty());
    EXPECT_EQ(vmOptions[0].size(), expected.size());
    EXPECT_TRUE(vmOptions[0] == expected) << vmOptions[0].substr(0, 300);
}

// ------------------------------------------------------------ command line

TEST_F(BadInput, CommandLineOf32000CharactersReachesMainWhole) {
    std::string exe = prepare(kSettings);
    // Many short arguments and one long quoted one, up to 32,000 characters
    // with the quoted program path (the platform's limit is 32,767).
    const std::string head = "\"" + exe + "\"";
    Args expected;
    std::string arguments;
    for (int i = 0; i < 2000; ++i) {
        expected.push_back("arg" + std::to_string(i));
        arguments += expected.back() + " ";
    }
    std::size_t rest = 32000 - head.size() - 1 - arguments.size() - 2;
    expected.push_back(std::string(rest, 'q'));
    expected.back().replace(rest / 2, 1, " ");  // quoted, so the blank stays
    arguments += "\"" + expected.back() + "\"";
    ASSERT_EQ(head.size() + 1 + arguments.size(), 32000u);

    LaunchResult result = run(exe, options(arguments));
    expectMainRan(result);
    Args received = trace_.first("call").list("arg");
    ASSERT_EQ(received.size(), expected.size());
    EXPECT_TRUE(received == expected);
}

// ---------------------------------------------------------------- registry

class BadRegistry : public BadInput {
protected:
    void SetUp() override { removeRuntimeRegistrations(); }
    void TearDown() override { removeRuntimeRegistrations(); }

    static constexpr const char* kRuntimes = "Software\\JavaSoft\\Java Runtime Environment\\";

    // The version key under the Sun runtime key; null when the registry
    // refuses it.
    static HKEY createVersionKey(const std::string& version) {
        std::wstring path(kRuntimes, kRuntimes + std::char_traits<char>::length(kRuntimes));
        path += std::wstring(version.begin(), version.end());
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                            &key, nullptr) != ERROR_SUCCESS)
            return nullptr;
        return key;
    }

    static void setValue(HKEY key, DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(RegSetValueExA(key, "JavaHome", 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
    }

    static void registerRuntime(const std::string& version, const std::string& home) {
        HKEY key = createVersionKey(version);
        ASSERT_NE(key, nullptr) << version;
        setValue(key, REG_SZ, home.c_str(), static_cast<DWORD>(home.size() + 1));
        RegCloseKey(key);
    }

    // app.exe without a runtime beside it, and the class Main.
    std::string prepareWithoutLocalRuntime() {
        folder_.write("app.ini", kSettings);
        folder_.write("classes\\Main.class", "main\n    out started\n");
        return folder_.addLauncher("app.exe");
    }

    // Launches and gives the JVM library the launcher loaded; the JRE Not
    // Found dialog, should it come, is cancelled.
    std::string loadedLibrary(const std::string& exe) {
        DeleteFileA(tracePath().c_str());
        LaunchResult result = run(exe);
        EXPECT_FALSE(result.timedOut);
        return trace_.first("load").get("module");
    }
};

TEST_F(BadRegistry, OverlongVersionNamesAreRefusedByTheRegistryAndTheLongestIsReadWhole) {
    std::string chosen = addTestRuntime(folder_, "chosen");
    std::string other = addTestRuntime(folder_, "other");
    // The registry takes no key name of 300 characters (Windows allows 255;
    // Wine 256), so no installer can leave one there.
    EXPECT_EQ(createVersionKey("1.9.0_" + std::string(294, '9')), nullptr);
    EXPECT_EQ(createVersionKey(std::string(300, 'x')), nullptr);
    // The longest name it takes is enumerated and parsed whole: 1.8.0.7
    // beats the 1.6 registered beside it.
    std::string longest;
    for (std::size_t length = 300; length > 200 && longest.empty(); --length) {
        std::string name = "1.8.0_7" + std::string(length - 7, 'x');
        if (HKEY key = createVersionKey(name)) {
            RegCloseKey(key);
            longest = name;
        }
    }
    ASSERT_FALSE(longest.empty());
    std::printf("[ registry ] longest version key name taken: %zu characters\n", longest.size());
    registerRuntime(longest, chosen);
    registerRuntime("1.6", other);
    registerRuntime("1.0_" + std::string(240, '5'), other);  // a part past 2^31: 0.0.0.0

    std::string exe = prepareWithoutLocalRuntime();
    EXPECT_EQ(loadedLibrary(exe), chosen + "\\bin\\client\\jvm.dll");
    EXPECT_TRUE(trace_.has("call"));
}

TEST_F(BadRegistry, BrokenJavaHomeValuesAreSkippedWithoutReadingPastThem) {
    std::string good = addTestRuntime(folder_, "good");
    std::string unterminated = addTestRuntime(folder_, "unterminated");
    // Higher versions with broken values; the plain 1.5 is the fallback.
    registerRuntime("1.5", good);
    HKEY dword = createVersionKey("1.9");
    DWORD number = 0x005A5A5A;  // "ZZZ" as bytes: a relative folder that is not there
    setValue(dword, REG_DWORD, &number, sizeof number);
    RegCloseKey(dword);
    HKEY huge = createVersionKey("1.8");
    std::string hugeHome = folder_.path() + "\\" + std::string(10000, 'h');
    setValue(huge, REG_SZ, hugeHome.c_str(), static_cast<DWORD>(hugeHome.size() + 1));
    RegCloseKey(huge);
    HKEY binary = createVersionKey("1.85");
    setValue(binary, REG_BINARY, garbage(4096, 9).data(), 4096);
    RegCloseKey(binary);
    HKEY empty = createVersionKey("1.95");
    setValue(empty, REG_SZ, "", 0);
    RegCloseKey(empty);

    std::string exe = prepareWithoutLocalRuntime();
    EXPECT_EQ(loadedLibrary(exe), good + "\\bin\\client\\jvm.dll");

    // A string stored without its terminating zero is taken up to the size
    // the registry reports, no further: here it names a runtime, 1.7.
    HKEY open = createVersionKey("1.7");
    setValue(open, REG_SZ, unterminated.data(), static_cast<DWORD>(unterminated.size()));
    RegCloseKey(open);
    EXPECT_EQ(loadedLibrary(exe), unterminated + "\\bin\\client\\jvm.dll");
    EXPECT_TRUE(trace_.problems().empty());
}

TEST_F(BadRegistry, TenThousandVersionKeys) {
    // 10,000 registrations of folders that hold no runtime, each probed for
    // every JVM library, and one real runtime among them.
    std::string real = addTestRuntime(folder_, "real");
    std::string exe = prepareWithoutLocalRuntime();
    registerRuntime("1.4.2", real);
    DWORD baselineStart = GetTickCount();
    EXPECT_EQ(loadedLibrary(exe), real + "\\bin\\client\\jvm.dll");
    DWORD baseline = GetTickCount() - baselineStart;

    for (int i = 0; i < 10000; ++i) {
        HKEY key = createVersionKey("1.6.0_" + std::to_string(i));
        ASSERT_NE(key, nullptr);
        std::string home = folder_.path() + "\\missing\\" + std::to_string(i);
        setValue(key, REG_SZ, home.c_str(), static_cast<DWORD>(home.size() + 1));
        RegCloseKey(key);
    }
    DWORD start = GetTickCount();
    EXPECT_EQ(loadedLibrary(exe), real + "\\bin\\client\\jvm.dll");
    DWORD missing = GetTickCount() - start;

    // The same 10,000 keys all naming the real runtime: 10,000 candidates
    // to order. The highest, 1.6.0_9999, is chosen.
    for (int i = 0; i < 10000; ++i) {
        HKEY key = createVersionKey("1.6.0_" + std::to_string(i));
        setValue(key, REG_SZ, real.c_str(), static_cast<DWORD>(real.size() + 1));
        RegCloseKey(key);
    }
    start = GetTickCount();
    EXPECT_EQ(loadedLibrary(exe), real + "\\bin\\client\\jvm.dll");
    DWORD found = GetTickCount() - start;

    std::printf("[ timing   ] launch through the registry: 1 key %lu ms; 10,000 keys of missing "
                "runtimes %lu ms; 10,000 keys of one runtime %lu ms\n",
                baseline, missing, found);
    EXPECT_LT(missing, 30000u);
    EXPECT_LT(found, 30000u);
}

// --------------------------------------------------------- paths and names

TEST_F(BadInput, AppDataOf300Characters) {
    // The per-user settings file would lie deeper than the platform's paths
    // go (its INI calls refuse it): it counts as missing, and the runtime
    // remembered in the settings file is used.
    std::string appData = folder_.path();
    while (appData.size() < 300)
        appData += "\\" + std::string(std::min<std::size_t>(40, 300 - appData.size() - 1), 'a');
    ASSERT_EQ(appData.size(), 300u);
    createFolders(appData);
    std::string remembered = addTestRuntime(folder_, "remembered");
    folder_.write("app.ini", "[Product Information]\r\nProduct Name=Demo\r\nProduct Code=demo-1\r\n"
                             "[Java Runtime Environment]\r\nMain Class=Main\r\nJRE Path=" +
                                 remembered + "\r\n[Class Path]\r\nClass Path=\\classes\r\n");
    folder_.write("classes\\Main.class", "main\n    out started\n");
    std::string exe = folder_.addLauncher("app.exe");
    LaunchOptions launchOptions = options();
    launchOptions.environment.push_back({"APPDATA", appData});
    LaunchResult result = run(exe, launchOptions);
    expectMainRan(result);
    EXPECT_EQ(trace_.first("load").get("module"), remembered + "\\bin\\client\\jvm.dll");
}

// A folder under the test's folder whose path is length characters long.
std::string deepFolder(const std::string& base, std::size_t length) {
    std::string folder = base;
    while (folder.size() < length)
        folder += "\\" + std::string(std::min<std::size_t>(50, length - folder.size() - 1), 'd');
    createFolders(folder);
    return folder;
}

TEST_F(BadInput, ModulePathOf259Characters) {
    // The executable's full path is as long as the platform starts programs
    // from; its settings file, as long, lies beside it. Nothing longer can
    // be there, so runtime and classes lie elsewhere.
    std::string folder = deepFolder(folder_.path(), 259 - 8);
    std::string exe = folder + "\\app.exe";
    ASSERT_EQ(exe.size(), 259u);
    ASSERT_TRUE(CopyFileA((buildOutputFolder() + "\\launcher.exe").c_str(), exe.c_str(), FALSE));
    std::string home = addTestRuntime(folder_, "jre");
    folder_.write("classes\\Main.class", "main\n    out started\n");
    writeWholeFile(folder + "\\app.ini", "[Java Runtime Environment]\r\nMain Class=Main\r\nJRE Path=" +
                                             home + "\r\n[Class Path]\r\nClass Path=" +
                                             folder_.file("classes") + "\r\n");
    LaunchResult result = run(exe);
    expectMainRan(result);
    EXPECT_EQ(trace_.first("load").get("module"), home + "\\bin\\client\\jvm.dll");
    Trace first = trace_;

    // In single-instance mode the names of the shared objects, made from the
    // path, would be longer than the platform takes: they are made from a
    // digest of it, and the second launch hands over to the first.
    writeWholeFile(folder + "\\app.ini",
                   readWholeFile(folder + "\\app.ini") + "[Application]\r\nSingle Instance=yes\r\n");
    ScriptEvent quit("deep-quit");
    folder_.write("classes\\Main.class",
                  "main\n    thread until " + quit.name() + "\nsecondaryMain int\n    return 7\n");
    DeleteFileA(tracePath().c_str());
    LaunchedProcess primary(exe, options("one"));
    ASSERT_TRUE(waitForTraceEvent(tracePath(), "thread-begin", 20000));
    LaunchedProcess second(exe, options("two"));
    ASSERT_TRUE(second.waitForExit(20000));
    EXPECT_EQ(second.exitCode(), 7);
    quit.set();
    ASSERT_TRUE(primary.waitForExit(20000));
    EXPECT_EQ(primary.exitCode(), 0);
    EXPECT_EQ(readTrace(tracePath()).all("thread-begin").size(), 1u);
}

// A copy of a file of the build output at a path of any length.
void copyBuiltTo(const std::string& name, const std::string& path) {
    std::wstring target = L"\\\\?\\" + std::wstring(path.begin(), path.end());
    for (std::size_t slash = target.find(L'\\', 7); slash != std::wstring::npos; slash = target.find(L'\\', slash + 1))
        CreateDirectoryW(target.substr(0, slash).c_str(), nullptr);
    std::string source = buildOutputFolder() + "\\" + name;
    ASSERT_TRUE(CopyFileW(std::wstring(source.begin(), source.end()).c_str(), target.c_str(), FALSE)) << path;
}

TEST_F(BadInput, RuntimeBesideAnExecutableInALongFolder) {
    // The bundled runtime's JVM library lies deeper than the platform's
    // paths go: it is found through the short names of the folders.
    std::string folder = deepFolder(folder_.path(), 237);
    ASSERT_EQ((folder + "\\jre\\bin\\client\\jvm.dll").size(), 260u);
    std::string exe = folder + "\\app.exe";
    ASSERT_TRUE(CopyFileA((buildOutputFolder() + "\\launcher.exe").c_str(), exe.c_str(), FALSE));
    writeWholeFile(folder + "\\jre\\bin\\java.dll", "");
    copyBuiltTo("testjvm.dll", folder + "\\jre\\bin\\client\\jvm.dll");
    writeWholeFile(folder + "\\app.ini", "[Java Runtime Environment]\r\nMain Class=Main\r\n"
                                         "[Class Path]\r\nClass Path=" + folder_.file("classes") + "\r\n");
    folder_.write("classes\\Main.class", "main\n    out started\n");
    LaunchResult result = run(exe);
    expectMainRan(result);
    std::string loaded = trace_.first("load").get("module");
    EXPECT_LT(loaded.size(), static_cast<std::size_t>(MAX_PATH));
    EXPECT_TRUE(loaded.ends_with("\\jre\\bin\\client\\jvm.dll")) << loaded;
    // explain names the library the launch loads, and the long home it
    // stands for.
    launch(buildOutputFolder() + "\\explain.exe",
           {.arguments = "--json \"" + exe + "\"", .outputFile = folder_.file("explain.json")});
    JsonValue explained = parseJson(folder_.read("explain.json"));
    EXPECT_EQ(explained["discovery"]["jvmLibrary"].text, loaded);
    EXPECT_EQ(explained["discovery"]["steps"][1]["probes"][0]["homeWritten"].text, folder + "\\jre\\");

    // Folders of short names only, from the drive on: nothing shortens the
    // path, and the message names it and its length. 240 characters in
    // names of up to eight: the marker beside the executable can be looked
    // for, the JVM library cannot.
    const std::string base = "C:\\e2elong";
    removeTree(base);
    std::string shortFolder = base;
    while (shortFolder.size() + 9 <= 231) shortFolder += "\\abcdefgh";
    std::size_t rest = 240 - shortFolder.size() - 2;
    shortFolder += "\\" + std::string(rest / 2, 'x') + "\\" + std::string(rest - rest / 2, 'y');
    std::string library = shortFolder + "\\jre\\bin\\client\\jvm.dll";
    ASSERT_GE(library.size(), static_cast<std::size_t>(MAX_PATH));
    createFolders(shortFolder);
    exe = shortFolder + "\\a.exe";
    ASSERT_TRUE(CopyFileA((buildOutputFolder() + "\\launcher.exe").c_str(), exe.c_str(), FALSE));
    createFolders(shortFolder + "\\jre\\bin");
    writeWholeFile(shortFolder + "\\jre\\bin\\java.dll", "");
    copyBuiltTo("testjvm.dll", library);
    writeWholeFile(shortFolder + "\\a.ini", readWholeFile(folder + "\\app.ini"));
    DeleteFileA(tracePath().c_str());
    result = run(exe);
    EXPECT_EQ(result.exitCode, -1);
    ASSERT_EQ(result.messageBoxes().size(), 1u);
    const std::string text = result.messageBoxes()[0].text;
    EXPECT_NE(text.find(library), std::string::npos) << text;
    EXPECT_NE(text.find(std::to_string(library.size())), std::string::npos) << text;
    EXPECT_FALSE(trace_.has("load"));
    removeTree(base);
}

TEST_F(BadInput, SystemPathLongerThanAnEnvironmentVariableLeavesPathAlone) {
    // "Path" made of the System Path and the previous search path would be
    // longer than a variable holds (32,767 characters): it stays as it was,
    // and the launch goes on.
    std::string systemPath;
    while (systemPath.size() < 40000) systemPath += "C:\\tools\\" + std::to_string(systemPath.size()) + ";";
    std::string exe = prepare("[Java Runtime Environment]\r\nMain Class=Main\r\nSystem Path=" +
                              systemPath + "\r\n[Class Path]\r\nClass Path=\\classes\r\n");
    char path[4096] = "";
    GetEnvironmentVariableA("Path", path, sizeof path);
    LaunchResult result = run(exe);
    expectMainRan(result);
    for (const TraceEvent& e : trace_.all("vm-env"))
        if (e.get("name") == "Path") EXPECT_EQ(e.get("value"), path);
}

// ----------------------------------------------------------------- splash

class BadPicture : public BadInput {
protected:
    // Launches with the picture as splash screen; main waits until the test
    // has looked at the splash window. Gives its size, or (-1, -1) when none
    // appeared.
    SIZE splashWindowFor(const std::string& picture) {
        folder_.write("splash.bmp", picture);
        ScriptEvent seen("bad-picture-seen");
        std::string exe =
            prepare(std::string(kSettings) + "[Display]\r\nSplash Screen=" + folder_.file("splash.bmp") + "\r\n",
                    "main\n    wait " + seen.name() + " 20000\n");
        LaunchedProcess process(exe, options());
        HWND splash = process.waitForWindow(
            [](const ShownWindow& window) { return window.className == "SplashScreenWindow"; }, 20000);
        SIZE size{-1, -1};
        if (splash) {
            RECT frame;
            GetWindowRect(splash, &frame);
            size = SIZE{frame.right - frame.left, frame.bottom - frame.top};
        }
        seen.set();
        EXPECT_TRUE(process.waitForExit(20000));
        EXPECT_EQ(process.exitCode(), 0);
        trace_ = readTrace(tracePath());
        EXPECT_TRUE(trace_.has("return")) << trace_.text;
        return size;
    }

    // A BMP file header and an info header for a 24-bit picture, then body.
    static std::string bitmap(std::int32_t width, std::int32_t height, std::size_t bodySize) {
        std::string header(54, '\0');
        auto put = [&header](std::size_t at, std::uint32_t value, int bytes) {
            for (int i = 0; i < bytes; ++i) header[at + i] = static_cast<char>(value >> (8 * i));
        };
        header[0] = 'B';
        header[1] = 'M';
        put(2, static_cast<std::uint32_t>(54 + bodySize), 4);
        put(10, 54, 4);
        put(14, 40, 4);
        put(18, static_cast<std::uint32_t>(width), 4);
        put(22, static_cast<std::uint32_t>(height), 4);
        put(26, 1, 2);
        put(28, 24, 2);
        return header + std::string(bodySize, '\x7F');
    }
};

TEST_F(BadPicture, ZeroByteFileGivesAnEmptyWindow) {
    EXPECT_EQ(splashWindowFor(""), (SIZE{0, 0}));
}

TEST_F(BadPicture, TruncatedPicturesGiveAnEmptyWindow) {
    // A bitmap whose rows stop early: the decoder would read them from past
    // the end of the file, so it is refused.
    EXPECT_EQ(splashWindowFor(bitmap(64, 64, 100)), (SIZE{0, 0}));
    // The same header with every row there is a picture.
    EXPECT_EQ(splashWindowFor(bitmap(64, 64, 64 * 64 * 3)), (SIZE{64, 64}));
}

TEST_F(BadPicture, TruncatedJpegDoesNotStopTheLaunch) {
    // Whatever the decoder makes of half a JPEG (nothing, or a picture of
    // the size its header gives), the launch goes on.
    std::string jpeg = readWholeFile(testDataFile("splash-320x200.jpg"));
    SIZE size = splashWindowFor(jpeg.substr(0, jpeg.size() / 2));
    std::printf("[ splash   ] half a JPEG: window of %ld x %ld\n", size.cx, size.cy);
    EXPECT_TRUE(size == (SIZE{0, 0}) || size == (SIZE{320, 200}))
        << size.cx << " x " << size.cy;
}

TEST_F(BadPicture, HeaderClaiming60000By60000PixelsGivesAnEmptyWindow) {
    // 10 GB of pixels claimed by a file of a few hundred bytes: refused
    // before any decoder or bitmap of that size is attempted.
    EXPECT_EQ(splashWindowFor(bitmap(60000, 60000, 300)), (SIZE{0, 0}));
    EXPECT_EQ(splashWindowFor(bitmap(60000, -60000, 300)), (SIZE{0, 0}));
}

// ---------------------------------------------------------- single instance

class HostilePeer : public BadInput {
protected:
    std::string prepareSingleInstance(const std::string& script) {
        return prepare(std::string(kSettings) + "[Application]\r\nSingle Instance=yes\r\n", script);
    }

    LaunchOptions traced(const std::string& traceName, const std::string& arguments = "") const {
        LaunchOptions launchOptions;
        launchOptions.arguments = arguments;
        launchOptions.environment = {{"TESTJVM_TRACE", folder_.file(traceName)}};
        return launchOptions;
    }

    std::unique_ptr<LaunchedProcess> startPrimary(const std::string& exe) {
        auto primary = std::make_unique<LaunchedProcess>(exe, traced("primary.txt"));
        EXPECT_TRUE(waitForTraceEvent(folder_.file("primary.txt"), "thread-begin", 20000));
        return primary;
    }

    // The block as another process sees it; unmapped when the test ends.
    std::uint8_t* mapBlock(const std::string& exe) {
        std::string name = exe;
        std::replace(name.begin(), name.end(), '\\', '_');
        mapping_ = OpenFileMappingA(FILE_MAP_WRITE, FALSE, name.c_str());
        EXPECT_NE(mapping_, nullptr);
        view_ = MapViewOfFile(mapping_, FILE_MAP_WRITE, 0, 0, 0);
        EXPECT_NE(view_, nullptr);
        return static_cast<std::uint8_t*>(view_);
    }

    void TearDown() override {
        if (view_) UnmapViewOfFile(view_);
        if (mapping_) CloseHandle(mapping_);
    }

    std::vector<TraceEvent> secondaryCalls() const {
        std::vector<TraceEvent> calls;
        for (const TraceEvent& call : readTrace(folder_.file("primary.txt")).all("call"))
            if (call.get("method") == "secondaryMain") calls.push_back(call);
        return calls;
    }

    HANDLE mapping_ = nullptr;
    void* view_ = nullptr;
};

TEST_F(HostilePeer, ArgumentAreaWithoutAnyZeroIsReadWithinTheArea) {
    ScriptEvent quit("hostile-area-quit");
    std::string exe = prepareSingleInstance("main\n    thread until " + quit.name() +
                                            "\nsecondaryMain int\n    return args\n");
    auto primary = startPrimary(exe);
    std::uint8_t* block = mapBlock(exe);
    ASSERT_NE(block, nullptr);

    // Another process fills the area with non-zero bytes, without a single
    // terminator, and hands it over as a secondary would.
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
    std::fill(block + 12, block + 1052, std::uint8_t{'x'});
    DWORD listener = 0, messageId = 0;
    std::memcpy(&listener, block, 4);
    std::memcpy(&messageId, block + 8, 4);
    ASSERT_TRUE(PostThreadMessageA(listener, messageId, GetCurrentThreadId(), 0));
    // Nothing complete is in the area: secondaryMain gets no arguments and
    // its answer, 0, comes back.
    bool answered = false;
    WPARAM answer = 99;
    waitUntil(
        [&] {
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
                if (message.message == messageId) {
                    answered = true;
                    answer = message.wParam;
                }
            return answered;
        },
        20000);
    EXPECT_TRUE(answered);
    EXPECT_EQ(answer, 0u);
    std::vector<TraceEvent> calls = secondaryCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].get("args"), "0");

    // The primary goes on serving: a real secondary is answered.
    LaunchResult second = launch(exe, traced("second.txt", "a b c"));
    EXPECT_EQ(second.exitCode, 3);
    calls = secondaryCalls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1].list("arg"), (Args{"a", "b", "c"}));

    quit.set();
    ASSERT_TRUE(primary->waitForExit(20000));
    EXPECT_EQ(primary->exitCode(), 0);
    EXPECT_TRUE(readTrace(folder_.file("primary.txt")).problems().empty());
}

TEST_F(HostilePeer, WholeBlockOverwrittenLeavesSecondariesFailingAndThePrimaryEndingWell) {
    ScriptEvent quit("hostile-block-quit");
    std::string exe = prepareSingleInstance("main\n    thread until " + quit.name() +
                                            "\nsecondaryMain int\n    return args\n");
    auto primary = startPrimary(exe);
    std::uint8_t* block = mapBlock(exe);
    ASSERT_NE(block, nullptr);
    // Every byte, the listener's thread id, the process id and the message
    // id included.
    std::fill(block, block + 1052, std::uint8_t{0xFF});

    // A secondary finds no listener to hand over to and gives up: -1.
    DWORD start = GetTickCount();
    LaunchResult second = launch(exe, traced("second.txt", "lost"));
    EXPECT_FALSE(second.timedOut);
    EXPECT_EQ(second.exitCode, -1);
    EXPECT_LT(GetTickCount() - start, 15000u);
    EXPECT_TRUE(secondaryCalls().empty());

    // The primary does not take its own identities from the block: it still
    // ends when the application does.
    quit.set();
    ASSERT_TRUE(primary->waitForExit(20000)) << "the primary hangs at its end";
    EXPECT_EQ(primary->exitCode(), 0);
}

TEST_F(HostilePeer, SecondariesStartedWhileThePrimaryShutsDownAllEnd) {
    ScriptEvent quit("hostile-loop-quit");
    std::string exe = prepareSingleInstance("main\n    thread until " + quit.name() +
                                            "\nsecondaryMain int\n    return 42\n");
    auto primary = startPrimary(exe);

    // Ten secondaries are answered while the primary runs.
    std::vector<std::unique_ptr<LaunchedProcess>> early;
    for (int i = 0; i < 10; ++i)
        early.push_back(std::make_unique<LaunchedProcess>(
            exe, traced("early" + std::to_string(i) + ".txt", "e" + std::to_string(i))));
    for (auto& secondary : early) {
        ASSERT_TRUE(secondary->waitForExit(30000));
        EXPECT_EQ(secondary->exitCode(), 42);
    }

    // Then the primary is told to end, and more secondaries come back to
    // back while it does.
    constexpr int kCount = 30;
    quit.set();
    std::vector<std::unique_ptr<LaunchedProcess>> secondaries;
    for (int i = 0; i < kCount; ++i)
        secondaries.push_back(std::make_unique<LaunchedProcess>(
            exe, traced("second" + std::to_string(i) + ".txt", "s" + std::to_string(i))));
    ASSERT_TRUE(primary->waitForExit(30000)) << "the primary hangs";
    EXPECT_EQ(primary->exitCode(), 0);

    // Each one ends: with the answer, with the primary's exit code (0),
    // with -1 when nobody took its arguments, or, once the primary was gone,
    // as a primary of its own that ran the application (0).
    int answered = 0;
    for (int i = 0; i < kCount; ++i) {
        SCOPED_TRACE("secondary " + std::to_string(i));
        ASSERT_TRUE(secondaries[i]->waitForExit(30000)) << "hangs";
        int code = secondaries[i]->exitCode();
        EXPECT_TRUE(code == 42 || code == 0 || code == -1) << code;
        if (code == 42) ++answered;
        Trace own = readTrace(folder_.file("second" + std::to_string(i) + ".txt"));
        EXPECT_TRUE(own.problems().empty()) << own.text;
    }
    std::printf("[ single   ] %d of %d secondaries answered\n", answered, kCount);
}

}  // namespace
