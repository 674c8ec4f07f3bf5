#include "settings/SettingsFile.h"

#include <windows.h>

#include "launcher/AnsiText.h"
#include "launcher/LaunchContext.h"

std::string readValue(const std::string& file, const std::string& section, const std::string& key) {
    DWORD size = 256;
    for (;;) {
        std::string buffer(size, '\0');
        DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer.data(),
                                                size, file.c_str());
        if (length < size - 1) {
            buffer.resize(length);
            return buffer;
        }
        size *= 2;
    }
}

std::string readSetting(const std::string& file, const std::string& section, const std::string& key,
                        SettingSource source) {
    std::string value = readValue(file, section, key);
    if (LaunchObserver* observer = launchObserver())
        observer->settingRead(file, section, key, value, source);
    return value;
}

SettingsFile::SettingsFile(std::string path, const std::string& baseText)
    : path_(std::move(path)), base_(parseBaseText(baseText)) {}

std::string SettingsFile::lookup(const std::string& section, const std::string& key) const {
    std::string result;
    const std::string* base = findBaseValue(base_, section, key);
    if (base) result = *base;

    std::string fileValue = readValue(path_, section, key);
    if (!fileValue.empty()) {
        if (LaunchObserver* observer = launchObserver())
            observer->settingRead(path_, section, key, fileValue, SettingSource::FileSection);
        return fileValue;
    }

    std::string plusValue = readValue(path_, section + "+", key);
    std::string value = joinPlusValue(result, plusValue);
    if (LaunchObserver* observer = launchObserver())
        observer->settingRead(path_, section, key, value,
                              static_cast<SettingSource>((base ? 1 : 0) | (plusValue.empty() ? 0 : 2)));
    return value;
}
