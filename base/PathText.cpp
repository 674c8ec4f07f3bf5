#include "base/PathText.h"

#include "base/AnsiText.h"

std::string folderOf(const std::string& path) {
    std::size_t slash = ansi::findLast(path, '\\');
    return slash == ansi::npos ? std::string() : path.substr(0, slash + 1);
}

bool endsWithBackslash(const std::string& text) {
    if (text.empty()) return false;
    std::size_t last = 0;
    for (std::size_t at = 0; at < text.size(); at = ansi::next(text, at)) last = at;
    return text[last] == '\\';
}

std::string withTrailingBackslash(const std::string& folder) {
    if (folder.empty() || endsWithBackslash(folder)) return folder;
    return folder + "\\";
}

std::string stripPathComponents(const std::string& path, int count) {
    std::string result = path;
    for (int i = 0; i < count; ++i) {
        std::size_t slash = ansi::findLast(result, '\\');
        if (slash == ansi::npos) break;
        result.resize(slash);
    }
    return result;
}
