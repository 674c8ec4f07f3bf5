#include "base/CommandLine.h"

#include "base/AnsiText.h"

std::vector<std::string> splitArguments(const std::string& s) {
    std::vector<std::string> arguments;
    const std::size_t n = s.size();
    std::size_t i = 0;
    while (i < n) {
        std::size_t k;
        if (s[i] == '"') {
            std::size_t j = ansi::find(s, '"', i + 1);
            if (j == ansi::npos) {
                arguments.push_back(s.substr(i + 1));
                break;
            }
            arguments.push_back(s.substr(i + 1, j - i - 1));
            k = j + 1;
        } else {
            std::size_t j = ansi::find(s, ' ', i);
            if (j == ansi::npos) {
                arguments.push_back(s.substr(i));
                break;
            }
            arguments.push_back(s.substr(i, j - i));
            k = j;
        }
        while (k < n && s[k] == ' ') ++k;
        i = k;
    }
    return arguments;
}

std::vector<std::string> argumentsFromCommandLine(const std::string& commandLine) {
    std::vector<std::string> arguments = splitArguments(ansi::trim(commandLine));
    if (!arguments.empty()) arguments.erase(arguments.begin());
    return arguments;
}
