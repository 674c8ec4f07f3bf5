// The exports of testjvm.dll and testjvm_nodefault.dll; the latter is built
// with TESTJVM_NO_DEFAULT_ARGS and lacks JNI_GetDefaultJavaVMInitArgs.
#define _JNI_IMPLEMENTATION_
#include <exception>

#include "testjvm/Runtime.h"
#include "testjvm/TraceWriter.h"

extern "C" JNIEXPORT jint JNICALL JNI_CreateJavaVM(JavaVM** pvm, void** penv, void* args) {
    return testjvm::createJavaVm(pvm, penv, args);
}

#ifndef TESTJVM_NO_DEFAULT_ARGS
extern "C" JNIEXPORT jint JNICALL JNI_GetDefaultJavaVMInitArgs(void* args) {
    return testjvm::getDefaultJavaVmInitArgs(args);
}
#endif

#ifdef TESTJVM_IMPORTS_C_RUNTIME
// The import that makes the loader look for the C runtime stand-in.
extern "C" __declspec(dllimport) int testjvmCRuntimeStub();
#endif

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
#ifdef TESTJVM_IMPORTS_C_RUNTIME
        testjvmCRuntimeStub();
#endif
        std::set_terminate([] { testjvm::fault("internal error of the test runtime"); });
#ifdef TESTJVM_NO_DEFAULT_ARGS
        testjvm::traceLoad(module, "nodefault");
#else
        testjvm::traceLoad(module, "full");
#endif
    }
    return TRUE;
}
