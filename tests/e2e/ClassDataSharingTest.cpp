// "Class Data Sharing=Yes" with the test runtime registered as Java 11, 17
// and 21: the options each launch adds after the class path option, the
// archive and record under LOCALAPPDATA (the test runtime writes no archive;
// a test writes one as the VM would), and what explain says.
#include <windows.h>

#include <gtest/gtest.h>

#include "harness/JsonValue.h"
#include "harness/LaunchHarness.h"
#include "harness/TestFolder.h"
#include "harness/TestRuntime.h"

namespace {

using Options = std::vector<std::string>;

class ClassDataSharing : public ::testing::Test {
protected:
    void SetUp() override {
        removeRuntimeRegistrations();
        for (const char* version : {"11.0.2", "17.0.2", "21.0.1"}) {
            std::string home = addTestRuntime(folder_, std::string("jre") + version);
            std::string key = std::string("Software\\JavaSoft\\Java Runtime Environment\\") + version;
            RegSetKeyValueA(HKEY_LOCAL_MACHINE, key.c_str(), "JavaHome", REG_SZ, home.c_str(),
                            static_cast<DWORD>(home.size() + 1));
        }
        folder_.write("lib\\app.jar", "#testjvm-jar\nclass Main\nmain\n    wait " + event_.name() + "\n");
        exe_ = folder_.addLauncher("app.exe");
        folder_.makeFolder("local");
        settings("17", "");
    }
    void TearDown() override { removeRuntimeRegistrations(); }

    void settings(const std::string& version, const std::string& parameters) {
        folder_.write("app.ini", "[Product Information]\r\nProduct Name=Tool\r\nProduct Code=T1\r\n"
                                 "[Java Runtime Environment]\r\nMain Class=Main\r\nClass Data Sharing=yes\r\n"
                                 "Preferred versions=" + version + "\r\nVirtual Machine Parameters=" + parameters +
                                 "\r\n[Class Path]\r\nClass Path=\\lib\\*.jar\r\n");
    }

    // The environment of a launch: its trace file, LOCALAPPDATA in the test
    // folder unless given, and more.
    LaunchOptions options(const std::string& trace, std::vector<std::pair<std::string, std::string>> more = {}) {
        DeleteFileA(trace.c_str());
        more.push_back({"TESTJVM_TRACE", trace});
        if (more.size() == 1 || more[0].first != "LOCALAPPDATA") more.push_back({"LOCALAPPDATA", folder_.file("local")});
        return {.environment = more};
    }

    // The options after the class path option of the last VM created.
    static Options added(const Trace& trace) {
        EXPECT_TRUE(trace.has("call")) << trace.text;
        Options options = trace.all("create").empty() ? Options() : trace.all("create").back().list("option");
        return Options(options.begin() + (options.empty() ? 0 : 1), options.end());
    }

    // Launches to the end; the options it added.
    Options run(std::vector<std::pair<std::string, std::string>> more = {}) {
        LaunchResult result = launch(exe_, options(folder_.file("trace.txt"), more));
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_TRUE(result.windows.empty());
        return added(readTrace(folder_.file("trace.txt")));
    }

    // explain --json's class data sharing section for the same launch.
    JsonValue explained() {
        LaunchOptions options{.arguments = "--json \"" + exe_ + "\"",
                              .environment = {{"LOCALAPPDATA", folder_.file("local")}},
                              .outputFile = folder_.file("explain.json")};
        launch(buildOutputFolder() + "\\explain.exe", options);
        return parseJson(folder_.read("explain.json"))["classDataSharing"];
    }

    // The archive as HotSpot leaves it: its header first, made read-only.
    void writeArchive() {
        const std::uint32_t magic = 0xf00baba8;
        folder_.write(archiveName, std::string(reinterpret_cast<const char*>(&magic), 4) + std::string(4096, 'x'));
        SetFileAttributesA(folder_.file(archiveName).c_str(), FILE_ATTRIBUTE_READONLY);
    }

    TestFolder folder_{"class-data-sharing"};
    ScriptEvent event_{"cds-main-waits"};
    std::string exe_;
    const std::string archiveName = "local\\Tool\\T1\\app.jsa";
    const std::string archive = folder_.file(archiveName);
};

TEST_F(ClassDataSharing, OptionsForJava11To21AndWhatExplainSays) {
    event_.set();
    settings("11", "");
    EXPECT_EQ(run(), Options{});
    EXPECT_EQ(explained()["state"].text, "old version");
    EXPECT_FALSE(folder_.exists("local\\Tool"));

    settings("21", "");
    Options keeps = {"-XX:SharedArchiveFile=" + archive, "-XX:+AutoCreateSharedArchive", "-Xlog:cds*=off"};
    EXPECT_EQ(run(), keeps);
    EXPECT_EQ(explained()["options"].strings(), keeps);

    settings("17", "");
    EXPECT_EQ(run(), (Options{"-XX:ArchiveClassesAtExit=" + archive, "-Xlog:cds*=off"}));
    writeArchive();
    EXPECT_EQ(explained()["state"].text, "maps");
    EXPECT_EQ(run(), (Options{"-XX:SharedArchiveFile=" + archive, "-Xlog:cds*=off"}));

    settings("17", "-Xshare:off");
    EXPECT_EQ(run(), Options{"-Xshare:off"});
}

TEST_F(ClassDataSharing, ChangedJarOrLibraryRemakesTheArchive) {
    event_.set();
    const Options makes = {"-XX:ArchiveClassesAtExit=" + archive, "-Xlog:cds*=off"};
    auto changeTime = [](const std::string& file) {
        HANDLE handle = CreateFileA(file.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        FILETIME time = {0x12345678, 0x01d00000};
        SetFileTime(handle, nullptr, nullptr, &time);
        CloseHandle(handle);
    };
    for (std::string changed : {"lib\\app.jar", "jre17.0.2\\bin\\client\\jvm.dll"}) {
        EXPECT_EQ(run(), makes);
        writeArchive();
        EXPECT_EQ(run()[0], "-XX:SharedArchiveFile=" + archive);
        changeTime(folder_.file(changed));
        EXPECT_EQ(run(), makes) << changed;
        EXPECT_FALSE(folder_.exists(archiveName)) << "the old archive is removed";
    }
}

TEST_F(ClassDataSharing, TwoLaunchesAtOnceWriteOnce) {
    // Both wait in main for the event; the first holds the record meanwhile.
    LaunchedProcess first(exe_, options(folder_.file("first.txt")));
    ASSERT_TRUE(waitForTraceEvent(folder_.file("first.txt"), "call", 20000));
    LaunchedProcess second(exe_, options(folder_.file("second.txt")));
    ASSERT_TRUE(waitForTraceEvent(folder_.file("second.txt"), "call", 20000));
    EXPECT_EQ(explained()["state"].text, "busy");
    event_.set();
    EXPECT_TRUE(first.waitForExit(20000) && second.waitForExit(20000));
    EXPECT_EQ(added(readTrace(folder_.file("first.txt"))).size(), 2u);
    EXPECT_EQ(added(readTrace(folder_.file("second.txt"))), Options{});
}

TEST_F(ClassDataSharing, BadInputGoesOnWithoutSharing) {
    event_.set();
    // The record of another class path, garbage, or huge: made anew.
    for (const std::string& record : {std::string("\0\xff garbage", 10), std::string(1 << 20, 'x')}) {
        folder_.write(archiveName + ".record", record);
        EXPECT_EQ(run().size(), 2u);
        EXPECT_LT(folder_.read(archiveName + ".record").size(), 300u);
    }
    // A runtime that refuses the options: started without them, and later
    // launches do not try again.
    EXPECT_EQ(run({{"TESTJVM_REJECT", "-XX:ArchiveClassesAtExit"}}), Options{});
    EXPECT_EQ(run(), Options{});
    EXPECT_EQ(explained()["state"].text, "refused");

    DeleteFileA((archive + ".record").c_str());
    folder_.makeFolder(archiveName);
    EXPECT_EQ(run(), Options{});
    EXPECT_EQ(explained()["state"].text, "archive is a folder");
    RemoveDirectoryA(archive.c_str());

    // LOCALAPPDATA missing, or a file.
    EXPECT_EQ(run({{"LOCALAPPDATA", "\x01"}}), Options{});
    EXPECT_EQ(run({{"LOCALAPPDATA", folder_.file("app.ini")}}), Options{});

    // A runtime of unknown version: no release file beside the executable.
    addTestRuntime(folder_, "jre");
    EXPECT_EQ(run(), Options{});
    EXPECT_EQ(explained()["state"].text, "unknown version");
}

}  // namespace
