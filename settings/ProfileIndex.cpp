#include "settings/ProfileIndex.h"

namespace {

bool isBlank(wchar_t c) { return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == L' '; }

bool isLineEnd(wchar_t c) { return c == L'\n' || c == L'\r'; }

wchar_t folded(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 32) : c; }

}  // namespace

bool isUtf16Settings(std::string_view bytes) { return bytes.starts_with("\xFF\xFE"); }

std::wstring utf16SettingsText(std::string_view bytes) {
    std::wstring text(bytes.size() > 2 ? (bytes.size() - 1) / 2 : 0, L'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned low = static_cast<unsigned char>(bytes[2 * i + 2]);
        unsigned high = 2 * i + 3 < bytes.size() ? static_cast<unsigned char>(bytes[2 * i + 3]) : 0;
        text[i] = static_cast<wchar_t>(low | high << 8);
    }
    return text;
}

ProfileIndex::ProfileIndex(std::wstring text) : text_(std::move(text)) {
    const wchar_t* t = text_.data();
    const std::size_t size = text_.size();
    std::size_t lines = 1;
    for (std::size_t i = 0; i < size; ++i) lines += isLineEnd(t[i]);
    entries_.reset(new Entry[lines]);
    for (std::size_t next = 0; next < size;) {
        std::size_t start = next;
        while (next < size && !isLineEnd(t[next])) ++next;
        std::size_t end = next;
        while (next < size && isLineEnd(t[next])) ++next;
        while (start < end && isBlank(t[start])) ++start;
        while (end > start && isBlank(t[end - 1])) --end;
        if (start == end) continue;
        if (t[start] == L'[') {
            std::size_t close = start + 1;
            while (close < end && t[close] != L']') ++close;
            add(start + 1, close, kSection, 0);
            continue;
        }
        std::size_t equals = start;
        while (equals < end && t[equals] != L'=') ++equals;
        std::size_t value = equals + 1;
        while (value < end && isBlank(t[value])) ++value;
        add(start, equals, equals < end ? value : kNoValue, end);
    }
}

// Keeps an entry: its name without blanks around it, name and value cut at
// a NUL character.
void ProfileIndex::add(std::size_t name, std::size_t nameEnd, std::size_t value, std::size_t valueEnd) {
    const wchar_t* t = text_.data();
    while (name < nameEnd && isBlank(t[name])) ++name;
    while (nameEnd > name && isBlank(t[nameEnd - 1])) --nameEnd;
    std::size_t nameLength = 0, valueLength = 0;
    while (name + nameLength < nameEnd && t[name + nameLength]) ++nameLength;
    while (value < kNoValue && value + valueLength < valueEnd && t[value + valueLength]) ++valueLength;
    entries_[count_++] = {static_cast<std::uint32_t>(name), static_cast<std::uint32_t>(nameLength),
                          static_cast<std::uint32_t>(value), static_cast<std::uint32_t>(valueLength)};
}

bool ProfileIndex::named(const Entry& entry, std::wstring_view name) const {
    if (entry.nameLength != name.size()) return false;
    const wchar_t* text = text_.data() + entry.name;
    for (std::size_t i = 0; i < name.size(); ++i)
        if (folded(text[i]) != folded(name[i])) return false;
    return true;
}

bool ProfileIndex::find(std::wstring_view section, std::wstring_view key, std::wstring_view& value) const {
    bool inSection = false;
    for (std::size_t i = 0; i < count_; ++i) {
        const Entry& entry = entries_[i];
        if (entry.value == kSection) {
            // Only the first section of the name is searched.
            if (inSection) return false;
            inSection = named(entry, section);
        } else if (inSection && named(entry, key)) {
            if (entry.value == kNoValue) return false;
            value = std::wstring_view(text_.data() + entry.value, entry.valueLength);
            return true;
        }
    }
    return false;
}

std::wstring_view ProfileIndex::value(std::wstring_view section, std::wstring_view key, std::size_t limit) const {
    std::wstring_view value;
    if (!find(section, key, value)) return {};
    if (value.size() >= 2 && (value[0] == L'"' || value[0] == L'\'') && value.back() == value[0])
        value = value.substr(1, value.size() - 2);
    return value.substr(0, limit);
}
