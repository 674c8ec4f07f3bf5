#pragma once
// Text as the test runtime holds it: Java strings are UTF-16 (std::wstring,
// 16-bit on Windows); JNI hands out modified UTF-8; the launcher and the
// scripts speak the ANSI code page.

#include <string>
#include <string_view>

namespace testjvm {

// Modified UTF-8 as JNI defines it: U+0000 as two bytes, supplementary
// characters as two three-byte surrogates.
std::string toModifiedUtf8(std::wstring_view text);
// Malformed sequences give U+FFFD.
std::wstring fromModifiedUtf8(std::string_view bytes);

// The platform's default charset: the ANSI code page, as a Java runtime on
// Windows uses it for new String(byte[]) and for PrintStream.
std::wstring fromAnsi(std::string_view bytes);
std::string toAnsi(std::wstring_view text);
std::string toUtf8(std::wstring_view text);

// "com/example/Main" -> "com.example.Main"
std::string externalClassName(std::string_view internalName);

}  // namespace testjvm
