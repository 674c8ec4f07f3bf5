#include "explain/LaunchExplanation.h"

#include <windows.h>

#include "explain/OverlayEnvironment.h"
#include "base/UniqueResource.h"

namespace {

std::string currentFolder() {
    char buffer[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(MAX_PATH, buffer);
    return length && length < MAX_PATH ? std::string(buffer, length) : std::string();
}

// What a launch acts on, only looked at: a running instance is looked for
// (the launch itself would create the shared block when missing), the folder
// is entered as the launcher would, no runtime is picked, and the class data
// sharing record is looked at without taking it.
class Looking final : public LaunchActions {
public:
    // A primary runs when its shared block exists (SingleInstance.h).
    bool handsOverToRunningInstance(const std::string& instanceName, const std::vector<Argument>&) override {
        return UniqueHandle(OpenFileMappingA(FILE_MAP_READ, FALSE, instanceName.c_str())).valid();
    }
    void enterFolder(const std::string& folder) override { SetCurrentDirectoryA(folder.c_str()); }
    std::optional<std::string> pickRuntime(const LauncherSettings&, const std::string&) override {
        return std::nullopt;
    }
    SharingState takeArchive(const ClassDataSharingPlan& plan) override { return peekArchive(plan); }
};

}  // namespace

Explanation explainLaunch(const std::wstring& executable, const std::vector<Argument>& arguments) {
    Explanation e;
    e.executablePath = executable;
    e.image = imageOfFile(executable);
    e.arguments = arguments;
    e.paths = launchPathsOf(executable, &e.trace);
    std::string before = currentFolder();
    OverlayEnvironment environment;
    Looking looking;
    e.plan = planLaunch({e.paths, arguments, environment, &e.trace, e.image.isConsole()}, looking);
    e.workingFolder = currentFolder();
    e.workingFolderChanged = e.workingFolder != before;
    return e;
}

std::wstring consoleLine(const Explanation& e, const std::wstring& text) {
    std::wstring name = e.executablePath.substr(e.executablePath.find_last_of(L'\\') + 1);
    std::wstring line = name.substr(0, name.rfind(L'.')) + L": " + text;
    for (wchar_t& c : line)
        if (c == L'\r' || c == L'\n') c = L' ';
    while (!line.empty() && line.back() == L' ') line.pop_back();
    return line;
}

std::optional<bool> lookedUp(const LaunchRecord& trace, LaunchStage stage, const std::string& path) {
    std::optional<bool> found;
    for (const FileLook& look : trace.files)
        if (look.stage == stage && look.probe.path == path) found = look.probe.exists;
    return found;
}

std::vector<int> candidatePositions(const RegistrySearch& search, std::vector<RuntimeCandidate>& candidates) {
    std::vector<int> position(search.versions.size(), -1);
    for (std::size_t index : search.order) {
        const RegisteredVersion& version = search.versions[index];
        if (version.result != RegistryVersionResult::Candidate) continue;
        position[index] = static_cast<int>(candidates.size());
        candidates.push_back(version.candidate);
    }
    return position;
}

std::vector<std::string> sharingOptionsOf(const VmConfiguration& vm) {
    return {vm.options.end() - static_cast<std::ptrdiff_t>(vm.sharingOptions), vm.options.end()};
}

const char* stageName(LaunchStage stage) {
    switch (stage) {
    case LaunchStage::Settings: return "settings reader";
    case LaunchStage::SingleInstance: return "single-instance set-up";
    case LaunchStage::Application: return "application start";
    case LaunchStage::Discovery: return "runtime discovery";
    case LaunchStage::Environment: return "environment";
    case LaunchStage::Splash: return "splash screen";
    case LaunchStage::VmOptions: return "VM options";
    case LaunchStage::Sharing: return "class data sharing";
    }
    return "";
}

const char* sourceName(SettingSource source) {
    switch (source) {
    case SettingSource::Missing: return "missing";
    case SettingSource::PlusSection: return "plus section";
    case SettingSource::FileSection: return "file section";
    case SettingSource::File: return "file";
    case SettingSource::UserFile: return "per-user file";
    }
    return "";
}

const char* runtimeSourceName(RuntimeSource source) {
    switch (source) {
    case RuntimeSource::Remembered: return "remembered folder";
    case RuntimeSource::BesideExecutable: return "runtime beside the executable";
    case RuntimeSource::Registry: return "registry";
    }
    return "";
}

const char* jvmTypeName(JvmType type) {
    switch (type) {
    case JvmType::Default: return "default";
    case JvmType::Server: return "server";
    case JvmType::FavorServer: return "favor_server";
    }
    return "";
}

const char* registryResultName(RegistryVersionResult result) {
    switch (result) {
    case RegistryVersionResult::OutOfBounds: return "out of bounds";
    case RegistryVersionResult::NotOpened: return "not opened";
    case RegistryVersionResult::NoJavaHome: return "no JavaHome";
    case RegistryVersionResult::NoLibrary: return "no JVM library";
    case RegistryVersionResult::Candidate: return "candidate";
    case RegistryVersionResult::Unread: return "not read";
    case RegistryVersionResult::NoVersion: return "no version";
    case RegistryVersionResult::KindNotAllowed: return "kind not allowed";
    case RegistryVersionResult::HomeNotText: return "home not text";
    case RegistryVersionResult::HomeTooLong: return "home too long";
    case RegistryVersionResult::HomeNotAnsi: return "home without ANSI spelling";
    }
    return "";
}

const char* splashChoiceName(SplashChoice choice) {
    switch (choice) {
    case SplashChoice::Suppressed: return "suppressed";
    case SplashChoice::None: return "none";
    case SplashChoice::NativeLibrary: return "native library";
    case SplashChoice::OwnWindow: return "own window";
    }
    return "";
}

const char* outcomeName(LaunchOutcome outcome) {
    switch (outcome) {
    case LaunchOutcome::NoSettingsPath: return "no settings file path";
    case LaunchOutcome::PathStopped: return "stopped: the executable's path cannot be used";
    case LaunchOutcome::SettingsStopped: return "stopped while reading the settings";
    case LaunchOutcome::SecondaryInstance: return "hands over to the running instance";
    case LaunchOutcome::DiscoveryStopped: return "stopped: a path of the runtime is too long";
    case LaunchOutcome::JreNotFound: return "JRE Not Found";
    case LaunchOutcome::OptionsStopped: return "stopped while building the VM options";
    case LaunchOutcome::StartsJava: return "starts Java";
    }
    return "";
}

const char* sharingStateName(SharingState state) {
    switch (state) {
    case SharingState::NotAsked: return "not asked";
    case SharingState::UnknownVersion: return "unknown version";
    case SharingState::OldVersion: return "old version";
    case SharingState::AuthorsOption: return "author's option";
    case SharingState::NoLocalAppData: return "no LOCALAPPDATA";
    case SharingState::UnusableFolder: return "unusable LOCALAPPDATA";
    case SharingState::OutsideFolder: return "outside LOCALAPPDATA";
    case SharingState::FolderOnClassPath: return "folder on the class path";
    case SharingState::NoBaseArchive: return "no base archive";
    case SharingState::ArchiveIsFolder: return "archive is a folder";
    case SharingState::Refused: return "refused";
    case SharingState::Stopped: return "stopped";
    case SharingState::Busy: return "busy";
    case SharingState::Unwritable: return "unwritable";
    case SharingState::Maps: return "maps";
    case SharingState::Makes: return "makes";
    case SharingState::Keeps: return "keeps";
    case SharingState::MapsCache: return "maps cache";
    case SharingState::MakesCache: return "makes cache";
    }
    return "";
}

const char* sharingStateText(SharingState state) {
    switch (state) {
    case SharingState::NotAsked: return "off (\"Class Data Sharing\" is not \"Yes\")";
    case SharingState::UnknownVersion: return "off: the runtime's version is not known";
    case SharingState::OldVersion: return "off: below Java 13 the VM keeps no archive of the application's classes";
    case SharingState::AuthorsOption:
        return "off: \"Virtual Machine Parameters\" choose class data sharing themselves (-Xshare, "
               "-XX:SharedArchiveFile, -XX:ArchiveClassesAtExit, AutoCreateSharedArchive, -XX:AOTCache, "
               "-XX:AOTCacheOutput, -XX:AOTMode or -XX:AOTConfiguration)";
    case SharingState::NoLocalAppData: return "off: LOCALAPPDATA is not set";
    case SharingState::UnusableFolder:
        return "off: LOCALAPPDATA names a folder the ANSI code page cannot spell and that has no short name, or the "
               "paths in it would be too long";
    case SharingState::OutsideFolder:
        return "off: the product name or code would lead out of LOCALAPPDATA (a name of dots, or a separator in the "
               "code)";
    case SharingState::FolderOnClassPath: return "off: the class path holds a folder (the VM archives classes of jar files only)";
    case SharingState::NoBaseArchive:
        return "off: the runtime has no base archive (classes.jsa beside the JVM library), without which the VM "
               "makes no dynamic archive (Java 17 ends the process when asked to)";
    case SharingState::ArchiveIsFolder: return "off: a folder stands where the archive or cache goes";
    case SharingState::Refused:
        return "off: the VM refused the options, or ended the process with them, at an earlier launch (the record "
               "says so)";
    case SharingState::Stopped:
        return "off: the last launch with these options ended while its VM was being created; this launch removes "
               "the archive and cache and notes it, so that later launches go without them";
    case SharingState::Busy: return "off: another launch holds the record and may be writing the archive";
    case SharingState::Unwritable:
        return "off: the folder or the record cannot be written, or the old archive cannot be removed (a running "
               "launch maps it)";
    case SharingState::Maps: return "on: the VM maps the archive";
    case SharingState::Makes:
        return "on: this launch takes the record and makes the archive anew; the VM writes it when it ends";
    case SharingState::Keeps:
        return "on: this launch takes the record; the VM maps the archive, or makes it when it ends if it is missing "
               "or does not fit";
    case SharingState::MapsCache: return "on: the VM maps the ahead-of-time cache";
    case SharingState::MakesCache:
        return "on: this launch takes the record and trains; when its VM ends, it makes the ahead-of-time cache "
               "(with java.exe), and this launch takes longer to end";
    }
    return "";
}

const char* attemptName(Attempt attempt) {
    switch (attempt) {
    case Attempt::None: return "none";
    case Attempt::Pending: return "pending";
    case Attempt::Reached: return "reached";
    case Attempt::Refused: return "refused";
    case Attempt::Stopped: return "stopped";
    }
    return "";
}

const char* attemptText(Attempt attempt) {
    switch (attempt) {
    case Attempt::None: return "none";
    case Attempt::Pending: return "pending: a launch is creating its VM with";
    case Attempt::Reached: return "main was reached with";
    case Attempt::Refused: return "refused: the VM would not start with";
    case Attempt::Stopped: return "stopped: the VM ended the process while being created with";
    }
    return "";
}

const char* cacheFallbackName(CacheFallback fallback) {
    switch (fallback) {
    case CacheFallback::None: return "none";
    case CacheFallback::Console: return "console program";
    case CacheFallback::NoJavaExe: return "no java.exe";
    case CacheFallback::NotMade: return "not made";
    }
    return "";
}

const char* cacheFallbackText(CacheFallback fallback) {
    switch (fallback) {
    case CacheFallback::None: return "";
    case CacheFallback::Console:
        return "a console program: the child JVM that makes the cache announces itself on standard error";
    case CacheFallback::NoJavaExe: return "the runtime has no bin\\java.exe, which makes the cache";
    case CacheFallback::NotMade: return "the cache could not be made (the record says so)";
    }
    return "";
}

const char* recordStateName(RecordState state) {
    switch (state) {
    case RecordState::Missing: return "missing";
    case RecordState::Matches: return "matches";
    case RecordState::Differs: return "differs";
    case RecordState::Refused: return "refused";
    }
    return "";
}

const char* archiveStateName(ArchiveState state) {
    switch (state) {
    case ArchiveState::Missing: return "missing";
    case ArchiveState::Complete: return "complete";
    case ArchiveState::Incomplete: return "incomplete";
    case ArchiveState::Folder: return "folder";
    }
    return "";
}

const char* versionSourceName(VersionSource source) {
    switch (source) {
    case VersionSource::None: return "none";
    case VersionSource::Registry: return "registry";
    case VersionSource::ReleaseFile: return "release file";
    }
    return "";
}

const char* modernJavaName(ModernJava rule) {
    switch (rule) {
    case ModernJava::NotAsked: return "not asked";
    case ModernJava::MinimumVersion: return "Minimum Version";
    case ModernJava::MaximumVersion: return "Maximum Version";
    case ModernJava::VmProvider: return "VM Provider";
    }
    return "";
}

const char* kindName(RuntimeKind kind) {
    return kind == RuntimeKind::DevelopmentKit ? "development kit" : "runtime environment";
}

const char* encodingName(SettingsEncoding encoding) {
    switch (encoding) {
    case SettingsEncoding::Ansi: return "ANSI";
    case SettingsEncoding::Utf16: return "UTF-16";
    case SettingsEncoding::Utf16NoBom: return "UTF-16 without byte-order mark";
    case SettingsEncoding::Utf8Bom: return "UTF-8 with byte-order mark";
    case SettingsEncoding::Utf8: return "UTF-8";
    }
    return "";
}

const char* encodingWarning(SettingsEncoding encoding) {
    switch (encoding) {
    case SettingsEncoding::Utf16NoBom:
        return "The settings file looks like UTF-16 without a byte-order mark: Windows reads it as ANSI text and "
               "finds no section in it. Save it as \"Unicode\" (UTF-16 with its mark) or as ANSI.";
    case SettingsEncoding::Utf8Bom:
        return "The settings file begins with a UTF-8 byte-order mark: Windows reads it as ANSI text, the mark "
               "becomes part of the first line, and the first section is not found. Save it as ANSI or as "
               "\"Unicode\" (UTF-16).";
    case SettingsEncoding::Utf8:
        return "The settings file holds UTF-8 text outside ASCII: Windows reads it as ANSI text, and those "
               "characters change. Save it as ANSI or as \"Unicode\" (UTF-16).";
    default: return "";
    }
}
