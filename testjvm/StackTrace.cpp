#include "testjvm/StackTrace.h"

#include "testjvm/JavaText.h"

namespace testjvm {

std::wstring describeThrowable(std::string_view internalClassName,
                               const std::optional<std::wstring>& message) {
    std::wstring text = fromModifiedUtf8(externalClassName(internalClassName));
    if (message) text += L": " + *message;
    return text;
}

std::wstring formatStackTrace(const std::vector<ThrowableText>& chain) {
    const std::wstring newline = L"\r\n";
    std::wstring text;
    const std::vector<std::wstring>* enclosing = nullptr;
    for (const ThrowableText& throwable : chain) {
        const std::vector<std::wstring>& frames = throwable.frames;
        std::ptrdiff_t last = static_cast<std::ptrdiff_t>(frames.size()) - 1;
        std::size_t common = 0;
        if (enclosing) {
            std::ptrdiff_t other = static_cast<std::ptrdiff_t>(enclosing->size()) - 1;
            while (last >= 0 && other >= 0 && frames[last] == (*enclosing)[other]) {
                --last;
                --other;
                ++common;
            }
            text += L"Caused by: ";
        }
        text += throwable.description + newline;
        for (std::ptrdiff_t i = 0; i <= last; ++i) text += L"\tat " + frames[i] + newline;
        if (common != 0) text += L"\t... " + std::to_wstring(common) + L" more" + newline;
        enclosing = &frames;
    }
    return text;
}

}  // namespace testjvm
