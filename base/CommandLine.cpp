#include "base/CommandLine.h"

#include "base/AnsiText.h"

namespace {

// The rules for either kind of text, each argument handed to add; find steps
// whole characters.
template <class String, class Find, class Add>
void split(const String& s, Find find, Add add) {
    const std::size_t n = s.size();
    std::size_t i = 0;
    while (i < n) {
        std::size_t k;
        if (s[i] == '"') {
            std::size_t j = find(s, '"', i + 1);
            if (j == String::npos) {
                add(s.substr(i + 1));
                break;
            }
            add(s.substr(i + 1, j - i - 1));
            k = j + 1;
        } else {
            std::size_t j = find(s, ' ', i);
            if (j == String::npos) {
                add(s.substr(i));
                break;
            }
            add(s.substr(i, j - i));
            k = j;
        }
        while (k < n && s[k] == ' ') ++k;
        i = k;
    }
}

std::size_t findAnsi(const std::string& text, char c, std::size_t from) { return ansi::find(text, c, from); }

}  // namespace

std::vector<std::string> splitArguments(const std::string& s) {
    std::vector<std::string> arguments;
    split(s, findAnsi, [&](std::string argument) { arguments.push_back(std::move(argument)); });
    return arguments;
}

std::vector<std::string> argumentsFromCommandLine(const std::string& commandLine) {
    std::vector<std::string> arguments = splitArguments(ansi::trim(commandLine));
    if (!arguments.empty()) arguments.erase(arguments.begin());
    return arguments;
}

// The separators are ASCII, so no UTF-16 pair is ever split.
std::vector<Argument> argumentsFromCommandLine(const std::wstring& commandLine) {
    std::vector<std::wstring> pieces;
    auto find = [](const std::wstring& text, wchar_t c, std::size_t from) { return text.find(c, from); };
    split(ansi::trim(commandLine), find, [&](const std::wstring& argument) { pieces.push_back(argument); });
    std::vector<Argument> arguments;
    for (std::size_t i = 1; i < pieces.size(); ++i) arguments.push_back(argumentOf(pieces[i]));
    return arguments;
}
