#pragma once
// The test runtime in end-to-end cases: Java homes laid out with its
// libraries (testjvm/README.md describes them), and the trace they write.

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "harness/TestFolder.h"
#include "testjvm/TraceFormat.h"

enum class SplashLibrary { none, full, withoutJarName };

struct RuntimeLayout {
    bool client = true;          // bin\client\jvm.dll
    bool server = false;         // bin\server\jvm.dll
    bool marker = true;          // bin\java.dll, an empty file
    bool noDefaultArgs = false;  // the jvm.dll files lack JNI_GetDefaultJavaVMInitArgs
    // The jvm.dll files import vcruntime140.dll, a stand-in that lies in
    // bin\ and records where it was loaded from (event "load", variant
    // "c-runtime"). Loading a native DLL of that name needs the override
    // "native" for vcruntime140 in the prefix's settings.
    bool cRuntime = false;
    SplashLibrary splash = SplashLibrary::none;  // bin\splashscreen.dll
};

// Lays out a Java home in folder\home; gives its full path (no trailing
// backslash).
std::string addTestRuntime(const TestFolder& folder, const std::string& home,
                           const RuntimeLayout& layout = {});
// The same at a full path of any folder (created when missing).
void addTestRuntimeAt(const std::string& home, const RuntimeLayout& layout = {});

// Removes every registration of the runtimes the launcher searches (the keys
// of before Java 9 and those of today's installers, under HKLM and HKCU):
// tests that register runtimes call it before and after, as the other tests
// assume none.
void removeRuntimeRegistrations();

// Writes a home value into a registry key (created when missing).
void registerHome(HKEY root, const std::string& key, const char* valueName, const std::string& home,
                  DWORD type = REG_SZ);

// A named event that scripts wait for ("wait NAME", "thread until NAME").
// The name is made unique to this test process; the event is created at
// once, reset, and stays while the object lives.
class ScriptEvent {
public:
    explicit ScriptEvent(const std::string& name);
    ~ScriptEvent();
    ScriptEvent(const ScriptEvent&) = delete;
    ScriptEvent& operator=(const ScriptEvent&) = delete;

    const std::string& name() const { return name_; }
    void set() const;
    void reset() const;

private:
    std::string name_;
    HANDLE handle_;
};

using testjvm::TraceEvent;

struct Trace {
    std::vector<TraceEvent> events;
    std::string text;  // the file as read, for failure messages

    std::vector<TraceEvent> all(std::string_view name) const;
    // The first event of that name; one with an empty name when there is none.
    TraceEvent first(std::string_view name) const;
    bool has(std::string_view name) const;
    // The event names in order.
    std::vector<std::string> names() const;
    // The "fault" and "jni-warning" events: a correct launcher causes none.
    std::vector<TraceEvent> problems() const;
};

// The trace file as it is now; no events when it does not exist.
Trace readTrace(const std::string& path);

// Reads the trace until it holds an event of that name; false on time-out.
bool waitForTraceEvent(const std::string& path, std::string_view name, DWORD timeoutMs,
                       Trace* trace = nullptr);
