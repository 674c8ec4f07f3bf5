// The JNIEnv function table: the functions that the launcher calls, with
// JNI's semantics and with checks a real VM leaves to luck (wrong thread,
// stale references, calls with an exception pending). Every other slot ends
// the process through fault().
#include <cstdarg>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "testjvm/JavaText.h"
#include "testjvm/JniSlotNames.h"
#include "testjvm/Runtime.h"
#include "testjvm/TraceWriter.h"

namespace testjvm {

namespace {

// Functions that JNI allows while an exception is pending.
enum class Pending { Allowed, Warn };

Env& enter(JNIEnv* jni, const char* function, Pending pending = Pending::Warn) {
    Vm& state = vm();
    auto* env = reinterpret_cast<Env*>(jni);
    if (!state.envs.count(env)) fault(std::string(function) + ": not a JNIEnv of this VM");
    if (!env->alive)
        fault(std::string(function) + ": the JNIEnv of thread " + std::to_string(env->threadId) +
              " used after DetachCurrentThread");
    if (env->threadId != GetCurrentThreadId())
        fault(std::string(function) + ": the JNIEnv of thread " + std::to_string(env->threadId) +
              " used on thread " + std::to_string(GetCurrentThreadId()));
    if (state.destroyed) fault(std::string(function) + ": called after DestroyJavaVM");
    if (env->pending && pending == Pending::Warn)
        warn(std::string(function) + " called with an exception pending");
    return *env;
}

ClassInfo* arrayClassOf(ClassInfo* element) {
    std::string name = element->name[0] == '[' ? "[" + element->name : "[L" + element->name + ";";
    if (ClassInfo* known = builtinClass(name)) return known;
    auto cls = std::make_unique<ClassInfo>();
    cls->name = name;
    cls->builtin = true;
    cls->super = builtinClass("java/lang/Object");
    cls->mirror = std::make_shared<ClassObject>(builtinClass("java/lang/Class"), cls.get());
    ClassInfo* defined = cls.get();
    vm().classes[name] = std::move(cls);
    return defined;
}

// The class a descriptor names, when this VM knows it.
ClassInfo* classOfDescriptor(const std::string& descriptor) {
    if (descriptor[0] == 'L') {
        auto it = vm().classes.find(descriptor.substr(1, descriptor.size() - 2));
        return it == vm().classes.end() ? nullptr : it->second.get();
    }
    return builtinClass(descriptor);
}

// A reference argument of the wrong type is a fault of the caller.
void checkArguments(const MethodInfo& method, const std::vector<Value>& args, const char* function) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const ObjectPtr& object = args[i].object;
        if (method.parsed.parameters[i] != JavaType::Reference || !object) continue;
        ClassInfo* expected = classOfDescriptor(method.parsed.descriptors[i]);
        bool fits = expected ? object->cls->isSubclassOf(expected)
                             : method.parsed.descriptors[i][0] != '[' ||
                                   dynamic_cast<ObjectArrayObject*>(object.get());
        if (!fits)
            fault(std::string(function) + ": argument " + std::to_string(i + 1) + " of " +
                  method.owner->name + "." + method.name + method.signature + " is an object of " +
                  object->cls->name);
    }
}

std::vector<Value> argumentsFrom(Env& env, const MethodInfo& method, va_list list,
                                 const char* function) {
    std::vector<Value> args;
    for (JavaType type : method.parsed.parameters) {
        Value value;
        switch (type) {
        case JavaType::Reference: value.object = resolve(env, va_arg(list, jobject), function); break;
        case JavaType::Long: value.integer = va_arg(list, jlong); break;
        case JavaType::Float:
        case JavaType::Double: value.real = va_arg(list, double); break;
        default: value.integer = va_arg(list, int); break;
        }
        args.push_back(std::move(value));
    }
    checkArguments(method, args, function);
    return args;
}

std::vector<Value> argumentsFrom(Env& env, const MethodInfo& method, const jvalue* list,
                                 const char* function) {
    std::vector<Value> args;
    if (!list && !method.parsed.parameters.empty()) fault(std::string(function) + ": null arguments");
    for (std::size_t i = 0; i < method.parsed.parameters.size(); ++i) {
        Value value;
        const jvalue& v = list[i];
        switch (method.parsed.parameters[i]) {
        case JavaType::Reference: value.object = resolve(env, v.l, function); break;
        case JavaType::Boolean: value.integer = v.z; break;
        case JavaType::Byte: value.integer = v.b; break;
        case JavaType::Char: value.integer = v.c; break;
        case JavaType::Short: value.integer = v.s; break;
        case JavaType::Int: value.integer = v.i; break;
        case JavaType::Long: value.integer = v.j; break;
        case JavaType::Float: value.real = v.f; break;
        case JavaType::Double: value.real = v.d; break;
        case JavaType::Void: break;
        }
        args.push_back(std::move(value));
    }
    checkArguments(method, args, function);
    return args;
}

std::string exceptionClassText(const ObjectPtr& object) {
    return externalClassName(object->cls->name);
}

// --- classes and methods ---

jclass JNICALL FindClass(JNIEnv* jni, const char* name) noexcept {
    Lock lock(vm().mutex);
    Env& env = enter(jni, "FindClass");
    if (!name) fault("FindClass: null name");
    ClassInfo* cls = findClass(env, name);
    return static_cast<jclass>(cls ? newLocal(env, cls->mirror) : nullptr);
}

MethodInfo* lookUp(ClassInfo* cls, const std::string& name, const std::string& signature,
                   bool isStatic) {
    if (name == "<init>") return isStatic ? nullptr : cls->declared(name, signature);
    for (ClassInfo* c = cls; c; c = c->super) {
        MethodInfo* method = c->declared(name, signature);
        if (method) return method->isStatic == isStatic ? method : nullptr;
    }
    return nullptr;
}

jmethodID getMethod(JNIEnv* jni, jclass clazz, const char* name, const char* sig, bool isStatic,
                    const char* function) {
    Lock lock(vm().mutex);
    Env& env = enter(jni, function);
    ClassInfo* cls = resolveClass(env, clazz, function);
    if (!name || !sig) fault(std::string(function) + ": null name or signature");
    MethodInfo* method = lookUp(cls, name, sig, isStatic);
    if (!cls->builtin) {
        traceEvent("get-method", {{"class", cls->name}, {"name", name}, {"signature", sig},
                                  {"static", isStatic ? "1" : "0"},
                                  {"result", method ? "found" : "missing"}});
    }
    if (!method) {
        std::string message = std::string(isStatic ? "static " : "") + "L" + cls->name + ";." +
                              name + sig;
        throwNew(env, "java/lang/NoSuchMethodError", fromModifiedUtf8(message));
        return nullptr;
    }
    return reinterpret_cast<jmethodID>(method);
}

jmethodID JNICALL GetMethodID(JNIEnv* jni, jclass clazz, const char* name, const char* sig) noexcept {
    return getMethod(jni, clazz, name, sig, false, "GetMethodID");
}

jmethodID JNICALL GetStaticMethodID(JNIEnv* jni, jclass clazz, const char* name,
                                    const char* sig) noexcept {
    return getMethod(jni, clazz, name, sig, true, "GetStaticMethodID");
}

jclass JNICALL GetObjectClass(JNIEnv* jni, jobject obj) noexcept {
    Lock lock(vm().mutex);
    Env& env = enter(jni, "GetObjectClass");
    ObjectPtr object = resolve(env, obj, "GetObjectClass");
    if (!object) fault("GetObjectClass: null object");
    return static_cast<jclass>(newLocal(env, object->cls->mirror));
}

// --- objects and calls ---

template <typename Args>
jobject newObject(JNIEnv* jni, jclass clazz, jmethodID id, Args args, const char* function) {
    Lock lock(vm().mutex);
    Env& env = enter(jni, function);
    ClassInfo* cls = resolveClass(env, clazz, function);
    MethodInfo* method = resolveMethod(id, function);
    if (method->name != "<init>" || method->owner != cls)
        fault(std::string(function) + ": " + method->owner->name + "." + method->name +
              " is no constructor of " + cls->name);
    std::vector<Value> values = argumentsFrom(env, *method, args, function);
    Value result = invoke(lock, env, *method, cls, nullptr, values);
    return newLocal(env, result.object);
}

jobject JNICALL NewObject(JNIEnv* jni, jclass clazz, jmethodID id, ...) noexcept {
    va_list list;
    va_start(list, id);
    jobject result = newObject(jni, clazz, id, list, "NewObject");
    va_end(list);
    return result;
}

jobject JNICALL NewObjectV(JNIEnv* jni, jclass clazz, jmethodID id, va_list list) noexcept {
    return newObject(jni, clazz, id, list, "NewObjectV");
}

jobject JNICALL NewObjectA(JNIEnv* jni, jclass clazz, jmethodID id, const jvalue* args) noexcept {
    return newObject(jni, clazz, id, args, "NewObjectA");
}

template <typename Args>
Value callInstance(JNIEnv* jni, jobject obj, jmethodID id, Args args, const char* function,
                   Env*& envOut, Lock& lock) {
    Env& env = enter(jni, function);
    envOut = &env;
    ObjectPtr self = resolve(env, obj, function);
    if (!self) fault(std::string(function) + ": null object");
    MethodInfo* method = resolveMethod(id, function);
    if (method->isStatic || method->name == "<init>")
        fault(std::string(function) + ": " + method->owner->name + "." + method->name +
              " is no instance method");
    if (!self->cls->isSubclassOf(method->owner))
        fault(std::string(function) + ": " + method->owner->name + "." + method->name +
              " called on an object of " + self->cls->name);
    // Virtual dispatch: the object's own class may override the method.
    MethodInfo* target = lookUp(self->cls, method->name, method->signature, false);
    if (!target) target = method;
    std::vector<Value> values = argumentsFrom(env, *method, args, function);
    return invoke(lock, env, *target, target->owner, self, values);
}

jobject JNICALL CallObjectMethodV(JNIEnv* jni, jobject obj, jmethodID id, va_list list) noexcept {
    Lock lock(vm().mutex);
    Env* env = nullptr;
    Value result = callInstance(jni, obj, id, list, "CallObjectMethodV", env, lock);
    return newLocal(*env, result.object);
}

jobject JNICALL CallObjectMethod(JNIEnv* jni, jobject obj, jmethodID id, ...) noexcept {
    va_list list;
    va_start(list, id);
    Lock lock(vm().mutex);
    Env* env = nullptr;
    Value result = callInstance(jni, obj, id, list, "CallObjectMethod", env, lock);
    va_end(list);
    return newLocal(*env, result.object);
}

jobject JNICALL CallObjectMethodA(JNIEnv* jni, jobject obj, jmethodID id, const jvalue* args) noexcept {
    Lock lock(vm().mutex);
    Env* env = nullptr;
    Value result = callInstance(jni, obj, id, args, "CallObjectMethodA", env, lock);
    return newLocal(*env, result.object);
}

template <typename Args>
Value callStatic(JNIEnv* jni, jclass clazz, jmethodID id, Args args, const char* function) {
    Lock lock(vm().mutex);
    Env& env = enter(jni, function);
    ClassInfo* cls = resolveClass(env, clazz, function);
    MethodInfo* method = resolveMethod(id, function);
    if (!method->isStatic)
        fault(std::string(function) + ": " + method->owner->name + "." + method->name +
              " is no static method");
    if (!cls->isSubclassOf(method->owner))
        fault(std::string(function) + ": " + method->owner->name + "." + method->name +
              " called on class " + cls->name);
    std::vector<Value> values = argumentsFrom(env, *method, args, function);
    return invoke(lock, env, *method, method->owner, nullptr, values);
}

void JNICALL CallStaticVoidMethod(JNIEnv* jni, jclass clazz, jmethodID id, ...) noexcept {
    va_list list;
    va_start(list, id);
    callStatic(jni, clazz, id, list, "CallStaticVoidMethod");
    va_end(list);
}

void JNICALL CallStaticVoidMethodV(JNIEnv* jni, jclass clazz, jmethodID id, va_list list) noexcept {
    callStatic(jni, clazz, id, list, "CallStaticVoidMethodV");
}

void JNICALL CallStaticVoidMethodA(JNIEnv* jni, jclass clazz, jmethodID id, const jvalue* args) noexcept {
    callStatic(jni, clazz, id, args, "CallStaticVoidMethodA");
}

jint JNICALL CallStaticIntMethod(JNIEnv* jni, jclass clazz, jmethodID id, ...) noexcept {
    va_list list;
    va_start(list, id);
    Value result = callStatic(jni, clazz, id, list, "CallStaticIntMethod");
    va_end(list);
    return static_cast<jint>(result.integer);
}

jint JNICALL CallStaticIntMethodV(JNIEnv* jni, jclass clazz, jmethodID id, va_list list) noexcept {
    return static_cast<jint>(callStatic(jni, clazz, id, list, "CallStaticIntMethodV").integer);
}

jint JNICALL CallStaticIntMethodA(JNIEnv* jni, jclass clazz, jmethodID id, const jvalue* args) noexcept {
    return static_cast<jint>(callStatic(jni, clazz, id, args, "CallStaticIntMethodA").integer);
}

// --- arrays ---

jbyteArray JNICALL NewByteArray(JNIEnv* jni, jsize length) noexcept {
    Lock lock(vm().mutex);
    Env& env = enter(jni, "NewByteArray");
    if (length < 0) {
        throwNew(env, "java/lang/NegativeArraySizeException", std::to_wstring(length));
        return nullptr;
    }
    auto array = std::make_shared<ByteArrayObject>(builtinClass("[B"));
    array->bytes.resize(static_cast<std::size_t>(length));
    return static_cast<jbyteArray>(newLocal(env, array));
}

void JNICALL SetByteArrayRegion(JNIEnv* jni, jbyteArray arr, jsize start, jsize length,
                                const jbyte* buffer) noexcept {
    Lock lock(vm().mutex);
    Env& env = enter(jni, "SetByteArrayRegion");
    auto* array = dynamic_cast<ByteArrayObject*>(resolve(env, arr, "SetByteArrayRegion").get());
    if (!array) fault("SetByteArrayRegion: not a byte array");
    jsize size = static_cast<jsize>(array->bytes.size());
    if (start < 0 || length < 0 || start > size - length) {
        throwNew(env, "java/lang/ArrayIndexOutOfBoundsException",
                 L"Array region " + std::to_wstring(start) + L".." +
                     std::to_wstring(static_cast<long long>(start) + length) +
                     L" out of bounds for length " + std::to_wstring(size));
        return;
    }
    if (length > 0 && !buffer) fault("SetByteArrayRegion: null buffer");
    if (length > 0) std::memcpy(array->bytes.data() + start, buffer, static_cast<std::size_t>(length));
}

jobjectArray JNICALL NewObjectArray(JNIEnv* jni, jsize length, jclass elementClass,
                                    jobject initial) noexcept {
    Lock lock(vm().mutex);
    Env& env = enter(jni, "NewObjectArray");
    ClassInfo* element = resolveClass(env, elementClass, "NewObjectArray");
    ObjectPtr init = resolve(env, initial, "NewObjectArray");
    if (length < 0) {
        throwNew(env, "java/lang/NegativeArraySizeException", std::to_wstring(length));
        return nullptr;
    }
    if (init && !init->cls->isSubclassOf(element)) {
        throwNew(env, "java/lang/ArrayStoreException", fromModifiedUtf8(exceptionClassText(init)));
        return nullptr;
    }
    auto array = std::make_shared<ObjectArrayObject>(arrayClassOf(element));
    array->elementClass = element;
    array->elements.assign(static_cast<std::size_t>(length), init);
    return static_cast<jobjectArray>(newLocal(env, array));
}

void JNICALL SetObjectArrayElement(JNIEnv* jni, jobjectArray arr, jsize index, jobject value) noexcept {
    Lock lock(vm().mutex);
    Env& env = enter(jni, "SetObjectArrayElement");
    auto* array = dynamic_cast<ObjectArrayObject*>(resolve(env, arr, "SetObjectArrayElement").get());
    if (!array) fault("SetObjectArrayElement: not an object array");
    ObjectPtr element = resolve(env, value, "SetObjectArrayElement");
    jsize size = static_cast<jsize>(array->elements.size());
    if (index < 0 || index >= size) {
        throwNew(env, "java/lang/ArrayIndexOutOfBoundsException",
                 L"Index " + std::to_wstring(index) + L" out of bounds for length " +
                     std::to_wstring(size));
        return;
    }
    if (element && !element->cls->isSubclassOf(array->elementClass)) {
        throwNew(env, "java/lang/ArrayStoreException", fromModifiedUtf8(exceptionClassText(element)));
        return;
    }
    array->elements[static_cast<std::size_t>(index)] = element;
}

// --- strings ---

jstring JNICALL NewString(JNIEnv* jni, const jchar* chars, jsize length) noexcept {
    Lock lock(vm().mutex);
    Env& env = enter(jni, "NewString");
    if (length < 0 || (length > 0 && !chars)) fault("NewString: no characters for the length given");
    std::wstring text(reinterpret_cast<const wchar_t*>(chars), static_cast<std::size_t>(length));
    return static_cast<jstring>(newLocal(env, newString(text)));
}

jsize JNICALL GetStringLength(JNIEnv* jni, jstring str) noexcept {
    Lock lock(vm().mutex);
    Env& env = enter(jni, "GetStringLength");
    auto* text = dynamic_cast<StringObject*>(resolve(env, str, "GetStringLength").get());
    if (!text) fault("GetStringLength: not a string");
    return static_cast<jsize>(text->chars.size());
}

// The UTF-16 units start ... start + length - 1; outside the string:
// StringIndexOutOfBoundsException, nothing copied.
void JNICALL GetStringRegion(JNIEnv* jni, jstring str, jsize start, jsize length, jchar* buffer) noexcept {
    Lock lock(vm().mutex);
    Env& env = enter(jni, "GetStringRegion");
    auto* text = dynamic_cast<StringObject*>(resolve(env, str, "GetStringRegion").get());
    if (!text) fault("GetStringRegion: not a string");
    if (length > 0 && !buffer) fault("GetStringRegion: no buffer");
    auto size = static_cast<long long>(text->chars.size());
    if (start < 0 || length < 0 || start + static_cast<long long>(length) > size) {
        throwNew(env, "java/lang/StringIndexOutOfBoundsException", std::nullopt);
        return;
    }
    for (jsize i = 0; i < length; ++i) buffer[i] = static_cast<jchar>(text->chars[static_cast<std::size_t>(start + i)]);
}

const char* JNICALL GetStringUTFChars(JNIEnv* jni, jstring str, jboolean* isCopy) noexcept {
    Lock lock(vm().mutex);
    Env& env = enter(jni, "GetStringUTFChars");
    auto* text = dynamic_cast<StringObject*>(resolve(env, str, "GetStringUTFChars").get());
    if (!text) fault("GetStringUTFChars: not a string");
    std::string bytes = toModifiedUtf8(text->chars);
    auto* buffer = static_cast<char*>(std::malloc(bytes.size() + 1));
    if (!buffer) {
        throwNew(env, "java/lang/OutOfMemoryError", std::nullopt);
        return nullptr;
    }
    std::memcpy(buffer, bytes.c_str(), bytes.size() + 1);
    vm().utfChars.insert(buffer);
    if (isCopy) *isCopy = JNI_TRUE;
    return buffer;
}

void JNICALL ReleaseStringUTFChars(JNIEnv* jni, jstring str, const char* chars) noexcept {
    Lock lock(vm().mutex);
    Env& env = enter(jni, "ReleaseStringUTFChars", Pending::Allowed);
    if (!dynamic_cast<StringObject*>(resolve(env, str, "ReleaseStringUTFChars").get()))
        fault("ReleaseStringUTFChars: not a string");
    char* buffer = const_cast<char*>(chars);
    if (!vm().utfChars.erase(buffer))
        fault("ReleaseStringUTFChars: characters not from GetStringUTFChars, or released twice");
    std::free(buffer);
}

// --- references and exceptions ---

void JNICALL DeleteLocalRef(JNIEnv* jni, jobject obj) noexcept {
    Lock lock(vm().mutex);
    Env& env = enter(jni, "DeleteLocalRef", Pending::Allowed);
    if (!obj) return;
    auto* ref = reinterpret_cast<Ref*>(obj);
    if (!vm().refs.count(ref)) fault("DeleteLocalRef: a reference that this VM did not give out");
    if (ref->env != &env)
        fault("DeleteLocalRef: a local reference of thread " + std::to_string(ref->env->threadId) +
              " deleted on thread " + std::to_string(env.threadId));
    if (ref->deleted) {
        warn("DeleteLocalRef: the reference was deleted before");
        return;
    }
    ref->deleted = true;
    ref->object.reset();
}

jthrowable JNICALL ExceptionOccurred(JNIEnv* jni) noexcept {
    Lock lock(vm().mutex);
    Env& env = enter(jni, "ExceptionOccurred", Pending::Allowed);
    return static_cast<jthrowable>(newLocal(env, env.pending));
}

// Like a real VM: "Exception in thread "name" " on the process's standard
// error, then printStackTrace() of the exception, which goes to System.err.
void JNICALL ExceptionDescribe(JNIEnv* jni) noexcept {
    Lock lock(vm().mutex);
    Env& env = enter(jni, "ExceptionDescribe", Pending::Allowed);
    std::shared_ptr<ThrowableObject> pending = std::dynamic_pointer_cast<ThrowableObject>(env.pending);
    env.pending.reset();
    if (!pending) {
        traceEvent("describe");
        return;
    }
    std::vector<TraceField> fields{{"exception", pending->cls->name}};
    if (pending->message) fields.push_back({"message", toAnsi(*pending->message)});
    traceEvent("describe", std::move(fields));
    writeStandardHandle(STD_ERROR_HANDLE, "Exception in thread \"" + env.name + "\" ");
    if (vm().systemErr)
        printStackTrace(*pending, vm().systemErr);
    else
        writeStandardHandle(STD_ERROR_HANDLE, toAnsi(stackTraceText(*pending)));
}

void JNICALL ExceptionClear(JNIEnv* jni) noexcept {
    Lock lock(vm().mutex);
    Env& env = enter(jni, "ExceptionClear", Pending::Allowed);
    env.pending.reset();
}

// --- the slots nobody may call ---

template <std::size_t N>
void JNICALL unusedSlot() {
    fault(std::string("JNIEnv function ") + jniSlotName(N) + " (slot " + std::to_string(N) +
          ") is not available in the test runtime");
}

template <std::size_t... N>
void fillUnusedSlots(void** slots, std::index_sequence<N...>) {
    ((slots[N] = N < 4 ? nullptr : reinterpret_cast<void*>(&unusedSlot<N>)), ...);
}

}  // namespace

const JNINativeInterface_* jniFunctions() {
    static const JNINativeInterface_* table = [] {
        auto* t = new JNINativeInterface_{};
        fillUnusedSlots(reinterpret_cast<void**>(t), std::make_index_sequence<kJniSlots>());
        t->FindClass = FindClass;
        t->GetMethodID = GetMethodID;
        t->GetStaticMethodID = GetStaticMethodID;
        t->GetObjectClass = GetObjectClass;
        t->NewObject = NewObject;
        t->NewObjectV = NewObjectV;
        t->NewObjectA = NewObjectA;
        t->CallObjectMethod = CallObjectMethod;
        t->CallObjectMethodV = CallObjectMethodV;
        t->CallObjectMethodA = CallObjectMethodA;
        t->CallStaticVoidMethod = CallStaticVoidMethod;
        t->CallStaticVoidMethodV = CallStaticVoidMethodV;
        t->CallStaticVoidMethodA = CallStaticVoidMethodA;
        t->CallStaticIntMethod = CallStaticIntMethod;
        t->CallStaticIntMethodV = CallStaticIntMethodV;
        t->CallStaticIntMethodA = CallStaticIntMethodA;
        t->NewByteArray = NewByteArray;
        t->SetByteArrayRegion = SetByteArrayRegion;
        t->NewObjectArray = NewObjectArray;
        t->SetObjectArrayElement = SetObjectArrayElement;
        t->NewString = NewString;
        t->GetStringLength = GetStringLength;
        t->GetStringRegion = GetStringRegion;
        t->GetStringUTFChars = GetStringUTFChars;
        t->ReleaseStringUTFChars = ReleaseStringUTFChars;
        t->DeleteLocalRef = DeleteLocalRef;
        t->ExceptionOccurred = ExceptionOccurred;
        t->ExceptionDescribe = ExceptionDescribe;
        t->ExceptionClear = ExceptionClear;
        return t;
    }();
    return table;
}

}  // namespace testjvm
