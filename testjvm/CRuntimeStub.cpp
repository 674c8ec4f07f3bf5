// A stand-in for a C runtime DLL that a Java runtime keeps in its bin folder
// (built as vcruntime140.dll): the jvm.dll of the test runtime variant
// testjvm_crt imports it, and it records where it was loaded from.
#include <windows.h>

#include "testjvm/TraceWriter.h"

extern "C" __declspec(dllexport) int testjvmCRuntimeStub() { return 1; }

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) testjvm::traceLoad(module, "c-runtime");
    return TRUE;
}
