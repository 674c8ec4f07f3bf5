#pragma once
// Loading the runtime's JVM library and creating the one Java VM of the
// process through the JNI Invocation API.

#include <windows.h>
#include <jni.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/Messages.h"

using CreateJavaVmEntry = jint(JNICALL*)(JavaVM**, void**, void*);
using GetDefaultJavaVmInitArgsEntry = jint(JNICALL*)(void*);

// The loaded JVM library's two entry points. The library is never freed.
struct JvmLibrary {
    HMODULE module = nullptr;
    CreateJavaVmEntry createJavaVm = nullptr;
    GetDefaultJavaVmInitArgsEntry getDefaultJavaVmInitArgs = nullptr;
};

// How the JVM library is loaded so that nothing can be planted into it: the
// runtime's bin folder is the DLL directory (for the libraries the runtime
// loads later too), and the C runtime DLLs that lie there are loaded first by
// their full paths, so that the JVM library's imports of them find those and
// never a DLL of the same name in the current folder, the executable's
// folder or the search path.
struct JvmLoading {
    std::string dllDirectory;                   // <home>\bin
    std::vector<std::string> runtimeLibraries;  // the C runtime DLLs found there, in load order
};

// The C runtime DLLs a JVM library may import from its runtime's bin folder.
inline constexpr const char* kRuntimeLibraryNames[] = {"vcruntime140.dll", "vcruntime140_1.dll",
                                                       "msvcp140.dll", "msvcr100.dll", "msvcr120.dll"};

// The loading of the library at path (bin\<type>\jvm.dll below its home).
JvmLoading planJvmLoading(const std::string& path);

// Sets the DLL directory (for the rest of the process), loads the C runtime
// DLLs, then the library, and resolves JNI_CreateJavaVM and
// JNI_GetDefaultJavaVMInitArgs; message 222 or 202 with 212 when it can't.
std::optional<Failure> loadJvmLibrary(const JvmLoading& loading, const std::string& path,
                                      JvmLibrary& library);

// Creates the VM on the calling thread from the options; message 203 with
// the reason of the result code when it can't (vm and env are then null).
std::optional<Failure> createJavaVm(const JvmLibrary& library, const std::vector<std::string>& options,
                                    JavaVM*& vm, JNIEnv*& env);

// The string-table id of the reason for a failed creation; 0 when the result
// has none.
unsigned creationFailureReason(jint result);

// The options of JavaVMInitArgs, pointing into the strings.
std::vector<JavaVMOption> vmOptionArray(const std::vector<std::string>& options);

// The structure JNI_GetDefaultJavaVMInitArgs fills for version 1.1.
struct JDK1_1InitArgs {
    jint version;
    char** properties;
    jint checkSource;
    jint nativeStackSize;
    jint javaStackSize;
    jint minHeapSize;
    jint maxHeapSize;
    jint verifyMode;
    char* classpath;
    jint(JNICALL* vfprintf)(void* stream, const char* format, void* arguments);
    void(JNICALL* exit)(jint code);
    void(JNICALL* abort)();
    jint enableClassGC;
    jint enableVerboseGC;
    jint disableAsyncGC;
    jint verbose;
    jboolean debugging;
    jint debugPort;
};

// The Java thread's default stack size as the JVM library reports it; 0 when
// it reports none.
std::uint32_t defaultJavaStackSize(const JvmLibrary& library);
