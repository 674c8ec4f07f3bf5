#pragma once
// Reading the settings file: one value as the platform's INI reader gives it,
// and the layered lookup through which most settings are read (the key's own
// section, else the section of the same name with "+", whose value extends
// the empty one). The file is read anew on every lookup.

#include <optional>
#include <string>
#include <vector>

#include "base/Messages.h"
#include "base/WideText.h"
#include "settings/SettingsText.h"

// Values are read whole up to this many bytes (16 MB) and cut there.
inline constexpr unsigned long kLongestValue = 1ul << 24;

// GetPrivateProfileStringA with a buffer that grows until the value fits;
// empty for a missing file, section or key.
std::string readValue(const std::string& file, const char* section, const char* key);

// A value that names paths (one, or a ";" list), and what reading it found:
// in a UTF-16 file a path may hold characters the ANSI code page lacks;
// each such path then comes with short names (ansiPathOf, relative paths
// after base), or the failure names the first that has none.
struct PathSetting {
    const std::wstring& base;
    PathFallbacks* notes;  // where the short names taken are noted, when given
    std::optional<Failure>& failure;
};

// Where a value came from.
enum class SettingSource {
    Missing,      // the layered lookup found it nowhere
    PlusSection,  // the section with "+" (the key's own section has none)
    FileSection,  // the key's own section of the file
    File,         // a plain read of the settings file
    UserFile,     // a plain read of the per-user settings file
};

// One value read; section and key are the reader's own names.
struct SettingRead {
    const char* section;
    const char* key;
    std::string value;
    SettingSource source;
};

class SettingsFile {
public:
    explicit SettingsFile(std::string path) : path_(std::move(path)) {}

    // The layered value of key in section; source, when given, tells where
    // it came from.
    std::string lookup(const char* section, const char* key, SettingSource* source = nullptr) const;
    // The value of key in section itself (no "+" section).
    std::string read(const char* section, const char* key) const;
    // A plain read of the per-user settings file.
    std::string readUserFile(const std::string& file, const char* section, const char* key) const;
    // lookup (layered) or read of a path-valued key.
    std::string lookupPath(const char* section, const char* key, bool layered, PathSetting paths,
                           SettingSource* source = nullptr) const;

private:
    std::string path_;
    // Whether the file is UTF-16, found out at the first path read.
    mutable int utf16_ = -1;
};

// The same reads, each kept with where it came from, to show them.
class RecordingSettingsFile {
public:
    RecordingSettingsFile(std::string path, std::vector<SettingRead>& reads)
        : file_(std::move(path)), reads_(reads) {}

    std::string lookup(const char* section, const char* key);
    std::string read(const char* section, const char* key);
    std::string readUserFile(const std::string& file, const char* section, const char* key);
    std::string lookupPath(const char* section, const char* key, bool layered, PathSetting paths);

private:
    std::string keep(const char* section, const char* key, std::string value, SettingSource source);

    SettingsFile file_;
    std::vector<SettingRead>& reads_;
};
