#include "base/FileProbe.h"

#include <windows.h>

#include "base/UniqueResource.h"

FileProbe probeFile(const std::string& path) {
    if (path.size() >= MAX_PATH) return {path, false};
    WIN32_FIND_DATAA found;
    UniqueFindHandle search(FindFirstFileA(path.c_str(), &found));
    return {path, search.valid()};
}

std::string shortFormOf(const std::string& path) {
    char buffer[MAX_PATH];
    DWORD length = GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
    return length && length < MAX_PATH ? std::string(buffer, length) : std::string();
}

namespace {

UniqueFile openToRead(const std::string& path) {
    return UniqueFile(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// Up to limit bytes from where the file stands; false when the read fails.
bool readUpTo(const UniqueFile& file, DWORD limit, std::string& bytes) {
    bytes.assign(limit, '\0');
    DWORD read = 0;
    bool ok = ReadFile(file.get(), bytes.data(), limit, &read, nullptr);
    bytes.resize(ok ? read : 0);
    return ok;
}

}  // namespace

bool readFileStart(const std::string& path, unsigned long limit, std::string& bytes) {
    UniqueFile file = openToRead(path);
    if (!file) return false;
    readUpTo(file, limit, bytes);
    return true;
}

bool readWholeFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    UniqueFile file = openToRead(path);
    DWORD high = 0;
    DWORD size = file ? GetFileSize(file.get(), &high) : 0;
    return file && size != INVALID_FILE_SIZE && !high && readUpTo(file, size, bytes);
}
