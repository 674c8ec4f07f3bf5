#include "settings/JavaVersion.h"

#include "base/AnsiText.h"

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }


std::size_t findDigit(const std::string& text, std::size_t from) {
    for (std::size_t i = from; i < text.size(); i = ansi::next(text, i)) {
        if (isDigit(text[i])) return i;
    }
    return std::string::npos;
}

}  // namespace

bool JavaVersion::parse(const std::string& text, std::int32_t fill, JavaVersion& version) {
    version = JavaVersion();
    std::size_t at = findDigit(text, 0);
    if (at == std::string::npos) return false;

    JavaVersion read;
    while (at != std::string::npos && read.count < 4) {
        std::int64_t value = 0;
        for (; at < text.size() && isDigit(text[at]); ++at) {
            value = value * 10 + (text[at] - '0');
            if (value > 2147483647) return false;
        }
        read.parts[read.count++] = static_cast<std::int32_t>(value);
        at = findDigit(text, at);
    }
    for (int i = read.count; i < 4; ++i) read.parts[i] = fill;
    version = read;
    return true;
}

int compare(const JavaVersion& a, const JavaVersion& b) {
    for (int i = 0; i < 4; ++i) {
        if (a.parts[i] < b.parts[i]) return -1;
        if (a.parts[i] > b.parts[i]) return 1;
    }
    return 0;
}

bool isUnbounded(const JavaVersion& v) {
    bool allZero = true;
    bool allMax = true;
    for (std::int32_t part : v.parts) {
        allZero = allZero && part == 0;
        allMax = allMax && part == kVersionFillMax;
    }
    return allZero || allMax;
}

// Equal in all four parts, or equal in the pattern's first count parts when
// the candidate names at least that many.
bool matches(const JavaVersion& candidate, const JavaVersion& pattern) {
    if (compare(candidate, pattern) == 0) return true;
    if (pattern.count == 0 || pattern.count > candidate.count) return false;
    for (int i = 0; i < pattern.count; ++i) {
        if (candidate.parts[i] != pattern.parts[i]) return false;
    }
    return true;
}

std::string toText(const JavaVersion& v) {
    int last = -1;
    for (int i = 0; i < 4; ++i) {
        if (v.parts[i] != 0 && v.parts[i] != kVersionFillMax) last = i;
    }
    if (last < 0) return "0.0.0.0";
    if (last < 1) last = 1;
    std::string text;
    for (int i = 0; i <= last; ++i) text += (i ? "." : "") + ansi::decimal(v.parts[i]);
    return text;
}
