#pragma once
// Everything a launch of a launcher executable would decide, found by the
// launcher's own code run for that executable (LaunchContext.h) and recorded
// step by step through a LaunchObserver: the settings and where each value
// came from, the runtime discovery, the environment, the splash screen, the
// VM options and what main would receive. Nothing is started, loaded or
// written; the only change is this process's current folder, which follows
// "Override WorkingDir" as the launcher's would.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "jre/RegistrySearch.h"
#include "launcher/LaunchObserver.h"
#include "settings/LauncherSettings.h"

struct FileTest {
    std::string path;
    bool exists = false;
};

// Which part of the launch read a setting or tested a file.
enum class LaunchStage { Settings, SingleInstance, Discovery, Environment, Splash, VmOptions };

struct SettingRead {
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

// One Java home probed for a JVM library: the files tested in order.
struct Probe {
    std::string home;
    JvmType type = JvmType::Default;
    std::vector<FileTest> tests;
    std::string library;  // empty: none found
    bool isServer = false;
};

struct RegistryVersion {
    std::string name;
    RuntimeCandidate candidate;  // as far as it was built
    RegistryVersionResult result = RegistryVersionResult::OutOfBounds;
    std::optional<Probe> probe;
};

struct RegistryKeyRecord {
    const RegistryKey* key = nullptr;
    bool searched = false;
    bool opened = false;
    bool kindAllowed = false;
    bool vendorAllowed = false;
    std::vector<RegistryVersion> versions;
};

struct PreferredVersionTry {
    std::string item;
    JavaVersion pattern;
    int match = -1;  // index into the sorted candidates; -1: none
};

struct DiscoveryStep {
    RuntimeSource source = RuntimeSource::Remembered;
    std::vector<FileTest> tests;  // tests outside the probes (runtime markers)
    std::vector<Probe> probes;
    // The registry step only.
    std::vector<RegistryKeyRecord> keys;
    std::vector<RuntimeCandidate> candidates;  // in sorted order
    std::vector<PreferredVersionTry> preferred;
    int chosen = -1;
    // The JVM library this step gave; empty when it gave none.
    std::string library() const { return probes.empty() ? std::string() : probes.back().library; }
};

struct ClassPathPiece {
    std::string piece;
    bool searched = false;
    std::string pattern;               // the search pattern when searched
    std::vector<std::string> entries;  // what it added to the class path
};

struct MemoryOptionRewrite {
    std::string option;
    std::string rewritten;
    std::uint64_t totalPhysical = 0;
    std::uint64_t availableVirtual = 0;
};

enum class SplashChoice { Suppressed, None, NativeLibrary, OwnWindow };

// How far the launch gets.
enum class LaunchOutcome {
    NoSettingsPath,   // the module path holds no "."; ends at once, exit code -1
    SettingsStopped,  // a message while reading the settings; exit code -1
    SecondaryInstance,  // a running instance takes the arguments
    JreNotFound,      // the "JRE Not Found" dialog
    OptionsStopped,   // a message while building the VM options; exit code -1
    StartsJava,       // the JVM library is loaded and main is called
};

struct Explanation {
    std::string executable;
    bool executableExists = false;
    // Machine types of the executable and of the chosen JVM library
    // (IMAGE_FILE_MACHINE_*); 0 when unknown.
    unsigned executableMachine = 0;
    unsigned jvmLibraryMachine = 0;
    std::vector<std::string> commandLineArguments;
    std::string workingDirectory;
    bool workingDirectoryChanged = false;

    std::string settingsFile;
    bool settingsFileExists = false;
    std::string userSettingsFile;
    bool userSettingsFileExists = false;
    bool userSettingsFileInUse = false;
    std::vector<SettingRead> settings;
    std::vector<StagedFileTest> fileTests;  // outside the discovery
    bool settingsRead = false;
    LauncherSettings record;

    bool singleInstance = false;
    std::string instanceName;
    bool primaryRunning = false;

    std::vector<DiscoveryStep> discovery;
    std::string jvmLibrary;
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
    std::vector<MemoryOptionRewrite> memoryOptions;
    std::vector<std::string> vmOptions;
    std::uint32_t javaStackSize = 0;  // 0: the JVM library's default
    std::string mainClass;
    std::vector<std::string> mainArguments;
    std::string outputFile;
    std::string errorFile;

    std::vector<std::string> messages;  // what the launch shows in message boxes
    LaunchOutcome outcome = LaunchOutcome::NoSettingsPath;
};

// Runs the launch of the executable (a full path) with these command-line
// arguments, up to the moment the JVM library would be loaded, and records
// it. Uses the process-wide launch context while it runs.
Explanation explainLaunch(const std::string& executable, const std::vector<std::string>& arguments);

// Names used in both reports.
const char* stageName(LaunchStage stage);
const char* sourceName(SettingSource source);
const char* runtimeSourceName(RuntimeSource source);
const char* jvmTypeName(JvmType type);
const char* registryResultName(RegistryVersionResult result);
const char* splashChoiceName(SplashChoice choice);
const char* outcomeName(LaunchOutcome outcome);
const char* machineName(unsigned machine);  // "i686", "x86_64", ...; "" when unknown

// The exit code of a launch that ends before Java (for the "JRE Not Found"
// dialog: when it is cancelled); nothing when Java or a running instance
// decides it.
std::optional<int> launchExitCode(const Explanation& explanation);

// The machine this program itself is built for (IMAGE_FILE_MACHINE_*).
unsigned ownMachine();
