#pragma once
// Message types between the bridge's jvm.dll and its Java server; the same
// numbers are in java/bridgejvm/Protocol.java. A frame is a big-endian
// 32-bit length, then that many bytes: one type byte and the payload.

#include <cstdint>

namespace bridgejvm::protocol {

enum Op : std::uint8_t {
    Hello = 1,
    FindClass = 2,
    GetMethodId = 3,
    GetObjectClass = 4,
    NewObject = 5,
    Call = 6,
    NewPrimitiveArray = 7,
    SetArrayRegion = 8,
    GetArrayRegion = 9,
    NewObjectArray = 10,
    GetObjectArrayElement = 11,
    SetObjectArrayElement = 12,
    GetArrayLength = 13,
    NewStringUtf = 14,
    GetStringUtf = 15,
    DeleteRef = 16,
    NewGlobalRef = 17,
    NewLocalRef = 18,
    ExceptionOccurred = 19,
    ExceptionDescribe = 20,
    ExceptionClear = 21,
    Throw = 22,
    ThrowNew = 23,
    IsInstanceOf = 24,
    IsSameObject = 25,
    GetSuperclass = 26,
    IsAssignableFrom = 27,
    Detach = 28,
    PathAnswer = 29,

    Reply = 100,         // payload: exception-pending byte, then the result
    PathQuestion = 101,  // payload: a Windows path (UTF-8) to translate
};

enum HelloKind : std::uint8_t { Creator = 0, Thread = 1, Daemon = 2 };
enum CallMode : std::uint8_t { Virtual = 0, Static = 1 };

}  // namespace bridgejvm::protocol
