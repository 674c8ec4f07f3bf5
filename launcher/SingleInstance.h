#pragma once
// The single-instance record that the launches of one executable share, the
// encoding of its argument area, and the gate between the Launcher and its
// hand-over threads. The Launcher's own single-instance operations are in
// SingleInstance.cpp.

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "launcher/UniqueResource.h"

inline constexpr std::size_t kArgumentAreaSize = 1040;

// A paging-file backed mapping named after the executable's path; it starts
// zero-filled.
struct SharedBlock {
    DWORD listenerThreadId;  // the primary's listener thread; its creation writes it
    DWORD primaryProcessId;
    DWORD messageId;  // the registered message, used in both directions
    // Each argument's bytes followed by one zero byte, then zeros to the end.
    std::uint8_t arguments[kArgumentAreaSize];
};
static_assert(sizeof(SharedBlock) == 1052);

using ArgumentArea = std::span<std::uint8_t, kArgumentAreaSize>;
using ConstArgumentArea = std::span<const std::uint8_t, kArgumentAreaSize>;

// Zeroes the area and writes the arguments into it. False, with nothing
// written, when they need more than the area: the bytes of every argument,
// one zero byte after each, and one more at the end.
bool encodeArguments(const std::vector<std::string>& arguments, ArgumentArea area);

// Reads the arguments back: a zero byte ends an argument, and two zero bytes
// in a row end the list. So an empty argument ends the list early, and an
// area without arguments reads back as one empty argument. Text not ended by
// two zero bytes before the last byte of the area is dropped.
std::vector<std::string> decodeArguments(ConstArgumentArea area);

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
