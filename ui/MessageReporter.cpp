#include "ui/MessageReporter.h"

#include <cstdarg>
#include <cstdlib>
#include <cstring>

#include "launcher/LaunchContext.h"
#include "launcher/LaunchObserver.h"
#include "ui/StringTableBlock.h"

bool loadResourceString(std::string& target, UINT id) {
    HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(id / 16 + 1), MAKEINTRESOURCEA(6));
    if (!resource) return false;
    HGLOBAL loaded = LoadResource(nullptr, resource);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return false;
    std::size_t words = SizeofResource(nullptr, resource) / sizeof(std::uint16_t);

    StringTableEntry entry;
    if (!findStringTableEntry(static_cast<const std::uint16_t*>(data), words, id % 16, entry))
        return false;

    auto wide = reinterpret_cast<LPCWSTR>(entry.text);
    int length = static_cast<int>(entry.length);
    int bytes = WideCharToMultiByte(CP_THREAD_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_THREAD_ACP, 0, wide, length, text.data(), bytes, nullptr, nullptr);
    target = std::move(text);
    return true;
}

std::string formatText(const char* format, ...) {
    // wvsprintfA writes at most 1,024 bytes; the scratch area leaves room.
    char scratch[1028];
    va_list args;
    va_start(args, format);
    int length = wvsprintfA(scratch, format, args);
    va_end(args);
    if (length < 0) length = 0;
    // When the output is cut, some implementations count the terminator too.
    return std::string(scratch, strnlen(scratch, static_cast<std::size_t>(length)));
}

namespace {

// LoadStringA into a buffer that doubles until the text fits. Null when
// memory runs out.
char* loadStringGrowing(UINT id) {
    int size = 256;
    for (;;) {
        char* buffer = static_cast<char*>(std::malloc(static_cast<std::size_t>(size)));
        if (!buffer) return nullptr;
        int length = LoadStringA(GetModuleHandleA(nullptr), id, buffer, size);
        if (length < size - 1) {
            if (length <= 0) buffer[0] = '\0';
            return buffer;
        }
        std::free(buffer);
        size *= 2;
    }
}

}  // namespace

int showMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT style) {
    char* loadedText = nullptr;
    char* loadedCaption = nullptr;
    if (IS_INTRESOURCE(text)) {
        loadedText = loadStringGrowing(static_cast<UINT>(reinterpret_cast<ULONG_PTR>(text)));
        if (!loadedText) return 0;
        text = loadedText;
    }
    if (caption && IS_INTRESOURCE(caption)) {
        loadedCaption = loadStringGrowing(static_cast<UINT>(reinterpret_cast<ULONG_PTR>(caption)));
        if (!loadedCaption) {
            std::free(loadedText);
            return 0;
        }
        caption = loadedCaption;
    }
    int result = IDOK;
    if (LaunchObserver* observer = launchObserver()) {
        observer->messageShown(text);
    } else {
        result = MessageBoxA(owner, text, caption, style);
    }
    std::free(loadedCaption);
    std::free(loadedText);
    return result;
}

void showError(HWND owner, const std::string& text) {
    showMessageBox(owner, text.c_str(), nullptr, MB_OK | MB_ICONERROR);
}

void showWindowsError(HWND owner, UINT fragmentId, DWORD errorCode) {
    std::string format;
    std::string fragment;
    loadResourceString(format, msg::WindowsException);
    loadResourceString(fragment, fragmentId);
    showErrorFormat(owner, format, fragment.c_str(), static_cast<int>(errorCode));
}
