#include "base/Environment.h"

#include <windows.h>

#include "base/AnsiText.h"
#include "base/WideText.h"

namespace {

// What the platform expands in one call: longer text, or a longer result,
// comes back cut or garbled.
constexpr std::size_t kExpansionLimit = 32000;

// One call of the platform; false when it fails or the text or its result
// is too long for it.
bool expandInOneCall(const std::string& text, std::string& expanded) {
    if (text.size() >= kExpansionLimit) return false;
    DWORD needed = ExpandEnvironmentStringsA(text.c_str(), nullptr, 0);
    if (needed == 0 || needed >= kExpansionLimit) return false;
    expanded.assign(needed, '\0');
    DWORD written = ExpandEnvironmentStringsA(text.c_str(), expanded.data(), needed);
    if (written == 0 || written > needed) return false;
    expanded.resize(lstrlenA(expanded.c_str()));
    return true;
}

}  // namespace

void ProcessEnvironment::set(const char* name, const std::string& value) {
    SetEnvironmentVariableA(name, value.c_str());
}

std::string ProcessEnvironment::expand(const std::string& text) { return expandEnvironment(text); }

std::wstring ProcessEnvironment::expand(const std::wstring& text) { return expandReferences(text); }

std::string expandEnvironment(const std::string& text) {
    std::string expanded;
    if (expandInOneCall(text, expanded)) return expanded;
    // Reference by reference, the text between them unchanged: a "%" opens a
    // reference and the next one closes it, and a reference that cannot be
    // expanded stays as written.
    std::string result;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t open = ansi::find(text, '%', at);
        std::size_t close = open == ansi::npos ? ansi::npos : ansi::find(text, '%', open + 1);
        if (close == ansi::npos) {
            result.append(text, at, std::string::npos);
            break;
        }
        result.append(text, at, open - at);
        std::string reference = text.substr(open, close + 1 - open);
        result += expandInOneCall(reference, expanded) ? expanded : reference;
        at = close + 1;
    }
    return result;
}
