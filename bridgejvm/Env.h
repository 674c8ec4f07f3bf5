#pragma once
// A thread's JNIEnv: its own connection to the Java server, which serves it
// on a Java thread of its own, and whether a Java exception is pending on
// that thread after the last call.

#include <winsock2.h>
#include <windows.h>

#include <jni.h>

#include "bridgejvm/Protocol.h"
#include "bridgejvm/Wire.h"

namespace bridgejvm {

struct Env : JNIEnv_ {
    SOCKET socket = INVALID_SOCKET;
    DWORD thread = 0;
    bool attached = false;
    bool pending = false;
};

const JNINativeInterface_* jniFunctions();

// The calling thread's environment; null when it is not attached.
Env* currentEnv();
// Connects the calling thread as the given kind of Java thread; null name: the VM names it.
jint attachCurrentThread(protocol::HelloKind kind, const char* name, Env** env);
void detachCurrentThread();

// Sends a request on the environment's connection and gives the reply's
// result; answers the server's questions in between. A broken connection
// means the VM is going away: this process then ends with it.
Reader call(JNIEnv* jni, const Writer& request);

}  // namespace bridgejvm
