// Stands in for a Java runtime's splash-screen library: records every call
// it receives, in order, for the test that loaded it to read back. Built with
// WITHOUT_SET_FILE_JAR_NAME it lacks one of the start entry points.
#include <string>

namespace {
std::string calls;
}

extern "C" {

__declspec(dllexport) const char* recordedSplashCalls() { return calls.c_str(); }

__declspec(dllexport) void SplashInit() { calls += "SplashInit;"; }

__declspec(dllexport) int SplashLoadFile(const char* path) {
    calls += std::string("SplashLoadFile(") + path + ");";
    return 1;
}

#ifndef WITHOUT_SET_FILE_JAR_NAME
__declspec(dllexport) void SplashSetFileJarName(const char* path, const char* jarName) {
    calls += std::string("SplashSetFileJarName(") + path + "," + jarName + ");";
}
#endif

__declspec(dllexport) void SplashClose() { calls += "SplashClose;"; }
}
