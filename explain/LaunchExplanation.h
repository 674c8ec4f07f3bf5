#pragma once
// Everything a launch of a launcher executable would decide, as the
// launcher's own plan (launcher/LaunchPlan.h) evaluates it for that
// executable, with what a reader needs beside it: whether the files named
// exist, the machine types, and every registered runtime read in full.
// Nothing is started, loaded or written; the only change is this process's
// current folder, which follows "Override WorkingDir" as the launcher's
// would.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "jre/LibraryMachine.h"
#include "launcher/LaunchPlan.h"

// Which part of the launch uses a setting or tested a file.
enum class LaunchStage { Settings, SingleInstance, Discovery, Environment, Splash, VmOptions };

struct StagedSettingRead {
    LaunchStage stage = LaunchStage::Settings;
    std::string file;
    std::string section;
    std::string key;
    std::string value;
    SettingSource source = SettingSource::Missing;
};

struct StagedFileTest {
    LaunchStage stage = LaunchStage::Settings;
    FileTest test;
};

struct RegistryVersionReport {
    std::string name;
    RuntimeKind kind = RuntimeKind::RuntimeEnvironment;
    RuntimeCandidate candidate;  // as far as it was built
    RegistryVersionResult result = RegistryVersionResult::OutOfBounds;
    HomeProbe runtimeProbe;  // a development kit's "jre\" that held no library
    HomeProbe probe;         // home empty: not probed
};

struct RegistryKeyReport {
    const RegistryKey* key = nullptr;
    const char* root = "";  // "HKLM" or "HKCU"
    bool searched = false;
    bool opened = false;
    bool kindAllowed = false;
    bool vendorAllowed = false;
    std::vector<RegistryVersionReport> versions;
};

struct StepReport {
    RuntimeSource source = RuntimeSource::Remembered;
    std::vector<FileTest> tests;  // tests outside the probes (runtime markers)
    std::vector<HomeProbe> probes;
    // The registry step only.
    std::vector<RegistryKeyReport> keys;
    std::vector<RuntimeCandidate> candidates;  // the usable versions, in sorted order
    std::vector<PreferredVersionTry> preferred;  // match: index into candidates
    int chosen = -1;                              // index into candidates
    // The JVM library this step gave; empty when it gave none.
    std::string library() const { return probes.empty() ? std::string() : probes.back().library; }
};

struct Explanation {
    std::wstring executablePath;  // as given
    std::string executable;       // as the launch uses it (in the ANSI code page)
    bool executableExists = false;
    // Machine types of the executable and of the chosen JVM library
    // (IMAGE_FILE_MACHINE_*); 0 when unknown.
    unsigned executableMachine = 0;
    unsigned jvmLibraryMachine = 0;
    std::vector<Argument> commandLineArguments;
    std::string workingDirectory;
    PathFallbacks fallbacks;  // paths the launch uses in their short form
    bool workingDirectoryChanged = false;

    std::string settingsFile;
    bool settingsFileExists = false;
    SettingsEncoding settingsEncoding = SettingsEncoding::Ansi;
    std::string userSettingsFile;
    bool userSettingsFileExists = false;
    bool userSettingsFileInUse = false;
    std::vector<StagedSettingRead> settings;
    std::vector<StagedFileTest> fileTests;  // outside the discovery
    bool settingsRead = false;
    LauncherSettings record;

    bool singleInstance = false;
    std::string instanceName;
    bool primaryRunning = false;

    std::vector<StepReport> discovery;
    std::string jvmLibrary;
    JvmLoading loading;
    std::string javaHome;  // the folder that holds the library's bin folder
    std::string jreNotFoundMessage;
    std::string rememberedIn;  // where a folder picked in the dialog is written

    std::vector<std::pair<std::string, std::string>> environment;  // in the order set

    SplashChoice splash = SplashChoice::None;
    std::string splashImage;
    bool splashImageExists = false;
    std::string splashShadow;
    std::string preferNativeSplash;
    std::string nativeSplashLibrary;

    std::vector<ClassPathPiece> classPath;
    std::vector<MemoryRewrite> memoryOptions;
    std::vector<std::string> vmOptions;
    std::uint32_t javaStackSize = 0;  // 0: the JVM library's default
    std::string mainClass;
    std::vector<Argument> mainArguments;
    std::string outputFile;
    std::string errorFile;
    ClassDataSharingPlan sharing;
    // The text its version came from: the registry subkey's name, or the
    // release file's JAVA_VERSION line.
    std::string sharingVersionText;

    std::vector<std::wstring> messages;  // what the launch shows in message boxes
    LaunchOutcome outcome = LaunchOutcome::NoSettingsPath;
};

// Evaluates the launch of the executable (a full path) with these
// command-line arguments, up to the moment the JVM library would be loaded.
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

// The exit code of a launch that ends before Java (for the "JRE Not Found"
// dialog: when it is cancelled); nothing when Java or a running instance
// decides it.
std::optional<int> launchExitCode(const Explanation& explanation);
