#pragma once
// A parsed JSON document, for tests that read the output of tools. Strings
// come back in the ANSI code page (\u escapes included).

#include <string>
#include <utility>
#include <vector>

struct JsonValue {
    enum class Kind { Null, Bool, Number, String, Array, Object };
    Kind kind = Kind::Null;
    bool boolean = false;
    double number = 0;
    std::string text;
    std::vector<JsonValue> items;
    std::vector<std::pair<std::string, JsonValue>> members;

    bool has(const std::string& key) const;
    // The member or item; throws std::out_of_range when there is none.
    const JsonValue& operator[](const std::string& key) const;
    const JsonValue& operator[](std::size_t index) const;
    std::size_t size() const { return kind == Kind::Object ? members.size() : items.size(); }
    bool isNull() const { return kind == Kind::Null; }
    // The items of an array of strings.
    std::vector<std::string> strings() const;
};

// Throws std::runtime_error with the position for text that is not one JSON
// value.
JsonValue parseJson(const std::string& text);
