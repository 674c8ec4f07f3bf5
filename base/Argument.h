#pragma once
// A command-line argument as the launch carries it: its text in the ANSI
// code page, and its UTF-16 beside when the code page cannot spell it, with
// the conversions between those forms and UTF-8 (the single-instance
// hand-over's form).

#include <string>

// One argument: its text in the ANSI code page, and when that code page
// cannot spell it, the argument itself in UTF-16 (the text then only comes
// near it). (On Windows wchar_t is a UTF-16 unit.)
struct Argument {
    std::string text;
    std::wstring wide;
};

// An argument from UTF-16.
Argument argumentOf(const std::wstring& text);
// ANSI text as an argument.
inline Argument argumentOf(std::string text) { return {std::move(text), {}}; }

// An argument in UTF-16.
std::wstring wideOf(const Argument& argument);

// An argument in UTF-8 and back, as the single-instance hand-over carries
// it.
std::string utf8Of(const Argument& argument);
Argument argumentOfUtf8(const std::string& utf8);
