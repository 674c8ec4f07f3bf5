// Launches that reach Java: the test runtime stands in for a Java runtime,
// found through the registry or beside the executable, and its trace shows
// what the launcher asked of it.
#include <windows.h>

#include <gtest/gtest.h>

#include "harness/LaunchHarness.h"
#include "harness/PeStub.h"
#include "harness/TestFolder.h"
#include "harness/TestRuntime.h"

namespace {

class JavaLaunch : public ::testing::Test {
protected:
    void SetUp() override { removeRuntimeRegistrations(); }
    void TearDown() override { removeRuntimeRegistrations(); }

    static void registerRuntime(const std::string& key, const std::string& home) {
        HKEY created;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_WRITE,
                                  nullptr, &created, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(created, "JavaHome", 0, REG_SZ, reinterpret_cast<const BYTE*>(home.c_str()),
                       static_cast<DWORD>(home.size() + 1));
        RegCloseKey(created);
    }

    // app.exe with its settings and a test runtime in "jre" beside it (found
    // as the local runtime), the class Main in "classes".
    std::string prepare(const TestFolder& folder, const std::string& settings,
                        const std::string& mainScript, const RuntimeLayout& layout = {}) {
        addTestRuntime(folder, "jre", layout);
        folder.write("app.ini", settings);
        folder.write("classes\\Main.class", mainScript);
        return folder.addLauncher("app.exe");
    }

    LaunchResult run(const TestFolder& folder, const std::string& exe, LaunchOptions options = {}) {
        options.environment.push_back({"TESTJVM_TRACE", folder.file("trace.txt")});
        LaunchResult result = launch(exe, options);
        trace_ = readTrace(folder.file("trace.txt"));
        return result;
    }

    Trace trace_;
};

const char kClassesOnly[] =
    "[Java Runtime Environment]\r\nMain Class=Main\r\n"
    "[Class Path]\r\nClass Path=\\classes\r\n";

// The same with VM parameters.
std::string withParameters(const std::string& parameters) {
    return "[Java Runtime Environment]\r\nMain Class=Main\r\nVirtual Machine Parameters=" +
           parameters + "\r\n[Class Path]\r\nClass Path=\\classes\r\n";
}

std::string onlyBoxText(const LaunchResult& result) {
    auto boxes = result.messageBoxes();
    EXPECT_EQ(boxes.size(), 1u);
    return boxes.empty() ? "" : boxes[0].text;
}

TEST_F(JavaLaunch, TypicalLaunchThroughTheRegistry) {
    TestFolder folder("typical-launch");
    std::string home = addTestRuntime(folder, "Java\\jre6", {.client = true, .server = true});
    registerRuntime("Software\\JavaSoft\\Java Runtime Environment\\1.6", home);
    folder.write("app.ini",
                 "[Java Runtime Environment]\r\nMain Class=com.example.App\r\n"
                 "Virtual Machine Parameters=-Xmx50P\r\n"
                 "[Class Path]\r\nClass Path=\\lib\\*.jar\r\n");
    folder.write("lib\\app.jar",
                 "#testjvm-jar\nclass com/example/App\nmain\n"
                 "    env VT_JVM_HOME\n    thread 300\n    out started\n");
    folder.write("lib\\util.jar", "#testjvm-jar\n");
    std::string exe = folder.addLauncher("app.exe");

    LaunchResult result = run(folder, exe, {.arguments = "document.txt"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(result.messageBoxes().empty());
    EXPECT_TRUE(trace_.problems().empty()) << trace_.text;

    // The client library of the registered runtime.
    EXPECT_EQ(trace_.first("load").get("module"), home + "\\bin\\client\\jvm.dll");
    for (const TraceEvent& e : trace_.all("vm-env")) {
        if (e.get("name") == "VT_JVM_HOME") EXPECT_EQ(e.get("value"), home);
        if (e.get("name") == "VT_JVM_PATH") EXPECT_EQ(e.get("value"), home + "\\bin\\client\\jvm.dll");
        if (e.get("name") == "Path") {
            std::string path = e.get("value");
            EXPECT_EQ(path.substr(path.size() - home.size() - 4), home + "\\bin");
        }
    }

    TraceEvent create = trace_.first("create");
    EXPECT_EQ(create.get("version"), "0x10002");
    EXPECT_EQ(create.get("ignoreUnrecognized"), "0");
    std::vector<std::string> options = create.list("option");
    ASSERT_EQ(options.size(), 2u);
    std::string app = folder.file("lib\\app.jar;");
    std::string util = folder.file("lib\\util.jar;");
    EXPECT_TRUE(options[0] == "-Djava.class.path=" + app + util ||
                options[0] == "-Djava.class.path=" + util + app)
        << options[0];
    MEMORYSTATUS memory = {sizeof memory};
    GlobalMemoryStatus(&memory);
    unsigned long long halfKb = (static_cast<unsigned long long>(memory.dwTotalPhys) >> 10) / 2;
    EXPECT_EQ(options[1], "-Xmx" + std::to_string(halfKb) + "K");

    EXPECT_EQ(trace_.first("call").list("arg"), std::vector<std::string>{"document.txt"});
    // The process ends only after DestroyJavaVM waited for the thread.
    std::vector<std::string> names = trace_.names();
    auto at = [&](const char* name) { return std::find(names.begin(), names.end(), name) - names.begin(); };
    EXPECT_LT(at("detach"), at("destroy-enter"));
    EXPECT_LT(at("thread-end"), at("destroy-return"));
    EXPECT_LT(at("destroy-enter"), at("thread-end"));
}

TEST_F(JavaLaunch, ArgumentsOutputAndErrorFiles) {
    TestFolder folder("output-files");
    std::string exe = prepare(folder,
                              std::string(kClassesOnly) +
                                  "[Application]\r\nOutput File=out.txt\r\nError File=logs\\err.txt\r\n"
                                  "Cmd=--from-settings\r\n",
                              "main\n    out to the output file\n    err to the error file\n");
    folder.makeFolder("logs");
    folder.write("out.txt", "old content that must go");
    LaunchResult result = run(folder, exe, {.arguments = "\"a b\" c\"d -nosplash"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(trace_.first("call").list("arg"),
              (std::vector<std::string>{"a b", "c\"d", "-nosplash", "--from-settings"}));
    EXPECT_EQ(folder.read("out.txt"), "to the output file\r\n");
    EXPECT_EQ(folder.read("logs\\err.txt"), "to the error file\r\n");
}

TEST_F(JavaLaunch, OutputFileInAMissingFolderStillStarts) {
    TestFolder folder("output-missing-folder");
    std::string exe = prepare(folder,
                              std::string(kClassesOnly) + "[Application]\r\nOutput File=nowhere\\out.txt\r\n",
                              "main\n    out hello\n");
    LaunchResult result = run(folder, exe);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(trace_.first("open-file").get("result"), "error");
    EXPECT_TRUE(trace_.has("call"));
    EXPECT_TRUE(trace_.problems().empty()) << trace_.text;
}

TEST_F(JavaLaunch, JavaThreadStackSize) {
    TestFolder folder("stack-size");
    std::string exe = prepare(folder,
                              withParameters("-Xss1m"),
                              "main\n");
    EXPECT_EQ(run(folder, exe).exitCode, 0);
    EXPECT_EQ(trace_.first("create").get("stack"), "1048576");
    EXPECT_FALSE(trace_.has("default-args"));

    // Without "-Xss" the runtime's default is asked for and used.
    folder.write("app.ini", kClassesOnly);
    DeleteFileA(folder.file("trace.txt").c_str());
    EXPECT_EQ(run(folder, exe, {.environment = {{"TESTJVM_DEFAULT_STACK_SIZE", "3145728"}}}).exitCode, 0);
    EXPECT_EQ(trace_.first("default-args").get("version"), "0x10001");
    EXPECT_EQ(trace_.first("create").get("stack"), "3145728");
}

TEST_F(JavaLaunch, LibraryThatCannotBeLoaded) {
    TestFolder folder("library-not-loadable");
    folder.write("app.ini", kClassesOnly);
    folder.write("jre\\bin\\java.dll", "");
    folder.write("jre\\bin\\client\\jvm.dll", peStub());
    std::string exe = folder.addLauncher("app.exe");
    LaunchResult result = run(folder, exe);
    EXPECT_EQ(result.exitCode, -1);
    EXPECT_EQ(onlyBoxText(result), "Failed to load Java VM library: " +
                                       folder.file("jre\\bin\\client\\jvm.dll") + " (errno = 193).\n");
}

TEST_F(JavaLaunch, LibraryWithoutDefaultArgumentsEntry) {
    TestFolder folder("library-no-default-args");
    std::string exe = prepare(folder, kClassesOnly, "main\n", {.noDefaultArgs = true});
    LaunchResult result = run(folder, exe);
    EXPECT_EQ(result.exitCode, -1);
    EXPECT_EQ(onlyBoxText(result), "Windows exception: cannot find CreateJavaVM JNI (errno = 127).\n");
    EXPECT_FALSE(trace_.has("create"));
}

TEST_F(JavaLaunch, CreationFailuresAndTheirReasons) {
    TestFolder folder("creation-failures");
    std::string exe = prepare(folder, kClassesOnly, "main\n");
    const std::pair<int, const char*> cases[] = {
        {-1, "unknown"},           {-2, "thread detached from VM"}, {-3, "JNI version error"},
        {-4, "not enough memory"}, {-5, "VM already created"},      {-6, "invalid arguments"},
        {7, ""},
    };
    for (const auto& [code, reason] : cases) {
        LaunchResult result =
            run(folder, exe, {.environment = {{"TESTJVM_CREATE_RESULT", std::to_string(code)}}});
        EXPECT_EQ(result.exitCode, -1) << code;
        EXPECT_EQ(onlyBoxText(result),
                  std::string("JNI exception: failed to create the Java VM\nReason: ") + reason + ".\n")
            << code;
    }
}

TEST_F(JavaLaunch, OptionTheVmRejects) {
    TestFolder folder("rejected-option");
    std::string exe = prepare(folder,
                              withParameters("-Xtestjvm-reject"),
                              "main\n");
    LaunchResult result = run(folder, exe);
    EXPECT_EQ(result.exitCode, -1);
    EXPECT_EQ(onlyBoxText(result), "JNI exception: failed to create the Java VM\nReason: unknown.\n");
}

TEST_F(JavaLaunch, MissingMainClass) {
    TestFolder folder("missing-main-class");
    std::string exe = prepare(folder,
                              "[Java Runtime Environment]\r\nMain Class=com.example.Missing\r\n"
                              "[Class Path]\r\nClass Path=\\classes\r\n",
                              "main\n");
    LaunchResult result = run(folder, exe);
    EXPECT_EQ(result.exitCode, -1);
    EXPECT_EQ(onlyBoxText(result), "Could not find the main class com/example/Missing.\n");
    EXPECT_EQ(trace_.first("describe").get("exception"), "java/lang/NoClassDefFoundError");
    EXPECT_TRUE(trace_.has("destroy-return"));  // the Java thread detached first
    EXPECT_TRUE(trace_.problems().empty()) << trace_.text;
}

TEST_F(JavaLaunch, ClassWithoutMain) {
    TestFolder folder("class-without-main");
    std::string exe = prepare(folder, kClassesOnly, "method other ()V\n");
    LaunchResult result = run(folder, exe);
    EXPECT_EQ(result.exitCode, -1);
    EXPECT_TRUE(result.messageBoxes().empty());
    EXPECT_EQ(trace_.first("describe").get("exception"), "java/lang/NoSuchMethodError");
    EXPECT_TRUE(trace_.problems().empty()) << trace_.text;
}

TEST_F(JavaLaunch, EmptyClassPath) {
    TestFolder folder("empty-class-path");
    std::string exe = prepare(folder,
                              "[Java Runtime Environment]\r\nMain Class=Main\r\n"
                              "[Class Path]\r\nClass Path=\\nothing\\*.jar\r\n",
                              "main\n");
    LaunchResult result = run(folder, exe);
    EXPECT_EQ(result.exitCode, -1);
    EXPECT_EQ(onlyBoxText(result), "Java Class Path was not specified in INI file.");
    EXPECT_FALSE(trace_.has("create"));
}

TEST_F(JavaLaunch, SystemExitEndsTheProcess) {
    TestFolder folder("system-exit");
    std::string exe = prepare(folder, kClassesOnly, "main\n    exit 42\n");
    EXPECT_EQ(run(folder, exe).exitCode, 42);
}

}  // namespace
