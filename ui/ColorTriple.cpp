#include "ui/ColorTriple.h"

#include <cstdint>

#include "base/AnsiText.h"

namespace {

// Reads one number of a colour part: blanks, an optional sign, then digits
// up to the first other character. No digits give 0.
std::int32_t readColorNumber(const std::string& text, std::size_t from, std::size_t to) {
    std::size_t at = from;
    while (at < to && text[at] == ' ') ++at;
    bool negative = false;
    if (at < to && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    std::uint32_t value = 0;
    for (; at < to && text[at] >= '0' && text[at] <= '9'; ++at)
        value = value * 10 + static_cast<std::uint32_t>(text[at] - '0');
    if (negative) value = 0u - value;
    return static_cast<std::int32_t>(value);
}

}  // namespace

bool parseColorTriple(const std::string& text, COLORREF& color) {
    std::size_t first = ansi::find(text, ',');
    if (first == ansi::npos) return false;
    std::size_t second = ansi::find(text, ',', first + 1);
    if (second == ansi::npos) return false;
    if (second + 1 >= text.size()) return false;
    std::int32_t red = readColorNumber(text, 0, first);
    std::int32_t green = readColorNumber(text, first + 1, second);
    std::int32_t blue = readColorNumber(text, second + 1, text.size());
    if (red == -1 || green == -1) return false;
    color = RGB(red & 0xFF, green & 0xFF, blue & 0xFF);
    return true;
}
