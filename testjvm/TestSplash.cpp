// A stand-in for a Java runtime's native splash-screen library: it shows
// nothing and records each call in the trace. testsplash_nojar.dll is built
// with TESTSPLASH_NO_JAR_NAME and lacks SplashSetFileJarName.
#include <windows.h>

#include "testjvm/TraceWriter.h"

namespace {
std::vector<testjvm::TraceField> text(const char* key, const char* value) {
    if (!value) return {};
    return {{key, value}};
}
}  // namespace

extern "C" __declspec(dllexport) void __cdecl SplashInit() { testjvm::traceEvent("splash-init"); }

extern "C" __declspec(dllexport) int __cdecl SplashLoadFile(const char* fileName) {
    testjvm::traceEvent("splash-load-file", text("path", fileName));
    return 1;
}

#ifndef TESTSPLASH_NO_JAR_NAME
extern "C" __declspec(dllexport) void __cdecl SplashSetFileJarName(const char* fileName,
                                                                   const char* jarName) {
    std::vector<testjvm::TraceField> fields = text("path", fileName);
    for (auto& field : text("jar", jarName)) fields.push_back(field);
    testjvm::traceEvent("splash-set-file-jar-name", std::move(fields));
}
#endif

extern "C" __declspec(dllexport) void __cdecl SplashClose() { testjvm::traceEvent("splash-close"); }

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
#ifdef TESTSPLASH_NO_JAR_NAME
    if (reason == DLL_PROCESS_ATTACH) testjvm::traceLoad(module, "splash-nojar");
#else
    if (reason == DLL_PROCESS_ATTACH) testjvm::traceLoad(module, "splash");
#endif
    return TRUE;
}
