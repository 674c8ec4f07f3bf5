#include "stamp/Files.h"

#include <algorithm>

#include "stamp/Owners.h"

bool readFileBytes(const std::wstring& path, std::uint64_t maxSize, Bytes& bytes, std::wstring& error) {
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size)) {
        error = L"cannot read " + path + L": " + systemMessage(GetLastError(), path);
        return false;
    }
    if (static_cast<std::uint64_t>(size.QuadPart) > maxSize) {
        error = path + L" is larger than " + std::to_wstring(maxSize / (1024 * 1024)) + L" MB";
        return false;
    }
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD read = 0;
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
        if (!ReadFile(file.get(), bytes.data() + done, chunk, &read, nullptr) || read == 0) {
            error = L"cannot read " + path + L": " + systemMessage(GetLastError(), path);
            return false;
        }
        done += read;
    }
    return true;
}

std::wstring fullPath(const std::wstring& path) {
    DWORD length = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (length == 0) return path;
    std::wstring full(length, L'\0');
    length = GetFullPathNameW(path.c_str(), length, full.data(), nullptr);
    full.resize(length);
    return full;
}

std::wstring folderOf(const std::wstring& path) {
    std::size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return L".";
    // "C:\" keeps its backslash: "C:" alone is the drive's current folder.
    if (slash == 2 && path[1] == L':') return path.substr(0, 3);
    return path.substr(0, slash);
}

std::wstring fileNameOf(const std::wstring& path) {
    std::size_t slash = path.find_last_of(L"\\/:");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

bool isFolder(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool isSameFile(const std::wstring& a, const std::wstring& b) {
    std::wstring fullA = fullPath(a), fullB = fullPath(b);
    if (CompareStringOrdinal(fullA.c_str(), -1, fullB.c_str(), -1, TRUE) == CSTR_EQUAL) return true;
    auto identity = [](const std::wstring& path, BY_HANDLE_FILE_INFORMATION& info) {
        UniqueFile file(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        return file && GetFileInformationByHandle(file.get(), &info);
    };
    BY_HANDLE_FILE_INFORMATION infoA, infoB;
    return identity(fullA, infoA) && identity(fullB, infoB) &&
           infoA.dwVolumeSerialNumber == infoB.dwVolumeSerialNumber && infoA.nFileIndexHigh == infoB.nFileIndexHigh &&
           infoA.nFileIndexLow == infoB.nFileIndexLow;
}

std::wstring systemMessage(DWORD code, const std::wstring& subject) {
    UniqueLocalMemory text;
    DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(text.put()), 0, nullptr);
    std::wstring message =
        length ? std::wstring(static_cast<const wchar_t*>(text.get()), length) : L"error " + std::to_wstring(code);
    while (!message.empty() &&
           (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' ' || message.back() == L'.'))
        message.pop_back();
    std::wstring filled;
    for (std::size_t at = 0; at < message.size(); ++at) {
        if (message[at] == L'%' && at + 1 < message.size() && message[at + 1] >= L'1' && message[at + 1] <= L'9') {
            // "%1", "%12", "%1!s!"
            for (++at; at + 1 < message.size() && message[at + 1] >= L'0' && message[at + 1] <= L'9';) ++at;
            std::size_t format = at + 1 < message.size() && message[at + 1] == L'!' ? message.find(L'!', at + 2) : 0;
            if (format != 0 && format != std::wstring::npos) at = format;
            filled += subject;
        } else {
            filled += message[at];
        }
    }
    return filled;
}

std::wstring widen(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

std::u16string toU16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }

std::wstring fromU16(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }
