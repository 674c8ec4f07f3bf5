// The JNIEnv function table of the bridge: each function is one request to
// the Java server on the calling thread's connection. Functions outside the
// set below end the process with a message naming the function.
#include <cstdarg>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <type_traits>
#include <unordered_map>
#include <utility>

#include "bridgejvm/Env.h"
#include "bridgejvm/JvmProcess.h"
#include "testjvm/JavaText.h"
#include "bridgejvm/Signature.h"
#include "testjvm/JniSlotNames.h"

namespace bridgejvm {

JavaVM* bridgeVm();

namespace {

using protocol::Op;

// References are the server's handles: small numbers, never 0.
std::int32_t ref(const void* object) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(object)));
}

template <class T = jobject>
T object(std::int32_t handle) {
    return reinterpret_cast<T>(static_cast<std::uintptr_t>(static_cast<std::uint32_t>(handle)));
}

Env& env(JNIEnv* jni) { return *static_cast<Env*>(jni); }

// Method IDs are shared by all threads and live as long as the process.
struct MethodInfo {
    std::int32_t id;
    MethodShape shape;
};

MethodInfo& method(jmethodID id) {
    if (!id) fault("a null method ID was passed");
    return *reinterpret_cast<MethodInfo*>(id);
}

jmethodID methodId(std::int32_t id, const char* signature) {
    static std::mutex mutex;
    static std::unordered_map<std::int32_t, MethodInfo*> known;
    std::lock_guard lock(mutex);
    MethodInfo*& info = known[id];
    if (!info) info = new MethodInfo{id, parseSignature(signature)};
    return reinterpret_cast<jmethodID>(info);
}

// --- values ---

struct Value {
    char tag = 'V';
    std::int64_t integer = 0;
    double real = 0;
};

// A value of the given type tag as the server writes it.
Value readValueOfType(Reader& reply, char tag) {
    Value value;
    value.tag = tag;
    switch (tag) {
    case 'Z': value.integer = reply.u8(); break;
    case 'B': value.integer = static_cast<std::int8_t>(reply.u8()); break;
    case 'C': value.integer = reply.u16(); break;
    case 'S': value.integer = static_cast<std::int16_t>(reply.u16()); break;
    case 'I': value.integer = reply.i32(); break;
    case 'J': value.integer = reply.i64(); break;
    case 'F': value.real = reply.f32(); break;
    case 'D': value.real = reply.f64(); break;
    case 'L': value.integer = static_cast<std::uint32_t>(reply.i32()); break;
    default: value.tag = 'V';
    }
    return value;
}

// A value preceded by its type tag.
Value readValue(Reader& reply) {
    Value value = readValueOfType(reply, static_cast<char>(reply.u8()));
    if (!reply.ok()) value = Value{};
    return value;
}

template <class R>
R convert(const Value& value) {
    if constexpr (std::is_void_v<R>) {
        return;
    } else if constexpr (std::is_pointer_v<R>) {
        return value.tag == 'L' ? object<R>(static_cast<std::int32_t>(value.integer)) : nullptr;
    } else {
        bool real = value.tag == 'F' || value.tag == 'D';
        return real ? static_cast<R>(value.real) : static_cast<R>(value.integer);
    }
}

void writeElement(Writer& request, char type, const jvalue& value) {
    switch (type) {
    case 'Z': request.u8(value.z ? 1 : 0); break;
    case 'B': request.u8(static_cast<std::uint8_t>(value.b)); break;
    case 'C': request.u16(value.c); break;
    case 'S': request.u16(static_cast<std::uint16_t>(value.s)); break;
    case 'I': request.i32(value.i); break;
    case 'J': request.i64(value.j); break;
    case 'F': request.f32(value.f); break;
    case 'D': request.f64(value.d); break;
    default: request.i32(ref(value.l)); break;
    }
}

void writeArgument(Writer& request, char type, const jvalue& value) {
    request.u8(static_cast<std::uint8_t>(type));
    writeElement(request, type, value);
}

void writeArguments(Writer& request, const MethodShape& shape, va_list args) {
    request.u8(static_cast<std::uint8_t>(shape.parameters.size()));
    for (char type : shape.parameters) {
        jvalue value = {};
        switch (type) {
        case 'Z': value.z = static_cast<jboolean>(va_arg(args, int)); break;
        case 'B': value.b = static_cast<jbyte>(va_arg(args, int)); break;
        case 'C': value.c = static_cast<jchar>(va_arg(args, int)); break;
        case 'S': value.s = static_cast<jshort>(va_arg(args, int)); break;
        case 'I': value.i = va_arg(args, jint); break;
        case 'J': value.j = va_arg(args, jlong); break;
        case 'F': value.f = static_cast<jfloat>(va_arg(args, double)); break;
        case 'D': value.d = va_arg(args, double); break;
        default: value.l = va_arg(args, jobject); break;
        }
        writeArgument(request, type, value);
    }
}

void writeArguments(Writer& request, const MethodShape& shape, const jvalue* args) {
    request.u8(static_cast<std::uint8_t>(shape.parameters.size()));
    for (std::size_t i = 0; i < shape.parameters.size(); ++i) writeArgument(request, shape.parameters[i], args[i]);
}

// --- calls ---

template <class R, class Args>
R invoke(JNIEnv* jni, protocol::CallMode mode, const void* target, jmethodID id, Args args) {
    MethodInfo& info = method(id);
    Writer request(Op::Call);
    request.u8(mode).i32(ref(target)).i32(info.id);
    writeArguments(request, info.shape, args);
    Reader reply = call(jni, request);
    return convert<R>(readValue(reply));
}

template <class R, protocol::CallMode Mode, class Target>
R JNICALL callV(JNIEnv* jni, Target target, jmethodID id, va_list args) {
    return invoke<R>(jni, Mode, target, id, args);
}

template <class R, protocol::CallMode Mode, class Target>
R JNICALL callA(JNIEnv* jni, Target target, jmethodID id, const jvalue* args) {
    return invoke<R>(jni, Mode, target, id, args);
}

template <class R, protocol::CallMode Mode, class Target>
R JNICALL callVarargs(JNIEnv* jni, Target target, jmethodID id, ...) {
    va_list args;
    va_start(args, id);
    if constexpr (std::is_void_v<R>) {
        invoke<R>(jni, Mode, target, id, args);
        va_end(args);
    } else {
        R result = invoke<R>(jni, Mode, target, id, args);
        va_end(args);
        return result;
    }
}

template <class Args>
jobject newObject(JNIEnv* jni, jclass type, jmethodID id, Args args) {
    MethodInfo& info = method(id);
    Writer request(Op::NewObject);
    request.i32(ref(type)).i32(info.id);
    writeArguments(request, info.shape, args);
    return object(call(jni, request).i32());
}

jobject JNICALL NewObjectV(JNIEnv* jni, jclass type, jmethodID id, va_list args) {
    return newObject(jni, type, id, args);
}

jobject JNICALL NewObjectA(JNIEnv* jni, jclass type, jmethodID id, const jvalue* args) {
    return newObject(jni, type, id, args);
}

jobject JNICALL NewObject(JNIEnv* jni, jclass type, jmethodID id, ...) {
    va_list args;
    va_start(args, id);
    jobject result = newObject(jni, type, id, args);
    va_end(args);
    return result;
}

// --- classes, methods, objects ---

jint JNICALL GetVersion(JNIEnv*) { return JNI_VERSION_10; }

jclass JNICALL FindClass(JNIEnv* jni, const char* name) {
    if (!name) fault("FindClass: null name");
    return object<jclass>(call(jni, Writer(Op::FindClass).blob(name)).i32());
}

jmethodID lookUpMethod(JNIEnv* jni, jclass type, const char* name, const char* signature, bool isStatic) {
    if (!type || !name || !signature) fault("GetMethodID: null class, name or signature");
    Writer request(Op::GetMethodId);
    request.i32(ref(type)).blob(name).blob(signature).u8(isStatic ? 1 : 0);
    std::int32_t id = call(jni, request).i32();
    return id ? methodId(id, signature) : nullptr;
}

jmethodID JNICALL GetMethodID(JNIEnv* jni, jclass type, const char* name, const char* signature) {
    return lookUpMethod(jni, type, name, signature, false);
}

jmethodID JNICALL GetStaticMethodID(JNIEnv* jni, jclass type, const char* name, const char* signature) {
    return lookUpMethod(jni, type, name, signature, true);
}

jint handleRequest(JNIEnv* jni, Op op, const void* first) {
    return call(jni, Writer(op).i32(ref(first))).i32();
}

jclass JNICALL GetObjectClass(JNIEnv* jni, jobject value) {
    return object<jclass>(handleRequest(jni, Op::GetObjectClass, value));
}

jclass JNICALL GetSuperclass(JNIEnv* jni, jclass type) {
    return object<jclass>(handleRequest(jni, Op::GetSuperclass, type));
}

jboolean booleanRequest(JNIEnv* jni, Op op, const void* first, const void* second) {
    Reader reply = call(jni, Writer(op).i32(ref(first)).i32(ref(second)));
    return reply.u8() ? JNI_TRUE : JNI_FALSE;
}

jboolean JNICALL IsAssignableFrom(JNIEnv* jni, jclass from, jclass to) {
    return booleanRequest(jni, Op::IsAssignableFrom, from, to);
}

jboolean JNICALL IsInstanceOf(JNIEnv* jni, jobject value, jclass type) {
    return booleanRequest(jni, Op::IsInstanceOf, value, type);
}

jboolean JNICALL IsSameObject(JNIEnv* jni, jobject a, jobject b) {
    return booleanRequest(jni, Op::IsSameObject, a, b);
}

// --- references ---

jobject JNICALL NewGlobalRef(JNIEnv* jni, jobject value) {
    return object(handleRequest(jni, Op::NewGlobalRef, value));
}

jobject JNICALL NewLocalRef(JNIEnv* jni, jobject value) {
    return object(handleRequest(jni, Op::NewLocalRef, value));
}

void JNICALL DeleteRef(JNIEnv* jni, jobject value) {
    if (value) call(jni, Writer(Op::DeleteRef).i32(ref(value)));
}

jint JNICALL EnsureLocalCapacity(JNIEnv*, jint capacity) { return capacity < 0 ? JNI_ERR : JNI_OK; }

// --- exceptions ---

jint JNICALL Throw(JNIEnv* jni, jthrowable thrown) { return handleRequest(jni, Op::Throw, thrown); }

jint JNICALL ThrowNew(JNIEnv* jni, jclass type, const char* message) {
    Writer request(Op::ThrowNew);
    request.i32(ref(type));
    if (message) request.blob(message); else request.nullBlob();
    Reader reply = call(jni, request);
    return reply.ok() ? reply.i32() : JNI_ERR;
}

jthrowable JNICALL ExceptionOccurred(JNIEnv* jni) {
    if (!env(jni).pending) return nullptr;
    return object<jthrowable>(call(jni, Writer(Op::ExceptionOccurred)).i32());
}

void JNICALL ExceptionDescribe(JNIEnv* jni) {
    if (env(jni).pending) call(jni, Writer(Op::ExceptionDescribe));
}

void JNICALL ExceptionClear(JNIEnv* jni) {
    if (env(jni).pending) call(jni, Writer(Op::ExceptionClear));
}

jboolean JNICALL ExceptionCheck(JNIEnv* jni) { return env(jni).pending ? JNI_TRUE : JNI_FALSE; }

void JNICALL FatalError(JNIEnv*, const char* message) {
    writeStandardError(std::string("FATAL ERROR in native method: ") + (message ? message : "") + "\n");
    ExitProcess(1);
}

// --- strings ---

jstring JNICALL NewStringUTF(JNIEnv* jni, const char* text) {
    Writer request(Op::NewStringUtf);
    if (text) request.blob(text); else request.nullBlob();
    return object<jstring>(call(jni, request).i32());
}

// UTF-16 units sent as the modified UTF-8 of NewStringUTF.
jstring JNICALL NewString(JNIEnv* jni, const jchar* chars, jsize length) {
    std::wstring text(reinterpret_cast<const wchar_t*>(chars), static_cast<std::size_t>(length > 0 ? length : 0));
    return object<jstring>(call(jni, Writer(Op::NewStringUtf).blob(testjvm::toModifiedUtf8(text))).i32());
}

std::string stringUtf(JNIEnv* jni, jstring text, bool& ok) {
    Reader reply = call(jni, Writer(Op::GetStringUtf).i32(ref(text)));
    std::string bytes;
    ok = reply.blob(bytes);
    return bytes;
}

jsize JNICALL GetStringUTFLength(JNIEnv* jni, jstring text) {
    bool ok = false;
    return static_cast<jsize>(stringUtf(jni, text, ok).size());
}

const char* JNICALL GetStringUTFChars(JNIEnv* jni, jstring text, jboolean* isCopy) {
    bool ok = false;
    std::string bytes = stringUtf(jni, text, ok);
    if (!ok) return nullptr;
    auto* chars = static_cast<char*>(std::malloc(bytes.size() + 1));
    if (!chars) return nullptr;
    std::memcpy(chars, bytes.data(), bytes.size());
    chars[bytes.size()] = '\0';
    if (isCopy) *isCopy = JNI_TRUE;
    return chars;
}

void JNICALL ReleaseStringUTFChars(JNIEnv*, jstring, const char* chars) {
    std::free(const_cast<char*>(chars));
}

// The UTF-16 units of a string, from its modified UTF-8.
std::wstring stringChars(JNIEnv* jni, jstring text) {
    bool ok = false;
    std::string bytes = stringUtf(jni, text, ok);
    return ok ? testjvm::fromModifiedUtf8(bytes) : std::wstring();
}

jsize JNICALL GetStringLength(JNIEnv* jni, jstring text) {
    return static_cast<jsize>(stringChars(jni, text).size());
}

void JNICALL GetStringRegion(JNIEnv* jni, jstring text, jsize start, jsize length, jchar* buffer) {
    std::wstring chars = stringChars(jni, text);
    if (env(jni).pending) return;
    if (start < 0 || length < 0 || static_cast<std::size_t>(start) + static_cast<std::size_t>(length) > chars.size()) {
        ThrowNew(jni, FindClass(jni, "java/lang/StringIndexOutOfBoundsException"), nullptr);
        return;
    }
    std::memcpy(buffer, chars.data() + start, static_cast<std::size_t>(length) * sizeof(jchar));
}

// --- arrays ---

jsize JNICALL GetArrayLength(JNIEnv* jni, jarray array) { return handleRequest(jni, Op::GetArrayLength, array); }

jobjectArray JNICALL NewObjectArray(JNIEnv* jni, jsize length, jclass type, jobject initial) {
    Writer request(Op::NewObjectArray);
    request.i32(length).i32(ref(type)).i32(ref(initial));
    return object<jobjectArray>(call(jni, request).i32());
}

jobject JNICALL GetObjectArrayElement(JNIEnv* jni, jobjectArray array, jsize index) {
    return object(call(jni, Writer(Op::GetObjectArrayElement).i32(ref(array)).i32(index)).i32());
}

void JNICALL SetObjectArrayElement(JNIEnv* jni, jobjectArray array, jsize index, jobject value) {
    call(jni, Writer(Op::SetObjectArrayElement).i32(ref(array)).i32(index).i32(ref(value)));
}

template <char Type, class Array>
Array JNICALL newArray(JNIEnv* jni, jsize length) {
    return object<Array>(call(jni, Writer(Op::NewPrimitiveArray).u8(Type).i32(length)).i32());
}

template <char Type, class Array, class Element>
void JNICALL setArrayRegion(JNIEnv* jni, Array array, jsize start, jsize length, const Element* elements) {
    Writer request(Op::SetArrayRegion);
    request.i32(ref(array)).u8(Type).i32(start).i32(length);
    for (jsize i = 0; i < length; ++i) {
        jvalue value = {};
        std::memcpy(&value, &elements[i], sizeof(Element));
        writeElement(request, Type, value);
    }
    call(jni, request);
}

template <char Type, class Array, class Element>
void JNICALL getArrayRegion(JNIEnv* jni, Array array, jsize start, jsize length, Element* elements) {
    Writer request(Op::GetArrayRegion);
    request.i32(ref(array)).u8(Type).i32(start).i32(length);
    Reader reply = call(jni, request);
    if (env(jni).pending) return;
    for (jsize i = 0; i < length; ++i) elements[i] = convert<Element>(readValueOfType(reply, Type));
}

jint JNICALL GetJavaVM(JNIEnv*, JavaVM** vm) {
    *vm = bridgeVm();
    return JNI_OK;
}

// --- the slots the bridge does not offer ---

template <std::size_t N>
void JNICALL unsupportedSlot() {
    fault(std::string("JNIEnv function ") + jniSlotName(N) + " is not available through the bridge");
}

template <std::size_t... N>
void fillUnsupportedSlots(void** slots, std::index_sequence<N...>) {
    ((slots[N] = N < 4 ? nullptr : reinterpret_cast<void*>(&unsupportedSlot<N>)), ...);
}

}  // namespace

const JNINativeInterface_* jniFunctions() {
    static const JNINativeInterface_* table = [] {
        auto* t = new JNINativeInterface_{};
        fillUnsupportedSlots(reinterpret_cast<void**>(t), std::make_index_sequence<kJniSlots>());
        using protocol::Static;
        using protocol::Virtual;
#define CALLS(Name, R)                                                           \
    t->Call##Name##Method = callVarargs<R, Virtual, jobject>;                    \
    t->Call##Name##MethodV = callV<R, Virtual, jobject>;                         \
    t->Call##Name##MethodA = callA<R, Virtual, jobject>;                         \
    t->CallStatic##Name##Method = callVarargs<R, Static, jclass>;                \
    t->CallStatic##Name##MethodV = callV<R, Static, jclass>;                     \
    t->CallStatic##Name##MethodA = callA<R, Static, jclass>;
        CALLS(Object, jobject)
        CALLS(Boolean, jboolean)
        CALLS(Byte, jbyte)
        CALLS(Char, jchar)
        CALLS(Short, jshort)
        CALLS(Int, jint)
        CALLS(Long, jlong)
        CALLS(Float, jfloat)
        CALLS(Double, jdouble)
        CALLS(Void, void)
#undef CALLS
#define ARRAYS(Name, Tag, ArrayType, Element)                                     \
    t->New##Name##Array = newArray<Tag, ArrayType>;                              \
    t->Set##Name##ArrayRegion = setArrayRegion<Tag, ArrayType, Element>;         \
    t->Get##Name##ArrayRegion = getArrayRegion<Tag, ArrayType, Element>;
        ARRAYS(Boolean, 'Z', jbooleanArray, jboolean)
        ARRAYS(Byte, 'B', jbyteArray, jbyte)
        ARRAYS(Char, 'C', jcharArray, jchar)
        ARRAYS(Short, 'S', jshortArray, jshort)
        ARRAYS(Int, 'I', jintArray, jint)
        ARRAYS(Long, 'J', jlongArray, jlong)
        ARRAYS(Float, 'F', jfloatArray, jfloat)
        ARRAYS(Double, 'D', jdoubleArray, jdouble)
#undef ARRAYS
        t->GetVersion = GetVersion;
        t->FindClass = FindClass;
        t->GetSuperclass = GetSuperclass;
        t->IsAssignableFrom = IsAssignableFrom;
        t->Throw = Throw;
        t->ThrowNew = ThrowNew;
        t->ExceptionOccurred = ExceptionOccurred;
        t->ExceptionDescribe = ExceptionDescribe;
        t->ExceptionClear = ExceptionClear;
        t->ExceptionCheck = ExceptionCheck;
        t->FatalError = FatalError;
        t->NewGlobalRef = NewGlobalRef;
        t->DeleteGlobalRef = DeleteRef;
        t->DeleteLocalRef = DeleteRef;
        t->IsSameObject = IsSameObject;
        t->NewLocalRef = NewLocalRef;
        t->EnsureLocalCapacity = EnsureLocalCapacity;
        t->NewObject = NewObject;
        t->NewObjectV = NewObjectV;
        t->NewObjectA = NewObjectA;
        t->GetObjectClass = GetObjectClass;
        t->IsInstanceOf = IsInstanceOf;
        t->GetMethodID = GetMethodID;
        t->GetStaticMethodID = GetStaticMethodID;
        t->NewString = NewString;
        t->NewStringUTF = NewStringUTF;
        t->GetStringLength = GetStringLength;
        t->GetStringRegion = GetStringRegion;
        t->GetStringUTFLength = GetStringUTFLength;
        t->GetStringUTFChars = GetStringUTFChars;
        t->ReleaseStringUTFChars = ReleaseStringUTFChars;
        t->GetArrayLength = GetArrayLength;
        t->NewObjectArray = NewObjectArray;
        t->GetObjectArrayElement = GetObjectArrayElement;
        t->SetObjectArrayElement = SetObjectArrayElement;
        t->GetJavaVM = GetJavaVM;
        return t;
    }();
    return table;
}

}  // namespace bridgejvm
