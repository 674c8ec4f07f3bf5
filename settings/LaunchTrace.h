#pragma once
// What a launch looked at while it planned, for the companion that explains
// a launch (explain): each settings value read, with its section, where it
// came from and the part of the launch that uses it; the settings file as
// the reader found it; the files looked for whose outcome no step's result
// keeps; and each path that took short names. What the steps decide, and
// what they looked at to decide it (the runtime discovery's registry keys,
// versions and probes, the class data sharing archive and record), is in
// their results, which the plan holds.
//
// A launch records into a LaunchTrace when it is given one; explain gives it
// a LaunchRecord (settings/LaunchRecord.h), which keeps everything as
// values. The launcher gives none: the steps get a null pointer, and each
// place that records tests it first. The recording itself is not part of
// the launcher.

#include <string>
#include <string_view>
#include <vector>

#include "base/FileProbe.h"
#include "base/WideText.h"
#include "settings/SettingsText.h"

// The parts of a launch, in the order they run.
enum class LaunchStage : unsigned char {
    Settings,        // the settings reader itself: the per-user file
    SingleInstance,
    Application,     // the main class and how the application runs
    Discovery,       // finding the runtime, and "JRE Not Found"
    Environment,     // the environment of the Java program
    Splash,
    VmOptions,
    Sharing,         // class data sharing
};

// Where a settings value came from.
enum class SettingSource : unsigned char {
    Missing,      // the layered lookup found it nowhere
    PlusSection,  // the section with "+" (the key's own section has none)
    FileSection,  // the key's own section of the file
    File,         // a plain read of the settings file
    UserFile,     // a plain read of the per-user settings file
};

// One settings value read; section and key are the reader's own names.
struct SettingRead {
    LaunchStage stage;
    const char* section;
    const char* key;
    std::string value;
    SettingSource source;
};

// One file or folder looked for.
struct FileLook {
    LaunchStage stage;
    FileProbe probe;
};

class LaunchTrace {
public:
    // The settings file as the reader read it: whether it could, and its
    // bytes.
    virtual void settingsFile(bool read, std::string_view bytes) = 0;
    virtual void setting(SettingRead read) = 0;
    virtual void file(LaunchStage stage, const FileProbe& probe) = 0;
    // A path that takes short names (ansiPathOf), and what is used for it.
    virtual void shortName(const std::wstring& original, const std::string& used) = 0;

protected:
    ~LaunchTrace() = default;
};

// Each records when there is a trace.
inline void traceFile(LaunchTrace* trace, LaunchStage stage, const FileProbe& probe) {
    if (trace) trace->file(stage, probe);
}
inline void traceShortName(LaunchTrace* trace, const std::wstring& original, const AnsiPath& path) {
    if (trace && path.shortened) trace->shortName(original, path.path);
}
