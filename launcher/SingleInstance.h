#pragma once
// The single-instance record that the launches of one executable share and
// the gate between the Launcher and its hand-over threads. The Launcher's own
// single-instance operations are in SingleInstance.cpp; the argument area's
// encoding is in HandOverArea.h.

#include <windows.h>

#include <cstdint>
#include <string>

#include "launcher/HandOverArea.h"
#include "launcher/UniqueResource.h"

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

// The name of the shared objects: the executable's full path with every
// backslash replaced by "_" (C:\Apps\Tool.exe gives C:_Apps_Tool.exe).
std::string instanceNameFor(const std::string& modulePath);

// The settings ask for single-instance mode: "Single Instance" is exactly
// "yes" and "Application Type" is not "service".
bool singleInstanceRequested(const std::string& settingsPath);

// Shared by the primary's Launcher and its hand-over threads, and freed by
// whichever lets go of it last. A hand-over thread reads the Launcher only
// while holding the lock and finding the gate open; the Launcher closes it
// before it goes away, so a hand-over thread that runs late never touches a
// Launcher that no longer exists.
struct HandOverGate {
    SRWLOCK lock = SRWLOCK_INIT;
    bool open = true;
    LONG references = 1;
};

namespace handle_traits {
struct HandOverGateReference {
    using Type = HandOverGate*;
    static Type invalid() { return nullptr; }
    static void close(Type gate) {
        if (InterlockedDecrement(&gate->references) == 0) delete gate;
    }
};
}  // namespace handle_traits

using HandOverGateReference = UniqueResource<handle_traits::HandOverGateReference>;

// One more reference to the gate.
inline HandOverGateReference shareGate(HandOverGate* gate) {
    InterlockedIncrement(&gate->references);
    return HandOverGateReference(gate);
}
