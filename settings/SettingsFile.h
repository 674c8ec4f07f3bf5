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
#include "settings/LaunchTrace.h"
#include "settings/SettingsText.h"

// Values are read whole up to this many bytes (16 MB) and cut there.
inline constexpr unsigned long kLongestValue = 1ul << 24;

// GetPrivateProfileStringA with a buffer that grows until the value fits;
// empty for a missing file, section or key.
std::string readValue(const std::string& file, const char* section, const char* key);

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
    SettingsFile(std::string path, LaunchTrace* trace = nullptr);

    // The layered value of key in section.
    std::string lookup(LaunchStage stage, const char* section, const char* key) const;
    // The value of key in section itself (no "+" section).
    std::string read(LaunchStage stage, const char* section, const char* key) const;
    // A plain read of the per-user settings file.
    std::string readUserFile(LaunchStage stage, const std::string& file, const char* section, const char* key) const;
    // lookup (layered) or read of a path-valued key.
    std::string lookupPath(LaunchStage stage, const char* section, const char* key, bool layered,
                           PathSetting paths) const;

private:
    std::string layered(const char* section, const char* key, SettingSource& source) const;
    // The value of a path-valued key of a UTF-16 file, with short names.
    std::string pathValue(const char* section, const char* key, bool layered, std::string value,
                          PathSetting paths) const;
    std::string keep(LaunchStage stage, const char* section, const char* key, std::string value,
                     SettingSource source) const;

    std::string path_;
    LaunchTrace* trace_;
    // Whether the file is UTF-16, found out at the first path read.
    mutable int utf16_ = -1;
};
