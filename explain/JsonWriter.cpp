#include "explain/JsonWriter.h"

#include "base/WideText.h"

std::string jsonString(const std::string& text) { return jsonString(toWide(text)); }

std::string jsonString(const std::wstring& wide) {
    static const char hex[] = "0123456789abcdef";
    std::string out = "\"";
    for (wchar_t c : wide) {
        switch (c) {
        case L'"': out += "\\\""; break;
        case L'\\': out += "\\\\"; break;
        case L'\n': out += "\\n"; break;
        case L'\r': out += "\\r"; break;
        case L'\t': out += "\\t"; break;
        default:
            if (c >= 0x20 && c < 0x7F) {
                out += static_cast<char>(c);
            } else {
                auto unit = static_cast<unsigned>(c);
                out += "\\u";
                for (int shift = 12; shift >= 0; shift -= 4) out += hex[(unit >> shift) & 0xF];
            }
        }
    }
    return out + "\"";
}

void JsonWriter::newLine() {
    out_ += '\n';
    out_.append(empty_.size() * 2, ' ');
}

void JsonWriter::beforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (empty_.empty()) return;
    if (!empty_.back()) out_ += ',';
    empty_.back() = false;
    newLine();
}

void JsonWriter::open(char bracket) {
    beforeValue();
    out_ += bracket;
    empty_.push_back(true);
}

void JsonWriter::close(char bracket) {
    bool wasEmpty = empty_.back();
    empty_.pop_back();
    if (!wasEmpty) newLine();
    out_ += bracket;
    if (empty_.empty()) out_ += '\n';
}

void JsonWriter::beginObject() { open('{'); }
void JsonWriter::endObject() { close('}'); }
void JsonWriter::beginArray() { open('['); }
void JsonWriter::endArray() { close(']'); }

void JsonWriter::key(const char* name) {
    beforeValue();
    out_ += jsonString(name) + ": ";
    afterKey_ = true;
}

void JsonWriter::value(const std::string& text) {
    beforeValue();
    out_ += jsonString(text);
}

void JsonWriter::value(const std::wstring& text) {
    beforeValue();
    out_ += jsonString(text);
}

void JsonWriter::value(const char* text) { value(std::string(text)); }

void JsonWriter::value(bool flag) {
    beforeValue();
    out_ += flag ? "true" : "false";
}

void JsonWriter::value(std::int64_t number) {
    beforeValue();
    out_ += std::to_string(number);
}

void JsonWriter::null() {
    beforeValue();
    out_ += "null";
}
