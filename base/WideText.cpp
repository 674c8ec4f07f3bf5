#include "base/WideText.h"

#include <windows.h>

namespace {

// The text in the code page: its byte count, 0 when empty or the call fails.
int narrow(UINT codePage, DWORD flags, const wchar_t* wide, std::size_t length, std::string& text, BOOL* lossy) {
    text.clear();
    int count = static_cast<int>(length);
    int bytes = count ? WideCharToMultiByte(codePage, flags, wide, count, nullptr, 0, nullptr, lossy) : 0;
    if (bytes > 0) {
        text.resize(static_cast<std::size_t>(bytes));
        WideCharToMultiByte(codePage, flags, wide, count, text.data(), bytes, nullptr, lossy);
    }
    return bytes;
}

std::wstring widen(UINT codePage, std::string_view text) {
    int count = static_cast<int>(text.size());
    int length = count ? MultiByteToWideChar(codePage, 0, text.data(), count, nullptr, 0) : 0;
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0) MultiByteToWideChar(codePage, 0, text.data(), count, wide.data(), length);
    return wide;
}

}  // namespace

bool toAnsi(const wchar_t* text, std::size_t length, std::string& ansi) {
    // With UTF-8 as the ANSI code page every character has a form, and the
    // call takes no "used default" flag: only a broken surrogate fails.
    bool utf8 = GetACP() == CP_UTF8;
    BOOL lossy = FALSE;
    int bytes = narrow(CP_ACP, utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS, text, length, ansi,
                       utf8 ? nullptr : &lossy);
    return (bytes > 0 || length == 0) && !lossy;
}

std::string nearestAnsi(std::wstring_view text) {
    std::string ansi;
    narrow(CP_ACP, 0, text.data(), text.size(), ansi, nullptr);
    return ansi;
}

std::wstring toWide(std::string_view ansi) { return widen(CP_ACP, ansi); }

std::string toUtf8(const std::wstring& text) {
    std::string utf8;
    narrow(CP_UTF8, 0, text.data(), text.size(), utf8, nullptr);
    return utf8;
}

std::wstring fromUtf8(const std::string& text) { return widen(CP_UTF8, text); }

namespace {

// The short name of the path's last component; false when the path does
// not exist, the call fails, or the volume keeps no short names (the long
// one comes back and does not convert either).
bool shortNameOf(const std::wstring& path, std::string& name) {
    DWORD needed = GetShortPathNameW(path.c_str(), nullptr, 0);
    if (needed == 0) return false;
    std::wstring shortPath(needed, L'\0');
    DWORD length = GetShortPathNameW(path.c_str(), shortPath.data(), needed);
    if (length == 0 || length >= needed) return false;
    std::size_t slash = shortPath.find_last_of(L"\\/", length - 1);
    std::size_t start = slash == std::wstring::npos ? 0 : slash + 1;
    return toAnsi(shortPath.data() + start, length - start, name);
}

}  // namespace

std::wstring expandReferences(const std::wstring& text) {
    DWORD needed = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    std::wstring result(needed, L'\0');
    DWORD length = needed ? ExpandEnvironmentStringsW(text.c_str(), result.data(), needed) : 0;
    if (length == 0 || length > needed) return text;
    result.resize(length - 1);
    return result;
}

namespace {

// The path as the file system is asked for it: for a settings path (base
// given), references expanded and a relative path after base.
std::wstring resolved(const std::wstring& path, const std::wstring* base) {
    if (!base) return path;
    std::wstring full = expandReferences(path);
    bool relative = !(full.size() >= 2 && (full[1] == L':' || (full[0] == L'\\' && full[1] == L'\\')));
    return relative ? *base + full : full;
}

}  // namespace

bool pathExists(const std::wstring& path, const std::wstring* base) {
    return GetFileAttributesW(resolved(path, base).c_str()) != INVALID_FILE_ATTRIBUTES;
}

AnsiPath ansiPathOf(const std::wstring& path, const std::wstring* base) {
    AnsiPath result;
    std::string component;
    for (std::size_t start = 0; start <= path.size();) {
        std::size_t end = path.find_first_of(L"\\/", start);
        if (end == std::wstring::npos) end = path.size();
        if (!toAnsi(path.data() + start, end - start, component)) {
            // The short name of the path up to here, whose last component
            // stands for this one.
            if (!shortNameOf(resolved(path.substr(0, end), base), component)) return {};
            result.shortened = true;
        }
        result.path += component;
        if (end == path.size()) break;
        result.path += static_cast<char>(path[end]);
        start = end + 1;
    }
    result.ok = true;
    return result;
}
