#include "harness/JsonValue.h"

#include <windows.h>

#include <stdexcept>

namespace {

class Parser {
public:
    explicit Parser(const std::string& text) : s_(text) {}

    JsonValue document() {
        JsonValue value = parse();
        skipBlanks();
        if (at_ != s_.size()) fail("text after the value");
        return value;
    }

private:
    [[noreturn]] void fail(const std::string& what) const {
        throw std::runtime_error("JSON: " + what + " at " + std::to_string(at_));
    }

    void skipBlanks() {
        while (at_ < s_.size() && (s_[at_] == ' ' || s_[at_] == '\n' || s_[at_] == '\r' || s_[at_] == '\t')) ++at_;
    }

    bool take(char c) {
        skipBlanks();
        if (at_ < s_.size() && s_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }

    void expect(char c) {
        if (!take(c)) fail(std::string("expected ") + c);
    }

    bool word(const char* w) {
        std::size_t n = std::char_traits<char>::length(w);
        if (s_.compare(at_, n, w) != 0) return false;
        at_ += n;
        return true;
    }

    std::string string() {
        expect('"');
        std::wstring wide;
        for (;;) {
            if (at_ >= s_.size()) fail("unterminated string");
            char c = s_[at_++];
            if (c == '"') break;
            if (c != '\\') {
                wide += static_cast<wchar_t>(static_cast<unsigned char>(c));
                continue;
            }
            if (at_ >= s_.size()) fail("unterminated escape");
            char e = s_[at_++];
            switch (e) {
            case '"': wide += L'"'; break;
            case '\\': wide += L'\\'; break;
            case '/': wide += L'/'; break;
            case 'b': wide += L'\b'; break;
            case 'f': wide += L'\f'; break;
            case 'n': wide += L'\n'; break;
            case 'r': wide += L'\r'; break;
            case 't': wide += L'\t'; break;
            case 'u':
                if (at_ + 4 > s_.size()) fail("short \\u escape");
                wide += static_cast<wchar_t>(std::stoul(s_.substr(at_, 4), nullptr, 16));
                at_ += 4;
                break;
            default: fail("unknown escape");
            }
        }
        if (wide.empty()) return {};
        int length = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                         nullptr, nullptr);
        std::string text(static_cast<std::size_t>(length), '\0');
        WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), text.data(), length, nullptr,
                            nullptr);
        return text;
    }

    JsonValue parse() {
        skipBlanks();
        if (at_ >= s_.size()) fail("expected a value");
        JsonValue v;
        char c = s_[at_];
        if (c == '{') {
            ++at_;
            v.kind = JsonValue::Kind::Object;
            if (take('}')) return v;
            do {
                skipBlanks();
                std::string key = string();
                expect(':');
                v.members.emplace_back(key, parse());
            } while (take(','));
            expect('}');
        } else if (c == '[') {
            ++at_;
            v.kind = JsonValue::Kind::Array;
            if (take(']')) return v;
            do v.items.push_back(parse());
            while (take(','));
            expect(']');
        } else if (c == '"') {
            v.kind = JsonValue::Kind::String;
            v.text = string();
        } else if (word("true")) {
            v.kind = JsonValue::Kind::Bool;
            v.boolean = true;
        } else if (word("false")) {
            v.kind = JsonValue::Kind::Bool;
        } else if (word("null")) {
            v.kind = JsonValue::Kind::Null;
        } else {
            std::size_t used = 0;
            v.kind = JsonValue::Kind::Number;
            v.number = std::stod(s_.substr(at_, 40), &used);
            at_ += used;
        }
        return v;
    }

    const std::string& s_;
    std::size_t at_ = 0;
};

}  // namespace

bool JsonValue::has(const std::string& key) const {
    for (const auto& member : members)
        if (member.first == key) return true;
    return false;
}

const JsonValue& JsonValue::operator[](const std::string& key) const {
    for (const auto& member : members)
        if (member.first == key) return member.second;
    throw std::out_of_range("JSON: no member " + key);
}

const JsonValue& JsonValue::operator[](std::size_t index) const { return items.at(index); }

std::vector<std::string> JsonValue::strings() const {
    std::vector<std::string> texts;
    for (const JsonValue& item : items) texts.push_back(item.text);
    return texts;
}

JsonValue parseJson(const std::string& text) { return Parser(text).document(); }
