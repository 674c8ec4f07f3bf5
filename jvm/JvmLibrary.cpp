#include "jvm/JvmLibrary.h"

#include "base/PathText.h"

JvmLoading planJvmLoading(const std::string& path) {
    JvmLoading loading;
    loading.dllDirectory = stripPathComponents(path, 2);
    for (const char* name : kRuntimeLibraryNames) {
        std::string library = loading.dllDirectory + "\\" + name;
        DWORD attributes = GetFileAttributesA(library.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            loading.runtimeLibraries.push_back(std::move(library));
    }
    return loading;
}

std::optional<Failure> loadJvmLibrary(const JvmLoading& loading, const std::string& path, JvmLibrary& library) {
    // Also takes the current folder out of the DLL search.
    SetDllDirectoryA(loading.dllDirectory.c_str());
    // Each stays loaded for the rest of the process, as the library does; one
    // that does not load is left to the library's own import.
    for (const std::string& runtimeLibrary : loading.runtimeLibraries) LoadLibraryA(runtimeLibrary.c_str());
    HMODULE module = LoadLibraryA(path.c_str());
    if (!module) {
        DWORD error = GetLastError();
        Failure failure{msg::JvmLibraryLoadFailed, path};
        failure.number = static_cast<int>(error);
        return failure;
    }
    // The library stays loaded until the process ends.
    library.module = module;
    library.createJavaVm = reinterpret_cast<CreateJavaVmEntry>(GetProcAddress(module, "JNI_CreateJavaVM"));
    if (!library.createJavaVm) return windowsFailure(msg::CreateJavaVmMissing, GetLastError());
    library.getDefaultJavaVmInitArgs = reinterpret_cast<GetDefaultJavaVmInitArgsEntry>(
        GetProcAddress(module, "JNI_GetDefaultJavaVMInitArgs"));
    if (!library.getDefaultJavaVmInitArgs) return windowsFailure(msg::CreateJavaVmMissing, GetLastError());
    return std::nullopt;
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

std::optional<Failure> createJavaVm(const JvmLibrary& library, const std::vector<std::string>& options,
                                    JavaVM*& vm, JNIEnv*& env) {
    std::vector<JavaVMOption> array = vmOptionArray(options);
    JavaVMInitArgs arguments = {};
    arguments.version = JNI_VERSION_1_2;
    arguments.nOptions = static_cast<jint>(array.size());
    arguments.options = array.data();
    arguments.ignoreUnrecognized = JNI_FALSE;

    jint result = library.createJavaVm(&vm, reinterpret_cast<void**>(&env), &arguments);
    if (result == JNI_OK) return std::nullopt;
    // Whatever a failed creation left there is no VM to destroy later.
    vm = nullptr;
    env = nullptr;
    Failure failure{msg::JniCreateException};
    failure.fragment = msg::CreateVmFailed;
    failure.reason = creationFailureReason(result);
    return failure;
}

std::uint32_t defaultJavaStackSize(const JvmLibrary& library) {
    JDK1_1InitArgs arguments = {};
    arguments.version = JNI_VERSION_1_1;
    library.getDefaultJavaVmInitArgs(&arguments);
    return arguments.javaStackSize > 0 ? static_cast<std::uint32_t>(arguments.javaStackSize) : 0;
}
