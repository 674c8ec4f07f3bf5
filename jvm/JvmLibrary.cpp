#include "jvm/JvmLibrary.h"

#include <windows.h>

#include "launcher/Launcher.h"
#include "ui/MessageReporter.h"

bool loadJvmLibrary(Launcher& launcher) {
    HMODULE module = LoadLibraryA(launcher.jvmLibraryPath.c_str());
    if (!module) {
        DWORD error = GetLastError();
        std::string format;
        loadResourceString(format, msg::JvmLibraryLoadFailed);
        showErrorFormat(launcher.owner(), format, launcher.jvmLibraryPath.c_str(),
                        static_cast<int>(error));
        return false;
    }
    // The library stays loaded until the process ends.
    launcher.jvmLibrary.module = module;
    launcher.jvmLibrary.createJavaVm =
        reinterpret_cast<CreateJavaVmEntry>(GetProcAddress(module, "JNI_CreateJavaVM"));
    if (!launcher.jvmLibrary.createJavaVm) {
        showWindowsError(launcher.owner(), msg::CreateJavaVmMissing, GetLastError());
        return false;
    }
    launcher.jvmLibrary.getDefaultJavaVmInitArgs = reinterpret_cast<GetDefaultJavaVmInitArgsEntry>(
        GetProcAddress(module, "JNI_GetDefaultJavaVMInitArgs"));
    if (!launcher.jvmLibrary.getDefaultJavaVmInitArgs) {
        showWindowsError(launcher.owner(), msg::CreateJavaVmMissing, GetLastError());
        return false;
    }
    return true;
}

unsigned creationFailureReason(jint result) {
    switch (result) {
    case JNI_ERR: return msg::ReasonUnknown;
    case JNI_EDETACHED: return msg::ReasonDetached;
    case JNI_EVERSION: return msg::ReasonVersion;
    case JNI_ENOMEM: return msg::ReasonNoMemory;
    case JNI_EEXIST: return msg::ReasonExists;
    case JNI_EINVAL: return msg::ReasonInvalid;
    default: return 0;
    }
}

std::vector<JavaVMOption> vmOptionArray(const std::vector<std::string>& options) {
    std::vector<JavaVMOption> array(options.size());
    for (std::size_t i = 0; i < options.size(); ++i) {
        array[i].optionString = const_cast<char*>(options[i].c_str());
        array[i].extraInfo = nullptr;
    }
    return array;
}

bool createJavaVm(Launcher& launcher) {
    std::vector<JavaVMOption> options = vmOptionArray(launcher.vmOptions);
    JavaVMInitArgs arguments = {};
    arguments.version = JNI_VERSION_1_2;
    arguments.nOptions = static_cast<jint>(options.size());
    arguments.options = options.data();
    arguments.ignoreUnrecognized = JNI_FALSE;

    jint result = launcher.jvmLibrary.createJavaVm(
        &launcher.javaVm, reinterpret_cast<void**>(&launcher.jniEnv), &arguments);
    if (result == JNI_OK) return true;
    // Whatever a failed creation left there is no VM to destroy later.
    launcher.javaVm = nullptr;
    launcher.jniEnv = nullptr;

    std::string format;
    std::string fragment;
    std::string reason;
    loadResourceString(format, msg::JniCreateException);
    loadResourceString(fragment, msg::CreateVmFailed);
    if (unsigned reasonId = creationFailureReason(result)) loadResourceString(reason, reasonId);
    showErrorFormat(launcher.owner(), format, fragment.c_str(), reason.c_str());
    return false;
}

std::uint32_t defaultJavaStackSize(Launcher& launcher) {
    JDK1_1InitArgs arguments = {};
    arguments.version = JNI_VERSION_1_1;
    launcher.jvmLibrary.getDefaultJavaVmInitArgs(&arguments);
    return arguments.javaStackSize > 0 ? static_cast<std::uint32_t>(arguments.javaStackSize) : 0;
}
