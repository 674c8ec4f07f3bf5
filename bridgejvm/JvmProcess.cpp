#define _CRT_RAND_S
#include "bridgejvm/JvmProcess.h"

#include <ws2tcpip.h>

#include <cstdlib>
#include <sstream>
#include <thread>

#include "bridgejvm/JavaCommand.h"
#include "bridgejvm/StderrFilter.h"
#include "bridgejvm/VmExit.h"
#include "bridgejvm/Wire.h"
#include "bridgejvm/WinePaths.h"

namespace bridgejvm {

namespace {

using namespace std::chrono_literals;

// How long the VM may take to start, and how long its end may take to show
// on all connections once one of them has shown it.
constexpr auto kStartTimeout = 120s;
constexpr auto kStatusGrace = 3s;
constexpr auto kWrapperGrace = 5s;

constexpr const wchar_t* kDefaultJava = L"/usr/lib/jvm/java-17-openjdk-amd64/bin/java";

JvmProcess* current = nullptr;

std::string randomToken() {
    std::string token;
    for (int i = 0; i < 4; ++i) {
        unsigned int value = 0;
        rand_s(&value);
        char part[9];
        std::snprintf(part, sizeof part, "%08x", value);
        token += part;
    }
    return token;
}

// The folder of the runtime: this library is <home>\bin\<type>\jvm.dll.
std::wstring runtimeHome() {
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&runtimeHome), &self);
    wchar_t path[MAX_PATH * 4];
    DWORD length = GetModuleFileNameW(self, path, MAX_PATH * 4);
    std::wstring home(path, length);
    for (int level = 0; level < 3; ++level) {
        std::size_t slash = home.rfind(L'\\');
        home.erase(slash == std::wstring::npos ? 0 : slash);
    }
    return home;
}

std::optional<std::string> unixPathOf(const std::wstring& windowsPath) {
    return unixPath(narrow(windowsPath, CP_UTF8));
}

bool writeFile(const std::wstring& path, const std::string& content) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == content.size();
}

void notInherited(SOCKET socket) {
    SetHandleInformation(reinterpret_cast<HANDLE>(socket), HANDLE_FLAG_INHERIT, 0);
}

// This process's environment and the secret, for the VM's wrapper.
std::wstring environmentWithToken(const std::string& token) {
    std::wstring block;
    wchar_t* strings = GetEnvironmentStringsW();
    for (const wchar_t* p = strings; *p; p += wcslen(p) + 1) {
        if (_wcsnicmp(p, L"BRIDGEJVM_TOKEN=", 16) == 0) continue;
        block.append(p);
        block.push_back(L'\0');
    }
    FreeEnvironmentStringsW(strings);
    block += L"BRIDGEJVM_TOKEN=" + widen(token, CP_UTF8);
    block.push_back(L'\0');
    block.push_back(L'\0');
    return block;
}

// The Linux java that runtimes of this bridge run: [Bridge] Java= of
// lib\bridgejvm\bridgejvm.ini.
std::wstring linuxJava(const std::wstring& home) {
    std::wstring iniFile = home + L"\\lib\\bridgejvm\\bridgejvm.ini";
    wchar_t java[MAX_PATH * 4];
    GetPrivateProfileStringW(L"Bridge", L"Java", kDefaultJava, java, MAX_PATH * 4, iniFile.c_str());
    return java;
}

std::string readSmallFile(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string text(64 * 1024, '\0');
    DWORD read = 0;
    if (!ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &read, nullptr)) read = 0;
    CloseHandle(file);
    text.resize(read);
    return text;
}

// The feature version of the Linux JDK, from its release file
// (<jdk>/bin/java: <jdk>/release), else from the runtime's own copy of it.
int linuxJavaVersion(const std::wstring& home, const std::wstring& java) {
    std::string unixJava = narrow(java, CP_UTF8);
    std::size_t bin = unixJava.rfind("/bin/");
    if (bin != std::string::npos) {
        if (std::optional<std::wstring> release = dosPath(unixJava.substr(0, bin) + "/release")) {
            if (int version = javaFeatureVersion(readSmallFile(*release))) return version;
        }
    }
    return javaFeatureVersion(readSmallFile(home + L"\\release"));
}

std::vector<std::string> words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> result;
    for (std::string word; in >> word;) result.push_back(word);
    return result;
}

}  // namespace

JvmProcess& jvmProcess() { return *current; }

JvmProcess& newJvmProcess() {
    // A process that failed to start may still have threads winding down:
    // it is left alive.
    current = new JvmProcess;
    return *current;
}

void writeStandardError(const std::string& bytes) {
    HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    if (!error || error == INVALID_HANDLE_VALUE || bytes.empty()) return;
    DWORD written = 0;
    WriteFile(error, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void fault(const std::string& what) {
    writeStandardError("bridgejvm: " + what + "\n");
    ExitProcess(0x0BADC0DE);
}

jint JvmProcess::start(const std::vector<std::string>& options, bool ignoreUnrecognized) {
    static bool socketsReady = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    if (!socketsReady) return JNI_ERR;
    token_ = randomToken();

    std::wstring home = runtimeHome();
    std::optional<std::string> serverJar = unixPathOf(home + L"\\lib\\bridgejvm\\bridgejvm-server.jar");
    if (!serverJar) {
        writeStandardError("bridgejvm: the runtime folder lacks lib\\bridgejvm\\bridgejvm-server.jar\n");
        return JNI_ERR;
    }

    // The bridge's own options come first, so that the launcher's settings
    // of the same properties win.
    // Without a class path option a VM takes CLASSPATH, or else ".".
    wchar_t classPath[32768];
    DWORD classPathLength = GetEnvironmentVariableW(L"CLASSPATH", classPath, 32768);
    std::string defaultClassPath =
        classPathLength > 0 && classPathLength < 32768 ? narrow(std::wstring(classPath, classPathLength), CP_UTF8) : ".";
    PathTranslator translate = [](const std::string& path) { return unixPath(path); };
    std::wstring java = linuxJava(home);
    std::vector<std::string> bridgeOptions = {
        "-Djava.class.path=" + translatePathList(defaultClassPath, translate),
        "-Xbootclasspath/a:" + *serverJar,
        "-Dfile.encoding=" + javaCharsetName(GetACP()),
        "-Dline.separator=\r\n",
    };
    // The server's exit reporting needs a security manager; Java 24 and
    // later refuse to start when asked to allow one.
    if (acceptsSecurityManagerAllow(linuxJavaVersion(home, java)))
        bridgeOptions.insert(bridgeOptions.begin() + 2, "-Djava.security.manager=allow");
    if (ignoreUnrecognized) bridgeOptions.push_back("-XX:+IgnoreUnrecognizedVMOptions");
    std::vector<std::string> launcherOptions;
    for (const std::string& option : options) {
        // Hooks are function pointers of this process: the Linux VM cannot call them.
        if (option == "vfprintf" || option == "exit" || option == "abort") continue;
        launcherOptions.push_back(translateOption(narrow(widen(option, CP_ACP), CP_UTF8), translate));
    }

    wchar_t temp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, temp);
    // File names are visible to others: they take a random name of their own, not the secret.
    std::wstring optionsFile = std::wstring(temp) + L"bridgejvm-" + widen(randomToken().substr(0, 12), CP_UTF8) + L".options";
    if (!writeFile(optionsFile, optionsFileText(bridgeOptions, launcherOptions))) {
        writeStandardError("bridgejvm: cannot write the VM options file\n");
        return JNI_ERR;
    }

    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int size = sizeof address;
    if (listener_ == INVALID_SOCKET || bind(listener_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        listen(listener_, 16) != 0 || getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        DeleteFileW(optionsFile.c_str());
        return JNI_ERR;
    }
    notInherited(listener_);
    listenerPort_ = ntohs(address.sin_port);
    std::thread([this] { acceptConnections(); }).detach();

    if (!launchScript(home, java, optionsFile)) {
        DeleteFileW(optionsFile.c_str());
        closesocket(listener_);
        return JNI_ERR;
    }

    std::unique_lock lock(mutex_);
    bool answered = changed_.wait_for(lock, kStartTimeout, [this] {
        return (hello_ && stderrConnected_) || statusReceived_;
    });
    // BRIDGEJVM_KEEP_OPTIONS keeps the options file, to see what the VM got.
    if (GetEnvironmentVariableW(L"BRIDGEJVM_KEEP_OPTIONS", nullptr, 0) == 0) DeleteFileW(optionsFile.c_str());
    if (answered && hello_) {
        lock.unlock();
        std::thread([this] { watchForEnd(); }).detach();
        return JNI_OK;
    }
    if (!answered) {
        lock.unlock();
        writeStandardError("bridgejvm: the Java VM did not start\n");
    } else {
        // Let the VM's last words reach standard error first.
        changed_.wait_for(lock, kStatusGrace, [this] { return stderrClosed_ || !stderrConnected_; });
        bool refused = creationRefused_;
        int status = status_;
        lock.unlock();
        // The VM exited or crashed while being created: in-process, that
        // is the end of the process that created it.
        if (!refused) ExitProcess(exitCodeForStatus(status));
    }
    closesocket(listener_);
    return JNI_ERR;
}

// A file this process holds open for its whole life, deleted when the
// handle closes: the VM's watchdog recognizes this process by it.
static std::optional<std::string> aliveFile(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    // Writing makes Wine hand the file's descriptor to this process.
    std::string id = std::to_string(GetCurrentProcessId()) + "\n";
    DWORD written = 0;
    WriteFile(file, id.data(), static_cast<DWORD>(id.size()), &written, nullptr);
    return unixPath(narrow(path, CP_UTF8));
}

bool JvmProcess::launchScript(const std::wstring& home, const std::wstring& java, const std::wstring& optionsFile) {
    std::optional<std::string> script = unixPathOf(home + L"\\lib\\bridgejvm\\bridgejvm-start.sh");
    std::optional<std::string> options = unixPathOf(optionsFile);
    std::optional<std::string> unixHome = unixPathOf(home);
    std::optional<std::wstring> bash = dosPath("/bin/bash");
    std::wstring aliveName = optionsFile.substr(0, optionsFile.rfind(L'.')) + L".alive";
    std::optional<std::string> alive = aliveFile(aliveName);
    if (!script || !options || !unixHome || !bash || !alive) {
        writeStandardError("bridgejvm: Wine cannot map the paths of the runtime or of /bin/bash\n");
        return false;
    }
    std::wstring commandLine = quoteArgument(*bash);
    for (const std::string& argument :
         {*script, std::to_string(listenerPort_), narrow(java, CP_UTF8), *options, *unixHome, *alive})
        commandLine += L" " + quoteArgument(widen(argument, CP_UTF8));

    std::wstring environment = environmentWithToken(token_);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION info = {};
    // Wine starts a Linux program without giving a process handle.
    if (!CreateProcessW(bash->c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                        environment.data(), nullptr, &startup, &info)) {
        writeStandardError("bridgejvm: cannot start /bin/bash (error " + std::to_string(GetLastError()) + ")\n");
        return false;
    }
    if (info.hProcess) CloseHandle(info.hProcess);
    if (info.hThread) CloseHandle(info.hThread);
    return true;
}

// Every connection from the Linux side starts with a line naming its kind
// and the secret: "control", "stderr" or "status".
void JvmProcess::acceptConnections() {
    for (;;) {
        SOCKET connection = accept(listener_, nullptr, nullptr);
        if (connection == INVALID_SOCKET) return;
        notInherited(connection);
        DWORD timeout = 10000;
        setsockopt(connection, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
        std::string line;
        std::vector<std::string> parts;
        if (receiveLine(connection, line, 256)) parts = words(line);
        if (parts.size() < 2 || parts[1] != token_) {
            closesocket(connection);
            continue;
        }
        timeout = 0;
        setsockopt(connection, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
        std::lock_guard lock(mutex_);
        if (parts[0] == "control" && parts.size() >= 3 && !hello_) {
            hello_ = true;
            serverPort_ = std::atoi(parts[2].c_str());
            std::thread([this, connection] { readControl(connection); }).detach();
        } else if (parts[0] == "stderr" && !stderrConnected_) {
            stderrConnected_ = true;
            std::thread([this, connection] { forwardStandardError(connection); }).detach();
        } else if (parts[0] == "status" && parts.size() >= 3) {
            statusReceived_ = true;
            status_ = std::atoi(parts[2].c_str());
            statusAt_ = Clock::now();
            closesocket(connection);
        } else {
            closesocket(connection);
        }
        changed_.notify_all();
    }
}

// "exit N" and "halt N": the status the process will end with. The first
// exit counts (a second one waits for ever inside the VM); a halt overrides.
void JvmProcess::readControl(SOCKET connection) {
    std::string line;
    while (receiveLine(connection, line)) {
        std::vector<std::string> parts = words(line);
        if (parts.size() < 2) continue;
        std::lock_guard lock(mutex_);
        int status = std::atoi(parts[1].c_str());
        if (parts[0] == "halt" || (parts[0] == "exit" && !exitRequest_)) exitRequest_ = status;
    }
    closesocket(connection);
    std::lock_guard lock(mutex_);
    controlClosed_ = true;
    controlClosedAt_ = Clock::now();
    changed_.notify_all();
}

void JvmProcess::forwardStandardError(SOCKET connection) {
    StderrFilter filter(token_);
    CreationRefusalWatch refusal;
    char buffer[8192];
    for (;;) {
        int received = recv(connection, buffer, sizeof buffer, 0);
        if (received <= 0) break;
        std::string_view bytes(buffer, static_cast<std::size_t>(received));
        if (!refusal.refused()) {
            refusal.feed(bytes);
            if (refusal.refused()) {
                std::lock_guard lock(mutex_);
                creationRefused_ = true;
            }
        }
        writeStandardError(filter.feed(bytes));
    }
    writeStandardError(filter.finish());
    closesocket(connection);
    std::lock_guard lock(mutex_);
    stderrClosed_ = true;
    changed_.notify_all();
}

bool JvmProcess::endReached(Clock::time_point now) const {
    bool controlDone = controlClosed_ || !hello_;
    bool stderrDone = stderrClosed_ || !stderrConnected_;
    if (statusReceived_ && controlDone && stderrDone) return true;
    // A process the application started may hold standard error open.
    if (statusReceived_ && now - statusAt_ > kStatusGrace) return true;
    // The wrapper did not live to report the status.
    return controlClosed_ && !statusReceived_ && now - controlClosedAt_ > kWrapperGrace;
}

void JvmProcess::watchForEnd() {
    std::unique_lock lock(mutex_);
    while (!endReached(Clock::now())) changed_.wait_for(lock, 100ms);
    if (!statusReceived_) status_ = 1;
    ended_ = true;
    exitCode_ = exitRequest_;
    // Otherwise the VM crashed, was killed or ended without the server's report.
    if (!exitCode_ && status_ != 0) exitCode_ = static_cast<int>(exitCodeForStatus(status_));
    changed_.notify_all();
    lock.unlock();
    closesocket(listener_);
    if (exitCode_) ExitProcess(static_cast<UINT>(*exitCode_));
}

void JvmProcess::waitForEnd() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return ended_; });
    std::optional<int> exitCode = exitCode_;
    lock.unlock();
    // System.exit or a crash ends this process whichever thread sees it first.
    if (exitCode) ExitProcess(static_cast<UINT>(*exitCode));
}

bool JvmProcess::hasEnded() {
    std::lock_guard lock(mutex_);
    return ended_;
}

void JvmProcess::connectionLost() {
    waitForEnd();
    // The VM ended by itself while this thread was still in a call: only a
    // daemon thread can be; the process ends as the VM did.
    ExitProcess(0);
}

}  // namespace bridgejvm
