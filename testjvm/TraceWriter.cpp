#include "testjvm/TraceWriter.h"

#include <windows.h>

namespace testjvm {

namespace {

SRWLOCK traceLock = SRWLOCK_INIT;
bool pathRead = false;
std::string* tracePath = nullptr;  // never freed: events may come while the process ends

void writeLine(const std::string& line) {
    AcquireSRWLockExclusive(&traceLock);
    if (!pathRead) {
        pathRead = true;
        char buffer[MAX_PATH * 4];
        DWORD length = GetEnvironmentVariableA("TESTJVM_TRACE", buffer, sizeof buffer);
        if (length > 0 && length < sizeof buffer) tracePath = new std::string(buffer, length);
    }
    if (tracePath) {
        // Another writer (the other library of this process, or another
        // process) holds the file: wait for our turn.
        HANDLE file = INVALID_HANDLE_VALUE;
        for (int attempt = 0; attempt < 20000; ++attempt) {
            file = CreateFileA(tracePath->c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                               OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_SHARING_VIOLATION) break;
            Sleep(1);
        }
        if (file != INVALID_HANDLE_VALUE) {
            LARGE_INTEGER zero = {};
            SetFilePointerEx(file, zero, nullptr, FILE_END);
            DWORD written = 0;
            WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
            CloseHandle(file);
        }
    }
    ReleaseSRWLockExclusive(&traceLock);
}

}  // namespace

void traceEvent(std::string_view name, std::vector<TraceField> fields) {
    TraceEvent event;
    event.name = std::string(name);
    event.fields.reserve(fields.size() + 1);
    event.fields.push_back({"thread", std::to_string(GetCurrentThreadId())});
    for (TraceField& field : fields) event.fields.push_back(std::move(field));
    writeLine(formatTraceEvent(event));
}

void writeStandardHandle(unsigned long which, std::string_view bytes) {
    HANDLE handle = GetStdHandle(which);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE || bytes.empty()) return;
    DWORD written = 0;
    WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void fault(const std::string& what) {
    traceEvent("fault", {{"what", what}});
    writeStandardHandle(STD_ERROR_HANDLE, "testjvm: fault: " + what + "\r\n");
    ExitProcess(kFaultExitCode);
}

void warn(const std::string& what) {
    traceEvent("jni-warning", {{"what", what}});
    writeStandardHandle(STD_ERROR_HANDLE, "testjvm: warning: " + what + "\r\n");
}

std::vector<TraceField> timestampFields() {
    FILETIME now;
    GetSystemTimePreciseAsFileTime(&now);
    FILETIME created = {}, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto ticks = [](const FILETIME& time) {
        return std::to_string(static_cast<unsigned long long>(time.dwHighDateTime) << 32 |
                              time.dwLowDateTime);
    };
    return {{"time", ticks(now)}, {"process-start", ticks(created)}};
}

void traceLoad(void* module, const char* variant) {
    char path[MAX_PATH * 2] = "";
    DWORD length = GetModuleFileNameA(static_cast<HMODULE>(module), path, sizeof path);
    traceEvent("load", {{"module", std::string(path, length)},
                        {"variant", variant},
                        {"process", std::to_string(GetCurrentProcessId())}});
}

}  // namespace testjvm
