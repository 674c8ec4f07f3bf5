// The Java platform classes that the launcher uses, with just the members it
// calls: String, System, the output streams, PrintStream, the character
// streams StringWriter and PrintWriter, Throwable and the
// exceptions that the runtime itself throws.
#include <cstdio>

#include "testjvm/JavaText.h"
#include "testjvm/Runtime.h"
#include "testjvm/TraceWriter.h"

namespace testjvm {

namespace {

Value none() { return {}; }
Value object(ObjectPtr object) { return Value{0, 0, std::move(object)}; }

const StringObject* stringArgument(const Value& value) {
    return dynamic_cast<const StringObject*>(value.object.get());
}

std::wstring windowsErrorText(DWORD code) {
    wchar_t* buffer = nullptr;
    DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = length ? std::wstring(buffer, length) : L"error " + std::to_wstring(code);
    if (buffer) LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ' ||
                             text.back() == L'.'))
        text.pop_back();
    return text;
}

Value objectInit(Env&, ClassInfo* cls, const ObjectPtr&, const std::vector<Value>&) {
    return object(std::make_shared<Object>(cls));
}

Value objectToString(Env&, ClassInfo*, const ObjectPtr& self, const std::vector<Value>&) {
    char hash[20];
    std::snprintf(hash, sizeof hash, "@%x", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(self.get())));
    return object(newString(fromModifiedUtf8(externalClassName(self->cls->name) + hash)));
}

// new String(byte[]): decoded with the platform's default charset.
Value stringFromBytes(Env& env, ClassInfo*, const ObjectPtr&, const std::vector<Value>& args) {
    auto* bytes = dynamic_cast<const ByteArrayObject*>(args[0].object.get());
    if (!bytes) {
        throwNew(env, "java/lang/NullPointerException", std::nullopt);
        return none();
    }
    std::string raw(bytes->bytes.begin(), bytes->bytes.end());
    return object(newString(fromAnsi(raw)));
}

Value stringToString(Env&, ClassInfo*, const ObjectPtr& self, const std::vector<Value>&) {
    return object(self);
}

// new FileOutputStream(String): creates or truncates the file.
Value fileOutputStreamInit(Env& env, ClassInfo* cls, const ObjectPtr&, const std::vector<Value>& args) {
    const StringObject* path = stringArgument(args[0]);
    if (!path) {
        throwNew(env, "java/lang/NullPointerException", std::nullopt);
        return none();
    }
    std::string ansiPath = toAnsi(path->chars);
    HANDLE handle = path->chars.empty()
                        ? INVALID_HANDLE_VALUE
                        : CreateFileW(path->chars.c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        DWORD error = path->chars.empty() ? ERROR_PATH_NOT_FOUND : GetLastError();
        std::wstring message = path->chars + L" (" + windowsErrorText(error) + L")";
        traceEvent("open-file", {{"path", ansiPath}, {"result", "error"},
                                 {"exception", "java/io/FileNotFoundException"},
                                 {"message", toAnsi(message)}});
        throwNew(env, "java/io/FileNotFoundException", message);
        return none();
    }
    traceEvent("open-file", {{"path", ansiPath}, {"result", "ok"}});
    auto stream = std::make_shared<FileOutputStreamObject>(cls);
    stream->handle = handle;
    stream->path = ansiPath;
    return object(stream);
}

Value byteArrayOutputStreamInit(Env&, ClassInfo* cls, const ObjectPtr&, const std::vector<Value>&) {
    return object(std::make_shared<ByteArrayOutputStreamObject>(cls));
}

// ByteArrayOutputStream.toString(): the bytes decoded with the default charset.
Value byteArrayOutputStreamToString(Env&, ClassInfo*, const ObjectPtr& self, const std::vector<Value>&) {
    return object(newString(fromAnsi(static_cast<ByteArrayOutputStreamObject&>(*self).bytes)));
}

Value printStreamInit(Env& env, ClassInfo* cls, const ObjectPtr&, const std::vector<Value>& args) {
    if (!args[0].object) {
        throwNew(env, "java/lang/NullPointerException", L"Null output stream");
        return none();
    }
    auto stream = std::make_shared<PrintStreamObject>(cls);
    stream->out = args[0].object;
    return object(stream);
}

Value stringWriterInit(Env&, ClassInfo* cls, const ObjectPtr&, const std::vector<Value>&) {
    return object(std::make_shared<StringWriterObject>(cls));
}

Value stringWriterToString(Env&, ClassInfo*, const ObjectPtr& self, const std::vector<Value>&) {
    return object(newString(static_cast<StringWriterObject&>(*self).text));
}

Value printWriterInit(Env& env, ClassInfo* cls, const ObjectPtr&, const std::vector<Value>& args) {
    if (!args[0].object) {
        throwNew(env, "java/lang/NullPointerException", std::nullopt);
        return none();
    }
    auto writer = std::make_shared<PrintWriterObject>(cls);
    writer->out = args[0].object;
    return object(writer);
}

Value printStreamPrintln(Env&, ClassInfo*, const ObjectPtr& self, const std::vector<Value>& args) {
    const StringObject* text = stringArgument(args[0]);
    writeBytes(self, toAnsi((text ? text->chars : L"null") + L"\r\n"));
    return none();
}

void setStream(const char* which, ObjectPtr& field, const ObjectPtr& stream) {
    field = stream;
    std::vector<TraceField> fields{{"stream", which}};
    for (TraceField& target : describeTarget(stream)) fields.push_back(std::move(target));
    traceEvent("set-stream", std::move(fields));
}

Value systemSetOut(Env&, ClassInfo*, const ObjectPtr&, const std::vector<Value>& args) {
    setStream("out", vm().systemOut, args[0].object);
    return none();
}

Value systemSetErr(Env&, ClassInfo*, const ObjectPtr&, const std::vector<Value>& args) {
    setStream("err", vm().systemErr, args[0].object);
    return none();
}

Value systemExitMethod(Env&, ClassInfo*, const ObjectPtr&, const std::vector<Value>& args) {
    systemExit(static_cast<jint>(args[0].integer));
}

Value throwableInit(Env&, ClassInfo* cls, const ObjectPtr&, const std::vector<Value>& args) {
    auto throwable = std::make_shared<ThrowableObject>(cls);
    if (!args.empty()) {
        if (const StringObject* message = stringArgument(args[0])) throwable->message = message->chars;
    }
    if (args.size() > 1)
        throwable->cause = std::dynamic_pointer_cast<ThrowableObject>(args[1].object);
    return object(throwable);
}

Value throwablePrintStackTrace(Env& env, ClassInfo*, const ObjectPtr& self,
                               const std::vector<Value>& args) {
    ObjectPtr stream = args.empty() ? vm().systemErr : args[0].object;
    if (!stream) {
        throwNew(env, "java/lang/NullPointerException", std::nullopt);
        return none();
    }
    printStackTrace(static_cast<ThrowableObject&>(*self), stream);
    return none();
}

Value throwableGetMessage(Env&, ClassInfo*, const ObjectPtr& self, const std::vector<Value>&) {
    auto& throwable = static_cast<ThrowableObject&>(*self);
    return throwable.message ? object(newString(*throwable.message)) : none();
}

Value throwableGetCause(Env&, ClassInfo*, const ObjectPtr& self, const std::vector<Value>&) {
    return object(static_cast<ThrowableObject&>(*self).cause);
}

Value throwableToString(Env&, ClassInfo*, const ObjectPtr& self, const std::vector<Value>&) {
    auto& throwable = static_cast<ThrowableObject&>(*self);
    std::wstring text = fromModifiedUtf8(externalClassName(throwable.cls->name));
    if (throwable.message) text += L": " + *throwable.message;
    return object(newString(text));
}

struct MethodSpec {
    const char* name;
    const char* signature;
    bool isStatic;
    NativeMethod native;
};

class Definer {
public:
    explicit Definer(Vm& state) : vm_(state) {}

    ClassInfo* define(const char* name, const char* super, std::vector<MethodSpec> methods = {}) {
        auto cls = std::make_unique<ClassInfo>();
        cls->name = name;
        cls->builtin = true;
        if (super) {
            cls->super = vm_.classes.at(super).get();
            cls->throwable = cls->super->throwable;
        }
        for (const MethodSpec& spec : methods) {
            auto method = std::make_unique<MethodInfo>();
            method->owner = cls.get();
            method->name = spec.name;
            method->signature = spec.signature;
            method->isStatic = spec.isStatic;
            method->parsed = *parseMethodSignature(spec.signature);
            method->native = spec.native;
            vm_.methods.insert(method.get());
            cls->methods.push_back(std::move(method));
        }
        ClassInfo* defined = cls.get();
        vm_.classes[name] = std::move(cls);
        return defined;
    }

    // Classes exist before java/lang/Class does; mirrors come last.
    void makeMirrors() {
        ClassInfo* classClass = vm_.classes.at("java/lang/Class").get();
        for (auto& [name, cls] : vm_.classes)
            cls->mirror = std::make_shared<ClassObject>(classClass, cls.get());
    }

private:
    Vm& vm_;
};

}  // namespace

void defineBuiltinClasses(Vm& state) {
    Definer d(state);
    d.define("java/lang/Object", nullptr,
             {{"<init>", "()V", false, objectInit},
              {"toString", "()Ljava/lang/String;", false, objectToString}});
    d.define("java/lang/Class", "java/lang/Object");
    d.define("java/lang/String", "java/lang/Object",
             {{"<init>", "([B)V", false, stringFromBytes},
              {"toString", "()Ljava/lang/String;", false, stringToString}});
    d.define("[B", "java/lang/Object");
    d.define("java/lang/System", "java/lang/Object",
             {{"setOut", "(Ljava/io/PrintStream;)V", true, systemSetOut},
              {"setErr", "(Ljava/io/PrintStream;)V", true, systemSetErr},
              {"exit", "(I)V", true, systemExitMethod}});
    d.define("java/io/OutputStream", "java/lang/Object");
    d.define("java/io/FileOutputStream", "java/io/OutputStream",
             {{"<init>", "(Ljava/lang/String;)V", false, fileOutputStreamInit}});
    d.define("java/io/ByteArrayOutputStream", "java/io/OutputStream",
             {{"<init>", "()V", false, byteArrayOutputStreamInit},
              {"toString", "()Ljava/lang/String;", false, byteArrayOutputStreamToString}});
    d.define("java/io/FilterOutputStream", "java/io/OutputStream");
    d.define("java/io/PrintStream", "java/io/FilterOutputStream",
             {{"<init>", "(Ljava/io/OutputStream;)V", false, printStreamInit},
              {"println", "(Ljava/lang/String;)V", false, printStreamPrintln}});
    d.define("java/io/Writer", "java/lang/Object");
    d.define("java/io/StringWriter", "java/io/Writer",
             {{"<init>", "()V", false, stringWriterInit},
              {"toString", "()Ljava/lang/String;", false, stringWriterToString}});
    d.define("java/io/PrintWriter", "java/io/Writer",
             {{"<init>", "(Ljava/io/Writer;)V", false, printWriterInit}});

    std::vector<MethodSpec> throwableMethods{
        {"<init>", "()V", false, throwableInit},
        {"<init>", "(Ljava/lang/String;)V", false, throwableInit},
        {"<init>", "(Ljava/lang/String;Ljava/lang/Throwable;)V", false, throwableInit},
        {"printStackTrace", "()V", false, throwablePrintStackTrace},
        {"printStackTrace", "(Ljava/io/PrintStream;)V", false, throwablePrintStackTrace},
        {"printStackTrace", "(Ljava/io/PrintWriter;)V", false, throwablePrintStackTrace},
        {"getMessage", "()Ljava/lang/String;", false, throwableGetMessage},
        {"getCause", "()Ljava/lang/Throwable;", false, throwableGetCause},
        {"toString", "()Ljava/lang/String;", false, throwableToString}};
    d.define("java/lang/Throwable", "java/lang/Object", throwableMethods)->throwable = true;

    // Every exception class has the constructors () and (String).
    std::vector<MethodSpec> constructors(throwableMethods.begin(), throwableMethods.begin() + 3);
    const char* const exceptions[][2] = {
        {"java/lang/Exception", "java/lang/Throwable"},
        {"java/lang/Error", "java/lang/Throwable"},
        {"java/lang/RuntimeException", "java/lang/Exception"},
        {"java/lang/ReflectiveOperationException", "java/lang/Exception"},
        {"java/lang/ClassNotFoundException", "java/lang/ReflectiveOperationException"},
        {"java/lang/InterruptedException", "java/lang/Exception"},
        {"java/io/IOException", "java/lang/Exception"},
        {"java/io/FileNotFoundException", "java/io/IOException"},
        {"java/lang/NullPointerException", "java/lang/RuntimeException"},
        {"java/lang/IllegalArgumentException", "java/lang/RuntimeException"},
        {"java/lang/IllegalStateException", "java/lang/RuntimeException"},
        {"java/lang/UnsupportedOperationException", "java/lang/RuntimeException"},
        {"java/lang/ArithmeticException", "java/lang/RuntimeException"},
        {"java/lang/ClassCastException", "java/lang/RuntimeException"},
        {"java/lang/SecurityException", "java/lang/RuntimeException"},
        {"java/lang/IndexOutOfBoundsException", "java/lang/RuntimeException"},
        {"java/lang/ArrayIndexOutOfBoundsException", "java/lang/IndexOutOfBoundsException"},
        {"java/lang/StringIndexOutOfBoundsException", "java/lang/IndexOutOfBoundsException"},
        {"java/lang/ArrayStoreException", "java/lang/RuntimeException"},
        {"java/lang/NegativeArraySizeException", "java/lang/RuntimeException"},
        {"java/lang/LinkageError", "java/lang/Error"},
        {"java/lang/NoClassDefFoundError", "java/lang/LinkageError"},
        {"java/lang/ClassFormatError", "java/lang/LinkageError"},
        {"java/lang/IncompatibleClassChangeError", "java/lang/LinkageError"},
        {"java/lang/NoSuchMethodError", "java/lang/IncompatibleClassChangeError"},
        {"java/lang/VirtualMachineError", "java/lang/Error"},
        {"java/lang/OutOfMemoryError", "java/lang/VirtualMachineError"},
        {"java/lang/StackOverflowError", "java/lang/VirtualMachineError"},
    };
    for (const auto& [name, super] : exceptions) d.define(name, super, constructors);
    d.makeMirrors();
}

}  // namespace testjvm
