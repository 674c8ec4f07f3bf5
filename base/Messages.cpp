#include "base/Messages.h"

#include "base/WideText.h"
#include "base/StringTable.h"

Failure windowsFailure(UINT fragment, DWORD errorCode) {
    Failure failure{msg::WindowsException};
    failure.fragment = fragment;
    failure.number = static_cast<int>(errorCode);
    return failure;
}

Failure pathFailure(const std::wstring& path) {
    Failure failure{msg::PathWithoutAnsiName};
    failure.name = path;
    return failure;
}

namespace {

std::string entryText(UINT id) {
    std::string text;
    if (id != 0) loadResourceString(text, id);
    return text;
}

}  // namespace

std::string messageText(const Failure& f) {
    std::string format;
    loadResourceString(format, f.message);
    switch (f.message) {
    case msg::WindowsException:
        return formatText(format.c_str(), entryText(f.fragment).c_str(), f.number);
    case msg::JniCreateException:
        return formatText(format.c_str(), entryText(f.fragment).c_str(), entryText(f.reason).c_str());
    case msg::MainClassLoadFailed:
    case msg::MainClassNotFound:
        return formatText(format.c_str(), f.text.c_str());
    case msg::JvmLibraryLoadFailed:
    case msg::PathTooLong:
        return formatText(format.c_str(), f.text.c_str(), f.number);
    case msg::PathWithoutAnsiName:
        return formatText(format.c_str(), nearestAnsi(f.name).c_str());
    default:
        return format;
    }
}

std::wstring messageTextWide(const Failure& f) {
    if (f.message != msg::PathWithoutAnsiName) return toWide(messageText(f));
    std::wstring format;
    loadResourceStringWide(format, f.message);
    return formatTextWide(format.c_str(), f.name.c_str());
}
