#include "settings/SettingsFile.h"

#include <windows.h>

std::string readValue(const std::string& file, const char* section, const char* key) {
    DWORD size = 256;
    for (;;) {
        std::string buffer(size, '\0');
        DWORD length = GetPrivateProfileStringA(section, key, "", buffer.data(), size, file.c_str());
        // The buffer stops growing at kLongestValue: a longer value is taken
        // as far as it was read.
        if (length < size - 1 || size >= kLongestValue) {
            buffer.resize(length < size ? length : size - 1);
            return buffer;
        }
        size *= 2;
    }
}

std::string SettingsFile::keep(const char* section, const char* key, std::string value, SettingSource source) {
    reads_.push_back({section, key, value, source});
    return value;
}

std::string SettingsFile::lookup(const char* section, const char* key) {
    std::string fileValue = readValue(path_, section, key);
    if (!fileValue.empty()) return keep(section, key, std::move(fileValue), SettingSource::FileSection);
    std::string plusValue = readValue(path_, (std::string(section) + "+").c_str(), key);
    SettingSource source = plusValue.empty() ? SettingSource::Missing : SettingSource::PlusSection;
    return keep(section, key, joinPlusValue(std::string(), plusValue), source);
}

std::string SettingsFile::read(const char* section, const char* key) {
    return keep(section, key, readValue(path_, section, key), SettingSource::File);
}

std::string SettingsFile::readUserFile(const std::string& file, const char* section, const char* key) {
    return keep(section, key, readValue(file, section, key), SettingSource::UserFile);
}
