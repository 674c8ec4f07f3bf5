#pragma once
// Text the launcher takes from the system in UTF-16, in the ANSI code page
// that its calls use. A path comes as it is when the code page spells every
// character, else with short (8.3) names. Text the code page spells comes
// out byte for byte as the ANSI calls would give it.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The text in the ANSI code page; false when a character has no exact form
// there (nothing is replaced by a look-alike).
bool toAnsi(const wchar_t* text, std::size_t length, std::string& ansi);
inline bool toAnsi(const std::wstring& text, std::string& ansi) { return toAnsi(text.data(), text.size(), ansi); }

// The nearest ANSI text: a character without an exact form becomes a
// look-alike or "?".
std::string nearestAnsi(std::wstring_view text);

// ANSI text in UTF-16.
std::wstring toWide(std::string_view ansi);

// UTF-16 as UTF-8 and back (unpaired surrogates become U+FFFD).
std::string toUtf8(const std::wstring& text);
std::wstring fromUtf8(const std::string& text);

// The text with its %NAME% references expanded against the process
// environment (one that is not set stays as written); the text unchanged
// when expansion fails.
std::wstring expandReferences(const std::wstring& text);

// Whether something exists at the path, found as ansiPathOf finds the
// folders of a path written in the settings (references expanded, a
// relative path after base when given).
bool pathExists(const std::wstring& path, const std::wstring* base = nullptr);

// A path whose ANSI form takes short names: the path, and what the launch
// uses for it (explain lists them).
struct PathFallback {
    std::wstring original;
    std::string used;
};
using PathFallbacks = std::vector<PathFallback>;

struct AnsiPath {
    std::string path;        // empty when ok is false
    bool shortened = false;  // a component is its short name
    bool ok = false;         // false: a component has no ANSI spelling and no short name
};

// The path in the ANSI code page: as it is when the code page spells it,
// else with each component it cannot spell replaced by its short (8.3) name,
// which is ASCII (such a component must exist; the others need not). For a
// path written in the settings, base is given: the folders are then found
// with environment references expanded, and a relative path after base
// (empty: from the current folder); the text keeps its references and its
// relative form.
AnsiPath ansiPathOf(const std::wstring& path, const std::wstring* base = nullptr);
