#include "testjvm/Script.h"

#include <charconv>
#include <climits>

namespace testjvm {

const ScriptMethod* ClassScript::find(std::string_view name, std::string_view signature) const {
    for (const ScriptMethod& method : methods)
        if (method.name == name && method.signature == signature) return &method;
    return nullptr;
}

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::vector<std::string_view> words(std::string_view text) {
    std::vector<std::string_view> result;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && isBlank(text[i])) ++i;
        std::size_t start = i;
        while (i < text.size() && !isBlank(text[i])) ++i;
        if (i > start) result.push_back(text.substr(start, i - start));
    }
    return result;
}

bool toNumber(std::string_view text, long long low, long long high, long long& value) {
    if (text.empty()) return false;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && value >= low &&
           value <= high;
}

// Splits "KEYWORD rest": the keyword, and everything after the one blank that
// follows it (nothing when no blank follows).
void splitKeyword(std::string_view line, std::string_view& keyword,
                  std::optional<std::string_view>& rest) {
    std::size_t blank = 0;
    while (blank < line.size() && !isBlank(line[blank])) ++blank;
    keyword = line.substr(0, blank);
    rest.reset();
    if (blank < line.size()) rest = line.substr(blank + 1);
}

class Parser {
public:
    Parser(ClassScript& script, ScriptError& error) : script_(script), error_(error) {}

    bool line(std::string_view text, int number) {
        number_ = number;
        if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
        std::size_t first = 0;
        while (first < text.size() && isBlank(text[first])) ++first;
        if (first == text.size() || text[first] == '#') return true;
        if (first == 0) return header(text);
        if (script_.methods.empty()) return fail("a statement outside of any method");
        return statement(text.substr(first));
    }

private:
    bool fail(std::string message) {
        error_.line = number_;
        error_.message = std::move(message);
        return false;
    }

    bool header(std::string_view text) {
        std::vector<std::string_view> parts = words(text);
        ScriptMethod method;
        method.line = number_;
        if (parts.size() == 1 && parts[0] == "main") {
            method.name = "main";
            method.signature = "([Ljava/lang/String;)V";
        } else if (parts.size() == 2 && parts[0] == "secondaryMain" &&
                   (parts[1] == "void" || parts[1] == "int")) {
            method.name = "secondaryMain";
            method.signature = parts[1] == "void" ? "([Ljava/lang/String;)V"
                                                  : "([Ljava/lang/String;)I";
        } else if (parts.size() == 3 && parts[0] == "method") {
            method.name = std::string(parts[1]);
            method.signature = std::string(parts[2]);
        } else {
            return fail("unknown method header \"" + std::string(text) + "\"");
        }
        if (script_.find(method.name, method.signature))
            return fail("method " + method.name + method.signature + " is defined twice");
        script_.methods.push_back(std::move(method));
        return true;
    }

    bool statement(std::string_view text) {
        std::vector<Statement>& body = script_.methods.back().body;
        std::string_view keyword;
        std::optional<std::string_view> rest;
        splitKeyword(text, keyword, rest);
        std::vector<std::string_view> args = words(rest.value_or(std::string_view()));

        if (keyword == "cause") {
            if (body.empty() || body.back().kind != Statement::Kind::Throw)
                return fail("\"cause\" must follow \"throw\" or another \"cause\"");
            if (args.empty()) return fail("\"cause\" needs a class name");
            body.back().causes.push_back({std::string(args[0]), messageAfterClass(*rest)});
            return true;
        }
        if (!body.empty() && (body.back().kind == Statement::Kind::Throw ||
                              body.back().kind == Statement::Kind::Return))
            return fail("a statement after \"throw\" or \"return\" never runs");

        Statement statement;
        statement.line = number_;
        if (keyword == "out" || keyword == "err") {
            statement.kind = Statement::Kind::Print;
            statement.toError = keyword == "err";
            statement.text = std::string(rest.value_or(std::string_view()));
        } else if (keyword == "sleep") {
            statement.kind = Statement::Kind::Sleep;
            if (args.size() != 1 || !toNumber(args[0], 0, INT_MAX, statement.number))
                return fail("usage: sleep MILLISECONDS");
        } else if (keyword == "env" || keyword == "signal") {
            statement.kind = keyword == "env" ? Statement::Kind::Env : Statement::Kind::Signal;
            if (args.size() != 1) return fail("usage: " + std::string(keyword) + " NAME");
            statement.text = std::string(args[0]);
        } else if (keyword == "wait") {
            statement.kind = Statement::Kind::Wait;
            statement.number = 60000;
            if (args.empty() || args.size() > 2 ||
                (args.size() == 2 && !toNumber(args[1], 0, INT_MAX, statement.number)))
                return fail("usage: wait NAME [MILLISECONDS]");
            statement.text = std::string(args[0]);
        } else if (keyword == "thread" || keyword == "daemon") {
            statement.kind = Statement::Kind::Thread;
            statement.daemon = keyword == "daemon";
            if (!threadArguments(args, statement))
                return fail("usage: " + std::string(keyword) +
                            " MILLISECONDS|until NAME [exit CODE]");
        } else if (keyword == "exit") {
            statement.kind = Statement::Kind::Exit;
            if (args.size() != 1 || !toNumber(args[0], INT_MIN, UINT_MAX, statement.number))
                return fail("usage: exit CODE");
        } else if (keyword == "throw") {
            statement.kind = Statement::Kind::Throw;
            if (args.empty()) return fail("usage: throw CLASS [MESSAGE]");
            statement.text = std::string(args[0]);
            statement.message = messageAfterClass(*rest);
        } else if (keyword == "return") {
            statement.kind = Statement::Kind::Return;
            if (args.size() == 1 && args[0] == "args")
                statement.returnsArgumentCount = true;
            else if (args.size() > 1 ||
                     (args.size() == 1 && !toNumber(args[0], INT_MIN, INT_MAX, statement.number)))
                return fail("usage: return [VALUE|args]");
        } else {
            return fail("unknown statement \"" + std::string(keyword) + "\"");
        }
        body.push_back(std::move(statement));
        return true;
    }

    // "CLASS MESSAGE": the message is everything after the blank that follows
    // the class name; without that blank there is no message.
    static std::optional<std::string> messageAfterClass(std::string_view rest) {
        std::size_t start = 0;
        while (start < rest.size() && isBlank(rest[start])) ++start;
        std::size_t end = start;
        while (end < rest.size() && !isBlank(rest[end])) ++end;
        if (end == rest.size()) return std::nullopt;
        return std::string(rest.substr(end + 1));
    }

    static bool threadArguments(const std::vector<std::string_view>& args, Statement& statement) {
        std::size_t next = 0;
        if (args.size() >= 2 && args[0] == "until") {
            statement.untilEvent = true;
            statement.text = std::string(args[1]);
            next = 2;
        } else if (!args.empty() && toNumber(args[0], 0, INT_MAX, statement.number)) {
            next = 1;
        } else {
            return false;
        }
        if (next == args.size()) return true;
        long long code = 0;
        if (args.size() != next + 2 || args[next] != "exit" ||
            !toNumber(args[next + 1], INT_MIN, UINT_MAX, code))
            return false;
        statement.exitCode = code;
        return true;
    }

    ClassScript& script_;
    ScriptError& error_;
    int number_ = 0;
};

}  // namespace

bool parseClassScript(std::string_view text, int firstLine, ClassScript& script,
                      ScriptError& error) {
    script = {};
    Parser parser(script, error);
    int number = firstLine;
    for (std::size_t start = 0; start <= text.size(); ++number) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        if (!parser.line(text.substr(start, end - start), number)) return false;
        start = end + 1;
    }
    return true;
}

bool parseJar(std::string_view content, std::map<std::string, JarClass>& classes) {
    const std::string_view marker = "#testjvm-jar";
    classes.clear();
    std::size_t start = 0;
    int number = 1;
    bool inJar = false;
    JarClass* open = nullptr;
    std::map<std::string, JarClass> found;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        if (end == std::string_view::npos) end = content.size();
        std::string_view line = content.substr(start, end - start);
        std::string_view trimmed = line;
        while (!trimmed.empty() && (trimmed.back() == '\r' || isBlank(trimmed.back())))
            trimmed.remove_suffix(1);
        if (!inJar) {
            inJar = trimmed == marker;
        } else if (trimmed.substr(0, 6) == "class " && !words(trimmed.substr(6)).empty()) {
            std::string name(words(trimmed.substr(6))[0]);
            auto [it, added] = found.emplace(name, JarClass{{}, number + 1});
            open = added ? &it->second : nullptr;
        } else if (open) {
            open->text.append(line);
            open->text += '\n';
        }
        start = end + 1;
        ++number;
    }
    if (!inJar) return false;
    classes = std::move(found);
    return true;
}

}  // namespace testjvm
