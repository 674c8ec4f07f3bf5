#include "bridgejvm/Env.h"

#include <ws2tcpip.h>

#include "bridgejvm/JvmProcess.h"
#include "bridgejvm/WinePaths.h"

namespace bridgejvm {

namespace {

DWORD tlsSlot() {
    static DWORD slot = TlsAlloc();
    return slot;
}

// The server asks for the Unix path of a file the launcher names.
void answerPathQuestion(Env& env, Reader question) {
    std::string path;
    question.blob(path);
    DWORD error = 0;
    std::optional<std::string> unix = unixPath(path, &error);
    Writer answer(protocol::PathAnswer);
    answer.u8(unix ? 1 : 0).blob(unix ? *unix : errorText(error));
    if (!sendFrame(env.socket, answer.bytes())) jvmProcess().connectionLost();
}

}  // namespace

Env* currentEnv() { return static_cast<Env*>(TlsGetValue(tlsSlot())); }

jint attachCurrentThread(protocol::HelloKind kind, const char* name, Env** result) {
    if (Env* env = currentEnv()) {
        *result = env;
        return JNI_OK;
    }
    *result = nullptr;
    JvmProcess& process = jvmProcess();
    if (process.hasEnded()) return JNI_ERR;
    SOCKET connection = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (connection == INVALID_SOCKET) return JNI_ERR;
    SetHandleInformation(reinterpret_cast<HANDLE>(connection), HANDLE_FLAG_INHERIT, 0);
    BOOL noDelay = TRUE;
    setsockopt(connection, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay), sizeof noDelay);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<u_short>(process.serverPort()));
    Writer hello(protocol::Hello);
    hello.blob(process.token()).u8(kind);
    if (name) hello.blob(name); else hello.nullBlob();
    std::string reply;
    if (connect(connection, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        !sendFrame(connection, hello.bytes()) || !receiveFrame(connection, reply) ||
        static_cast<std::uint8_t>(reply[0]) != protocol::Reply) {
        closesocket(connection);
        return JNI_ERR;
    }
    auto* env = new Env;
    env->functions = jniFunctions();
    env->socket = connection;
    env->thread = GetCurrentThreadId();
    env->attached = true;
    TlsSetValue(tlsSlot(), env);
    *result = env;
    return JNI_OK;
}

void detachCurrentThread() {
    Env* env = currentEnv();
    if (!env) return;
    call(env, Writer(protocol::Detach));
    closesocket(env->socket);
    // The structure stays allocated, so that a late use of the environment
    // is reported rather than reading freed memory.
    env->attached = false;
    TlsSetValue(tlsSlot(), nullptr);
}

Reader call(JNIEnv* jni, const Writer& request) {
    auto* env = static_cast<Env*>(jni);
    if (!env || !env->attached) fault("a JNIEnv was used after DetachCurrentThread or DestroyJavaVM");
    if (env->thread != GetCurrentThreadId()) fault("a JNIEnv was used on another thread than its own");
    if (!sendFrame(env->socket, request.bytes())) jvmProcess().connectionLost();
    for (;;) {
        std::string frame;
        if (!receiveFrame(env->socket, frame)) jvmProcess().connectionLost();
        auto type = static_cast<std::uint8_t>(frame[0]);
        if (type == protocol::Reply) {
            Reader reply(std::move(frame), 1);
            env->pending = reply.u8() != 0;
            return reply;
        }
        if (type != protocol::PathQuestion) fault("unexpected message from the Java server");
        answerPathQuestion(*env, Reader(std::move(frame), 1));
    }
}

}  // namespace bridgejvm
