#pragma once
// The Linux Java VM behind the bridge's jvm.dll: started through
// bridgejvm-start.sh (bash), which connects the VM's standard error back to
// this process and reports the VM's exit status at its end; the VM's server
// reports System.exit and Runtime.halt with their full status on its control
// connection. Standard output goes straight to this process's standard
// output handle.

#include <winsock2.h>
#include <windows.h>

#include <jni.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace bridgejvm {

class JvmProcess {
public:
    // Starts the VM with the launcher's options (ANSI, as the launcher gave
    // them) and waits until its server is ready. JNI_ERR when the VM refused
    // to be created (an option it rejects, ...) or did not start at all; its
    // own complaint has then reached this process's standard error. A VM
    // that exits or crashes while being created ends this process instead,
    // as HotSpot does in the process that creates it (VmExit.h).
    jint start(const std::vector<std::string>& options, bool ignoreUnrecognized);

    int serverPort() const { return serverPort_; }
    const std::string& token() const { return token_; }

    // Returns once the VM has ended by itself, when its last non-daemon
    // thread ended. When it ends through System.exit, Runtime.halt or a
    // crash, this process ends instead, with the VM's exit code.
    void waitForEnd();
    bool hasEnded();
    // A session's connection broke in the middle of a call: the VM is going
    // away. Ends this process with the VM's exit code once it is gone.
    [[noreturn]] void connectionLost();

private:
    using Clock = std::chrono::steady_clock;

    void acceptConnections();
    void readControl(SOCKET socket);
    void forwardStandardError(SOCKET socket);
    void watchForEnd();
    bool endReached(Clock::time_point now) const;
    bool launchScript(const std::wstring& home, const std::wstring& java, const std::wstring& optionsFile);

    std::mutex mutex_;
    std::condition_variable changed_;
    SOCKET listener_ = INVALID_SOCKET;
    int listenerPort_ = 0;
    std::string token_;
    // Reported by the VM's side, under mutex_.
    bool hello_ = false;
    int serverPort_ = 0;
    bool controlClosed_ = false;
    Clock::time_point controlClosedAt_;
    bool stderrConnected_ = false;
    bool stderrClosed_ = false;
    bool creationRefused_ = false;  // the java command said JNI_CreateJavaVM failed
    bool statusReceived_ = false;
    int status_ = 0;
    Clock::time_point statusAt_;
    std::optional<int> exitRequest_;
    bool ended_ = false;
    std::optional<int> exitCode_;  // how this process ends with the VM; none: the VM ended by itself
};

// The VM of the last start (the bridge runs one VM per process).
JvmProcess& jvmProcess();
// Creates the JvmProcess for a new start.
JvmProcess& newJvmProcess();

// Ends this process after a misuse of JNI, with a line on standard error.
[[noreturn]] void fault(const std::string& what);

void writeStandardError(const std::string& bytes);

}  // namespace bridgejvm
