#include "base/FileProbe.h"

#include <windows.h>

#include "base/UniqueResource.h"

FileProbe probeFile(const std::string& path) {
    WIN32_FIND_DATAA found;
    UniqueFindHandle search(FindFirstFileA(path.c_str(), &found));
    return {path, search.valid()};
}

std::string shortFormOf(const std::string& path) {
    char buffer[MAX_PATH];
    DWORD length = GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
    return length && length < MAX_PATH ? std::string(buffer, length) : std::string();
}

bool readFileStart(const std::string& path, unsigned long limit, std::string& bytes) {
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    bytes.assign(limit, '\0');
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data(), limit, &read, nullptr)) read = 0;
    bytes.resize(read);
    return true;
}
