#pragma once
// The layered settings lookup: a base layer held in memory, then the file's
// own section, then the section of the same name with "+" that extends the
// value. The file is read anew on every lookup.

#include <string>
#include <vector>

#include "launcher/LaunchObserver.h"
#include "settings/BaseText.h"

// GetPrivateProfileStringA with a buffer that grows until the value fits;
// empty for a missing file, section or key.
std::string readValue(const std::string& file, const std::string& section, const std::string& key);

// readValue of a setting, reported to the launch's observer as read from
// source (a plain read of the settings file or of the per-user file).
std::string readSetting(const std::string& file, const std::string& section, const std::string& key,
                        SettingSource source = SettingSource::File);

class SettingsFile {
public:
    SettingsFile(std::string path, const std::string& baseText);

    std::string lookup(const std::string& section, const std::string& key) const;
    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::vector<BaseSection> base_;
};
