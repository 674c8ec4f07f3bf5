// ansi:: for the native fuzzing build. Set ANSI_DOUBLE_BYTE=1 to step
// through text as a double-byte code page does (lead bytes 0x81 to 0xFE take
// the next byte with them); otherwise every byte is one character. White
// space is the C locale's.
#include <cstdlib>

#include "base/AnsiText.h"
#include "base/Argument.h"

namespace {

bool doubleByte() {
    static const bool enabled = [] {
        const char* value = std::getenv("ANSI_DOUBLE_BYTE");
        return value && value[0] == '1';
    }();
    return enabled;
}

bool isLeadByte(char c) {
    auto byte = static_cast<unsigned char>(c);
    return byte >= 0x81 && byte <= 0xFE;
}

}  // namespace

namespace ansi {

std::size_t next(const std::string& text, std::size_t pos) {
    if (pos >= text.size()) return text.size();
    // As CharNextA: a lead byte takes the next byte with it unless that one
    // ends the text.
    if (doubleByte() && isLeadByte(text[pos]) && pos + 1 < text.size() && text[pos + 1] != '\0')
        return pos + 2;
    return pos + 1;
}

bool isSpace(const std::string& text, std::size_t pos) {
    if (pos >= text.size()) return false;
    if (next(text, pos) - pos != 1) return false;
    switch (text[pos]) {
    case ' ': case '\t': case '\n': case '\v': case '\f': case '\r':
        return true;
    default:
        return false;
    }
}

bool isSpace(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r';
}

}  // namespace ansi

// The wide command line's arguments, for the native build: characters beyond
// ASCII keep their wide form, as those the ANSI code page cannot spell do.
Argument argumentOf(const std::wstring& text) {
    Argument argument;
    bool ascii = true;
    for (wchar_t c : text) {
        ascii = ascii && static_cast<unsigned>(c) < 0x80;
        argument.text += static_cast<unsigned>(c) < 0x80 ? static_cast<char>(c) : '?';
    }
    if (!ascii) argument.wide = text;
    return argument;
}
