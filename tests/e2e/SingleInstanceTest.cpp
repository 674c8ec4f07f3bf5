// Several launches of one executable in single-instance mode: the first runs
// the application, later ones hand their arguments to it and end with its
// answer. Every launch records into a trace file of its own, so a launch that
// never loads the runtime leaves none.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <thread>

#include "harness/LaunchHarness.h"
#include "harness/TestFolder.h"
#include "harness/TestRuntime.h"

namespace {

using Args = std::vector<std::string>;

const char kSettings[] =
    "[Java Runtime Environment]\r\nMain Class=Main\r\n"
    "[Class Path]\r\nClass Path=\\classes\r\n";

// A named manual-reset event that the scripts wait for.
class NamedEvent {
public:
    explicit NamedEvent(const std::string& name) : handle_(CreateEventA(nullptr, TRUE, FALSE, name.c_str())) {}
    ~NamedEvent() { CloseHandle(handle_); }
    void set() { SetEvent(handle_); }

private:
    HANDLE handle_;
};

std::vector<TraceEvent> secondaryCalls(const Trace& trace) {
    std::vector<TraceEvent> calls;
    for (const TraceEvent& call : trace.all("call"))
        if (call.get("method") == "secondaryMain") calls.push_back(call);
    return calls;
}

// Reads the trace until done accepts it; false on time-out.
bool waitForTrace(const std::string& path, const std::function<bool(const Trace&)>& done,
                  DWORD timeoutMs, Trace* trace = nullptr) {
    DWORD start = GetTickCount();
    for (;;) {
        Trace current = readTrace(path);
        bool finished = done(current);
        if (trace) *trace = current;
        if (finished) return true;
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(20);
    }
}

std::size_t indexOf(const Trace& trace, const std::function<bool(const TraceEvent&)>& pred) {
    for (std::size_t i = 0; i < trace.events.size(); ++i)
        if (pred(trace.events[i])) return i;
    return trace.events.size();
}

class SingleInstance : public ::testing::Test {
protected:
    // app.exe with the given [Application] keys, a test runtime beside it
    // and the class Main.
    std::string prepare(const std::string& application, const std::string& script) {
        addTestRuntime(folder_, "jre");
        folder_.write("app.ini", std::string(kSettings) + "[Application]\r\n" + application);
        folder_.write("classes\\Main.class", script);
        return folder_.addLauncher("app.exe");
    }

    LaunchOptions optionsFor(const std::string& traceName, const std::string& arguments = "") {
        LaunchOptions options;
        options.arguments = arguments;
        options.environment = {{"TESTJVM_TRACE", folder_.file(traceName)}};
        return options;
    }

    // Starts the primary and waits until its main has started its thread.
    std::unique_ptr<LaunchedProcess> startPrimary(const std::string& exe, LaunchOptions options) {
        auto primary = std::make_unique<LaunchedProcess>(exe, options);
        EXPECT_TRUE(waitForTraceEvent(trace("primary.txt"), "thread-begin", 20000))
            << readTrace(trace("primary.txt")).text;
        return primary;
    }

    std::string trace(const std::string& name) const { return folder_.file(name); }

    TestFolder folder_{::testing::UnitTest::GetInstance()->current_test_info()->name()};
};

TEST_F(SingleInstance, VoidSecondaryMainReleasesTheSecondaryBeforeItRuns) {
    // Both variants: the void one is called.
    std::string exe = prepare("Single Instance=yes\r\n",
                              "main\n    thread until si-void-quit\n"
                              "secondaryMain int\n    return 5\n"
                              "secondaryMain void\n    wait si-void-release\n");
    NamedEvent quit("si-void-quit"), release("si-void-release");
    auto primary = startPrimary(exe, optionsFor("primary.txt"));

    LaunchResult second = launch(exe, optionsFor("second.txt", "one \"two words\""));
    EXPECT_EQ(second.exitCode, 0);
    EXPECT_FALSE(folder_.exists("second.txt")) << "the second launch loaded the runtime";
    // secondaryMain is still waiting for the event.
    EXPECT_FALSE(readTrace(trace("primary.txt")).has("wait"));

    release.set();
    Trace primaryTrace;
    EXPECT_TRUE(waitForTrace(trace("primary.txt"), [](const Trace& t) { return t.has("wait"); },
                             20000, &primaryTrace));
    std::vector<TraceEvent> calls = secondaryCalls(primaryTrace);
    ASSERT_EQ(calls.size(), 1u) << primaryTrace.text;
    EXPECT_EQ(calls[0].get("signature"), "([Ljava/lang/String;)V");
    EXPECT_EQ(calls[0].list("arg"), (Args{"one", "two words"}));
    EXPECT_NE(calls[0].thread(), primaryTrace.first("call").thread());

    quit.set();
    ASSERT_TRUE(primary->waitForExit(20000));
    EXPECT_EQ(primary->exitCode(), 0);
    primaryTrace = readTrace(trace("primary.txt"));
    EXPECT_EQ(primaryTrace.all("load").size(), 1u);
    EXPECT_TRUE(primaryTrace.problems().empty()) << primaryTrace.text;
}

TEST_F(SingleInstance, IntSecondaryMainAnswersWithItsValue) {
    std::string exe = prepare("Single Instance=yes\r\n",
                              "main\n    thread until si-int-quit\n"
                              "secondaryMain int\n    return args\n");
    NamedEvent quit("si-int-quit");
    auto primary = startPrimary(exe, optionsFor("primary.txt"));

    const std::string longest(1038, 'x');  // with its zero and the end mark: 1040 bytes
    struct Case {
        std::string arguments;
        int exitCode;
        Args received;  // empty: no call
    };
    const Case cases[] = {
        {"a \"b c\" d", 3, {"a", "b c", "d"}},
        {"", 1, {""}},
        {"a \"\" b", 1, {"a"}},
        {longest, 1, {longest}},
        {longest + "y", -1, {}},
    };
    std::size_t expectedCalls = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.substr(0, 20));
        LaunchResult result = launch(exe, optionsFor("second.txt", c.arguments));
        EXPECT_EQ(result.exitCode, c.exitCode);
        EXPECT_TRUE(result.windows.empty());
        if (!c.received.empty()) ++expectedCalls;
        std::vector<TraceEvent> calls = secondaryCalls(readTrace(trace("primary.txt")));
        ASSERT_EQ(calls.size(), expectedCalls);
        if (!c.received.empty()) EXPECT_EQ(calls.back().list("arg"), c.received);
    }
    // Arguments beyond the ANSI code page are handed over whole, the others
    // byte for byte.
    LaunchOptions wide = optionsFor("second.txt", "\xE6\x97\xA5\xE6\x9C\xAC Caf\xC3\xA9");
    wide.utf8 = true;
    EXPECT_EQ(launch(exe, wide).exitCode, 2);
    TraceEvent call = secondaryCalls(readTrace(trace("primary.txt"))).back();
    EXPECT_EQ(call.get("arg0-utf8"), "\xE6\x97\xA5\xE6\x9C\xAC");
    EXPECT_EQ(call.get("arg1"), "Caf\xE9");
    EXPECT_FALSE(folder_.exists("second.txt"));

    quit.set();
    ASSERT_TRUE(primary->waitForExit(20000));
    EXPECT_EQ(primary->exitCode(), 0);
    EXPECT_TRUE(readTrace(trace("primary.txt")).problems().empty());
}

TEST_F(SingleInstance, OnlyExactYesAndNoServiceTurnTheModeOn) {
    const std::pair<const char*, const char*> settings[] = {
        {"Single Instance=Yes\r\n", "si-off-quit-1"},
        {"Single Instance=yes\r\nApplication Type=service\r\n", "si-off-quit-2"},
    };
    for (const auto& [application, quitName] : settings) {
        SCOPED_TRACE(application);
        DeleteFileA(trace("primary.txt").c_str());
        DeleteFileA(trace("second.txt").c_str());
        std::string exe = prepare(application, "main\n    thread until " + std::string(quitName) +
                                                   "\nsecondaryMain int\n    return 5\n");
        NamedEvent quit(quitName);
        auto first = startPrimary(exe, optionsFor("primary.txt"));
        LaunchedProcess second(exe, optionsFor("second.txt", "x"));
        // The second launch runs the application itself.
        EXPECT_TRUE(waitForTraceEvent(trace("second.txt"), "thread-begin", 20000));
        EXPECT_TRUE(secondaryCalls(readTrace(trace("primary.txt"))).empty());
        quit.set();
        ASSERT_TRUE(first->waitForExit(20000));
        ASSERT_TRUE(second.waitForExit(20000));
        EXPECT_EQ(first->exitCode(), 0);
        EXPECT_EQ(second.exitCode(), 0);
        EXPECT_EQ(readTrace(trace("second.txt")).first("call").list("arg"), Args{"x"});
    }
}

TEST_F(SingleInstance, DroppedHandOverEndsWithThePrimaryEvenWithExitCode259) {
    // No secondaryMain: the hand-over is dropped. The primary then ends with
    // the code that also means "still running".
    std::string exe = prepare("Single Instance=yes\r\n",
                              "main\n    thread until si-drop-quit exit 259\n");
    NamedEvent quit("si-drop-quit");
    LaunchOptions options = optionsFor("primary.txt");
    options.errorFile = folder_.file("stderr.txt");
    auto primary = startPrimary(exe, options);

    LaunchedProcess second(exe, optionsFor("second.txt", "dropped"));
    // Both lookups have failed once the int variant was looked for.
    ASSERT_TRUE(waitForTrace(
        trace("primary.txt"),
        [](const Trace& t) {
            for (const TraceEvent& e : t.all("get-method"))
                if (e.get("signature") == "([Ljava/lang/String;)I") return true;
            return false;
        },
        20000));
    EXPECT_TRUE(second.running());

    quit.set();
    ASSERT_EQ(WaitForSingleObject(primary->processHandle(), 20000), static_cast<DWORD>(WAIT_OBJECT_0));
    DWORD primaryEnded = GetTickCount();
    ASSERT_EQ(WaitForSingleObject(second.processHandle(), 5000), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_LT(GetTickCount() - primaryEnded, 1000u);
    EXPECT_EQ(primary->exitCode(), 259);
    EXPECT_EQ(second.exitCode(), 259);
    EXPECT_TRUE(secondaryCalls(readTrace(trace("primary.txt"))).empty());
}

TEST_F(SingleInstance, SecondariesDuringStartAreAnsweredOnceMainIsAboutToBeCalled) {
    // Ten secondaries hand over while the primary is still creating its VM;
    // each one's arguments arrive exactly once and each gets its own answer.
    std::string exe = prepare("Single Instance=yes\r\n",
                              "main\n    thread until si-ten-quit\n"
                              "secondaryMain int\n    sleep 50\n    return args\n");
    NamedEvent quit("si-ten-quit"), go("si-ten-go");
    LaunchOptions options = optionsFor("primary.txt");
    options.environment.push_back({"TESTJVM_CREATE_WAIT", "si-ten-go"});
    LaunchedProcess primary(exe, options);
    ASSERT_TRUE(waitForTraceEvent(trace("primary.txt"), "create", 20000));

    // Secondary i hands over i + 1 copies of "s<i>" and is answered with i + 1.
    constexpr int kCount = 10;
    std::vector<std::unique_ptr<LaunchedProcess>> secondaries;
    std::vector<HANDLE> processes;
    for (int i = 0; i < kCount; ++i) {
        std::string arguments;
        for (int n = 0; n <= i; ++n) arguments += (n ? " s" : "s") + std::to_string(i);
        secondaries.push_back(std::make_unique<LaunchedProcess>(
            exe, optionsFor("second" + std::to_string(i) + ".txt", arguments)));
        processes.push_back(secondaries.back()->processHandle());
    }
    // None is answered while the primary has not reached main.
    EXPECT_EQ(WaitForMultipleObjects(kCount, processes.data(), FALSE, 1500),
              static_cast<DWORD>(WAIT_TIMEOUT));
    go.set();
    for (int i = 0; i < kCount; ++i) {
        ASSERT_TRUE(secondaries[i]->waitForExit(30000)) << i;
        EXPECT_EQ(secondaries[i]->exitCode(), i + 1) << i;
    }

    Trace primaryTrace = readTrace(trace("primary.txt"));
    std::map<std::string, Args> received;
    for (const TraceEvent& call : secondaryCalls(primaryTrace)) {
        Args args = call.list("arg");
        ASSERT_FALSE(args.empty());
        EXPECT_TRUE(received.emplace(args[0], args).second) << "handed over twice: " << args[0];
    }
    ASSERT_EQ(received.size(), static_cast<std::size_t>(kCount)) << primaryTrace.text;
    for (int i = 0; i < kCount; ++i) {
        std::string own = "s" + std::to_string(i);
        EXPECT_EQ(received[own], Args(i + 1, own));
    }
    std::size_t created = indexOf(primaryTrace, [](const TraceEvent& e) { return e.name == "create-result"; });
    std::size_t handedOver = indexOf(primaryTrace, [](const TraceEvent& e) {
        return e.name == "call" && e.get("method") == "secondaryMain";
    });
    EXPECT_LT(created, handedOver);

    quit.set();
    ASSERT_TRUE(primary.waitForExit(20000));
    EXPECT_EQ(primary.exitCode(), 0);
    EXPECT_TRUE(readTrace(trace("primary.txt")).problems().empty());
}

TEST_F(SingleInstance, SecondariesTakeTurnsWithTheArgumentArea) {
    std::string exe = prepare("Single Instance=yes\r\n",
                              "main\n    thread until si-turn-quit\n"
                              "secondaryMain int\n    return args\n");
    NamedEvent quit("si-turn-quit");
    auto primary = startPrimary(exe, optionsFor("primary.txt"));

    std::string name = exe;
    std::replace(name.begin(), name.end(), '\\', '_');
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str());
    ASSERT_NE(mapping, nullptr);
    auto* block = static_cast<const char*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0));
    ASSERT_NE(block, nullptr);
    const char* area = block + 12;

    // A holder of the turn that ends without giving it back.
    HANDLE holding = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE end = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {
        HANDLE turn = CreateMutexA(nullptr, FALSE, (name + "_handover").c_str());
        WaitForSingleObject(turn, INFINITE);
        SetEvent(holding);
        WaitForSingleObject(end, INFINITE);
        CloseHandle(turn);
    });
    WaitForSingleObject(holding, INFINITE);

    LaunchedProcess second(exe, optionsFor("second.txt", "mine too"));
    EXPECT_EQ(WaitForSingleObject(second.processHandle(), 1000), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(std::string(area, 2), std::string(2, '\0')) << "written without the turn";
    SetEvent(end);
    holder.join();
    ASSERT_TRUE(second.waitForExit(20000));
    EXPECT_EQ(second.exitCode(), 2);
    EXPECT_EQ(std::string(area, 9), std::string("mine\0too\0", 9));
    std::vector<TraceEvent> calls = secondaryCalls(readTrace(trace("primary.txt")));
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].list("arg"), (Args{"mine", "too"}));

    UnmapViewOfFile(block);
    CloseHandle(mapping);
    CloseHandle(holding);
    CloseHandle(end);
    quit.set();
    ASSERT_TRUE(primary->waitForExit(20000));
}

}  // namespace
