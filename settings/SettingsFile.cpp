#include "settings/SettingsFile.h"

#include <windows.h>

#include "launcher/AnsiText.h"

std::string readValue(const std::string& file, const std::string& section, const std::string& key) {
    DWORD size = 256;
    for (;;) {
        std::string buffer(size, '\0');
        DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer.data(),
                                                size, file.c_str());
        // The buffer stops growing at kLongestValue: a longer value is taken
        // as far as it was read.
        if (length < size - 1 || size >= kLongestValue) {
            buffer.resize(length < size ? length : size - 1);
            return buffer;
        }
        size *= 2;
    }
}

SettingsFile::SettingsFile(std::string path, const std::string& baseText)
    : path_(std::move(path)), base_(parseBaseText(baseText)) {}

std::string SettingsFile::lookup(const std::string& section, const std::string& key) const {
    std::string result;
    if (const std::string* base = findBaseValue(base_, section, key)) result = *base;

    std::string fileValue = readValue(path_, section, key);
    if (!fileValue.empty()) return fileValue;

    return joinPlusValue(result, readValue(path_, section + "+", key));
}
