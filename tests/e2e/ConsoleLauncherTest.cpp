// The console twin of the launcher, a command-line program: the Java
// program writes through the process's standard handles, failures are one
// line on standard error after the executable's name, no window is ever
// shown, and the exit code is what java.exe would give.
#include <windows.h>

#include <gtest/gtest.h>

#include "harness/LaunchHarness.h"
#include "harness/TestFolder.h"
#include "harness/TestRuntime.h"

namespace {

class ConsoleLauncher : public ::testing::Test {
protected:
    void SetUp() override { removeRuntimeRegistrations(); }

    // tool.exe (the console twin) with these settings and the class Main.
    std::string prepare(const std::string& settings, const std::string& mainScript, bool runtime = true) {
        if (runtime) addTestRuntime(folder_, "jre");
        folder_.write("tool.ini", settings);
        folder_.write("classes\\Main.class", mainScript);
        return folder_.addLauncher("tool.exe", true);
    }

    LaunchResult run(const std::string& exe, LaunchOptions options = {}) {
        options.outputFile = folder_.file("stdout.txt");
        options.errorFile = folder_.file("stderr.txt");
        options.environment.push_back({"TESTJVM_TRACE", folder_.file("trace.txt")});
        LaunchResult result = launch(exe, std::move(options));
        EXPECT_TRUE(result.windows.empty()) << "a console launcher showed a window";
        return result;
    }

    std::string output() const { return folder_.read("stdout.txt"); }
    std::string errors() const { return folder_.read("stderr.txt"); }

    TestFolder folder_{std::string("console-") + ::testing::UnitTest::GetInstance()->current_test_info()->name()};
};

const char kSettings[] =
    "[Java Runtime Environment]\r\nMain Class=Main\r\n[Class Path]\r\nClass Path=\\classes\r\n"
    "[Application]\r\nFailure Check=Yes\r\n";

TEST_F(ConsoleLauncher, TheJavaProgramWritesThroughTheStandardHandlesAndSetsTheExitCode) {
    std::string exe = prepare(kSettings, "main\n    out hello\n    err oops\n");
    LaunchResult result = run(exe, {.arguments = "one \"two words\""});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(output(), "hello\r\n");
    EXPECT_EQ(errors(), "oops\r\n");
    EXPECT_EQ(readTrace(folder_.file("trace.txt")).first("call").list("arg"),
              (std::vector<std::string>{"one", "two words"}));

    struct Case {
        const char* script;
        int exitCode;
        const char* error;
    };
    const Case cases[] = {
        {"main\n    exit 7\n", 7, ""},
        // An exception that leaves main: its trace on standard error and 1,
        // as java.exe; no dialog although "Failure Check" asks for one.
        {"main\n    throw java/lang/IllegalStateException boom\n", 1,
         "Exception in thread \"main\" java.lang.IllegalStateException: boom\r\n"},
        // The VM ends the process from another thread while main runs (as
        // HotSpot does on Ctrl+C, after the shutdown hooks): its code.
        {"main\n    thread 50 exit 130\n    wait never-set 60000\n", 130, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        folder_.write("classes\\Main.class", c.script);
        EXPECT_EQ(run(exe).exitCode, c.exitCode);
        EXPECT_EQ(errors().substr(0, std::string(c.error).size()), c.error);
    }
}

TEST_F(ConsoleLauncher, FailuresAreOneLineOnStandardErrorAndMinusOne) {
    std::string exe = prepare(kSettings, "main\n");
    struct Case {
        std::string settings;
        std::string line;
    };
    const Case cases[] = {
        {"", "tool: Main class was not specified in INI file.\r\n"},
        {"[Java Runtime Environment]\r\nMain Class=Main\r\n[Class Path]\r\nClass Path=\\nothing\\*.jar\r\n",
         "tool: Java Class Path was not specified in INI file.\r\n"},
        {"[Java Runtime Environment]\r\nMain Class=Missing\r\n[Class Path]\r\nClass Path=\\classes\r\n",
         "tool: Could not find the main class Missing.\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        folder_.write("tool.ini", c.settings);
        EXPECT_EQ(run(exe).exitCode, -1);
        EXPECT_TRUE(errors().ends_with(c.line)) << errors();
    }
    // Without a console or any standard handle: nothing to write to, the
    // same exit code, no window.
    folder_.write("tool.ini", "");
    LaunchOptions detached;
    detached.creationFlags = DETACHED_PROCESS;
    LaunchResult result = launch(exe, detached);
    EXPECT_EQ(result.exitCode, -1);
    EXPECT_TRUE(result.windows.empty());
}

TEST_F(ConsoleLauncher, NoRuntimeIsALineThatSaysWhatToDo) {
    std::string exe = prepare("[Java Runtime Environment]\r\nMain Class=Main\r\nMinimum Version=17\r\n"
                              "Download Page=https://adoptium.net/temurin/releases/?version=21\r\n",
                              "main\n", false);
    EXPECT_EQ(run(exe).exitCode, -1);
    EXPECT_EQ(errors(),
              "tool: No suitable Java runtime was found (minimum version 17). Install one from "
              "https://adoptium.net/temurin/releases/?version=21, or name its folder as \"JRE Path\" in tool.ini, "
              "or put it in a folder \"jre\" beside tool.exe.\r\n");
}

}  // namespace
