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
#include "settings/LaunchTrace.h"
#include "settings/ProfileIndex.h"
#include "settings/SettingsText.h"

// Values are read whole up to this many characters (16 M) and cut there.
inline constexpr unsigned long kLongestValue = 1ul << 24;


// What becomes of a path of a UTF-16 file that the ANSI code page cannot
// spell and that has no short name because it does not exist: the launch
// stops (message 232, as for one that exists), it is left out as a path
// that is not there (the launch goes on as it does for a missing path of an
// ASCII name), or it is kept in UTF-16 for a file the launch makes.
enum class MissingPath { Stops, LeftOut, Made };

// A value that names paths (one, or a ";" list), and what reading it found:
// in a UTF-16 file a path may hold characters the ANSI code page lacks;
// each such path then comes with short names (ansiPathOf, relative paths
// after base), or the failure names the first that has none.
struct PathSetting {
    const std::wstring& base;
    std::optional<Failure>& failure;
    MissingPath missing = MissingPath::Stops;
    std::wstring* made = nullptr;  // Made: the value in UTF-16 when it is kept so
};

// The settings file of a launch: each read gives the value as the
// platform's INI reader does, and goes into the trace, when there is one,
// with where it came from and the part of the launch that uses it.
class SettingsFile {
public:
    SettingsFile(std::string path, LaunchTrace* trace = nullptr) : path_(std::move(path)), trace_(trace) {}
    ~SettingsFile();

    // The layered value of key in section.
    std::string lookup(LaunchStage stage, const char* section, const char* key) const;
    // The value of key in section itself (no "+" section).
    std::string read(LaunchStage stage, const char* section, const char* key) const;
    // A plain read of the per-user settings file.
    std::string readUserFile(LaunchStage stage, const std::string& file, const char* section, const char* key) const;
    // lookup (layered) or read of a path-valued key.
    std::string lookupPath(LaunchStage stage, const char* section, const char* key, bool layered,
                           PathSetting paths) const;
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
    std::string layered(const char* section, const char* key, SettingSource& source) const;
    // The value of a path-valued key of a UTF-16 file, with short names.
    std::string pathValue(const char* section, const char* key, bool layered, std::string value,
                          PathSetting paths) const;
    std::string keep(LaunchStage stage, const char* section, const char* key, std::string value,
                     SettingSource source) const;

    std::string path_;
    LaunchTrace* trace_;
    mutable Loaded file_;
    mutable Loaded userFile_;
};
