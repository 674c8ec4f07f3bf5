#pragma once
// The sections and keys of a settings file, found once in its text, and the
// values Windows' own settings reader gives for them. Plain functions with no
// Windows calls: the caller reads the file and turns its bytes into UTF-16.
//
// The text is taken as the reader takes it:
// - lines end at any run of CR and LF characters (a lone CR ends one too);
// - blanks (tab, LF, VT, FF, CR, space and ^Z) around a line, around a
//   name and before a value do not count;
// - a line that begins with "[" starts a section, named by the text up to
//   its first "]" or up to the line's end;
// - any other line is a key: the name before its first "=", the value after
//   it; a line without "=" is a key without a value, found like the others
//   (a later key of its name is never reached) and read as missing;
// - a name or value ends at a NUL character;
// - names are matched ASCII letters in any case, other characters exactly;
//   the first section of a name is the only one searched, and the first key
//   of a name in it is the one found.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// The bytes of a UTF-16 settings file: they begin with the little-endian
// byte-order mark. (A big-endian mark is ANSI text to the reader.)
bool isUtf16Settings(std::string_view bytes);
// The text of a UTF-16 settings file, after its mark; an odd last byte is a
// character of its own.
std::wstring utf16SettingsText(std::string_view bytes);

class ProfileIndex {
public:
    ProfileIndex() = default;
    explicit ProfileIndex(std::wstring text);

    // The value of key in section as written (between the blanks), false
    // when the file has no such section, the section no such key, or the key
    // no "=".
    bool find(std::wstring_view section, std::wstring_view key, std::wstring_view& value) const;
    // The value as the reader gives it: one pair of the same quotes (' or ")
    // around the whole value removed, then at most limit characters; empty
    // when missing.
    std::wstring_view value(std::wstring_view section, std::wstring_view key, std::size_t limit) const;

private:
    // A section (value kSection) or a key (value kNoValue without "="):
    // where its name and value lie in the text.
    struct Entry {
        std::uint32_t name, nameLength, value, valueLength;
    };
    static constexpr std::uint32_t kSection = 0xFFFFFFFF;
    static constexpr std::uint32_t kNoValue = 0xFFFFFFFE;

    void add(std::size_t name, std::size_t nameEnd, std::size_t value, std::size_t valueEnd);
    bool named(const Entry& entry, std::wstring_view name) const;

    std::wstring text_;
    std::unique_ptr<Entry[]> entries_;  // one a line at most
    std::size_t count_ = 0;
};
