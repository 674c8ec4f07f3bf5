// The exports of the bridge's jvm.dll and its JavaVM (invocation interface).
#define _JNI_IMPLEMENTATION_
#include <string>
#include <vector>

#include "bridgejvm/Env.h"
#include "bridgejvm/JvmProcess.h"

namespace bridgejvm {

namespace {

bool created = false;
bool destroyed = false;

// The part of JDK 1.1's init arguments that the launcher reads.
struct JDK1_1InitArgsPrefix {
    jint version;
    char** properties;
    jint checkSource;
    jint nativeStackSize;
    jint javaStackSize;
};

// The default Java thread stack of a 64-bit HotSpot VM.
constexpr jint kDefaultJavaStackSize = 1024 * 1024;

bool supportedVersion(jint version) {
    return version == JNI_VERSION_1_2 || version == JNI_VERSION_1_4 || version == JNI_VERSION_1_6 ||
           version == JNI_VERSION_1_8 || version == JNI_VERSION_9 || version == JNI_VERSION_10;
}

jint JNICALL DestroyJavaVM(JavaVM*) {
    if (!created || destroyed) return JNI_ERR;
    // As in HotSpot, the calling thread does not count among the threads
    // the VM waits for.
    detachCurrentThread();
    jvmProcess().waitForEnd();
    destroyed = true;
    return JNI_OK;
}

jint attach(void** penv, void* argsPointer, protocol::HelloKind kind) {
    if (!penv) return JNI_EINVAL;
    *penv = nullptr;
    const char* name = nullptr;
    if (auto* args = static_cast<JavaVMAttachArgs*>(argsPointer)) {
        if (!supportedVersion(args->version)) return JNI_EVERSION;
        name = args->name;
    }
    if (!created || destroyed) return JNI_ERR;
    Env* env = nullptr;
    jint result = attachCurrentThread(kind, name, &env);
    *penv = static_cast<JNIEnv*>(env);
    return result;
}

jint JNICALL AttachCurrentThread(JavaVM*, void** penv, void* args) {
    return attach(penv, args, protocol::Thread);
}

jint JNICALL AttachCurrentThreadAsDaemon(JavaVM*, void** penv, void* args) {
    return attach(penv, args, protocol::Daemon);
}

jint JNICALL DetachCurrentThread(JavaVM*) {
    detachCurrentThread();
    return JNI_OK;
}

jint JNICALL GetEnv(JavaVM*, void** penv, jint version) {
    *penv = nullptr;
    if (!supportedVersion(version) && version != JNI_VERSION_1_1) return JNI_EVERSION;
    Env* env = currentEnv();
    if (!env) return JNI_EDETACHED;
    *penv = static_cast<JNIEnv*>(env);
    return JNI_OK;
}

const JNIInvokeInterface_ invokeFunctions = {
    nullptr, nullptr, nullptr, DestroyJavaVM, AttachCurrentThread, DetachCurrentThread, GetEnv,
    AttachCurrentThreadAsDaemon,
};

JavaVM vm = {&invokeFunctions};

jint createJavaVm(JavaVM** pvm, void** penv, void* argsPointer) {
    auto* args = static_cast<JavaVMInitArgs*>(argsPointer);
    if (!pvm || !penv || !args) return JNI_EINVAL;
    if (!supportedVersion(args->version)) return JNI_EVERSION;
    if (created) return JNI_EEXIST;
    if (args->nOptions < 0 || (args->nOptions > 0 && !args->options)) return JNI_EINVAL;
    std::vector<std::string> options;
    for (jint i = 0; i < args->nOptions; ++i) {
        if (!args->options[i].optionString) return JNI_EINVAL;
        options.emplace_back(args->options[i].optionString);
    }
    jint result = newJvmProcess().start(options, args->ignoreUnrecognized);
    if (result != JNI_OK) return result;
    Env* env = nullptr;
    result = attachCurrentThread(protocol::Creator, nullptr, &env);
    if (result != JNI_OK) return result;
    created = true;
    *pvm = &vm;
    *penv = static_cast<JNIEnv*>(env);
    return JNI_OK;
}

}  // namespace

JavaVM* bridgeVm() { return &vm; }

}  // namespace bridgejvm

extern "C" JNIEXPORT jint JNICALL JNI_CreateJavaVM(JavaVM** pvm, void** penv, void* args) {
    return bridgejvm::createJavaVm(pvm, penv, args);
}

// Answers as a JDK 1.2+ VM: a 1.1 request is refused, but reports the
// default Java stack size and the version the VM speaks.
extern "C" JNIEXPORT jint JNICALL JNI_GetDefaultJavaVMInitArgs(void* argsPointer) {
    auto* args = static_cast<bridgejvm::JDK1_1InitArgsPrefix*>(argsPointer);
    if (!args) return JNI_ERR;
    jint result = bridgejvm::supportedVersion(args->version) ? JNI_OK : JNI_ERR;
    if (args->version == JNI_VERSION_1_1) {
        args->version = JNI_VERSION_1_2;
        args->javaStackSize = bridgejvm::kDefaultJavaStackSize;
    }
    return result;
}

extern "C" JNIEXPORT jint JNICALL JNI_GetCreatedJavaVMs(JavaVM** vms, jsize size, jsize* count) {
    bool alive = bridgejvm::created && !bridgejvm::destroyed && !bridgejvm::jvmProcess().hasEnded();
    if (count) *count = alive ? 1 : 0;
    if (alive && vms && size > 0) vms[0] = &bridgejvm::vm;
    return JNI_OK;
}
