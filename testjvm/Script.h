#pragma once
// The scripts that stand in for Java classes, and the text "jars" that hold
// several of them. testjvm/README.md describes the language.

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace testjvm {

struct ScriptCause {
    std::string className;               // internal form, as written
    std::optional<std::string> message;  // ANSI bytes; none: null message
};

struct Statement {
    enum class Kind { Print, Sleep, Env, Wait, Signal, Thread, Exit, Throw, Return };
    Kind kind = Kind::Return;
    int line = 0;
    bool toError = false;        // Print: System.err instead of System.out
    bool daemon = false;         // Thread
    bool untilEvent = false;     // Thread: lives until the event `name` is set
    bool returnsArgumentCount = false;  // Return: "return args"
    std::string text;            // Print: the line; Env, Wait, Signal, Thread: the name;
                                 // Throw: the class
    std::optional<std::string> message;  // Throw
    std::vector<ScriptCause> causes;     // Throw: the cause, its cause, ...
    long long number = 0;        // Sleep, Wait, Thread: milliseconds; Exit: the code;
                                 // Return: the value
    std::optional<long long> exitCode;  // Thread: calls System.exit at its end
};

struct ScriptMethod {
    std::string name;
    std::string signature;
    int line = 0;
    std::vector<Statement> body;
};

struct ClassScript {
    std::vector<ScriptMethod> methods;
    const ScriptMethod* find(std::string_view name, std::string_view signature) const;
};

struct ScriptError {
    int line = 0;
    std::string message;
};

// Parses the text of one class; the first line of text has the number
// firstLine (line numbers appear in errors and in stack frames).
bool parseClassScript(std::string_view text, int firstLine, ClassScript& script,
                      ScriptError& error);

struct JarClass {
    std::string text;
    int firstLine = 1;
};

// The classes of a test jar: a file with a line "#testjvm-jar", after which
// each line "class NAME" starts the script of class NAME. Gives false for a
// file without that line (not a test jar). A class named twice: the first
// one counts.
bool parseJar(std::string_view content, std::map<std::string, JarClass>& classes);

}  // namespace testjvm
