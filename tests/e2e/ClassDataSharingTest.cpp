// "Class Data Sharing=Yes" with the test runtime registered as Java 11, 17
// and 21: the options a launch adds after the class path option, the archive
// and record in LOCALAPPDATA (the test runtime writes no archive; a test
// writes one as HotSpot would), and explain's decision.
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
        for (std::string version : {"11.0.2", "17.0.2", "21.0.1"}) {
            std::string home = addTestRuntime(folder_, "jre" + version);
            RegSetKeyValueA(HKEY_LOCAL_MACHINE, ("Software\\JavaSoft\\Java Runtime Environment\\" + version).c_str(),
                            "JavaHome", REG_SZ, home.c_str(), static_cast<DWORD>(home.size() + 1));
        }
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

    Options run(Environment environment = {}) {
        LaunchResult result = launch(exe_, options(folder_.file("trace.txt"), environment));
        EXPECT_TRUE(result.exitCode == 0 && result.windows.empty());
        return added(folder_.file("trace.txt"));
    }

    std::string explainedState() {
        launch(buildOutputFolder() + "\\explain.exe", {.arguments = "--json \"" + exe_ + "\"",
                                                       .environment = {{"LOCALAPPDATA", folder_.file("local")}},
                                                       .outputFile = folder_.file("explain.json")});
        return parseJson(folder_.read("explain.json"))["classDataSharing"]["state"].text;
    }

    // The archive as HotSpot leaves it: its magic number first, read-only.
    void writeArchive() {
        const std::uint32_t magic = 0xf00baba8;
        folder_.write(archiveName, std::string(reinterpret_cast<const char*>(&magic), 4) + std::string(4096, 'x'));
        SetFileAttributesA(archive.c_str(), FILE_ATTRIBUTE_READONLY);
    }

    TestFolder folder_{"class-data-sharing"};
    ScriptEvent event_{"cds-main"};
    std::string exe_;
    const std::string archiveName = "local\\Tool\\T1\\app.jsa";
    const std::string archive = folder_.file(archiveName);
    const Options makes = {"-XX:ArchiveClassesAtExit=" + archive, "-Xlog:cds*=off"};
    const Options maps = {"-XX:SharedArchiveFile=" + archive, "-Xlog:cds*=off"};
};

TEST_F(ClassDataSharing, OptionsOfJava11To21AndTheAuthorsOwn) {
    event_.set();
    settings("11");
    EXPECT_EQ(run(), Options{});
    EXPECT_EQ(explainedState(), "old version");
    settings("21");
    EXPECT_EQ(run(), (Options{"-XX:SharedArchiveFile=" + archive, "-XX:+AutoCreateSharedArchive", "-Xlog:cds*=off"}));
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
        EXPECT_LT(folder_.read(archiveName + ".record").size(), 300u);
    }
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
}

}  // namespace
