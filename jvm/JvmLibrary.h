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

// Loads the library and resolves JNI_CreateJavaVM and
// JNI_GetDefaultJavaVMInitArgs; message 222 or 202 with 212 when it can't.
std::optional<Failure> loadJvmLibrary(const std::string& path, JvmLibrary& library);

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
