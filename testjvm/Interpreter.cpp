// Runs the statements of script methods, and the threads they start.
#include "testjvm/JavaText.h"
#include "testjvm/Runtime.h"
#include "testjvm/TraceWriter.h"

namespace testjvm {

namespace {

// A named, manual-reset event shared with the test (created if missing).
HANDLE namedEvent(const std::string& name) { return CreateEventA(nullptr, TRUE, FALSE, name.c_str()); }

struct ThreadStart {
    Statement statement;
    std::string name;
};

DWORD WINAPI scriptThreadMain(void* parameter) {
    std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(parameter));
    const Statement& statement = start->statement;
    Env* env = nullptr;
    {
        Lock lock(vm().mutex);
        env = attachCurrentThread(start->name, statement.daemon, true);
        if (!statement.daemon) --vm().startingThreads;
    }
    traceEvent("thread-begin", {{"name", start->name}, {"daemon", statement.daemon ? "1" : "0"}});
    if (statement.untilEvent) {
        HANDLE event = namedEvent(statement.text);
        WaitForSingleObject(event, INFINITE);
        CloseHandle(event);
    } else {
        Sleep(static_cast<DWORD>(statement.number));
    }
    if (statement.exitCode) systemExit(*statement.exitCode);
    traceEvent("thread-end", {{"name", start->name}});
    Lock lock(vm().mutex);
    detachEnv(*env);
    return 0;
}

std::wstring frameOf(const MethodInfo& method, int line) {
    const std::string& cls = method.owner->name;
    std::string simple = cls.substr(cls.rfind('/') + 1);
    simple = simple.substr(0, simple.find('$'));
    return fromModifiedUtf8(externalClassName(cls) + "." + method.name + "(" + simple +
                            ".java:" + std::to_string(line) + ")");
}

std::optional<std::wstring> javaMessage(const std::optional<std::string>& ansi) {
    if (!ansi) return std::nullopt;
    return fromAnsi(*ansi);
}

class ScriptRun {
public:
    ScriptRun(Lock& lock, Env& env, MethodInfo& method) : lock_(lock), env_(env), method_(method) {}

    // Called with the lock held; gives it back held.
    Value run(const std::vector<Value>& args) {
        std::vector<TraceField> entered = timestampFields();
        std::vector<TraceField> fields{{"class", method_.owner->name},
                                       {"method", method_.name},
                                       {"signature", method_.signature}};
        recordArguments(args, fields);
        for (TraceField& field : entered) fields.push_back(std::move(field));
        lock_.unlock();
        traceEvent("call", std::move(fields));

        Value result;
        for (const Statement& statement : method_.script->body) {
            if (!execute(statement, result)) break;
        }

        std::vector<TraceField> end{{"class", method_.owner->name}, {"method", method_.name}};
        if (thrown_) {
            end.push_back({"exception", thrown_->cls->name});
            if (thrown_->message) end.push_back({"message", toAnsi(*thrown_->message)});
            traceEvent("throw", std::move(end));
        } else {
            if (method_.parsed.result != JavaType::Void)
                end.push_back({"value", std::to_string(result.integer)});
            traceEvent("return", std::move(end));
        }
        lock_.lock();
        if (thrown_) env_.pending = thrown_;
        return thrown_ ? Value{} : result;
    }

private:
    void recordArguments(const std::vector<Value>& args, std::vector<TraceField>& fields) {
        const auto& descriptors = method_.parsed.descriptors;
        if (descriptors.size() != 1 || descriptors[0] != "[Ljava/lang/String;") return;
        auto* array = dynamic_cast<const ObjectArrayObject*>(args[0].object.get());
        if (!array) {
            fields.push_back({"args", "null"});
            return;
        }
        argumentCount_ = static_cast<long long>(array->elements.size());
        fields.push_back({"args", std::to_string(argumentCount_)});
        for (std::size_t i = 0; i < array->elements.size(); ++i) {
            if (auto* text = dynamic_cast<const StringObject*>(array->elements[i].get())) {
                fields.push_back({"arg" + std::to_string(i), toAnsi(text->chars)});
                // Characters the ANSI code page cannot spell: the text in UTF-8 too.
                if (fromAnsi(toAnsi(text->chars)) != text->chars)
                    fields.push_back({"arg" + std::to_string(i) + "-utf8", toUtf8(text->chars)});
            }
        }
    }

    // Gives false when the method ends here.
    bool execute(const Statement& statement, Value& result) {
        switch (statement.kind) {
        case Statement::Kind::Print: return print(statement);
        case Statement::Kind::Sleep:
            Sleep(static_cast<DWORD>(statement.number));
            return true;
        case Statement::Kind::Env: {
            std::vector<TraceField> fields{{"name", statement.text}};
            DWORD size = GetEnvironmentVariableA(statement.text.c_str(), nullptr, 0);
            if (size > 0) {
                std::string value(size, '\0');
                DWORD length = GetEnvironmentVariableA(statement.text.c_str(), value.data(), size);
                value.resize(length);
                fields.push_back({"value", value});
            }
            traceEvent("env", std::move(fields));
            return true;
        }
        case Statement::Kind::Wait: {
            HANDLE event = namedEvent(statement.text);
            DWORD outcome = WaitForSingleObject(event, static_cast<DWORD>(statement.number));
            CloseHandle(event);
            traceEvent("wait", {{"name", statement.text},
                                {"result", outcome == WAIT_OBJECT_0 ? "signaled" : "timeout"}});
            return true;
        }
        case Statement::Kind::Signal: {
            // The handle stays open so that the event outlives this call
            // even when the test has not opened it yet.
            SetEvent(namedEvent(statement.text));
            traceEvent("signal", {{"name", statement.text}});
            return true;
        }
        case Statement::Kind::Thread: return startThread(statement);
        case Statement::Kind::Exit: systemExit(statement.number);
        case Statement::Kind::Throw: {
            Lock lock(vm().mutex);
            std::vector<std::wstring> frames{frameOf(method_, statement.line)};
            thrown_ = makeThrowable(statement.text, javaMessage(statement.message));
            thrown_->frames = frames;
            ThrowableObject* last = thrown_.get();
            for (const ScriptCause& cause : statement.causes) {
                last->cause = makeThrowable(cause.className, javaMessage(cause.message));
                last->cause->frames = frames;
                last = last->cause.get();
            }
            return false;
        }
        case Statement::Kind::Return:
            result.integer = statement.returnsArgumentCount ? argumentCount_ : statement.number;
            return false;
        }
        return true;
    }

    bool print(const Statement& statement) {
        std::wstring text = fromAnsi(statement.text);
        Lock lock(vm().mutex);
        ObjectPtr stream = statement.toError ? vm().systemErr : vm().systemOut;
        if (!stream) {
            thrown_ = makeThrowable("java/lang/NullPointerException", std::nullopt);
            thrown_->frames = {frameOf(method_, statement.line)};
            return false;
        }
        writeBytes(stream, toAnsi(text + L"\r\n"));
        std::vector<TraceField> fields{{"stream", statement.toError ? "err" : "out"}};
        for (TraceField& target : describeTarget(stream)) fields.push_back(std::move(target));
        fields.push_back({"text", toAnsi(text)});
        lock.unlock();
        traceEvent("print", std::move(fields));
        return true;
    }

    bool startThread(const Statement& statement) {
        Lock lock(vm().mutex);
        auto* start = new ThreadStart{statement, nextThreadName()};
        if (!statement.daemon) ++vm().startingThreads;
        HANDLE thread = CreateThread(nullptr, 0, scriptThreadMain, start, 0, nullptr);
        if (!thread) {
            if (!statement.daemon) --vm().startingThreads;
            delete start;
            thrown_ = makeThrowable("java/lang/OutOfMemoryError",
                                    L"unable to create native thread");
            thrown_->frames = {frameOf(method_, statement.line)};
            return false;
        }
        CloseHandle(thread);
        return true;
    }

    Lock& lock_;
    Env& env_;
    MethodInfo& method_;
    long long argumentCount_ = 0;
    std::shared_ptr<ThrowableObject> thrown_;
};

}  // namespace

Value runScript(Lock& lock, Env& env, MethodInfo& method, const std::vector<Value>& args) {
    return ScriptRun(lock, env, method).run(args);
}

}  // namespace testjvm
