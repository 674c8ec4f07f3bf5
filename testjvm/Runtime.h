#pragma once
// The state of the test runtime: objects, classes, per-thread environments,
// local references, pending exceptions and the threads the VM waits for.
// One mutex guards all of it; code that runs a script or waits releases it.

#include <windows.h>

#include <jni.h>

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "testjvm/Script.h"
#include "testjvm/Signature.h"
#include "testjvm/TraceFormat.h"

namespace testjvm {

struct ClassInfo;
struct Env;

struct Object {
    explicit Object(ClassInfo* cls) : cls(cls) {}
    virtual ~Object() = default;
    ClassInfo* cls;
};
using ObjectPtr = std::shared_ptr<Object>;

struct StringObject : Object {
    StringObject(ClassInfo* cls, std::wstring chars) : Object(cls), chars(std::move(chars)) {}
    std::wstring chars;
};

struct ByteArrayObject : Object {
    using Object::Object;
    std::vector<jbyte> bytes;
};

struct ObjectArrayObject : Object {
    using Object::Object;
    ClassInfo* elementClass = nullptr;
    std::vector<ObjectPtr> elements;
};

struct ClassObject : Object {
    ClassObject(ClassInfo* cls, ClassInfo* described) : Object(cls), described(described) {}
    ClassInfo* described;
};

// A file opened by new FileOutputStream(String), or one of the process's
// standard handles (System.out and System.err before any redirection).
struct FileOutputStreamObject : Object {
    using Object::Object;
    ~FileOutputStreamObject() override;
    HANDLE handle = INVALID_HANDLE_VALUE;  // owned
    DWORD standardHandle = 0;              // STD_OUTPUT_HANDLE or STD_ERROR_HANDLE
    std::string path;                      // ANSI
};

struct ByteArrayOutputStreamObject : Object {
    using Object::Object;
    std::string bytes;
};

struct PrintStreamObject : Object {
    using Object::Object;
    ObjectPtr out;
};

// A character stream: StringWriter holds UTF-16 text, PrintWriter writes
// into another writer.
struct StringWriterObject : Object {
    using Object::Object;
    std::wstring text;
};

struct PrintWriterObject : Object {
    using Object::Object;
    ObjectPtr out;
};

struct ThrowableObject : Object {
    using Object::Object;
    std::optional<std::wstring> message;
    std::shared_ptr<ThrowableObject> cause;
    std::vector<std::wstring> frames;
};

// A value passed to or returned by a method; references are resolved.
struct Value {
    long long integer = 0;
    double real = 0;
    ObjectPtr object;
};

// A built-in method. cls is the class named in NewObject for constructors,
// else the declaring class; self is null for static methods and constructors.
using NativeMethod = Value (*)(Env& env, ClassInfo* cls, const ObjectPtr& self,
                               const std::vector<Value>& args);

struct MethodInfo {
    ClassInfo* owner = nullptr;
    std::string name;
    std::string signature;
    bool isStatic = false;
    MethodSignature parsed;
    NativeMethod native = nullptr;
    const ScriptMethod* script = nullptr;
};

struct ClassInfo {
    std::string name;  // internal form, modified UTF-8
    ClassInfo* super = nullptr;
    bool builtin = false;
    bool throwable = false;
    std::shared_ptr<ClassObject> mirror;
    std::vector<std::unique_ptr<MethodInfo>> methods;
    ClassScript script;
    std::string source;  // the class path entry it came from (ANSI)

    bool isSubclassOf(const ClassInfo* other) const;
    MethodInfo* declared(const std::string& name, const std::string& signature) const;
};

struct Ref {
    ObjectPtr object;
    Env* env = nullptr;
    bool deleted = false;
};

// The JNIEnv of one thread. functions must stay the first member: a JNIEnv
// pointer is a pointer to it.
struct Env {
    const JNINativeInterface_* functions = nullptr;
    DWORD threadId = 0;
    HANDLE threadHandle = nullptr;  // threads attached through JNI, to notice their end
    std::string name;
    bool daemon = false;
    bool scriptThread = false;
    bool alive = true;
    ObjectPtr pending;
    std::vector<Ref*> locals;
};

struct Vm {
    std::mutex mutex;
    std::condition_variable changed;  // an environment or a script thread ended

    JavaVM_ javaVm{};
    bool created = false;
    bool destroyed = false;

    std::map<std::string, std::unique_ptr<ClassInfo>> classes;  // built-in and loaded
    std::map<std::string, std::unique_ptr<ClassInfo>> syntheticThrowables;
    struct ClassPathEntry {
        std::string ansi;
        std::wstring path;
    };
    std::vector<ClassPathEntry> classPath;
    std::map<std::wstring, std::optional<std::map<std::string, JarClass>>> jars;

    std::set<Env*> envs;  // every environment ever made; none is freed
    std::map<DWORD, Env*> envByThread;
    std::set<Ref*> refs;
    std::set<const MethodInfo*> methods;
    std::set<char*> utfChars;
    int startingThreads = 0;  // non-daemon script threads not yet registered
    int threadCounter = 0;    // names "Thread-N"

    ObjectPtr systemOut;
    ObjectPtr systemErr;
};

// The one VM of this module; made on first use and never destroyed.
Vm& vm();
using Lock = std::unique_lock<std::mutex>;

// --- threads and environments (lock held) ---
Env* currentEnv();
Env* attachCurrentThread(const std::string& name, bool daemon, bool scriptThread);
void detachEnv(Env& env);
std::string nextThreadName();

// --- references (lock held) ---
jobject newLocal(Env& env, ObjectPtr object);
// Checks the reference (a fault when it is no live reference of env); null
// gives null.
ObjectPtr resolve(Env& env, jobject ref, const char* function);
ClassInfo* resolveClass(Env& env, jclass ref, const char* function);
MethodInfo* resolveMethod(jmethodID id, const char* function);

// --- classes and exceptions (lock held) ---
void defineBuiltinClasses(Vm& vm);
ClassInfo* builtinClass(const std::string& name);
// An application class from the class path; null with NoClassDefFoundError
// or ClassFormatError pending when it cannot be had.
ClassInfo* findClass(Env& env, const std::string& name);
// A built-in throwable class, or one made up for a name a script throws.
ClassInfo* throwableClass(const std::string& name);
std::shared_ptr<ThrowableObject> makeThrowable(const std::string& className,
                                               std::optional<std::wstring> message);
void throwNew(Env& env, const std::string& className, std::optional<std::wstring> message);
ObjectPtr newString(const std::wstring& chars);
std::shared_ptr<PrintStreamObject> newPrintStream(ObjectPtr out);
std::shared_ptr<FileOutputStreamObject> newStandardStream(DWORD which);

// --- streams (lock held) ---
void writeBytes(const ObjectPtr& stream, std::string_view bytes);
// Where a stream ends up: {"stdout"|"stderr"|"file"|"memory"|"null", path}.
std::vector<TraceField> describeTarget(const ObjectPtr& stream);
void printStackTrace(const ThrowableObject& throwable, const ObjectPtr& printStream);
std::wstring stackTraceText(const ThrowableObject& throwable);

// Calls a method; a script method runs with the lock released. An exception
// it throws is left pending in env.
Value invoke(Lock& lock, Env& env, MethodInfo& method, ClassInfo* cls, const ObjectPtr& self,
             const std::vector<Value>& args);
Value runScript(Lock& lock, Env& env, MethodInfo& method, const std::vector<Value>& args);

// System.exit: records the code and ends the process at once.
[[noreturn]] void systemExit(long long code);

// The function tables.
const JNINativeInterface_* jniFunctions();
const JNIInvokeInterface_* invokeFunctions();

// The exports.
jint createJavaVm(JavaVM** pvm, void** penv, void* args);
jint getDefaultJavaVmInitArgs(void* args);

}  // namespace testjvm
