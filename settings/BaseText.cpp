#include "settings/BaseText.h"

#include <windows.h>

#include "launcher/AnsiText.h"

std::vector<std::string> splitList(const std::string& text) {
    std::vector<std::string> items;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t separator = ansi::find(text, ';', start);
        if (separator == ansi::npos) {
            items.push_back(text.substr(start));
            break;
        }
        items.push_back(text.substr(start, separator - start));
        start = separator + 1;
    }
    return items;
}

namespace {

// For the section-header test every control character, the blank and every
// byte from 0x80 up count as blank.
bool isHeaderBlank(char c) {
    auto byte = static_cast<unsigned char>(c);
    return byte <= 0x20 || byte >= 0x80;
}

bool isSectionHeader(const std::string& line) {
    std::size_t first = 0;
    while (first < line.size() && isHeaderBlank(line[first])) ++first;
    std::size_t last = line.size();
    while (last > first && isHeaderBlank(line[last - 1])) --last;
    return first < last && line[first] == '[' && line[last - 1] == ']' && last - first >= 2;
}

}  // namespace

std::vector<BaseSection> parseBaseText(const std::string& text) {
    std::vector<BaseSection> sections;
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }

    for (const std::string& line : lines) {
        if (line.empty()) continue;
        if (isSectionHeader(line)) {
            std::size_t open = line.find('[');
            std::size_t close = line.rfind(']');
            sections.push_back({line.substr(open + 1, close - open - 1), {}});
            continue;
        }
        if (sections.empty()) continue;
        std::size_t equals = ansi::find(line, '=');
        if (equals == ansi::npos) continue;
        sections.back().entries.push_back(
            {ansi::trim(line.substr(0, equals)), ansi::trim(line.substr(equals + 1))});
    }
    return sections;
}

const std::string* findBaseValue(const std::vector<BaseSection>& base, const std::string& section,
                                 const std::string& key) {
    for (const BaseSection& candidate : base) {
        if (lstrcmpA(candidate.name.c_str(), section.c_str()) != 0) continue;
        for (const BaseEntry& entry : candidate.entries) {
            if (lstrcmpA(entry.key.c_str(), key.c_str()) == 0) return &entry.value;
        }
        return nullptr;
    }
    return nullptr;
}

std::string joinPlusValue(const std::string& result, const std::string& plusValue) {
    if (plusValue.empty()) return result;
    if (plusValue[0] == ' ') return result + plusValue;
    return result + " " + plusValue;
}
