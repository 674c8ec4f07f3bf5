// The settings index over any bytes (ANSI text a character a byte, or UTF-16
// after its mark): every name a line holds is asked for; what is found lies
// in the text, after the blanks, within one line, before any NUL, and reads the
// same under names in other ASCII case and (less blanks a NUL left at its end)
// from a file that holds only it.
#include <algorithm>
#include <vector>

#include "FuzzInput.h"
#include "settings/ProfileIndex.h"

namespace {

bool isBlank(wchar_t c) { return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == L' '; }

std::wstring trimmed(std::wstring_view text) {
    text = text.substr(0, text.find(L'\0'));
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return std::wstring(text);
}

std::wstring otherCase(std::wstring text) {
    for (wchar_t& c : text)
        if ((c | 0x20) >= L'a' && (c | 0x20) <= L'z') c ^= 0x20;
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string bytes = fuzzText(data, size);
    std::wstring text = isUtf16Settings(bytes) ? utf16SettingsText(bytes) : std::wstring(data, data + size);
    ProfileIndex index(text);

    std::vector<std::wstring> sections, keys;
    for (std::size_t start = 0; start < text.size() && sections.size() + keys.size() < 16;) {
        std::size_t end = std::min(text.find_first_of(L"\r\n", start), text.size());
        std::wstring line = trimmed(std::wstring_view(text).substr(start, end - start));
        if (line.starts_with(L'['))
            sections.push_back(trimmed(std::wstring_view(line).substr(1, line.find(L']') - 1)));
        else if (!line.empty())
            keys.push_back(trimmed(std::wstring_view(line).substr(0, line.find(L'='))));
        start = end + 1;
    }
    for (const std::wstring& section : sections) {
        for (const std::wstring& key : keys) {
            std::wstring_view value, again;
            if (!index.find(section, key, value)) {
                FUZZ_CHECK(index.value(section, key, 100).empty());
                continue;
            }
            FUZZ_CHECK(text.find(value) != std::wstring::npos);
            FUZZ_CHECK(value.find_first_of(std::wstring_view(L"\r\n\0", 3)) == std::wstring_view::npos);
            FUZZ_CHECK(value.empty() || !isBlank(value.front()));
            FUZZ_CHECK(index.find(otherCase(section), otherCase(key), again) && again == value);
            ProfileIndex alone(L"[" + section + L"]\n" + key + L"=" + std::wstring(value));
            FUZZ_CHECK(alone.find(section, key, again) && again == trimmed(value));
            std::wstring_view cut = index.value(section, key, 8);
            FUZZ_CHECK(cut.size() <= 8 && value.find(cut) <= 1);
        }
    }
    return 0;
}
