#include "settings/PlatformProfile.h"

#include <windows.h>

#include "base/WideText.h"

namespace {

// A value read into a buffer that grows until it fits; it stops growing at
// kLongestValue, and a longer value is taken as far as it was read.
template <class Char, class Read>
std::basic_string<Char> readGrowing(Read read) {
    DWORD size = 256;
    for (;;) {
        std::basic_string<Char> buffer(size, Char());
        DWORD length = read(buffer.data(), size);
        if (length < size - 1 || size >= kLongestValue) {
            buffer.resize(length < size ? length : size - 1);
            return buffer;
        }
        size *= 2;
    }
}

}  // namespace

std::string readValue(const std::string& file, const char* section, const char* key) {
    return readGrowing<char>([&](char* buffer, DWORD size) {
        return GetPrivateProfileStringA(section, key, "", buffer, size, file.c_str());
    });
}

std::wstring readWideValue(const std::string& file, const char* section, const char* key) {
    std::wstring wideFile = toWide(file), wideSection = toWide(section), wideKey = toWide(key);
    return readGrowing<wchar_t>([&](wchar_t* buffer, DWORD size) {
        return GetPrivateProfileStringW(wideSection.c_str(), wideKey.c_str(), L"", buffer, size, wideFile.c_str());
    });
}
