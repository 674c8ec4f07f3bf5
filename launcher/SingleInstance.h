#pragma once
// Single-instance mode: the objects the launches of one executable share,
// and this launch's part in it, as the primary that runs the application or
// as a secondary that hands its arguments over. SingleInstance.cpp describes
// the protocol; the argument area's encoding is in HandOverArea.h.

#include <windows.h>
#include <jni.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/CommandLine.h"
#include "base/UniqueResource.h"
#include "launcher/HandOverArea.h"

// A paging-file backed mapping named after the executable's path; it starts
// zero-filled.
struct SharedBlock {
    DWORD listenerThreadId;  // the primary's listener thread, once it exists
    DWORD primaryProcessId;
    DWORD messageId;  // the registered message, used in both directions
    // Each argument's bytes followed by one zero byte, then zeros to the end.
    std::uint8_t arguments[kArgumentAreaSize];
};
static_assert(sizeof(SharedBlock) == 1052);

// What a hand-over calls: the VM, the main class (slash form) whose
// secondaryMain receives the arguments, and whether the thread stays
// attached afterwards (as the Java thread does for the IBM runtime).
struct HandOverTarget {
    JavaVM* vm = nullptr;
    std::string mainClass;
    bool staysAttached = false;
};

// Shared by the primary's SingleInstance and its hand-over threads, and
// freed by whichever lets go of it last. A hand-over thread reads the target
// only while holding the lock and finding the gate open; the gate is closed
// before the primary goes away, so a hand-over thread that runs late never
// calls into a VM that no longer exists.
struct HandOverGate {
    SRWLOCK lock = SRWLOCK_INIT;
    bool open = true;
    LONG references = 1;
    HandOverTarget target;
};

// Lets go of one reference; the last frees the gate.
inline void releaseGate(HandOverGate* gate) {
    if (InterlockedDecrement(&gate->references) == 0) delete gate;
}
using HandOverGateReference = UniqueResource<HandOverGate*, releaseGate>;

class SingleInstance {
public:
    enum class Role { Off, Primary, Secondary };

    SingleInstance() = default;
    ~SingleInstance();  // close()
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Creates the shared block of the name, or finds another launch's. A
    // primary starts listening for hand-overs; anything that fails leaves the
    // mode off (an ordinary launch).
    Role join(const std::string& name);

    // A secondary: writes its arguments into the block and hands them to the
    // primary, waiting for its turn and until they are taken. False when they
    // do not fit or no primary listens.
    bool handOver(const std::vector<Argument>& arguments);
    // A secondary that has handed over: the primary's answer, or its exit
    // code when it ends first.
    int waitForPrimary();

    // A primary: main is about to be called; hand-overs may call the
    // target's secondaryMain from now on.
    void mainStarting(HandOverTarget target);

    // Stops the listener, lets waiting hand-overs end without calling into
    // the VM, and releases the block. Done at most once.
    void close();

private:
    bool startListener(const std::string& name);
    bool postHandOver() const;
    void startHandOver(DWORD secondaryThreadId);
    SharedBlock* block() const { return static_cast<SharedBlock*>(view_.get()); }
    static DWORD WINAPI listen(LPVOID self);

    Role role_ = Role::Off;
    std::string name_;
    UniqueHandle mapping_;
    UniqueMappedView view_;
    // The primary's: its listener, its own copies of the ids it writes into
    // the block, the events and the gate.
    UniqueHandle listener_;
    DWORD listenerThreadId_ = 0;
    UINT message_ = 0;
    UniqueHandle mainStarted_;
    UniqueHandle handOverTaken_;
    HandOverGateReference gate_;
};
