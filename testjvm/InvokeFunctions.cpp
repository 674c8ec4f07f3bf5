// The JavaVM function table and the two exported entry points: creating the
// VM, attaching and detaching threads, and DestroyJavaVM, which waits for
// the application's non-daemon threads.
#include <cstdio>
#include <cstdlib>
#include <optional>

#include <chrono>
#include <cstddef>
#include <utility>

#include "testjvm/JavaText.h"
#include "testjvm/Runtime.h"
#include "testjvm/Sharing.h"
#include "testjvm/TraceWriter.h"

namespace testjvm {

namespace {

// The argument block of JNI_GetDefaultJavaVMInitArgs for JNI_VERSION_1_1,
// laid out as the JDK 1.1 headers declared it.
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
    jint(JNICALL* vfprintf)(FILE* fp, const char* format, va_list args);
    void(JNICALL* exit)(jint code);
    void(JNICALL* abort)(void);
    jint enableClassGC;
    jint enableVerboseGC;
    jint disableAsyncGC;
    jint verbose;
    jboolean debugging;
    jint debugPort;
};

std::optional<std::string> environmentVariable(const char* name) {
    DWORD size = GetEnvironmentVariableA(name, nullptr, 0);
    if (size == 0) return std::nullopt;
    std::string value(size, '\0');
    value.resize(GetEnvironmentVariableA(name, value.data(), size));
    return value;
}

// A number from an environment variable; nothing when unset, empty or not a number.
std::optional<long long> numberVariable(const char* name) {
    std::optional<std::string> text = environmentVariable(name);
    if (!text || text->empty()) return std::nullopt;
    char* end = nullptr;
    long long value = std::strtoll(text->c_str(), &end, 0);
    if (*end != '\0') return std::nullopt;
    return value;
}

std::string hex(jint value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%lx", static_cast<unsigned long>(value));
    return text;
}

bool supportedVersion(jint version) {
    switch (version) {
    case JNI_VERSION_1_2:
    case JNI_VERSION_1_4:
    case JNI_VERSION_1_6:
    case JNI_VERSION_1_8:
    case JNI_VERSION_9:
    case JNI_VERSION_10:
    case 0x130000:
    case 0x140000:
    case 0x150000: return true;
    default: return false;
    }
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// A size as -Xss, -Xms, -Xmx and -Xmn take it: digits and an optional unit.
bool validSize(std::string_view text) {
    if (!text.empty() && std::string_view("kKmMgGtT").find(text.back()) != std::string_view::npos)
        text.remove_suffix(1);
    if (text.empty()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

// Why the VM refuses an option, or "" when it takes it.
std::string optionProblem(std::string_view option, bool ignoreUnrecognized) {
    if (option == "-Xtestjvm-reject") return "option rejected: -Xtestjvm-reject";
    std::optional<std::string> rejected = environmentVariable("TESTJVM_REJECT");
    if (rejected && !rejected->empty() && startsWith(option, *rejected)) return "option rejected: " + std::string(option);
    for (std::string_view sizeOption : {"-Xss", "-Xms", "-Xmx", "-Xmn"}) {
        if (startsWith(option, sizeOption) && !validSize(option.substr(4)))
            return "invalid size: " + std::string(option);
    }
    static const std::string_view known[] = {
        "-D", "-X", "-verbose", "-ea", "-da", "-esa", "-dsa", "-enableassertions",
        "-disableassertions", "-enablesystemassertions", "-disablesystemassertions",
        "-agentlib:", "-agentpath:", "-javaagent:"};
    for (std::string_view prefix : known)
        if (startsWith(option, prefix)) return {};
    if (option == "vfprintf" || option == "exit" || option == "abort" || ignoreUnrecognized) return {};
    return "Unrecognized option: " + std::string(option);
}

void setClassPath(const std::string& value) {
    Vm& state = vm();
    state.classPath.clear();
    std::size_t start = 0;
    for (;;) {
        std::size_t end = value.find(';', start);
        std::string entry = value.substr(start, end == std::string::npos ? end : end - start);
        if (entry.empty()) entry = ".";  // an empty entry is the current folder
        state.classPath.push_back({entry, fromAnsi(entry)});
        if (end == std::string::npos) break;
        start = end + 1;
    }
}

// The first bytes of a file (up to 16 MB); nothing when it cannot be read.
std::optional<std::string> readFileStart(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string content;
    char buffer[65536];
    DWORD read = 0;
    while (content.size() < 16 * 1024 * 1024 && ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
        content.append(buffer, read);
    CloseHandle(file);
    return content;
}

// What a VM does with class data sharing while it is created, as far as
// TESTJVM_SHARING_EXIT and TESTJVM_MAP_ARCHIVES ask: end the process from
// inside JNI_CreateJavaVM as HotSpot does when it cannot honour a sharing
// option, and "map" the archives, crashing on a damaged one.
void playClassDataSharing(const std::vector<std::string>& options) {
    if (std::optional<long long> code = numberVariable("TESTJVM_SHARING_EXIT")) {
        for (const std::string& option : options) {
            if (!isSharingOption(option)) continue;
            traceEvent("sharing-exit", {{"option", option}, {"code", std::to_string(*code)}});
            writeStandardHandle(STD_OUTPUT_HANDLE, "Error occurred during initialization of VM\r\n"
                                                   "testjvm: class data sharing refused: " + option + "\r\n");
            ExitProcess(static_cast<UINT>(*code));
        }
    }
    std::optional<std::string> map = environmentVariable("TESTJVM_MAP_ARCHIVES");
    if (!map || map->empty()) return;
    for (const std::string& archive : archivesToMap(options)) {
        std::optional<std::string> content = readFileStart(archive);
        ArchiveContent judged = content ? judgeArchive(*content) : ArchiveContent::NotAnArchive;
        traceEvent("map", {{"archive", archive}, {"content", content ? archiveContentName(judged) : "missing"}});
        if (judged != ArchiveContent::Damaged) continue;
        traceEvent("crash", {{"archive", archive}});
        writeStandardHandle(STD_ERROR_HANDLE, "testjvm: crash while mapping " + archive + "\r\n");
        // As a parent sees a process that died of an access violation:
        // no exception handler, no debugger, no dialog.
        TerminateProcess(GetCurrentProcess(), kCrashExitCode);
    }
}

void checkVm(JavaVM* jvm, const char* function) {
    if (jvm != &vm().javaVm) fault(std::string(function) + ": not the JavaVM of this runtime");
}

jint finishCreation(jint result, const std::string& reason) {
    std::vector<TraceField> fields{{"result", std::to_string(result)}};
    if (!reason.empty()) fields.push_back({"reason", reason});
    traceEvent("create-result", std::move(fields));
    return result;
}

jint JNICALL DestroyJavaVM(JavaVM* jvm) noexcept {
    checkVm(jvm, "DestroyJavaVM");
    traceEvent("destroy-enter");
    Vm& state = vm();
    Lock lock(state.mutex);
    if (!state.created || state.destroyed) {
        lock.unlock();
        traceEvent("destroy-return", {{"result", std::to_string(JNI_ERR)}});
        return JNI_ERR;
    }
    Env* self = currentEnv();
    if (!self) self = attachCurrentThread("DestroyJavaVM", false, false);
    for (;;) {
        std::vector<Env*> others;
        for (auto& [id, env] : state.envByThread)
            if (env != self && !env->daemon) others.push_back(env);
        if (others.empty() && state.startingThreads == 0) break;
        for (Env* env : others) {
            if (env->threadHandle && WaitForSingleObject(env->threadHandle, 0) == WAIT_OBJECT_0)
                fault("thread " + std::to_string(env->threadId) + " (" + env->name +
                      ") ended while attached to the VM; DestroyJavaVM would wait for it for ever");
        }
        state.changed.wait_for(lock, std::chrono::milliseconds(50));
    }
    state.destroyed = true;
    detachEnv(*self);
    lock.unlock();
    traceEvent("destroy-return", {{"result", "0"}});
    return JNI_OK;
}

jint JNICALL AttachCurrentThread(JavaVM* jvm, void** penv, void* args) noexcept {
    checkVm(jvm, "AttachCurrentThread");
    if (!penv) fault("AttachCurrentThread: null environment pointer");
    Vm& state = vm();
    Lock lock(state.mutex);
    if (!state.created || state.destroyed) {
        lock.unlock();
        traceEvent("attach", {{"result", std::to_string(JNI_ERR)}});
        return JNI_ERR;
    }
    if (Env* env = currentEnv()) {
        *penv = env;
        lock.unlock();
        traceEvent("attach", {{"result", "0"}, {"name", env->name}, {"already", "1"}});
        return JNI_OK;
    }
    auto* attachArgs = static_cast<JavaVMAttachArgs*>(args);
    if (attachArgs && !supportedVersion(attachArgs->version)) {
        lock.unlock();
        traceEvent("attach", {{"result", std::to_string(JNI_EVERSION)}});
        return JNI_EVERSION;
    }
    std::string name = attachArgs && attachArgs->name ? attachArgs->name : nextThreadName();
    Env* env = attachCurrentThread(name, false, false);
    *penv = env;
    lock.unlock();
    traceEvent("attach", {{"result", "0"}, {"name", name}});
    return JNI_OK;
}

jint JNICALL DetachCurrentThread(JavaVM* jvm) noexcept {
    checkVm(jvm, "DetachCurrentThread");
    jint result = static_cast<jint>(numberVariable("TESTJVM_DETACH_RESULT").value_or(JNI_OK));
    Vm& state = vm();
    Lock lock(state.mutex);
    Env* env = currentEnv();
    if (env) detachEnv(*env);
    lock.unlock();
    std::vector<TraceField> fields{{"result", std::to_string(result)}};
    if (!env) fields.push_back({"attached", "0"});
    traceEvent("detach", std::move(fields));
    return result;
}

const char* const kInvokeSlotNames[] = {"reserved0",           "reserved1",
                                        "reserved2",           "DestroyJavaVM",
                                        "AttachCurrentThread", "DetachCurrentThread",
                                        "GetEnv",              "AttachCurrentThreadAsDaemon"};
constexpr std::size_t kInvokeSlots = sizeof(JNIInvokeInterface_) / sizeof(void*);
static_assert(kInvokeSlots == sizeof kInvokeSlotNames / sizeof kInvokeSlotNames[0]);

template <std::size_t N>
void JNICALL unusedInvokeSlot() {
    fault(std::string("JavaVM function ") + kInvokeSlotNames[N] + " (slot " + std::to_string(N) +
          ") is not available in the test runtime");
}

template <std::size_t... N>
void fillUnusedSlots(void** slots, std::index_sequence<N...>) {
    ((slots[N] = N < 3 ? nullptr : reinterpret_cast<void*>(&unusedInvokeSlot<N>)), ...);
}

}  // namespace

const JNIInvokeInterface_* invokeFunctions() {
    static const JNIInvokeInterface_* table = [] {
        auto* t = new JNIInvokeInterface_{};
        fillUnusedSlots(reinterpret_cast<void**>(t), std::make_index_sequence<kInvokeSlots>());
        t->DestroyJavaVM = DestroyJavaVM;
        t->AttachCurrentThread = AttachCurrentThread;
        t->DetachCurrentThread = DetachCurrentThread;
        return t;
    }();
    return table;
}

jint createJavaVm(JavaVM** pvm, void** penv, void* argsPointer) {
    std::vector<TraceField> entered = timestampFields();
    auto* args = static_cast<JavaVMInitArgs*>(argsPointer);
    ULONG_PTR low = 0, high = 0;
    GetCurrentThreadStackLimits(&low, &high);

    // Everything the caller passed is recorded before anything can fail.
    std::vector<TraceField> fields;
    if (!args) {
        fields.push_back({"args", "null"});
    } else {
        fields.push_back({"version", hex(args->version)});
        fields.push_back({"ignoreUnrecognized", std::to_string(args->ignoreUnrecognized)});
        fields.push_back({"options", std::to_string(args->nOptions)});
        for (jint i = 0; args->options && i < args->nOptions && i < 10000; ++i) {
            if (args->options[i].optionString)
                fields.push_back({"option" + std::to_string(i), args->options[i].optionString});
        }
    }
    fields.push_back({"stack", std::to_string(high - low)});
    for (TraceField& field : entered) fields.push_back(std::move(field));
    traceEvent("create", std::move(fields));
    for (const char* name : {"VT_JVM_HOME", "VT_JVM_PATH", "Path"}) {
        std::vector<TraceField> variable{{"name", name}};
        if (std::optional<std::string> value = environmentVariable(name))
            variable.push_back({"value", *value});
        traceEvent("vm-env", std::move(variable));
    }

    if (pvm) *pvm = nullptr;
    if (penv) *penv = nullptr;
    if (std::optional<std::string> name = environmentVariable("TESTJVM_CREATE_WAIT")) {
        HANDLE event = CreateEventA(nullptr, TRUE, FALSE, name->c_str());
        WaitForSingleObject(event, 60000);
        CloseHandle(event);
    }
    std::optional<long long> forced = numberVariable("TESTJVM_CREATE_RESULT");
    if (forced && *forced != 0)
        return finishCreation(static_cast<jint>(*forced), "forced by TESTJVM_CREATE_RESULT");
    if (!pvm || !penv || !args) return finishCreation(JNI_EINVAL, "null argument");

    Vm& state = vm();
    Lock lock(state.mutex);
    if (state.created) return finishCreation(JNI_EEXIST, "a VM was created before");
    if (!supportedVersion(args->version))
        return finishCreation(JNI_EVERSION, "unsupported version " + hex(args->version));
    if (args->nOptions < 0 || (args->nOptions > 0 && !args->options))
        return finishCreation(JNI_EINVAL, "invalid option list");
    std::optional<std::string> classPath;
    for (jint i = 0; i < args->nOptions; ++i) {
        const char* option = args->options[i].optionString;
        if (!option) return finishCreation(JNI_EINVAL, "option " + std::to_string(i) + " is null");
        std::string problem = optionProblem(option, args->ignoreUnrecognized);
        if (!problem.empty()) {
            writeStandardHandle(STD_ERROR_HANDLE, problem + "\r\n");
            return finishCreation(JNI_ERR, problem);
        }
        if (startsWith(option, "-Djava.class.path=")) classPath = option + 18;
    }
    if (!classPath) classPath = environmentVariable("CLASSPATH");
    setClassPath(classPath.value_or("."));
    std::vector<std::string> options;
    for (jint i = 0; i < args->nOptions; ++i) options.emplace_back(args->options[i].optionString);
    playClassDataSharing(options);

    state.created = true;
    state.systemOut = newPrintStream(newStandardStream(STD_OUTPUT_HANDLE));
    state.systemErr = newPrintStream(newStandardStream(STD_ERROR_HANDLE));
    Env* env = attachCurrentThread("main", false, false);
    *pvm = &state.javaVm;
    *penv = env;
    return finishCreation(JNI_OK, {});
}

jint getDefaultJavaVmInitArgs(void* argsPointer) {
    if (!argsPointer) fault("JNI_GetDefaultJavaVMInitArgs: null argument");
    jint version = *static_cast<jint*>(argsPointer);
    long long stackSize = numberVariable("TESTJVM_DEFAULT_STACK_SIZE").value_or(0);
    // As a JDK 1.2+ VM does: version 1.1 is no longer supported (JNI_ERR),
    // but the block still carries the default Java stack size back.
    jint result = supportedVersion(version) ? JNI_OK : JNI_ERR;
    std::vector<TraceField> fields{{"version", hex(version)}, {"result", std::to_string(result)}};
    if (version == JNI_VERSION_1_1) {
        auto* args = static_cast<JDK1_1InitArgs*>(argsPointer);
        args->version = JNI_VERSION_1_2;
        args->javaStackSize = static_cast<jint>(stackSize);
        fields.push_back({"javaStackSize", std::to_string(args->javaStackSize)});
    }
    traceEvent("default-args", std::move(fields));
    return result;
}

}  // namespace testjvm
