#pragma once
// How the end of the Linux VM becomes the end of the launcher's process, so
// that the launcher sees what it would see with a VM inside its process.
// HotSpot ends the process from inside JNI_CreateJavaVM when it gives up
// during initialization (an archive it cannot use, an option it cannot
// honour): only an option it does not accept makes JNI_CreateJavaVM return
// an error. The Linux VM runs under the java command, which says so on
// standard error when JNI_CreateJavaVM returned an error; any other end of
// the VM before the bridge's server answered was an exit or a crash of the
// VM itself.

#include <string>
#include <string_view>

namespace bridgejvm {

// What this process ends with when its Linux VM crashed (STATUS_ACCESS_VIOLATION,
// what a parent sees of a Windows process that dies of a fault).
constexpr unsigned kCrashExitCode = 0xC0000005;

// The exit code for the VM's exit status as its wrapper reports it (bash's
// "$?": 128 + N for a process ended by signal N). The signals a crash raises
// (SIGILL, SIGTRAP, SIGABRT, SIGBUS, SIGFPE, SIGSEGV, SIGSYS) give
// kCrashExitCode; any other status is kept.
unsigned exitCodeForStatus(int status);

// Watches the VM's standard error, in chunks as they come, for the java
// command's words after JNI_CreateJavaVM returned an error.
class CreationRefusalWatch {
public:
    void feed(std::string_view bytes);
    bool refused() const { return refused_; }

private:
    std::string tail_;
    bool refused_ = false;
};

}  // namespace bridgejvm
