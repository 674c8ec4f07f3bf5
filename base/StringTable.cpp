#include "base/StringTable.h"

#include <cstdarg>
#include <cstring>
#include <cwchar>

#include "base/StringTableBlock.h"

namespace {

// Entry id of the executable's string table, in UTF-16; false when missing.
bool findEntry(UINT id, StringTableEntry& entry) {
    HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(id / 16 + 1), MAKEINTRESOURCEA(6));
    if (!resource) return false;
    HGLOBAL loaded = LoadResource(nullptr, resource);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return false;
    std::size_t words = SizeofResource(nullptr, resource) / sizeof(std::uint16_t);
    return findStringTableEntry(static_cast<const std::uint16_t*>(data), words, id % 16, entry);
}

}  // namespace

bool loadResourceString(std::string& target, UINT id) {
    StringTableEntry entry;
    if (!findEntry(id, entry)) return false;
    auto wide = reinterpret_cast<LPCWSTR>(entry.text);
    int length = static_cast<int>(entry.length);
    int bytes = WideCharToMultiByte(CP_THREAD_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_THREAD_ACP, 0, wide, length, text.data(), bytes, nullptr, nullptr);
    target = std::move(text);
    return true;
}

bool loadResourceStringWide(std::wstring& target, UINT id) {
    StringTableEntry entry;
    if (!findEntry(id, entry)) return false;
    target.assign(reinterpret_cast<const wchar_t*>(entry.text), entry.length);
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
    std::size_t end = strlen(scratch);
    return std::string(scratch, end < static_cast<std::size_t>(length) ? end : static_cast<std::size_t>(length));
}

std::wstring formatTextWide(const wchar_t* format, ...) {
    wchar_t scratch[1028];
    va_list args;
    va_start(args, format);
    int length = wvsprintfW(scratch, format, args);
    va_end(args);
    if (length < 0) length = 0;
    std::size_t end = wcslen(scratch);
    return std::wstring(scratch, end < static_cast<std::size_t>(length) ? end : static_cast<std::size_t>(length));
}
