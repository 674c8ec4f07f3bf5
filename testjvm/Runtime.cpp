#include "testjvm/Runtime.h"

#include "testjvm/JavaText.h"
#include "testjvm/StackTrace.h"
#include "testjvm/TraceWriter.h"

namespace testjvm {

Vm& vm() {
    static Vm* instance = [] {
        auto* created = new Vm;
        created->javaVm.functions = invokeFunctions();
        defineBuiltinClasses(*created);
        return created;
    }();
    return *instance;
}

FileOutputStreamObject::~FileOutputStreamObject() {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
}

bool ClassInfo::isSubclassOf(const ClassInfo* other) const {
    for (const ClassInfo* cls = this; cls; cls = cls->super)
        if (cls == other) return true;
    return false;
}

MethodInfo* ClassInfo::declared(const std::string& methodName, const std::string& signature) const {
    for (const auto& method : methods)
        if (method->name == methodName && method->signature == signature) return method.get();
    return nullptr;
}

// --- threads and environments ---

Env* currentEnv() {
    auto it = vm().envByThread.find(GetCurrentThreadId());
    return it == vm().envByThread.end() ? nullptr : it->second;
}

Env* attachCurrentThread(const std::string& name, bool daemon, bool scriptThread) {
    Vm& state = vm();
    auto* env = new Env;
    env->functions = jniFunctions();
    env->threadId = GetCurrentThreadId();
    env->name = name;
    env->daemon = daemon;
    env->scriptThread = scriptThread;
    if (!scriptThread) {
        DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(),
                        &env->threadHandle, SYNCHRONIZE, FALSE, 0);
    }
    state.envs.insert(env);
    state.envByThread[env->threadId] = env;
    return env;
}

void detachEnv(Env& env) {
    Vm& state = vm();
    for (Ref* ref : env.locals) {
        state.refs.erase(ref);
        delete ref;
    }
    env.locals.clear();
    env.pending.reset();
    env.alive = false;
    state.envByThread.erase(env.threadId);
    if (env.threadHandle) CloseHandle(env.threadHandle);
    env.threadHandle = nullptr;
    state.changed.notify_all();
}

std::string nextThreadName() { return "Thread-" + std::to_string(vm().threadCounter++); }

// --- references ---

jobject newLocal(Env& env, ObjectPtr object) {
    if (!object) return nullptr;
    auto* ref = new Ref{std::move(object), &env, false};
    vm().refs.insert(ref);
    env.locals.push_back(ref);
    return reinterpret_cast<jobject>(ref);
}

ObjectPtr resolve(Env& env, jobject handle, const char* function) {
    if (!handle) return nullptr;
    auto* ref = reinterpret_cast<Ref*>(handle);
    if (!vm().refs.count(ref))
        fault(std::string(function) + ": a reference that this VM did not give out");
    if (ref->deleted) fault(std::string(function) + ": a local reference used after DeleteLocalRef");
    if (ref->env != &env)
        fault(std::string(function) + ": a local reference of thread " +
              std::to_string(ref->env->threadId) + " used on thread " +
              std::to_string(env.threadId));
    return ref->object;
}

ClassInfo* resolveClass(Env& env, jclass handle, const char* function) {
    ObjectPtr object = resolve(env, handle, function);
    if (!object) fault(std::string(function) + ": the class is null");
    auto* mirror = dynamic_cast<ClassObject*>(object.get());
    if (!mirror) fault(std::string(function) + ": an object of " + object->cls->name + " given as a class");
    return mirror->described;
}

MethodInfo* resolveMethod(jmethodID id, const char* function) {
    auto* method = reinterpret_cast<MethodInfo*>(id);
    if (!vm().methods.count(method))
        fault(std::string(function) + ": a method ID that this VM did not give out");
    return method;
}

// --- classes ---

ClassInfo* builtinClass(const std::string& name) {
    auto it = vm().classes.find(name);
    return it != vm().classes.end() && it->second->builtin ? it->second.get() : nullptr;
}

ClassInfo* throwableClass(const std::string& name) {
    ClassInfo* builtin = builtinClass(name);
    if (builtin) return builtin->throwable ? builtin : nullptr;
    Vm& state = vm();
    auto& synthetic = state.syntheticThrowables[name];
    if (!synthetic) {
        synthetic = std::make_unique<ClassInfo>();
        synthetic->name = name;
        synthetic->super = builtinClass("java/lang/Exception");
        synthetic->throwable = true;
        synthetic->mirror =
            std::make_shared<ClassObject>(builtinClass("java/lang/Class"), synthetic.get());
    }
    return synthetic.get();
}

std::shared_ptr<ThrowableObject> makeThrowable(const std::string& className,
                                               std::optional<std::wstring> message) {
    ClassInfo* cls = throwableClass(className);
    if (!cls) cls = builtinClass("java/lang/Throwable");
    auto throwable = std::make_shared<ThrowableObject>(cls);
    throwable->message = std::move(message);
    return throwable;
}

void throwNew(Env& env, const std::string& className, std::optional<std::wstring> message) {
    env.pending = makeThrowable(className, std::move(message));
}

ObjectPtr newString(const std::wstring& chars) {
    return std::make_shared<StringObject>(builtinClass("java/lang/String"), chars);
}

std::shared_ptr<PrintStreamObject> newPrintStream(ObjectPtr out) {
    auto stream = std::make_shared<PrintStreamObject>(builtinClass("java/io/PrintStream"));
    stream->out = std::move(out);
    return stream;
}

std::shared_ptr<FileOutputStreamObject> newStandardStream(DWORD which) {
    auto stream = std::make_shared<FileOutputStreamObject>(builtinClass("java/io/FileOutputStream"));
    stream->standardHandle = which;
    return stream;
}

namespace {

bool readFile(const std::wstring& path, std::string& content) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    content.clear();
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
        content.append(buffer, read);
    CloseHandle(file);
    return true;
}

const std::map<std::string, JarClass>* jarClasses(const std::wstring& path) {
    auto& cached = vm().jars[path];
    if (!cached) {
        std::string content;
        std::map<std::string, JarClass> raw;
        std::map<std::string, JarClass> classes;
        if (readFile(path, content) && parseJar(content, raw)) {
            // Names in the file are ANSI text; class names are modified UTF-8.
            for (auto& [name, cls] : raw) classes.emplace(toModifiedUtf8(fromAnsi(name)), cls);
        }
        cached = std::move(classes);
    }
    return &*cached;
}

// Checks what a real VM's verifier would refuse; gives the problem or "".
ScriptError checkScript(const ClassScript& script) {
    for (const ScriptMethod& method : script.methods) {
        if (!parseMethodSignature(method.signature))
            return {method.line, "malformed method signature " + method.signature};
        for (const Statement& statement : method.body) {
            if (statement.kind != Statement::Kind::Throw) continue;
            std::vector<std::string> names{statement.text};
            for (const ScriptCause& cause : statement.causes) names.push_back(cause.className);
            for (const std::string& name : names)
                if (!throwableClass(name)) return {statement.line, name + " is not a Throwable"};
        }
    }
    return {};
}

ClassInfo* defineScriptClass(Env& env, const std::string& name, const std::string& text,
                             int firstLine, const Vm::ClassPathEntry& entry) {
    auto cls = std::make_unique<ClassInfo>();
    ScriptError error;
    if (parseClassScript(text, firstLine, cls->script, error)) error = checkScript(cls->script);
    if (!error.message.empty()) {
        std::string message = name + " (" + entry.ansi + "), line " +
                              std::to_string(error.line) + ": " + error.message;
        traceEvent("find-class", {{"name", name}, {"result", "bad"}, {"source", entry.ansi},
                                  {"line", std::to_string(error.line)},
                                  {"message", error.message}});
        writeStandardHandle(STD_ERROR_HANDLE, "testjvm: bad class script: " + message + "\r\n");
        throwNew(env, "java/lang/ClassFormatError", fromAnsi(message));
        return nullptr;
    }
    cls->name = name;
    cls->super = builtinClass("java/lang/Object");
    cls->source = entry.ansi;
    cls->mirror = std::make_shared<ClassObject>(builtinClass("java/lang/Class"), cls.get());
    for (const ScriptMethod& script : cls->script.methods) {
        auto method = std::make_unique<MethodInfo>();
        method->owner = cls.get();
        method->name = script.name;
        method->signature = script.signature;
        method->isStatic = true;
        method->parsed = *parseMethodSignature(script.signature);
        method->script = &script;
        vm().methods.insert(method.get());
        cls->methods.push_back(std::move(method));
    }
    ClassInfo* defined = cls.get();
    vm().classes[name] = std::move(cls);
    traceEvent("find-class", {{"name", name}, {"result", "found"}, {"source", entry.ansi}});
    return defined;
}

}  // namespace

ClassInfo* findClass(Env& env, const std::string& name) {
    Vm& state = vm();
    auto known = state.classes.find(name);
    if (known != state.classes.end()) {
        ClassInfo* cls = known->second.get();
        if (!cls->builtin)
            traceEvent("find-class", {{"name", name}, {"result", "found"}, {"source", cls->source}});
        return cls;
    }
    bool valid = !name.empty() && name.find('.') == std::string::npos && name[0] != '[' &&
                 name.find('\\') == std::string::npos;
    std::wstring relative = fromModifiedUtf8(name);
    for (wchar_t& c : relative)
        if (c == L'/') c = L'\\';
    for (const Vm::ClassPathEntry& entry : state.classPath) {
        if (!valid) break;
        DWORD attributes = GetFileAttributesW(entry.path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) continue;
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            std::wstring file = entry.path;
            if (file.back() != L'\\' && file.back() != L'/') file += L'\\';
            file += relative + L".class";
            std::string text;
            if (readFile(file, text)) return defineScriptClass(env, name, text, 1, entry);
        } else {
            const auto* classes = jarClasses(entry.path);
            auto found = classes->find(name);
            if (found != classes->end())
                return defineScriptClass(env, name, found->second.text, found->second.firstLine,
                                         entry);
        }
    }
    traceEvent("find-class", {{"name", name}, {"result", "missing"}});
    throwNew(env, "java/lang/NoClassDefFoundError", fromModifiedUtf8(name));
    return nullptr;
}

// --- streams ---

void writeBytes(const ObjectPtr& stream, std::string_view bytes) {
    if (auto* print = dynamic_cast<PrintStreamObject*>(stream.get())) {
        writeBytes(print->out, bytes);
    } else if (auto* file = dynamic_cast<FileOutputStreamObject*>(stream.get())) {
        if (file->standardHandle) {
            writeStandardHandle(file->standardHandle, bytes);
        } else if (!bytes.empty()) {
            DWORD written = 0;
            WriteFile(file->handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                      nullptr);
        }
    } else if (auto* memory = dynamic_cast<ByteArrayOutputStreamObject*>(stream.get())) {
        memory->bytes.append(bytes);
    }
}

std::vector<TraceField> describeTarget(const ObjectPtr& stream) {
    if (auto* print = dynamic_cast<PrintStreamObject*>(stream.get())) return describeTarget(print->out);
    if (auto* file = dynamic_cast<FileOutputStreamObject*>(stream.get())) {
        if (file->standardHandle == STD_OUTPUT_HANDLE) return {{"to", "stdout"}};
        if (file->standardHandle == STD_ERROR_HANDLE) return {{"to", "stderr"}};
        return {{"to", "file"}, {"path", file->path}};
    }
    if (dynamic_cast<ByteArrayOutputStreamObject*>(stream.get())) return {{"to", "memory"}};
    return {{"to", "null"}};
}

std::wstring stackTraceText(const ThrowableObject& throwable) {
    std::vector<ThrowableText> chain;
    for (const ThrowableObject* link = &throwable; link && chain.size() < 64; link = link->cause.get())
        chain.push_back({describeThrowable(link->cls->name, link->message), link->frames});
    return formatStackTrace(chain);
}

void printStackTrace(const ThrowableObject& throwable, const ObjectPtr& printStream) {
    if (auto* writer = dynamic_cast<PrintWriterObject*>(printStream.get())) {
        // Characters, not bytes: nothing is lost to the code page.
        if (auto* sink = dynamic_cast<StringWriterObject*>(writer->out.get()))
            sink->text += stackTraceText(throwable);
        return;
    }
    writeBytes(printStream, toAnsi(stackTraceText(throwable)));
}

// --- calls ---

Value invoke(Lock& lock, Env& env, MethodInfo& method, ClassInfo* cls, const ObjectPtr& self,
             const std::vector<Value>& args) {
    if (method.script) return runScript(lock, env, method, args);
    return method.native(env, cls, self, args);
}

void systemExit(long long code) {
    traceEvent("exit", {{"code", std::to_string(code)}});
    ExitProcess(static_cast<UINT>(code));
}

}  // namespace testjvm
