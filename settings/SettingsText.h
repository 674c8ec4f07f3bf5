#pragma once
// The text rules of settings values: the ";"-separated list, and how a value
// of a "+" section extends the value before it. Plain functions with no
// Windows calls.

#include <string>
#include <string_view>
#include <vector>

// Splits at every ";": empty items between separators count, a separator at
// the end adds no item, an empty text gives no items.
std::vector<std::string> splitList(const std::string& text);

// Appends a plus-section value: one blank between, unless the value itself
// begins with a blank.
std::string joinPlusValue(const std::string& result, const std::string& plusValue);

// How a settings file's bytes are encoded, as far as its beginning tells.
// Windows' settings reader takes UTF-16 with a byte-order mark, and ANSI
// text otherwise: a UTF-8 byte-order mark becomes part of the first line
// (the first section is not found), and UTF-8 letters outside ASCII are read
// as ANSI characters.
enum class SettingsEncoding {
    Ansi,        // or ASCII, or empty
    Utf16,       // with its byte-order mark
    Utf16NoBom,  // zero bytes between ASCII letters: read as ANSI, nothing is found
    Utf8Bom,
    Utf8,        // valid UTF-8 with letters outside ASCII, no byte-order mark
};
SettingsEncoding settingsEncodingOf(std::string_view bytes);
