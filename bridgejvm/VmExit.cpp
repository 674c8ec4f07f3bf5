#include "bridgejvm/VmExit.h"

namespace bridgejvm {

namespace {

// The java command's message after JNI_CreateJavaVM failed (the same words
// from Java 8 to 25, never translated).
constexpr std::string_view kRefused = "Error: Could not create the Java Virtual Machine.";

}  // namespace

unsigned exitCodeForStatus(int status) {
    switch (status - 128) {
    case 4:   // SIGILL
    case 5:   // SIGTRAP
    case 6:   // SIGABRT: HotSpot's error handler ends with abort()
    case 7:   // SIGBUS
    case 8:   // SIGFPE
    case 11:  // SIGSEGV
    case 31:  // SIGSYS
        return kCrashExitCode;
    default: return static_cast<unsigned>(status);
    }
}

void CreationRefusalWatch::feed(std::string_view bytes) {
    if (refused_) return;
    tail_.append(bytes);
    if (tail_.find(kRefused) != std::string::npos) {
        refused_ = true;
        tail_.clear();
        return;
    }
    // Keep what may be the start of the message.
    if (tail_.size() >= kRefused.size()) tail_.erase(0, tail_.size() - (kRefused.size() - 1));
}

}  // namespace bridgejvm
