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

namespace {

// Whether the bytes are UTF-8 holding at least one letter outside ASCII; a
// sequence cut off by the end of the bytes counts as whole.
bool isUtf8BeyondAscii(std::string_view bytes) {
    bool beyond = false;
    for (std::size_t i = 0; i < bytes.size();) {
        auto lead = static_cast<unsigned char>(bytes[i]);
        std::size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                             : lead >= 0xF0 && lead <= 0xF4               ? 4
                                                                          : 0;
        if (length == 0) return false;
        for (std::size_t k = 1; k < length && i + k < bytes.size(); ++k)
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
        beyond = beyond || length > 1;
        i += length;
    }
    return beyond;
}

}  // namespace

SettingsEncoding settingsEncodingOf(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xFE")) return SettingsEncoding::Utf16;
    if (bytes.starts_with("\xEF\xBB\xBF")) return SettingsEncoding::Utf8Bom;
    // UTF-16 text begins with an ASCII letter or bracket and a zero byte
    // (little-endian), or the other way round.
    if (bytes.size() >= 2 && (bytes[0] == '\0') != (bytes[1] == '\0')) return SettingsEncoding::Utf16NoBom;
    return isUtf8BeyondAscii(bytes) ? SettingsEncoding::Utf8 : SettingsEncoding::Ansi;
}
