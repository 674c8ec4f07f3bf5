#pragma once
// Reading the settings file: one value as the platform's INI reader gives it,
// and the layered lookup through which most settings are read (the key's own
// section, else the section of the same name with "+", whose value extends
// the empty one). A SettingsFile reads each file from disk once, at its first
// lookup, and answers every lookup from the index of its sections and keys
// (settings/ProfileIndex.h) with the values the platform's reader gives.

#include <optional>
#include <string>
#include <vector>

#include "base/Messages.h"
#include "base/WideText.h"
#include "settings/ProfileIndex.h"
#include "settings/SettingsText.h"

// Values are read whole up to this many characters (16 M) and cut there.
inline constexpr unsigned long kLongestValue = 1ul << 24;

// The platform's own reader: GetPrivateProfileStringA (W) with a buffer that
// grows until the value fits; empty for a missing file, section or key. The
// launch reads through SettingsFile, which gives the same values.
std::string readValue(const std::string& file, const char* section, const char* key);
std::wstring readWideValue(const std::string& file, const char* section, const char* key);

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
    ~SettingsFile();

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
    // Writes the value with WritePrivateProfileStringA (the file keeps its
    // encoding and the rest of its text); a file read before is read again,
    // so that later lookups find what was written. False when the write
    // fails.
    bool write(const std::string& file, const char* section, const char* key, const std::string& value);

private:
    // A file as read once: its index, and whether it is UTF-16.
    struct Loaded {
        std::string path;
        bool read = false;
        bool utf16 = false;
        ProfileIndex index;
    };
    const Loaded& load(Loaded& loaded, const std::string& path) const;
    // The value as the reader gives it, in UTF-16 and as ANSI text.
    static std::wstring_view wideValue(const Loaded& file, std::string_view section, const char* key);
    static std::string value(const Loaded& file, std::string_view section, const char* key);

    std::string path_;
    mutable Loaded file_;
    mutable Loaded userFile_;
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
