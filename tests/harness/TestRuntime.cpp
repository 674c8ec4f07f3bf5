#include "harness/TestRuntime.h"

std::string addTestRuntime(const TestFolder& folder, const std::string& home,
                           const RuntimeLayout& layout) {
    const std::string jvm = layout.noDefaultArgs ? "testjvm_nodefault.dll" : "testjvm.dll";
    folder.makeFolder(home + "\\bin");
    if (layout.marker) folder.write(home + "\\bin\\java.dll", "");
    if (layout.client) folder.copyFromBuild(jvm, home + "\\bin\\client\\jvm.dll");
    if (layout.server) folder.copyFromBuild(jvm, home + "\\bin\\server\\jvm.dll");
    if (layout.splash != SplashLibrary::none) {
        folder.copyFromBuild(layout.splash == SplashLibrary::full ? "testsplash.dll"
                                                                  : "testsplash_nojar.dll",
                             home + "\\bin\\splashscreen.dll");
    }
    return folder.file(home);
}

std::vector<TraceEvent> Trace::all(std::string_view name) const {
    std::vector<TraceEvent> found;
    for (const TraceEvent& event : events)
        if (event.name == name) found.push_back(event);
    return found;
}

TraceEvent Trace::first(std::string_view name) const {
    for (const TraceEvent& event : events)
        if (event.name == name) return event;
    return {};
}

bool Trace::has(std::string_view name) const { return !first(name).name.empty(); }

std::vector<std::string> Trace::names() const {
    std::vector<std::string> names;
    for (const TraceEvent& event : events) names.push_back(event.name);
    return names;
}

std::vector<TraceEvent> Trace::problems() const {
    std::vector<TraceEvent> found = all("fault");
    for (const TraceEvent& event : all("jni-warning")) found.push_back(event);
    return found;
}

Trace readTrace(const std::string& path) {
    Trace trace;
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return trace;
    trace.text = readWholeFile(path);
    trace.events = testjvm::parseTrace(trace.text);
    return trace;
}

bool waitForTraceEvent(const std::string& path, std::string_view name, DWORD timeoutMs,
                       Trace* trace) {
    DWORD start = GetTickCount();
    for (;;) {
        Trace current = readTrace(path);
        bool found = current.has(name);
        if (trace) *trace = std::move(current);
        if (found) return true;
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(10);
    }
}
