#pragma once
// A launch of a launcher executable as explain shows it: the launcher's own
// plan (launcher/LaunchPlan.h), evaluated for that executable up to the
// moment the JVM library would be loaded, and the trace of what it looked at
// (settings/LaunchTrace.h). explain renders these two and reads nothing of
// its own: no settings, no registry key, no file. Nothing is started,
// loaded or written; the only change is this process's current folder,
// which follows "Override WorkingDir" as the launcher's would.

#include <optional>
#include <string>
#include <vector>

#include "launcher/ExecutableImage.h"
#include "launcher/LaunchPlan.h"
#include "settings/LaunchRecord.h"

struct Explanation {
    std::wstring executablePath;  // as given
    ExecutableImage image;        // the executable's, as the launcher would have it
    std::vector<Argument> arguments;
    std::string workingFolder;  // where the launch is evaluated, after "Override WorkingDir"
    bool workingFolderChanged = false;
    LaunchPaths paths;
    LaunchRecord trace;
    LaunchPlan plan;
};

// The one line a console program writes for a message: the executable's
// name, ": " and the message's text on one line.
std::wstring consoleLine(const Explanation& e, const std::wstring& text);

// Evaluates the launch of the executable (a full path) with these
// command-line arguments.
Explanation explainLaunch(const std::wstring& executable, const std::vector<Argument>& arguments);

// Names used in both reports.
const char* stageName(LaunchStage stage);
const char* sourceName(SettingSource source);
const char* runtimeSourceName(RuntimeSource source);
const char* jvmTypeName(JvmType type);
const char* registryResultName(RegistryVersionResult result);
const char* modernJavaName(ModernJava rule);
const char* kindName(RuntimeKind kind);
const char* splashChoiceName(SplashChoice choice);
const char* outcomeName(LaunchOutcome outcome);
const char* encodingName(SettingsEncoding encoding);
// What the encoding does to the settings; empty when nothing.
const char* encodingWarning(SettingsEncoding encoding);
const char* sharingStateName(SharingState state);
const char* sharingStateText(SharingState state);  // why it is off, or how it is on
const char* recordStateName(RecordState state);
const char* archiveStateName(ArchiveState state);
const char* versionSourceName(VersionSource source);
const char* attemptName(Attempt attempt);
const char* attemptText(Attempt attempt);  // followed by the attempt's options
const char* cacheFallbackName(CacheFallback fallback);
const char* cacheFallbackText(CacheFallback fallback);  // why the dynamic archive instead of the cache

// What the trace holds of one file or folder of a stage (the last look at
// the path); nothing when the launch did not look at it.
std::optional<bool> lookedUp(const LaunchRecord& trace, LaunchStage stage, const std::string& path);

// The candidates among the registered versions the search read, in sorted
// order; and for each version, its place among them (-1: none).
std::vector<int> candidatePositions(const RegistrySearch& search, std::vector<RuntimeCandidate>& candidates);

// The options class data sharing added: the last of the VM options.
std::vector<std::string> sharingOptionsOf(const VmConfiguration& vm);
