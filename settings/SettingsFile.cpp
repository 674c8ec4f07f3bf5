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

std::string SettingsFile::lookup(const char* section, const char* key, SettingSource* source) const {
    std::string fileValue = readValue(path_, section, key);
    if (!fileValue.empty()) {
        if (source) *source = SettingSource::FileSection;
        return fileValue;
    }
    std::string plusValue = readValue(path_, (std::string(section) + "+").c_str(), key);
    if (source) *source = plusValue.empty() ? SettingSource::Missing : SettingSource::PlusSection;
    return joinPlusValue(std::string(), plusValue);
}

std::string SettingsFile::read(const char* section, const char* key) const {
    return readValue(path_, section, key);
}

std::string SettingsFile::readUserFile(const std::string& file, const char* section, const char* key) const {
    return readValue(file, section, key);
}

std::string RecordingSettingsFile::keep(const char* section, const char* key, std::string value,
                                        SettingSource source) {
    reads_.push_back({section, key, value, source});
    return value;
}

std::string RecordingSettingsFile::lookup(const char* section, const char* key) {
    SettingSource source = SettingSource::Missing;
    std::string value = file_.lookup(section, key, &source);
    return keep(section, key, std::move(value), source);
}

std::string RecordingSettingsFile::read(const char* section, const char* key) {
    return keep(section, key, file_.read(section, key), SettingSource::File);
}

std::string RecordingSettingsFile::readUserFile(const std::string& file, const char* section, const char* key) {
    return keep(section, key, file_.readUserFile(file, section, key), SettingSource::UserFile);
}
