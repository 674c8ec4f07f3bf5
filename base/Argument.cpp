#include "base/Argument.h"

#include "base/WideText.h"

Argument argumentOf(const std::wstring& text) {
    Argument argument;
    if (!toAnsi(text, argument.text)) {
        // The nearest ANSI text beside the argument itself.
        argument.text = nearestAnsi(text);
        argument.wide = text;
    }
    return argument;
}

std::wstring wideOf(const Argument& argument) {
    return argument.wide.empty() ? toWide(argument.text) : argument.wide;
}

std::string utf8Of(const Argument& argument) { return toUtf8(wideOf(argument)); }

Argument argumentOfUtf8(const std::string& utf8) { return argumentOf(fromUtf8(utf8)); }
