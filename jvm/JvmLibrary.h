#pragma once
// Loading the runtime's JVM library and creating the one Java VM of the
// process through the JNI Invocation API.

#include <jni.h>

#include <string>
#include <vector>

class Launcher;

// Loads jvmLibraryPath and resolves JNI_CreateJavaVM and
// JNI_GetDefaultJavaVMInitArgs; false after message 222 or 202.
bool loadJvmLibrary(Launcher& launcher);

// Creates the VM on the calling thread from vmOptions; false after message
// 203 with the reason of the result code.
bool createJavaVm(Launcher& launcher);

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
std::uint32_t defaultJavaStackSize(Launcher& launcher);
