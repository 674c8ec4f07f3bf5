#pragma once
// Text in the process's ANSI code page, stepped a character at a time so that
// the trail byte of a double-byte character is never taken for a separator.
// The Windows build steps with CharNextA and classifies with the thread
// locale; native builds (fuzzing) link a stand-in with the same interface.

#include <cstddef>
#include <string>

namespace ansi {

constexpr std::size_t npos = std::string::npos;

// Index of the character after the one at pos (never beyond text.size()).
std::size_t next(const std::string& text, std::size_t pos);

// First occurrence of c at or after from, stepping whole characters.
std::size_t find(const std::string& text, char c, std::size_t from = 0);

// Last occurrence of c, stepping whole characters from the start.
std::size_t findLast(const std::string& text, char c);

// Whether the character at pos (of length next(text, pos) - pos) is white
// space in the thread locale's character-type table.
bool isSpace(const std::string& text, std::size_t pos);

// The text without white space at either end; white space inside stays.
std::string trim(const std::string& text);

// The same for UTF-16, classified by the same table.
bool isSpace(wchar_t c);
std::wstring trim(const std::wstring& text);

// Every occurrence of from replaced by to, stepping whole characters.
std::string replaceAll(const std::string& text, char from, char to);

// A signed number as decimal text, as "%d" writes it.
std::string decimal(int value);

}  // namespace ansi
