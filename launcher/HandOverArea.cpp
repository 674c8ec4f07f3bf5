#include "launcher/HandOverArea.h"

#include <cstring>

bool encodeArguments(const std::vector<std::string>& arguments, ArgumentArea area) {
    std::size_t needed = 1;
    for (const std::string& argument : arguments) {
        needed += argument.size() + 1;
        if (needed > area.size()) return false;
    }
    std::memset(area.data(), 0, area.size());
    std::size_t at = 0;
    for (const std::string& argument : arguments) {
        std::memcpy(area.data() + at, argument.data(), argument.size());
        at += argument.size() + 1;
    }
    return true;
}

std::vector<std::string> decodeArguments(ConstArgumentArea area) {
    std::vector<std::string> arguments;
    std::string current;
    for (std::size_t p = 0; p + 1 < area.size(); ++p) {
        if (area[p] != 0) {
            current += static_cast<char>(area[p]);
            continue;
        }
        arguments.push_back(current);
        if (area[p + 1] == 0) break;
        current.clear();
    }
    return arguments;
}
