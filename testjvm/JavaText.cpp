#include "testjvm/JavaText.h"

#include <windows.h>

namespace testjvm {

std::string toModifiedUtf8(std::wstring_view text) {
    std::string bytes;
    for (wchar_t wc : text) {
        unsigned c = static_cast<unsigned short>(wc);
        if (c >= 1 && c <= 0x7f) {
            bytes += static_cast<char>(c);
        } else if (c <= 0x7ff) {
            bytes += static_cast<char>(0xc0 | (c >> 6));
            bytes += static_cast<char>(0x80 | (c & 0x3f));
        } else {
            bytes += static_cast<char>(0xe0 | (c >> 12));
            bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3f));
            bytes += static_cast<char>(0x80 | (c & 0x3f));
        }
    }
    return bytes;
}

std::wstring fromModifiedUtf8(std::string_view bytes) {
    std::wstring text;
    auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    auto continuation = [&](std::size_t i) { return i < bytes.size() && (at(i) & 0xc0) == 0x80; };
    for (std::size_t i = 0; i < bytes.size();) {
        unsigned b = at(i);
        if (b < 0x80 && b != 0) {
            text += static_cast<wchar_t>(b);
            i += 1;
        } else if ((b & 0xe0) == 0xc0 && continuation(i + 1)) {
            text += static_cast<wchar_t>(((b & 0x1f) << 6) | (at(i + 1) & 0x3f));
            i += 2;
        } else if ((b & 0xf0) == 0xe0 && continuation(i + 1) && continuation(i + 2)) {
            text += static_cast<wchar_t>(((b & 0x0f) << 12) | ((at(i + 1) & 0x3f) << 6) |
                                         (at(i + 2) & 0x3f));
            i += 3;
        } else {
            text += L'\xfffd';
            i += 1;
        }
    }
    return text;
}

std::wstring fromAnsi(std::string_view bytes) {
    if (bytes.empty()) return {};
    int length = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()),
                                     nullptr, 0);
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                        length);
    return text;
}

std::string toAnsi(std::wstring_view text) {
    if (text.empty()) return {};
    int length = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                     nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                        length, nullptr, nullptr);
    return bytes;
}

std::string toUtf8(std::wstring_view text) {
    if (text.empty()) return {};
    int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                     nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), length, nullptr,
                        nullptr);
    return bytes;
}

std::string externalClassName(std::string_view internalName) {
    std::string name(internalName);
    for (char& c : name)
        if (c == '/') c = '.';
    return name;
}

}  // namespace testjvm
