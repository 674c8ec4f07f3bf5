#pragma once
// A JSON document written as it is built, indented by two blanks. Text in
// the ANSI code page is written as pure ASCII: every other character
// becomes a \u escape of its UTF-16 code unit, so the document reads the
// same whatever code page its reader assumes.

#include <cstdint>
#include <string>
#include <vector>

class JsonWriter {
public:
    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    void key(const char* name);

    void value(const std::string& text);
    void value(const std::wstring& text);
    void value(const char* text);
    void value(bool flag);
    void value(std::int64_t number);
    void null();

    template <typename T>
    void field(const char* name, const T& v) {
        key(name);
        value(v);
    }
    void field(const char* name, int number) { field(name, static_cast<std::int64_t>(number)); }
    void field(const char* name, unsigned number) { field(name, static_cast<std::int64_t>(number)); }
    void field(const char* name, std::uint64_t number) { field(name, static_cast<std::int64_t>(number)); }
    template <typename T>
    void stringArray(const char* name, const std::vector<T>& items) {
        key(name);
        beginArray();
        for (const T& item : items) value(item);
        endArray();
    }

    // The document, ending in a line feed once the outermost value is closed.
    const std::string& text() const { return out_; }

private:
    void beforeValue();
    void open(char bracket);
    void close(char bracket);
    void newLine();

    std::string out_;
    std::vector<bool> empty_;  // per open object or array: nothing in it yet
    bool afterKey_ = false;
};

// The text as a JSON string literal, quotes included.
std::string jsonString(const std::string& ansiText);
std::string jsonString(const std::wstring& text);
