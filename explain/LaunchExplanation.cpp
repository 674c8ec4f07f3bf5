#include "explain/LaunchExplanation.h"

#include <windows.h>

#include "explain/OverlayEnvironment.h"
#include "jre/JavaHome.h"
#include "jre/RequiredVersion.h"
#include "jvm/JavaEnvironment.h"
#include "jvm/MemoryOptions.h"
#include "jvm/VmOptions.h"
#include "launcher/LaunchContext.h"
#include "launcher/Launcher.h"
#include "launcher/SingleInstance.h"
#include "settings/SettingsPaths.h"
#include "splash/NativeSplash.h"

namespace {

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Every entry of a class path text, each of which is followed by ";".
std::vector<std::string> classPathEntries(const std::string& text) {
    std::vector<std::string> entries;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(';', start);
        if (end == std::string::npos) end = text.size();
        entries.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return entries;
}

// Files are only looked at, never opened for writing.
bool exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The machine a PE file is built for; 0 when it is not one or can't be read.
unsigned peMachine(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    unsigned machine = 0;
    IMAGE_DOS_HEADER dos = {};
    DWORD read = 0;
    if (ReadFile(file, &dos, sizeof dos, &read, nullptr) && read == sizeof dos &&
        dos.e_magic == IMAGE_DOS_SIGNATURE &&
        SetFilePointer(file, dos.e_lfanew, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER) {
        struct {
            DWORD signature;
            IMAGE_FILE_HEADER header;
        } nt = {};
        if (ReadFile(file, &nt, sizeof nt, &read, nullptr) && read == sizeof nt &&
            nt.signature == IMAGE_NT_SIGNATURE)
            machine = nt.header.Machine;
    }
    CloseHandle(file);
    return machine;
}

// Records what the launcher's code reports while it runs for the explained
// executable.
class Recorder final : public LaunchObserver {
public:
    explicit Recorder(Explanation& explanation) : e_(explanation) {}

    LaunchStage stage = LaunchStage::Settings;

    void settingRead(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value, SettingSource source) override {
        e_.settings.push_back({stage, file, section, key, value, source});
    }

    void fileTested(const std::string& path, bool exists) override {
        if (stage == LaunchStage::Discovery && !e_.discovery.empty()) {
            pendingTests_.push_back({path, exists});
        } else {
            e_.fileTests.push_back({stage, {path, exists}});
        }
    }

    void runtimeSourceTried(RuntimeSource source) override {
        flushTests();
        e_.discovery.push_back({});
        e_.discovery.back().source = source;
        chosenSeen_ = false;
        lastProbe_.reset();
    }

    // The probe's own tests are the trailing ones below its home that name a
    // JVM library; tests before them (the runtime markers) belong to the
    // step.
    void javaHomeProbed(const std::string& home, JvmType type, const std::string& library,
                        bool isServer) override {
        Probe probe{home, type, {}, library, isServer};
        std::size_t first = pendingTests_.size();
        while (first > 0 && startsWith(pendingTests_[first - 1].path, home) &&
               endsWith(pendingTests_[first - 1].path, "\\jvm.dll"))
            --first;
        probe.tests.assign(pendingTests_.begin() + static_cast<std::ptrdiff_t>(first), pendingTests_.end());
        pendingTests_.resize(first);
        flushTests();
        if (step().source == RuntimeSource::Registry && !chosenSeen_) {
            lastProbe_ = std::move(probe);
        } else {
            step().probes.push_back(std::move(probe));
        }
    }

    void registryKeySearched(const RegistryKey& key, bool searched, bool opened) override {
        RegistryKeyRecord record;
        record.key = &key;
        record.searched = searched;
        record.opened = opened;
        record.kindAllowed = isKindAllowed(key, e_.record);
        record.vendorAllowed = isVendorAllowed(key, e_.record);
        step().keys.push_back(std::move(record));
    }

    void registryVersionRead(const RegistryKey&, const std::string& name, const RuntimeCandidate& candidate,
                             RegistryVersionResult result) override {
        RegistryVersion version{name, candidate, result, std::nullopt};
        if (lastProbe_ && lastProbe_->home == candidate.home) version.probe = std::move(lastProbe_);
        lastProbe_.reset();
        if (!step().keys.empty()) step().keys.back().versions.push_back(std::move(version));
    }

    void preferredVersionTried(const std::string& item, const JavaVersion& pattern,
                               const RuntimeCandidate* match) override {
        step().preferred.push_back({item, pattern, -1});
        matches_.push_back(match);
    }

    void registryRuntimeChosen(const std::vector<RuntimeCandidate>& candidates,
                               const RuntimeCandidate* chosen) override {
        DiscoveryStep& registry = step();
        registry.candidates = candidates;
        auto index = [&](const RuntimeCandidate* c) { return c ? static_cast<int>(c - candidates.data()) : -1; };
        for (std::size_t i = 0; i < matches_.size() && i < registry.preferred.size(); ++i)
            registry.preferred[i].match = index(matches_[i]);
        matches_.clear();
        registry.chosen = index(chosen);
        chosenSeen_ = true;
    }

    void classPathEntryExpanded(const std::string& piece, bool searched, const std::string& launcherFolder,
                                const char* added) override {
        ClassPathPiece record{piece, searched, {}, classPathEntries(added)};
        if (searched) record.pattern = classPathSearch(piece, launcherFolder).pattern;
        e_.classPath.push_back(std::move(record));
    }

    void memoryMeasured(const std::string& option, std::uint64_t totalPhysical,
                        std::uint64_t availableVirtual) override {
        e_.memoryOptions.push_back({option, percentMemoryOption(option, totalPhysical, availableVirtual),
                                    totalPhysical, availableVirtual});
    }

    void messageShown(const char* text) override { e_.messages.push_back(text); }

    // Tests not taken by a probe belong to the step they were made in.
    void flushTests() {
        if (!e_.discovery.empty()) {
            auto& tests = step().tests;
            tests.insert(tests.end(), pendingTests_.begin(), pendingTests_.end());
        }
        pendingTests_.clear();
    }

private:
    DiscoveryStep& step() { return e_.discovery.back(); }

    Explanation& e_;
    std::vector<FileTest> pendingTests_;
    std::optional<Probe> lastProbe_;
    std::vector<const RuntimeCandidate*> matches_;
    bool chosenSeen_ = false;
};

std::string currentFolder() {
    char buffer[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(MAX_PATH, buffer);
    return length && length < MAX_PATH ? std::string(buffer, length) : std::string();
}

// Runs the launch's steps in the launcher's order (initialize, then run up
// to the loading of the JVM library) and stops where the launcher would.
void runLaunch(Explanation& e, Recorder& recorder, OverlayEnvironment& environment) {
    Launcher launcher;
    launcher.arguments = e.commandLineArguments;

    std::string settingsPath;
    if (!settingsFilePath(settingsPath, nullptr)) {
        e.outcome = LaunchOutcome::NoSettingsPath;
        return;
    }
    e.settingsFile = settingsPath;
    e.settingsFileExists = exists(settingsPath);

    e.settingsRead = launcher.readSettings();
    e.record = launcher.settings;
    e.userSettingsFile = userSettingsFilePath(launcher.settings.productName, launcher.settings.productCode,
                                              false, nullptr);
    e.userSettingsFileExists = exists(e.userSettingsFile);
    e.userSettingsFileInUse = usesUserSettingsFile(launcher.settings.isService);
    if (!e.settingsRead) {
        e.outcome = LaunchOutcome::SettingsStopped;
        return;
    }

    recorder.stage = LaunchStage::SingleInstance;
    e.singleInstance = singleInstanceRequested(settingsPath);
    if (e.singleInstance) {
        e.instanceName = instanceNameFor(e.executable);
        // Only looked for: the launch itself would create it when missing.
        HANDLE block = OpenFileMappingA(FILE_MAP_READ, FALSE, e.instanceName.c_str());
        e.primaryRunning = block != nullptr;
        if (block) CloseHandle(block);
        if (e.primaryRunning) {
            e.outcome = LaunchOutcome::SecondaryInstance;
            return;
        }
    }

    if (launcher.settings.overrideWorkingDir) {
        std::string before = currentFolder();
        launcher.applyWorkingDirectory();
        e.workingDirectoryChanged = currentFolder() != before;
    }
    e.workingDirectory = currentFolder();

    recorder.stage = LaunchStage::Discovery;
    bool found = launcher.findRuntime();
    recorder.flushTests();
    if (!found) {
        e.jreNotFoundMessage = jreNotFoundMessage(launcher.settings);
        e.rememberedIn = e.userSettingsFileInUse ? e.userSettingsFile : settingsPath;
        e.outcome = LaunchOutcome::JreNotFound;
        return;
    }
    e.jvmLibrary = launcher.jvmLibraryPath;
    e.jvmLibraryMachine = peMachine(e.jvmLibrary);

    recorder.stage = LaunchStage::Environment;
    setUpJavaEnvironment(launcher);
    e.environment = environment.variables();
    for (const auto& [name, value] : e.environment)
        if (name == "VT_JVM_HOME") e.javaHome = value;

    recorder.stage = LaunchStage::Splash;
    if (launcher.findArgument("-nosplash") != -1 || launcher.findArgument("/nosplash") != -1) {
        e.splash = SplashChoice::Suppressed;
    } else {
        launcher.readSplashSettings(e.preferNativeSplash);
        e.splashImage = launcher.splashImagePath;
        e.splashShadow = launcher.splashShadow;
        if (!e.splashImage.empty()) {
            e.splashImageExists = exists(e.splashImage);
            e.nativeSplashLibrary = launcher.findNativeSplashLibrary();
            e.splash = prefersNativeSplash(e.preferNativeSplash, e.nativeSplashLibrary)
                           ? SplashChoice::NativeLibrary
                           : SplashChoice::OwnWindow;
        }
    }

    recorder.stage = LaunchStage::VmOptions;
    bool built = buildVmOptions(launcher);
    e.vmOptions = launcher.vmOptions;
    e.javaStackSize = launcher.javaStackSize;
    e.outputFile = launcher.outputFilePath;
    e.errorFile = launcher.errorFilePath;
    e.mainClass = launcher.settings.mainClass;
    e.mainArguments = launcher.arguments;
    e.outcome = built ? LaunchOutcome::StartsJava : LaunchOutcome::OptionsStopped;
}

}  // namespace

Explanation explainLaunch(const std::string& executable, const std::vector<std::string>& arguments) {
    Explanation e;
    e.executable = executable;
    e.executableExists = exists(executable);
    e.executableMachine = peMachine(executable);
    e.commandLineArguments = arguments;
    e.workingDirectory = currentFolder();

    Recorder recorder(e);
    OverlayEnvironment environment;
    LaunchContext saved = launchContext;
    launchContext = {e.executable.c_str(), &environment, &recorder};
    runLaunch(e, recorder, environment);
    launchContext = saved;
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
    case SettingSource::Base: return "base";
    case SettingSource::PlusSection: return "plus section";
    case SettingSource::BaseAndPlus: return "base and plus section";
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
    case LaunchOutcome::SettingsStopped: return "stopped while reading the settings";
    case LaunchOutcome::SecondaryInstance: return "hands over to the running instance";
    case LaunchOutcome::JreNotFound: return "JRE Not Found";
    case LaunchOutcome::OptionsStopped: return "stopped while building the VM options";
    case LaunchOutcome::StartsJava: return "starts Java";
    }
    return "";
}

const char* machineName(unsigned machine) {
    switch (machine) {
    case IMAGE_FILE_MACHINE_I386: return "i686";
    case IMAGE_FILE_MACHINE_AMD64: return "x86_64";
    case IMAGE_FILE_MACHINE_ARM64: return "arm64";
    default: return "";
    }
}

std::optional<int> launchExitCode(const Explanation& e) {
    switch (e.outcome) {
    case LaunchOutcome::NoSettingsPath:
    case LaunchOutcome::SettingsStopped:
    case LaunchOutcome::JreNotFound:
    case LaunchOutcome::OptionsStopped:
        return -1;
    default:
        return std::nullopt;
    }
}

unsigned ownMachine() {
#ifdef _WIN64
    return IMAGE_FILE_MACHINE_AMD64;
#else
    return IMAGE_FILE_MACHINE_I386;
#endif
}
