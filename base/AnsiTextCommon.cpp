// The parts of ansi:: that only need next() and isSpace(); shared by the
// Windows build and the native stand-in.
#include "base/AnsiText.h"

namespace ansi {

std::size_t find(const std::string& text, char c, std::size_t from) {
    for (std::size_t i = from; i < text.size(); i = next(text, i)) {
        if (text[i] == c) return i;
    }
    return npos;
}

std::size_t findLast(const std::string& text, char c) {
    std::size_t found = npos;
    for (std::size_t i = 0; i < text.size(); i = next(text, i)) {
        if (text[i] == c) found = i;
    }
    return found;
}

std::string trim(const std::string& text) {
    std::size_t begin = 0;
    while (begin < text.size() && isSpace(text, begin)) begin = next(text, begin);
    std::size_t end = begin;
    for (std::size_t i = begin; i < text.size();) {
        std::size_t after = next(text, i);
        if (!isSpace(text, i)) end = after;
        i = after;
    }
    return text.substr(begin, end - begin);
}

std::wstring trim(const std::wstring& text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isSpace(text[begin])) ++begin;
    while (end > begin && isSpace(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

std::string replaceAll(const std::string& text, char from, char to) {
    std::string result = text;
    for (std::size_t i = 0; i < result.size(); i = next(result, i)) {
        if (result[i] == from) result[i] = to;
    }
    return result;
}

std::string decimal(int value) {
    unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    std::string digits;
    do {
        digits.insert(digits.begin(), static_cast<char>('0' + magnitude % 10));
        magnitude /= 10;
    } while (magnitude != 0);
    return value < 0 ? "-" + digits : digits;
}

}  // namespace ansi
