#include "jvm/VmParameters.h"

#include "base/AnsiText.h"

std::vector<std::string> splitVmParameterPieces(const std::string& s) {
    std::vector<std::string> pieces;
    std::size_t i = 0;
    while (i < s.size()) {
        std::size_t start = i;
        while (i < s.size() && s[i] != ' ') {
            if (s[i] == '"') {
                std::size_t close = ansi::find(s, '"', i + 1);
                if (close != ansi::npos) {
                    if (close + 1 < s.size() && s[close + 1] == '"') ++close;
                    i = close + 1;
                    continue;
                }
            }
            i = ansi::next(s, i);
        }
        pieces.push_back(s.substr(start, i - start));
        while (i < s.size() && s[i] == ' ') ++i;
    }
    return pieces;
}

std::string stripQuotes(const std::string& option) {
    std::string text = option;
    std::size_t from = 0;
    for (;;) {
        std::size_t open = ansi::find(text, '"', from);
        if (open == ansi::npos) return text;
        std::size_t close = ansi::find(text, '"', open + 1);
        if (close == ansi::npos) return text;
        // A closing quote doubled: the first of the two stays as a literal.
        if (close + 1 < text.size() && text[close + 1] == '"') ++close;
        text.erase(close, 1);
        text.erase(open, 1);
        from = close - 1;
    }
}
