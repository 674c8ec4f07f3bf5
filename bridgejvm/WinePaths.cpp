#include "bridgejvm/WinePaths.h"

namespace bridgejvm {

namespace {

using UnixFileName = char*(CDECL*)(LPCWSTR);
using DosFileName = WCHAR*(CDECL*)(LPCSTR);

template <class Function>
Function wineFunction(const char* name) {
    static HMODULE kernel = GetModuleHandleA("kernel32.dll");
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(kernel, name)));
}

}  // namespace

std::wstring widen(const std::string& text, unsigned codePage) {
    if (text.empty()) return {};
    int length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

std::string narrow(const std::wstring& text, unsigned codePage) {
    if (text.empty()) return {};
    int length = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                     nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), bytes.data(), length,
                        nullptr, nullptr);
    return bytes;
}

std::optional<std::string> unixPath(const std::string& windowsPathUtf8, DWORD* error) {
    static UnixFileName toUnix = wineFunction<UnixFileName>("wine_get_unix_file_name");
    if (error) *error = ERROR_NOT_SUPPORTED;
    if (!toUnix) return std::nullopt;
    std::wstring wide = widen(windowsPathUtf8, CP_UTF8);
    SetLastError(0);
    char* unix = wide.empty() ? nullptr : toUnix(wide.c_str());
    if (!unix) {
        if (error) *error = wide.empty() ? ERROR_PATH_NOT_FOUND : GetLastError();
        return std::nullopt;
    }
    std::string result = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    // Wine reaches C: through the prefix's link dosdevices/c:, whose ":"
    // would split the path in Java's lists (-XX:SharedArchiveFile takes two
    // files): the link's target, drive_c, names the same file.
    std::size_t link = result.find("/dosdevices/c:/");
    if (link != std::string::npos) {
        std::string drive = result.substr(0, link) + "/drive_c";
        std::optional<std::wstring> folder = dosPath(drive);
        DWORD attributes = folder ? GetFileAttributesW(folder->c_str()) : INVALID_FILE_ATTRIBUTES;
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            result = drive + result.substr(link + 14);
    }
    return result;
}

std::optional<std::wstring> dosPath(const std::string& unixPathUtf8) {
    static DosFileName toDos = wineFunction<DosFileName>("wine_get_dos_file_name");
    if (!toDos) return std::nullopt;
    WCHAR* dos = toDos(unixPathUtf8.c_str());
    if (!dos) return std::nullopt;
    std::wstring result = dos;
    HeapFree(GetProcessHeap(), 0, dos);
    return result;
}

std::string errorText(DWORD error) {
    char* buffer = nullptr;
    DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        error, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text = length ? std::string(buffer, length) : "error " + std::to_string(error);
    if (buffer) LocalFree(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == '.' || text.back() == ' '))
        text.pop_back();
    return narrow(widen(text, CP_ACP), CP_UTF8);
}

}  // namespace bridgejvm
