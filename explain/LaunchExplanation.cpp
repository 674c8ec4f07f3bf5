#include "explain/LaunchExplanation.h"

#include <windows.h>

#include "base/FileTest.h"
#include "base/UniqueResource.h"
#include "explain/OverlayEnvironment.h"

namespace {

// Files are only looked at, never opened for writing.
bool exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string currentFolder() {
    char buffer[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(MAX_PATH, buffer);
    return length && length < MAX_PATH ? std::string(buffer, length) : std::string();
}

// The part of the launch that uses a setting.
LaunchStage stageOf(const std::string& key) {
    for (const char* k : {"Single Instance"})
        if (key == k) return LaunchStage::SingleInstance;
    for (const char* k : {"Splash Screen", "Splash Screen Shadow", "Preffer Native Splash Screen"})
        if (key == k) return LaunchStage::Splash;
    for (const char* k : {"Class Path", "Embedded Jar", "Virtual Machine Parameters", "Output File", "Error File", "Cmd",
                          "Class Data Sharing"})
        if (key == k) return LaunchStage::VmOptions;
    return LaunchStage::Settings;
}

// What a launch acts on, only looked at: a running instance is looked for
// (the launch itself would create the shared block when missing), the folder
// is entered as the launcher would, and no runtime is picked.
class Looking final : public LaunchActions {
public:
    explicit Looking(Explanation& e) : e_(e) {}

    bool handsOverToRunningInstance(const std::string& instanceName, const std::vector<Argument>&) override {
        HANDLE block = OpenFileMappingA(FILE_MAP_READ, FALSE, instanceName.c_str());
        e_.primaryRunning = block != nullptr;
        if (block) CloseHandle(block);
        return e_.primaryRunning;
    }
    void enterFolder(const std::string& folder) override {
        std::string before = currentFolder();
        SetCurrentDirectoryA(folder.c_str());
        e_.workingDirectoryChanged = currentFolder() != before;
    }
    std::optional<std::string> pickRuntime(const LauncherSettings&, const std::string&) override {
        return std::nullopt;
    }
    // A launch that holds the record lets others only read it; this
    // reading open, which lets nobody write, fails then.
    SharingState takeArchive(const ClassDataSharingPlan& plan) override {
        UniqueFile record(CreateFileA(recordPath(plan.archive).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        return !record && GetLastError() == ERROR_SHARING_VIOLATION ? SharingState::Busy : plan.state;
    }

private:
    Explanation& e_;
};

// The registry search in full: every version read, the candidates (the
// usable versions in sorted order) and the indices into them.
void reportRegistry(StepReport& step, RegistrySearch search, const LauncherSettings& settings) {
    readEveryVersion(search, settings);
    for (const RegistryKeySearch& key : search.keys) {
        bool kindAllowed = key.key->kindFromName ? isKindAllowed(RuntimeKind::DevelopmentKit, settings) ||
                                                       isKindAllowed(RuntimeKind::RuntimeEnvironment, settings)
                                                 : isKindAllowed(key.key->kind, settings);
        step.keys.push_back({key.key, key.root == HKEY_CURRENT_USER ? "HKCU" : "HKLM", key.searched, key.opened,
                             kindAllowed, isVendorAllowed(key.key->vendor, settings), {}});
    }
    for (const RegisteredVersion& version : search.versions) {
        RegistryVersionReport report{version.name, version.kind, version.candidate, version.result,
                                     version.runtimeProbe, version.probe};
        // A version counts as preferred only as a candidate.
        if (version.result != RegistryVersionResult::Candidate) report.candidate.preferred = false;
        step.keys[version.key].versions.push_back(std::move(report));
    }
    std::vector<int> position(search.versions.size(), -1);
    for (std::size_t index : search.order) {
        const RegisteredVersion& version = search.versions[index];
        if (version.result != RegistryVersionResult::Candidate) continue;
        position[index] = static_cast<int>(step.candidates.size());
        step.candidates.push_back(version.candidate);
    }
    auto candidateIndex = [&](int version) { return version < 0 ? -1 : position[static_cast<std::size_t>(version)]; };
    // Without candidates there is nothing to prefer.
    if (!step.candidates.empty()) {
        for (PreferredVersionTry item : search.preferred) {
            item.match = candidateIndex(item.match);
            step.preferred.push_back(std::move(item));
        }
    }
    step.chosen = candidateIndex(search.chosen);
}

void reportDiscovery(Explanation& e, const RuntimeDiscovery& discovery, const LauncherSettings& settings) {
    for (std::size_t i = 0; i < discovery.stepsTried; ++i) {
        const DiscoveryStep& found = discovery.steps[i];
        StepReport& step = e.discovery.emplace_back();
        step.source = found.source;
        step.tests = found.tests;
        if (!found.probe.home.empty()) step.probes.push_back(found.probe);
        if (found.source == RuntimeSource::Registry) reportRegistry(step, found.registry, settings);
    }
}

// The encoding of the file's beginning; ANSI for a file that cannot be read.
SettingsEncoding encodingOfFile(const std::string& path) {
    std::string bytes;
    readFileStart(path, 1 << 16, bytes);
    return settingsEncodingOf(bytes);
}

void report(Explanation& e, const LaunchPlan& plan) {
    const LauncherSettings& s = plan.settings;
    e.outcome = plan.outcome;
    if (plan.failure) e.messages.push_back(messageTextWide(*plan.failure));
    if (plan.outcome == LaunchOutcome::NoSettingsPath || plan.outcome == LaunchOutcome::PathStopped) return;
    e.settingsFile = s.file;
    e.settingsFileExists = exists(s.file);
    e.settingsEncoding = encodingOfFile(s.file);
    e.settingsRead = plan.outcome != LaunchOutcome::SettingsStopped;
    e.record = s;
    e.userSettingsFile = s.userFile;
    e.userSettingsFileExists = exists(s.userFile);
    e.userSettingsFileInUse = s.userFileInUse;
    // The reads again, as the launch made them, each with where its value
    // came from.
    std::vector<SettingRead> reads;
    LauncherSettings again;
    readSettings(e.executable, s.file, again, reads);
    for (const SettingRead& read : reads) {
        const std::string& file = read.source == SettingSource::UserFile ? s.userFile : s.file;
        e.settings.push_back({stageOf(read.key), file, read.section, read.key, read.value, read.source});
    }
    if (!s.userFileTest.path.empty()) e.fileTests.push_back({LaunchStage::Settings, s.userFileTest});
    if (plan.outcome == LaunchOutcome::SettingsStopped) return;

    e.singleInstance = s.singleInstance;
    e.instanceName = plan.instanceName;
    if (plan.outcome == LaunchOutcome::SecondaryInstance) return;

    reportDiscovery(e, plan.discovery, s);
    if (plan.outcome == LaunchOutcome::JreNotFound) {
        e.jreNotFoundMessage = plan.jreNotFoundMessage;
        e.rememberedIn = s.userFileInUse ? s.userFile : s.file;
        return;
    }
    e.jvmLibrary = plan.jvmLibrary;
    e.loading = plan.loading;
    e.jvmLibraryMachine = libraryMachine(e.jvmLibrary);

    e.environment = plan.environment.variables;
    for (const auto& [name, value] : e.environment)
        if (name == "VT_JVM_HOME") e.javaHome = value;

    const SplashPlan& splash = plan.splash;
    e.splash = splash.choice;
    if (splash.choice != SplashChoice::Suppressed) {
        e.splashImage = splash.picture;
        e.splashShadow = s.splashScreenShadow;
        e.preferNativeSplash = s.preferNativeSplash;
        if (!e.splashImage.empty()) e.splashImageExists = exists(e.splashImage);
        e.nativeSplashLibrary = splash.nativeLibrary;
    }
    if (!splash.nativeLibraryTest.path.empty())
        e.fileTests.push_back({LaunchStage::Splash, splash.nativeLibraryTest});

    const VmConfiguration& vm = plan.vm;
    e.classPath = vm.classPath;
    e.memoryOptions = vm.memoryOptions;
    e.vmOptions = vm.options;
    e.javaStackSize = vm.stackSize;
    e.outputFile = vm.outputFile;
    e.errorFile = vm.errorFile;
    e.mainClass = s.mainClass;
    e.mainArguments = vm.mainArguments;
    e.sharing = plan.sharing;
    if (plan.sharing.versionSource == VersionSource::Registry) {
        const RegistrySearch& search = plan.discovery.steps[plan.discovery.stepsTried - 1].registry;
        e.sharingVersionText = search.versions[static_cast<std::size_t>(search.chosen)].name;
    } else if (plan.sharing.versionSource == VersionSource::ReleaseFile) {
        std::string text;
        readFileStart(releaseFileOf(plan.jvmLibrary), 1 << 16, text);
        e.sharingVersionText = releaseVersion(text);
        if (!e.sharingVersionText.empty() && e.sharingVersionText.back() == '\r') e.sharingVersionText.pop_back();
    }
}

}  // namespace

Explanation explainLaunch(const std::wstring& executable, const std::vector<Argument>& arguments) {
    Explanation e;
    const LaunchPaths paths = launchPathsOf(executable, &e.fallbacks);
    e.executablePath = executable;
    e.executable = paths.executable;
    e.executableExists = GetFileAttributesW(executable.c_str()) != INVALID_FILE_ATTRIBUTES;
    e.executableMachine = libraryMachine(e.executable);
    e.commandLineArguments = arguments;

    OverlayEnvironment environment;
    Looking looking(e);
    LaunchPlan plan = planLaunch({paths, arguments, environment, &e.fallbacks}, looking);
    e.workingDirectory = currentFolder();
    report(e, plan);
    return e;
}

const char* stageName(LaunchStage stage) {
    switch (stage) {
    case LaunchStage::Settings: return "settings reader";
    case LaunchStage::SingleInstance: return "single-instance set-up";
    case LaunchStage::Discovery: return "runtime discovery";
    case LaunchStage::Environment: return "environment";
    case LaunchStage::Splash: return "splash screen";
    case LaunchStage::VmOptions: return "VM options";
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
    case SharingState::FolderOnClassPath: return "folder on the class path";
    case SharingState::ArchiveIsFolder: return "archive is a folder";
    case SharingState::Refused: return "refused";
    case SharingState::Busy: return "busy";
    case SharingState::Unwritable: return "unwritable";
    case SharingState::Maps: return "maps";
    case SharingState::Makes: return "makes";
    case SharingState::Keeps: return "keeps";
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
               "-XX:SharedArchiveFile, -XX:ArchiveClassesAtExit or AutoCreateSharedArchive)";
    case SharingState::NoLocalAppData: return "off: LOCALAPPDATA is not set";
    case SharingState::FolderOnClassPath: return "off: the class path holds a folder (the VM archives classes of jar files only)";
    case SharingState::ArchiveIsFolder: return "off: a folder stands where the archive goes";
    case SharingState::Refused: return "off: the runtime refused the options at an earlier launch (the record says so)";
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

std::optional<int> launchExitCode(const Explanation& e) {
    switch (e.outcome) {
    case LaunchOutcome::NoSettingsPath:
    case LaunchOutcome::PathStopped:
    case LaunchOutcome::SettingsStopped:
    case LaunchOutcome::JreNotFound:
    case LaunchOutcome::OptionsStopped:
        return -1;
    default:
        return std::nullopt;
    }
}

const char* modernJavaName(ModernJava rule) {
    switch (rule) {
    case ModernJava::NotAsked: return "not asked";
    case ModernJava::MinimumVersion: return "Minimum Version";
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
