#include "settings/SettingsText.h"

#include "base/AnsiText.h"

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

std::string joinPlusValue(const std::string& result, const std::string& plusValue) {
    if (plusValue.empty()) return result;
    if (plusValue[0] == ' ') return result + plusValue;
    return result + " " + plusValue;
}
