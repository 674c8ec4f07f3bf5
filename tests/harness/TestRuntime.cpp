#include "harness/TestRuntime.h"

#include <stdexcept>

namespace {

void copyBuilt(const std::string& builtName, const std::string& target) {
    createFolders(target.substr(0, target.rfind('\\')));
    std::string source = buildOutputFolder() + "\\" + builtName;
    if (!CopyFileA(source.c_str(), target.c_str(), FALSE))
        throw std::runtime_error("cannot copy " + source + " to " + target);
}

}  // namespace

void removeRuntimeRegistrations() {
    for (const char* vendor : {"Software\\JavaSoft", "Software\\JRockit", "Software\\IBM"})
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, vendor);
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        for (const char* key : {"Software\\JavaSoft", "Software\\Eclipse Adoptium", "Software\\Eclipse Foundation",
                                "Software\\AdoptOpenJDK", "Software\\Microsoft\\JDK", "Software\\Semeru",
                                "Software\\SapMachine", "Software\\Azul Systems", "Software\\BellSoft"})
            RegDeleteTreeA(root, key);
    }
}

void registerHome(HKEY root, const std::string& key, const char* valueName, const std::string& home, DWORD type) {
    HKEY created;
    if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &created, nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("cannot create the key " + key);
    RegSetValueExA(created, valueName, 0, type, reinterpret_cast<const BYTE*>(home.c_str()),
                   static_cast<DWORD>(home.size() + 1));
    RegCloseKey(created);
}

void addTestRuntimeAt(const std::string& home, const RuntimeLayout& layout) {
    const std::string jvm = layout.noDefaultArgs ? "testjvm_nodefault.dll"
                            : layout.cRuntime    ? "testjvm_crt.dll"
                                                 : "testjvm.dll";
    if (layout.cRuntime) copyBuilt("vcruntime140.dll", home + "\\bin\\vcruntime140.dll");
    createFolders(home + "\\bin");
    if (layout.marker) writeWholeFile(home + "\\bin\\java.dll", "");
    if (layout.client) copyBuilt(jvm, home + "\\bin\\client\\jvm.dll");
    if (layout.server) copyBuilt(jvm, home + "\\bin\\server\\jvm.dll");
    if (layout.splash != SplashLibrary::none) {
        copyBuilt(layout.splash == SplashLibrary::full ? "testsplash.dll" : "testsplash_nojar.dll",
                  home + "\\bin\\splashscreen.dll");
    }
}

std::string addTestRuntime(const TestFolder& folder, const std::string& home,
                           const RuntimeLayout& layout) {
    addTestRuntimeAt(folder.file(home), layout);
    return folder.file(home);
}

ScriptEvent::ScriptEvent(const std::string& name)
    : name_("e2e-" + std::to_string(GetCurrentProcessId()) + "-" + name),
      handle_(CreateEventA(nullptr, TRUE, FALSE, name_.c_str())) {
    if (!handle_) throw std::runtime_error("cannot create the event " + name_);
    ResetEvent(handle_);
}

ScriptEvent::~ScriptEvent() { CloseHandle(handle_); }

void ScriptEvent::set() const { SetEvent(handle_); }

void ScriptEvent::reset() const { ResetEvent(handle_); }

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
