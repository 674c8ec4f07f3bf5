#include "ui/MessageBox.h"

#include <cstdlib>

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
    int result = MessageBoxA(owner, text, caption, style);
    std::free(loadedCaption);
    std::free(loadedText);
    return result;
}

void showError(HWND owner, const std::string& text) {
    showMessageBox(owner, text.c_str(), nullptr, MB_OK | MB_ICONERROR);
}
