// An exception that escapes main: the "Java Exception" dialog with its
// trace, Ignore letting the application's other threads run on, Stop ending
// the process through System.exit(-1), and no dialog without "Failure Check".
#include <windows.h>

#include <gtest/gtest.h>

#include "harness/LaunchHarness.h"
#include "harness/TestFolder.h"
#include "harness/TestRuntime.h"

namespace {

const char kFailureCheck[] =
    "[Java Runtime Environment]\r\nMain Class=Main\r\n"
    "[Class Path]\r\nClass Path=\\classes\r\n"
    "[Application]\r\nFailure Check=yes\r\n";

const char kNoFailureCheck[] =
    "[Java Runtime Environment]\r\nMain Class=Main\r\n"
    "[Class Path]\r\nClass Path=\\classes\r\n"
    "[Application]\r\nFailure Check=No\r\n";

// Line 4 of the script throws; the cause is made there as well.
std::string throwingMain(const std::string& otherThread) {
    return "main\n    " + otherThread +
           "\n    out working\n"
           "    throw java/lang/IllegalStateException Could not open C:\\Users\\J\xE9r\xF4me\\project\n"
           "    cause java/io/IOException disk full\n";
}

const char kExpectedTrace[] =
    "java.lang.IllegalStateException: Could not open C:\\Users\\J\xE9r\xF4me\\project\r\n"
    "\tat Main.main(Main.java:4)\r\n"
    "Caused by: java.io.IOException: disk full\r\n"
    "\t... 1 more\r\n";

std::string itemText(HWND dialog, int id) {
    char text[4096] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

bool isExceptionDialog(const ShownWindow& window) {
    return window.className == "#32770" && window.caption == "Java Exception";
}

class UncaughtException : public ::testing::Test {
protected:
    std::string prepare(const TestFolder& folder, const std::string& settings,
                        const std::string& mainScript) {
        addTestRuntime(folder, "jre");
        folder.write("app.ini", settings);
        folder.write("classes\\Main.class", mainScript);
        tracePath_ = folder.file("trace.txt");
        return folder.addLauncher("app.exe");
    }

    LaunchOptions options(const TestFolder& folder) const {
        LaunchOptions options;
        options.environment = {{"TESTJVM_TRACE", tracePath_}};
        options.errorFile = folder.file("stderr.txt");
        return options;
    }

    Trace trace() const { return readTrace(tracePath_); }

    std::string tracePath_;
};

TEST_F(UncaughtException, DialogShowsTheTraceAndIgnoreLetsTheOtherThreadsRunOn) {
    TestFolder folder("uncaught-ignore");
    ScriptEvent quit("uncaught-ignore-quit");
    std::string exe =
        prepare(folder, kFailureCheck, throwingMain("thread until " + quit.name()));
    LaunchedProcess process(exe, options(folder));

    HWND dialog = process.waitForWindow(isExceptionDialog, 10000);
    ASSERT_NE(dialog, nullptr);
    ShownWindow shown = describeWindow(dialog);
    EXPECT_EQ(shown.buttons, (std::vector<std::string>{"Ignore", "Stop"}));
    EXPECT_TRUE(shown.hasIcon);
    EXPECT_EQ(shown.owner, nullptr);
    EXPECT_TRUE(shown.style & WS_THICKFRAME);
    EXPECT_EQ(itemText(dialog, 209), "Uncaught Exception");
    EXPECT_EQ(itemText(dialog, 210), "The java process has thrown the following uncaught exception:");
    // The trace as printStackTrace wrote it: class and message, the frames,
    // then the cause.
    EXPECT_EQ(itemText(dialog, 208), kExpectedTrace);
    EXPECT_TRUE(GetWindowLongA(GetDlgItem(dialog, 208), GWL_STYLE) & ES_READONLY);
    // The exception was described before the dialog came up, and main has
    // not gone on yet.
    Trace seen = trace();
    EXPECT_EQ(seen.first("describe").get("exception"), "java/lang/IllegalStateException");
    EXPECT_FALSE(seen.has("detach"));

    pressButton(dialog, IDOK);
    // The Java thread goes on and detaches; the application's own thread
    // keeps the process alive until it ends.
    ASSERT_TRUE(waitForTraceEvent(tracePath_, "detach", 10000));
    EXPECT_TRUE(process.running());
    EXPECT_FALSE(trace().has("thread-end"));
    quit.set();
    ASSERT_TRUE(process.waitForExit(10000));
    EXPECT_EQ(process.exitCode(), 0);

    Trace done = trace();
    EXPECT_FALSE(done.has("exit"));
    EXPECT_TRUE(done.has("thread-end"));
    EXPECT_TRUE(done.has("destroy-return"));
    EXPECT_TRUE(done.problems().empty()) << done.text;
    EXPECT_EQ(process.windows().size(), 1u);

    // ExceptionDescribe put the trace on standard error.
    std::string error = folder.read("stderr.txt");
    EXPECT_NE(error.find(std::string("Exception in thread \"main\" ") + kExpectedTrace),
              std::string::npos)
        << error;
}

TEST_F(UncaughtException, StopEscapeAndCloseEndTheProcessThroughSystemExit) {
    TestFolder folder("uncaught-stop");
    // A thread that nobody releases: only System.exit can end the process.
    ScriptEvent never("uncaught-stop-never");
    std::string exe =
        prepare(folder, kFailureCheck, throwingMain("thread until " + never.name()));
    const std::pair<const char*, std::function<void(HWND)>> closers[] = {
        {"Stop", [](HWND dialog) { pressButton(dialog, IDCANCEL); }},
        {"Escape", [](HWND dialog) { PostMessageA(dialog, WM_KEYDOWN, VK_ESCAPE, 0); }},
        {"close box", [](HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const auto& [name, close] : closers) {
        SCOPED_TRACE(name);
        DeleteFileA(tracePath_.c_str());
        LaunchedProcess process(exe, options(folder));
        HWND dialog = process.waitForWindow(isExceptionDialog, 10000);
        ASSERT_NE(dialog, nullptr);
        close(dialog);
        ASSERT_TRUE(process.waitForExit(10000));
        EXPECT_EQ(process.exitCode(), -1);
        Trace done = trace();
        EXPECT_EQ(done.first("exit").get("code"), "-1") << done.text;
        EXPECT_EQ(done.first("exit").thread(), done.first("call").thread());
        EXPECT_FALSE(done.has("detach"));
        EXPECT_TRUE(done.problems().empty()) << done.text;
    }
}

TEST_F(UncaughtException, WithoutFailureCheckNoDialogAndTheApplicationEndsNormally) {
    TestFolder folder("uncaught-no-check");
    std::string exe = prepare(folder, kNoFailureCheck, throwingMain("thread 200"));
    LaunchOptions launchOptions = options(folder);
    LaunchResult result = launch(exe, launchOptions);
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(result.windows.empty());
    Trace done = trace();
    EXPECT_EQ(done.first("describe").get("exception"), "java/lang/IllegalStateException");
    EXPECT_TRUE(done.has("thread-end"));
    EXPECT_FALSE(done.has("exit"));
    EXPECT_TRUE(done.problems().empty()) << done.text;
    EXPECT_NE(folder.read("stderr.txt").find(kExpectedTrace), std::string::npos);
}

}  // namespace
