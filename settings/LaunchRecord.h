#pragma once
// Everything a launch recorded (settings/LaunchTrace.h), as values: what
// explain shows. Only explain and the tests use it.

#include <string>
#include <string_view>
#include <vector>

#include "settings/LaunchTrace.h"

// Everything a launch recorded, as values.
class LaunchRecord final : public LaunchTrace {
public:
    // The settings file: whether it could be read, and what its bytes are.
    bool settingsFileRead = false;
    SettingsEncoding settingsEncoding = SettingsEncoding::Ansi;
    std::vector<SettingRead> settings;  // in the order read
    std::vector<FileLook> files;        // in the order looked for
    PathFallbacks shortNames;           // in the order taken

    void settingsFile(bool read, std::string_view bytes) override {
        settingsFileRead = read;
        settingsEncoding = settingsEncodingOf(bytes);
    }
    void setting(SettingRead read) override { settings.push_back(std::move(read)); }
    void file(LaunchStage stage, const FileProbe& probe) override { files.push_back({stage, probe}); }
    void shortName(const std::wstring& original, const std::string& used) override {
        shortNames.push_back({original, used});
    }
};
