#include "base/AnsiText.h"

#include <windows.h>

namespace ansi {

std::size_t next(const std::string& text, std::size_t pos) {
    if (pos >= text.size()) return text.size();
    const char* start = text.c_str();
    const char* after = CharNextA(start + pos);
    std::size_t index = static_cast<std::size_t>(after - start);
    // CharNextA does not move at an embedded zero byte.
    if (index <= pos) index = pos + 1;
    return index < text.size() ? index : text.size();
}

bool isSpace(const std::string& text, std::size_t pos) {
    if (pos >= text.size()) return false;
    int length = static_cast<int>(next(text, pos) - pos);
    WORD types[2] = {0, 0};
    if (!GetStringTypeExA(GetThreadLocale(), CT_CTYPE1, text.c_str() + pos, length, types))
        return false;
    return (types[0] & C1_SPACE) != 0;
}

bool isSpace(wchar_t c) {
    WORD types[1] = {0};
    if (!GetStringTypeExW(GetThreadLocale(), CT_CTYPE1, &c, 1, types)) return false;
    return (types[0] & C1_SPACE) != 0;
}

}  // namespace ansi
