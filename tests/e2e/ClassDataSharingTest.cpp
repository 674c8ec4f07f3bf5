// "Class Data Sharing=Yes" with the test runtime registered as Java 11, 17,
// 21 and 25 (each with a base archive, 25 with java.exe): the options a
// launch adds after the class path option, the archive, cache and record in
// LOCALAPPDATA (the test runtime writes none; a test writes them as HotSpot
// would), a VM that ends the process or crashes while being created with
// them, and explain's decision.
#include <windows.h>

#include <gtest/gtest.h>

#include "harness/JsonValue.h"
#include "harness/LaunchHarness.h"
#include "harness/TestFolder.h"
#include "harness/TestRuntime.h"

namespace {

using Options = std::vector<std::string>;
using Environment = std::vector<std::pair<std::string, std::string>>;

class ClassDataSharing : public ::testing::Test {
protected:
    void SetUp() override {
        removeRuntimeRegistrations();
        for (std::string version : {"11.0.2", "17.0.2", "21.0.1", "25.0.1"}) {
            std::string home = addTestRuntime(folder_, "jre" + version);
            folder_.write("jre" + version + "\\bin\\client\\classes.jsa", "");
            RegSetKeyValueA(HKEY_LOCAL_MACHINE, ("Software\\JavaSoft\\Java Runtime Environment\\" + version).c_str(),
                            "JavaHome", REG_SZ, home.c_str(), static_cast<DWORD>(home.size() + 1));
        }
        folder_.write("jre25.0.1\\bin\\java.exe", "");
        // main waits until the test lets it end.
        folder_.write("lib\\app.jar", "#testjvm-jar\nclass Main\nmain\n    wait " + event_.name() + "\n");
        folder_.makeFolder("local");
        exe_ = folder_.addLauncher("app.exe");
        settings("17");
    }
    void TearDown() override { removeRuntimeRegistrations(); }

    void settings(const std::string& version, const std::string& parameters = "") {
        folder_.write("app.ini", "[Product Information]\r\nProduct Name=Tool\r\nProduct Code=T1\r\n"
                                 "[Java Runtime Environment]\r\nMain Class=Main\r\nClass Data Sharing=yes\r\n"
                                 "Preferred versions=" + version + "\r\nVirtual Machine Parameters=" + parameters +
                                 "\r\n[Class Path]\r\nClass Path=\\lib\\*.jar\r\n");
    }

    // Its trace file and LOCALAPPDATA in the test folder, unless given.
    LaunchOptions options(const std::string& trace, Environment environment = {}) {
        DeleteFileA(trace.c_str());
        if (environment.empty()) environment.push_back({"LOCALAPPDATA", folder_.file("local")});
        environment.push_back({"TESTJVM_TRACE", trace});
        return {.environment = environment};
    }

    // The options after the class path option of the last VM created.
    static Options added(const std::string& traceFile) {
        Trace trace = readTrace(traceFile);
        EXPECT_TRUE(trace.has("call")) << trace.text;
        Options options = trace.all("create").empty() ? Options() : trace.all("create").back().list("option");
        return Options(options.begin() + (options.empty() ? 0 : 1), options.end());
    }

    Options run(Environment environment = {}, const std::string& exe = "") {
        LaunchResult result = launch(exe.empty() ? exe_ : exe, options(folder_.file("trace.txt"), environment));
        EXPECT_TRUE(result.exitCode == 0 && result.windows.empty()) << result.exitCode;
        return added(folder_.file("trace.txt"));
    }

    std::string explainedState(const std::string& member = "state", const std::string& exe = "") {
        launch(buildOutputFolder() + "\\explain.exe", {.arguments = "--json \"" + (exe.empty() ? exe_ : exe) + "\"",
                                                       .environment = {{"LOCALAPPDATA", folder_.file("local")}},
                                                       .outputFile = folder_.file("explain.json")});
        return parseJson(folder_.read("explain.json"))["classDataSharing"][member].text;
    }

    // The archive (or cache) as HotSpot leaves it: its magic number first,
    // read-only; a damaged one crashes a VM that maps it (testjvm/README.md).
    void writeArchive(bool damaged = false, bool cache = false) {
        const std::uint32_t magic = cache ? 0xf00baba2 : 0xf00baba8;
        std::string body = damaged ? "\n#testjvm-damaged\n" : std::string(4096, 'x');
        const std::string& file = cache ? this->cache : archive;
        SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
        writeWholeFile(file, std::string(reinterpret_cast<const char*>(&magic), 4) + body);
        SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
    }

    TestFolder folder_{"class-data-sharing"};
    ScriptEvent event_{"cds-main"};
    std::string exe_;
    const std::string archiveName = "local\\Tool\\T1\\app.jsa";
    const std::string archive = folder_.file(archiveName);
    const Options makes = {"-XX:ArchiveClassesAtExit=" + archive, "-Xlog:cds*=off"};
    const Options maps = {"-XX:SharedArchiveFile=" + archive, "-Xlog:cds*=off"};
    const Options keeps = {"-XX:SharedArchiveFile=" + archive, "-XX:+AutoCreateSharedArchive", "-Xlog:cds*=off"};
    const std::string cache = folder_.file("local\\Tool\\T1\\app.aot");
    const Options trains = {"-XX:AOTCacheOutput=" + cache, "-XX:+UnlockDiagnosticVMOptions", "-XX:-DisplayVMOutput",
                            "-Xlog:cds*=off", "-Xlog:aot*=off"};
    const Options mapsCache = {"-XX:AOTCache=" + cache, "-Xlog:cds*=off", "-Xlog:aot*=off"};
};

TEST_F(ClassDataSharing, OptionsOfJava11To21AndTheAuthorsOwn) {
    event_.set();
    settings("11");
    EXPECT_EQ(run(), Options{});
    EXPECT_EQ(explainedState(), "old version");
    settings("21");
    EXPECT_EQ(run(), keeps);
    settings("17");
    EXPECT_EQ(run(), makes);
    writeArchive();
    EXPECT_EQ(explainedState(), "maps");
    EXPECT_EQ(run(), maps);
    settings("17", "-Xshare:off");
    EXPECT_EQ(run(), Options{"-Xshare:off"});
}

TEST_F(ClassDataSharing, ChangedJarOrLibraryRemakesTheArchive) {
    event_.set();
    for (std::string changed : {"lib\\app.jar", "jre17.0.2\\bin\\client\\jvm.dll"}) {
        EXPECT_EQ(run(), makes);
        writeArchive();
        EXPECT_EQ(run(), maps);
        HANDLE file = CreateFileA(folder_.file(changed).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0,
                                  nullptr);
        FILETIME time = {0x12345678, 0x01d00000};
        SetFileTime(file, nullptr, nullptr, &time);
        CloseHandle(file);
        EXPECT_EQ(run(), makes) << changed;
        EXPECT_FALSE(folder_.exists(archiveName)) << "the old archive is removed";
    }
}

TEST_F(ClassDataSharing, TwoLaunchesAtOnceWriteOnce) {
    LaunchedProcess first(exe_, options(folder_.file("first.txt")));
    ASSERT_TRUE(waitForTraceEvent(folder_.file("first.txt"), "call", 20000));
    LaunchedProcess second(exe_, options(folder_.file("second.txt")));
    ASSERT_TRUE(waitForTraceEvent(folder_.file("second.txt"), "call", 20000));
    EXPECT_EQ(explainedState(), "busy");
    event_.set();
    EXPECT_TRUE(first.waitForExit(20000) && second.waitForExit(20000));
    EXPECT_EQ(added(folder_.file("first.txt")), makes);
    EXPECT_EQ(added(folder_.file("second.txt")), Options{});
}

TEST_F(ClassDataSharing, BadInputGoesOnWithoutAMessage) {
    event_.set();
    // A garbage or huge record: the archive is made anew.
    for (const std::string& record : {std::string("\0\xff garbage", 10), std::string(1 << 20, 'x')}) {
        folder_.write(archiveName + ".record", record);
        EXPECT_EQ(run(), makes);
        EXPECT_LT(folder_.read(archiveName + ".record").size(), 1000u);
    }
    // A VM that fails without the options too: they are not to blame.
    EXPECT_EQ(launch(exe_, options(folder_.file("trace.txt"), {{"LOCALAPPDATA", folder_.file("local")},
                                                               {"TESTJVM_CREATE_RESULT", "-1"}})).exitCode, -1);
    EXPECT_EQ(explainedState("attempt"), "none");
    // A runtime that refuses the options starts without them; the next
    // launch does not try again.
    EXPECT_EQ(run({{"LOCALAPPDATA", folder_.file("local")}, {"TESTJVM_REJECT", "-XX:ArchiveClassesAtExit"}}), Options{});
    EXPECT_EQ(run(), Options{});
    EXPECT_EQ(explainedState(), "refused");

    DeleteFileA((archive + ".record").c_str());
    folder_.makeFolder(archiveName);
    EXPECT_EQ(run(), Options{});
    EXPECT_EQ(explainedState(), "archive is a folder");
    RemoveDirectoryA(archive.c_str());

    EXPECT_EQ(run({{"LOCALAPPDATA", "\x01"}}), Options{});                    // missing
    EXPECT_EQ(run({{"LOCALAPPDATA", folder_.file("app.ini")}}), Options{});  // a file

    addTestRuntime(folder_, "jre");  // beside the executable, without a release file
    EXPECT_EQ(run(), Options{});
    EXPECT_EQ(explainedState(), "unknown version");
    removeTree(folder_.file("jre"));

    // A product code that would lead out of LOCALAPPDATA.
    folder_.write("app.ini", "[Product Information]\r\nProduct Name=Tool\r\nProduct Code=..\\..\r\n"
                             "[Java Runtime Environment]\r\nMain Class=Main\r\nClass Data Sharing=yes\r\n"
                             "Preferred versions=17\r\n[Class Path]\r\nClass Path=\\lib\\*.jar\r\n");
    EXPECT_EQ(run(), Options{});
    EXPECT_FALSE(folder_.exists("app.jsa.record"));
}

// A VM that ends the process while being created with the options (HotSpot
// 17 of a jlink image asked to write an archive), or crashes mapping a
// damaged archive or cache, stops one launch: the next ones remove the file
// and go without sharing.
TEST_F(ClassDataSharing, AVmThatDiesWithTheOptionsStopsOneLaunch) {
    event_.set();
    struct Case {
        const char* version;
        bool maps;  // a first launch makes the record, the stopped one maps what the test wrote
        const char* play;
        int exitCode;
    };
    for (const Case& c : {Case{"17", false, "TESTJVM_SHARING_EXIT", 1}, Case{"25", false, "TESTJVM_SHARING_EXIT", 3},
                          Case{"17", true, "TESTJVM_MAP_ARCHIVES", int(0xC0000005)},
                          Case{"25", true, "TESTJVM_MAP_ARCHIVES", int(0xC0000005)}}) {
        SCOPED_TRACE(std::string(c.version) + " " + c.play);
        removeTree(folder_.file("local\\Tool"));
        settings(c.version);
        bool cache = c.version == std::string("25");
        if (c.maps) {
            run();
            writeArchive(true, cache);
        }
        Environment playing = {{"LOCALAPPDATA", folder_.file("local")}, {c.play, std::to_string(c.exitCode)}};
        LaunchResult stopped = launch(exe_, options(folder_.file("trace.txt"), playing));
        EXPECT_EQ(stopped.exitCode, c.exitCode);
        EXPECT_TRUE(stopped.windows.empty());
        EXPECT_EQ(explainedState(), "stopped");
        for (int launch = 0; launch < 2; ++launch) EXPECT_EQ(run(playing), Options{});
        EXPECT_FALSE(folder_.exists(cache ? "local\\Tool\\T1\\app.aot" : archiveName));
        EXPECT_EQ(explainedState("attempt"), "stopped");
    }
}

// Java 25 trains on the first launch and maps the cache from the second;
// the dynamic archive instead for a console program, a runtime without
// java.exe, or after a training whose cache could not be made; and that
// only with a base archive.
TEST_F(ClassDataSharing, TheCacheOfJava25AndTheBaseArchive) {
    event_.set();
    settings("25");
    EXPECT_EQ(run(), trains);
    writeArchive(false, true);
    EXPECT_EQ(run(), mapsCache);
    std::string console = folder_.addLauncher("app-console.exe", true);
    folder_.write("app-console.ini", folder_.read("app.ini"));
    EXPECT_EQ(run({}, console)[0], "-XX:SharedArchiveFile=" + folder_.file("local\\Tool\\T1\\app-console.jsa"));

    // The training ended and left its configuration, but no cache.
    removeTree(folder_.file("local\\Tool"));
    EXPECT_EQ(run(), trains);
    folder_.write("local\\Tool\\T1\\app.aot.config", "");
    Options fallback = {"-XX:SharedArchiveFile=" + archive, "-XX:+AutoCreateSharedArchive", "-Xlog:cds*=off", "-Xlog:aot*=off"};
    EXPECT_EQ(run(), fallback);
    EXPECT_EQ(run(), fallback);
    EXPECT_EQ(explainedState("cacheFallback"), "not made");
    DeleteFileA(folder_.file("jre25.0.1\\bin\\java.exe").c_str());
    removeTree(folder_.file("local\\Tool"));
    EXPECT_EQ(run(), fallback);

    DeleteFileA(folder_.file("jre25.0.1\\bin\\client\\classes.jsa").c_str());
    EXPECT_EQ(run(), Options{});
    folder_.write("jre25.0.1\\bin\\java.exe", "");
    EXPECT_EQ(run(), trains);  // the cache needs none
    DeleteFileA(folder_.file("jre17.0.2\\bin\\client\\classes.jsa").c_str());
    settings("17");
    EXPECT_EQ(run(), Options{});
    EXPECT_EQ(explainedState(), "no base archive");
}

// Launches that map take the record together; LOCALAPPDATA is read in
// UTF-16 and used through its short names.
TEST_F(ClassDataSharing, MappingLaunchesAtOnceAndALocalAppDataOfAnyName) {
    event_.set();
    run();
    writeArchive();
    ScriptEvent created{"cds-created"};
    Environment waiting = {{"LOCALAPPDATA", folder_.file("local")}, {"TESTJVM_CREATE_WAIT", created.name()}};
    LaunchedProcess first(exe_, options(folder_.file("first.txt"), waiting));
    LaunchedProcess second(exe_, options(folder_.file("second.txt"), waiting));
    ASSERT_TRUE(waitForTraceEvent(folder_.file("first.txt"), "create", 20000) &&
                waitForTraceEvent(folder_.file("second.txt"), "create", 20000));
    EXPECT_EQ(explainedState(), "maps");
    created.set();
    EXPECT_TRUE(first.waitForExit(20000) && second.waitForExit(20000));
    EXPECT_EQ(added(folder_.file("first.txt")), maps);
    EXPECT_EQ(added(folder_.file("second.txt")), maps);

    std::wstring name = std::wstring(folder_.path().begin(), folder_.path().end()) + L"\\\u0141ukasz";
    std::wstring shortName(MAX_PATH, L'\0');
    ASSERT_TRUE(CreateDirectoryW(name.c_str(), nullptr));
    shortName.resize(GetShortPathNameW(name.c_str(), shortName.data(), MAX_PATH));
    std::string local = folder_.path() + "\\" + std::string(shortName.begin() + shortName.rfind(L'\\') + 1, shortName.end());
    LaunchOptions unicode = options(folder_.file("trace.txt"), {{"LOCALAPPDATA", folder_.path() + "\\\xC5\x81ukasz"}});
    unicode.utf8 = true;
    EXPECT_EQ(launch(exe_, unicode).exitCode, 0);
    EXPECT_EQ(added(folder_.file("trace.txt")), (Options{"-XX:ArchiveClassesAtExit=" + local + "\\Tool\\T1\\app.jsa", "-Xlog:cds*=off"}));
    EXPECT_FALSE(folder_.exists("Lukasz"));
    // A name without a short name (it does not exist): no sharing.
    unicode.environment[0].second += "\xC5\x81";
    EXPECT_EQ(launch(exe_, unicode).exitCode, 0);
    EXPECT_EQ(added(folder_.file("trace.txt")), Options{});
}

}  // namespace
