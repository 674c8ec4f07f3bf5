// The splash screen of a real launch: the launcher's own window while main
// runs, its end when main returns or throws, message boxes owned by it, the
// switches that suppress it, and the runtime's native splash library.
#include <windows.h>

#include <algorithm>

#include <gtest/gtest.h>

#include "harness/LaunchHarness.h"
#include "harness/PeStub.h"
#include "harness/TestFolder.h"
#include "harness/TestRuntime.h"

namespace {

const char kSplashClass[] = "SplashScreenWindow";
// tests/data/splash-16x8.jpg
const int kPictureWidth = 16;
const int kPictureHeight = 8;

bool isSplashWindow(const ShownWindow& window) { return window.className == kSplashClass; }

bool isExceptionDialog(const ShownWindow& window) {
    return window.className == "#32770" && window.caption == "Java Exception";
}

class Splash : public ::testing::Test {
protected:
    // app.exe with a test runtime in "jre" beside it, the class Main in
    // "classes" (none for an empty script: the main class is missing) and
    // the picture splash.jpg; display holds the lines of section Display,
    // where "PICTURE" stands for the picture's full path.
    std::string prepare(const TestFolder& folder, std::string display,
                        const std::string& mainScript, const RuntimeLayout& layout = {},
                        const std::string& extraSettings = "") {
        addTestRuntime(folder, "jre", layout);
        picture_ = folder.file("splash.jpg");
        writeWholeFile(picture_, readWholeFile(testDataFile("splash-16x8.jpg")));
        for (std::size_t at; (at = display.find("PICTURE")) != std::string::npos;)
            display.replace(at, 7, picture_);
        folder.write("app.ini",
                     "[Java Runtime Environment]\r\nMain Class=Main\r\n"
                     "[Class Path]\r\nClass Path=\\classes\r\n" +
                         extraSettings + "[Display]\r\n" + display);
        if (mainScript.empty()) folder.makeFolder("classes");
        else folder.write("classes\\Main.class", mainScript);
        tracePath_ = folder.file("trace.txt");
        DeleteFileA(tracePath_.c_str());
        return folder.addLauncher("app.exe");
    }

    LaunchOptions options(const std::string& arguments = "") const {
        LaunchOptions options;
        options.arguments = arguments;
        options.environment = {{"TESTJVM_TRACE", tracePath_}};
        return options;
    }

    Trace trace() const { return readTrace(tracePath_); }

    // The visible splash windows of the process right now.
    static std::vector<HWND> splashWindows(const LaunchedProcess& process) {
        return windowsOfClass(process.processId(), kSplashClass);
    }

    std::string picture_;
    std::string tracePath_;
};

// The position of events in the trace; the size of the list when missing.
std::size_t indexOf(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) - names.begin();
}

std::vector<std::string> splashCalls(const Trace& trace) {
    std::vector<std::string> calls;
    for (const std::string& name : trace.names())
        if (name.rfind("splash-", 0) == 0) calls.push_back(name);
    return calls;
}

bool loadedSplashLibrary(const Trace& trace) {
    for (const TraceEvent& load : trace.all("load"))
        if (load.get("variant").rfind("splash", 0) == 0) return true;
    return false;
}

TEST_F(Splash, OwnWindowShowsWhileMainRunsAndClosesWhenMainReturns) {
    TestFolder folder("splash-own-window");
    ScriptEvent seen("splash-own-seen"), quit("splash-own-quit");
    std::string exe = prepare(folder, "Splash Screen=PICTURE\r\n",
                              "main\n    wait " + seen.name() + "\n    thread until " +
                                  quit.name() + "\n");
    LaunchedProcess process(exe, options());

    HWND splash = process.waitForWindow(isSplashWindow, 10000);
    ASSERT_NE(splash, nullptr);
    ShownWindow shown = describeWindow(splash);
    EXPECT_EQ(shown.style & (WS_POPUP | WS_CAPTION | WS_CHILD | WS_THICKFRAME), WS_POPUP);
    EXPECT_TRUE(shown.exStyle & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(shown.exStyle & WS_EX_TOPMOST);
    EXPECT_EQ(shown.owner, nullptr);
    EXPECT_EQ(shown.caption, "");
    RECT frame;
    GetWindowRect(splash, &frame);
    int left = (GetSystemMetrics(SM_CXSCREEN) - kPictureWidth) / 2;
    int top = (GetSystemMetrics(SM_CYSCREEN) - kPictureHeight) / 2;
    EXPECT_EQ(frame.left, left);
    EXPECT_EQ(frame.top, top);
    EXPECT_EQ(frame.right, left + kPictureWidth);
    EXPECT_EQ(frame.bottom, top + kPictureHeight);

    // main runs (it waits for the test) and the window stays.
    Trace running;
    ASSERT_TRUE(waitForTraceEvent(tracePath_, "call", 10000, &running));
    EXPECT_TRUE(IsWindowVisible(splash));
    // The window lives on a thread of its own, neither the main thread nor
    // the Java thread.
    DWORD splashThread = GetWindowThreadProcessId(splash, nullptr);
    EXPECT_NE(splashThread, running.first("load").thread());
    EXPECT_NE(splashThread, running.first("call").thread());

    seen.set();
    // main returns; the application's thread goes on, the window goes.
    ASSERT_TRUE(waitForTraceEvent(tracePath_, "return", 10000));
    EXPECT_TRUE(waitUntil([&] { return !IsWindow(splash); }));
    EXPECT_TRUE(process.running());
    EXPECT_FALSE(trace().has("thread-end"));

    quit.set();
    ASSERT_TRUE(process.waitForExit(10000));
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_TRUE(trace().problems().empty()) << trace().text;
}

TEST_F(Splash, WindowIsGoneBeforeTheExceptionDialog) {
    TestFolder folder("splash-exception");
    ScriptEvent seen("splash-exception-seen");
    std::string exe = prepare(folder, "Splash Screen=PICTURE\r\n",
                              "main\n    wait " + seen.name() +
                                  "\n    throw java/lang/RuntimeException boom\n",
                              {}, "[Application]\r\nFailure Check=Yes\r\n");
    LaunchedProcess process(exe, options());
    HWND splash = process.waitForWindow(isSplashWindow, 10000);
    ASSERT_NE(splash, nullptr);
    seen.set();
    HWND dialog = process.waitForWindow(isExceptionDialog, 10000);
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(IsWindow(splash));
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), nullptr);
    pressButton(dialog, IDOK);
    ASSERT_TRUE(process.waitForExit(10000));
    EXPECT_EQ(process.exitCode(), 0);
}

TEST_F(Splash, MessageBoxesWhileTheWindowShowsAreOwnedByIt) {
    // Messages come right after the splash thread has been started: on the
    // main thread when the JVM library can't be loaded, on the Java thread
    // when the main class is missing.
    for (bool mainThread : {true, false}) {
        SCOPED_TRACE(mainThread ? "main thread" : "Java thread");
        TestFolder folder("splash-owner");
        std::string exe = prepare(folder, "Splash Screen=PICTURE\r\n", "");
        if (mainThread) folder.write("jre\\bin\\client\\jvm.dll", peStub());
        LaunchResult result = launch(exe, options());
        EXPECT_EQ(result.exitCode, -1);
        std::vector<ShownWindow> boxes = result.messageBoxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text.rfind(mainThread ? "Failed to load Java VM library: "
                                                 : "Could not find the main class Main.",
                                      0),
                  0u)
            << boxes[0].text;
        auto splash = std::find_if(result.windows.begin(), result.windows.end(), isSplashWindow);
        ASSERT_NE(splash, result.windows.end());
        EXPECT_EQ(boxes[0].owner, splash->handle);
    }
}

TEST_F(Splash, SwitchesSuppressTheWindowOnlyInSmallLetters) {
    TestFolder folder("splash-switches");
    ScriptEvent seen("splash-switches-seen");
    std::string exe =
        prepare(folder, "Splash Screen=PICTURE\r\n", "main\n    wait " + seen.name() + "\n");
    for (const char* argument : {"-nosplash", "/nosplash", "-NOSPLASH", "/NoSplash"}) {
        SCOPED_TRACE(argument);
        bool suppressed = argument[1] == 'n';
        DeleteFileA(tracePath_.c_str());
        seen.reset();
        LaunchedProcess process(exe, options(std::string("first ") + argument));
        Trace running;
        ASSERT_TRUE(waitForTraceEvent(tracePath_, "call", 10000, &running));
        // With the switch no splash thread starts at all; without it the
        // window comes once the thread has made it.
        if (!suppressed)
            waitUntil([&] { return !splashWindows(process).empty(); }, 10000);
        EXPECT_EQ(splashWindows(process).size(), suppressed ? 0u : 1u);
        // The switch reaches the application.
        EXPECT_EQ(running.first("call").list("arg"),
                  (std::vector<std::string>{"first", argument}));
        seen.set();
        ASSERT_TRUE(process.waitForExit(10000));
        EXPECT_EQ(process.exitCode(), 0);
        if (suppressed) EXPECT_TRUE(process.windows().empty());
    }
}

TEST_F(Splash, EmptyPictureSettingStartsNothing) {
    TestFolder folder("splash-empty");
    ScriptEvent seen("splash-empty-seen");
    std::string exe = prepare(folder,
                              "Splash Screen=\r\nPreffer Native Splash Screen=Yes\r\n",
                              "main\n    wait " + seen.name() + "\n", {.splash = SplashLibrary::full});
    LaunchedProcess process(exe, options());
    ASSERT_TRUE(waitForTraceEvent(tracePath_, "call", 10000));
    EXPECT_TRUE(splashWindows(process).empty());
    seen.set();
    ASSERT_TRUE(process.waitForExit(10000));
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_TRUE(process.windows().empty());
    EXPECT_FALSE(loadedSplashLibrary(trace()));
    EXPECT_TRUE(splashCalls(trace()).empty());
}

TEST_F(Splash, PreferredNativeLibraryShowsThePicture) {
    TestFolder folder("splash-native");
    ScriptEvent seen("splash-native-seen");
    std::string exe = prepare(folder, "Splash Screen=PICTURE\r\nPreffer Native Splash Screen=yes\r\n",
                              "main\n    wait " + seen.name() + "\n", {.splash = SplashLibrary::full});
    LaunchedProcess process(exe, options());
    ASSERT_TRUE(waitForTraceEvent(tracePath_, "call", 10000));
    EXPECT_TRUE(splashWindows(process).empty());
    seen.set();
    ASSERT_TRUE(process.waitForExit(10000));
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_TRUE(process.windows().empty());

    Trace done = trace();
    EXPECT_TRUE(done.problems().empty()) << done.text;
    EXPECT_EQ(splashCalls(done), (std::vector<std::string>{"splash-init", "splash-load-file",
                                                            "splash-set-file-jar-name",
                                                            "splash-close"}));
    EXPECT_EQ(done.first("splash-load-file").get("path"), picture_);
    TraceEvent jarName = done.first("splash-set-file-jar-name");
    EXPECT_EQ(jarName.get("path"), picture_);
    EXPECT_TRUE(jarName.has("jar"));
    EXPECT_EQ(jarName.get("jar"), "");

    // The runtime's library, loaded and started on the main thread before
    // the JVM library; closed only at the very end.
    std::vector<TraceEvent> loads = done.all("load");
    ASSERT_EQ(loads.size(), 2u);
    EXPECT_EQ(loads[0].get("variant"), "splash");
    EXPECT_EQ(loads[0].get("module"), folder.file("jre\\bin\\splashscreen.dll"));
    EXPECT_EQ(loads[1].get("variant"), "full");
    EXPECT_EQ(done.first("splash-init").thread(), loads[1].thread());
    std::vector<std::string> names = done.names();
    EXPECT_LT(indexOf(names, "splash-set-file-jar-name"), indexOf(names, "default-args"));
    EXPECT_GT(indexOf(names, "splash-close"), indexOf(names, "destroy-return"));
}

TEST_F(Splash, OwnWindowWhenTheNativeLibraryIsMissingOrIncomplete) {
    for (SplashLibrary library : {SplashLibrary::none, SplashLibrary::withoutJarName}) {
        SCOPED_TRACE(library == SplashLibrary::none ? "missing" : "without SplashSetFileJarName");
        TestFolder folder("splash-native-fallback");
        ScriptEvent seen("splash-native-fallback-seen");
        std::string exe =
            prepare(folder, "Splash Screen=PICTURE\r\nPreffer Native Splash Screen=YES\r\n",
                    "main\n    wait " + seen.name() + "\n", {.splash = library});
        LaunchedProcess process(exe, options());
        EXPECT_NE(process.waitForWindow(isSplashWindow, 10000), nullptr);
        seen.set();
        ASSERT_TRUE(process.waitForExit(10000));
        EXPECT_EQ(process.exitCode(), 0);
        Trace done = trace();
        EXPECT_EQ(loadedSplashLibrary(done), library == SplashLibrary::withoutJarName);
        EXPECT_TRUE(splashCalls(done).empty()) << done.text;
    }
}

TEST_F(Splash, NativeSplashIsClosedOnceWhenTheJavaThreadFails) {
    TestFolder folder("splash-native-failure");
    std::string exe =
        prepare(folder, "Splash Screen=PICTURE\r\nPreffer Native Splash Screen=Yes\r\n", "",
                {.splash = SplashLibrary::full});
    LaunchResult result = launch(exe, options());
    EXPECT_EQ(result.exitCode, -1);
    ASSERT_EQ(result.messageBoxes().size(), 1u);
    EXPECT_EQ(result.messageBoxes()[0].owner, nullptr);
    Trace done = trace();
    EXPECT_EQ(done.all("splash-close").size(), 1u) << done.text;
    // Closed as soon as the Java thread has failed, before the VM goes.
    std::vector<std::string> names = done.names();
    EXPECT_LT(indexOf(names, "splash-close"), indexOf(names, "destroy-enter"));
}

TEST_F(Splash, NoSplashSwitchLoadsNoNativeLibrary) {
    TestFolder folder("splash-native-switch");
    std::string exe = prepare(folder, "Splash Screen=PICTURE\r\nPreffer Native Splash Screen=Yes\r\n",
                              "main\n", {.splash = SplashLibrary::full});
    LaunchResult result = launch(exe, options("-nosplash"));
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(result.windows.empty());
    Trace done = trace();
    EXPECT_TRUE(done.has("call"));
    EXPECT_FALSE(loadedSplashLibrary(done));
    EXPECT_TRUE(splashCalls(done).empty());
}

}  // namespace
