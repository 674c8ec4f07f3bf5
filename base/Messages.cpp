#include "base/Messages.h"

#include "base/StringTable.h"

Failure windowsFailure(UINT fragment, DWORD errorCode) {
    return {msg::WindowsException,
            {entryArgument(fragment), numberArgument(static_cast<int>(errorCode))}};
}

namespace {

// The text of a text or entry argument.
std::string argumentText(const MessageArgument& argument) {
    if (argument.kind == MessageArgument::Kind::Text) return argument.text;
    std::string text;
    if (argument.number != 0) loadResourceString(text, static_cast<UINT>(argument.number));
    return text;
}

}  // namespace

std::string messageText(const Failure& failure) {
    std::string format;
    loadResourceString(format, failure.message);
    const std::vector<MessageArgument>& a = failure.arguments;
    if (a.empty()) return format;
    auto isNumber = [](const MessageArgument& argument) {
        return argument.kind == MessageArgument::Kind::Number;
    };
    if (isNumber(a[0])) return formatText(format.c_str(), a[0].number);
    std::string first = argumentText(a[0]);
    if (a.size() == 1) return formatText(format.c_str(), first.c_str());
    if (isNumber(a[1])) return formatText(format.c_str(), first.c_str(), a[1].number);
    std::string second = argumentText(a[1]);
    return formatText(format.c_str(), first.c_str(), second.c_str());
}
