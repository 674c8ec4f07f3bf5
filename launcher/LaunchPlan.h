#pragma once
// A launch evaluated as values, step by step, up to the loading of the JVM
// library: the settings, the single-instance mode, the working folder, the
// Java runtime, the environment of the Java program, the splash screen, the
// VM configuration and class data sharing. Each step returns its result,
// which the plan keeps (a step that the launch does not reach has none), so
// the order of the steps is written here alone. The launcher carries the
// plan out; the companion that explains a launch evaluates the same plan,
// with a trace of what it looked at (settings/LaunchTrace.h), and shows it.
//
// A launch acts on the world at four points before Java starts, and the
// plan asks its caller there (LaunchActions): the launcher creates the
// single-instance objects, changes its folder, shows the "JRE Not Found"
// dialog and takes the class data sharing record; explain only looks.

#include <optional>
#include <string>
#include <vector>

#include "base/CommandLine.h"
#include "base/Environment.h"
#include "base/Messages.h"
#include "jre/RuntimeDiscovery.h"
#include "jvm/ClassDataSharing.h"
#include "jvm/JavaEnvironment.h"
#include "jvm/JvmLibrary.h"
#include "jvm/VmOptions.h"
#include "settings/LaunchTrace.h"
#include "settings/LauncherSettings.h"
#include "splash/SplashScreen.h"

// The paths of the launcher executable as a launch uses them, from the path
// the system gives in UTF-16: the executable and its settings file (the
// executable's path with everything after its last "." replaced by "ini";
// empty without a ".") in the ANSI code page, with short names where it
// cannot spell them (noted in the trace, when there is one); or why they
// cannot be had.
struct LaunchPaths {
    std::string executable;
    std::string settingsFile;
    std::optional<Failure> failure;
};
LaunchPaths launchPathsOf(const std::wstring& executable, LaunchTrace* trace = nullptr);

// What a launch is evaluated against.
struct LaunchContext {
    const LaunchPaths& paths;
    std::vector<Argument> arguments;  // the command-line arguments
    LaunchEnvironment& environment;   // where variables are set and expanded
    LaunchTrace* trace = nullptr;     // what the launch looks at goes here; none in the launcher
    bool console = false;             // the executable is a console program
};

class LaunchActions {
public:
    // Single-instance mode is on: whether another launch of the executable
    // runs and takes this launch's arguments (the launch then goes no
    // further).
    virtual bool handsOverToRunningInstance(const std::string& instanceName,
                                            const std::vector<Argument>& arguments) = 0;
    // "Override WorkingDir": the launch moves into the folder.
    virtual void enterFolder(const std::string& folder) = 0;
    // No runtime was found: the JVM library in the folder the user picks
    // (the folder is then remembered), or nothing.
    virtual std::optional<std::string> pickRuntime(const LauncherSettings& settings,
                                                   const std::string& message) = 0;
    // Class data sharing uses the record in this launch (takesRecord): it
    // is taken and the files prepared (takeArchive in
    // jvm/ClassDataSharing.h); the state the launch goes on with.
    virtual SharingState takeArchive(const ClassDataSharingPlan& plan) = 0;

protected:
    ~LaunchActions() = default;
};

// How far the launch gets.
enum class LaunchOutcome {
    NoSettingsPath,     // the executable's path holds no "."; ends at once, without a message
    PathStopped,        // the executable's path cannot be used: a message
    SettingsStopped,    // a message while reading the settings
    SecondaryInstance,  // a running instance takes the arguments
    DiscoveryStopped,   // no runtime, and one of its files' paths is too long: a message
    JreNotFound,        // the "JRE Not Found" dialog, cancelled
    OptionsStopped,     // a message while building the VM options
    StartsJava,         // the JVM library is loaded and main is called
};

// The exit code of a launch that fails before Java runs or whose Java
// thread fails before main has run: -1.
inline constexpr int kLaunchFailed = -1;

// The exit code of a launch with this outcome: kLaunchFailed for those that
// end before Java; nothing when the application (StartsJava) or the running
// instance (SecondaryInstance) decides it.
std::optional<int> exitCodeOf(LaunchOutcome outcome);

// Single-instance mode, as the settings ask for it.
struct InstanceMode {
    bool on = false;
    std::string name;  // the shared objects' name, when on
};

// "JRE Not Found": what the dialog says, and where a folder picked there is
// remembered.
struct JreNotFound {
    std::string message;
    std::string rememberedIn;
};

struct LaunchPlan {
    LaunchOutcome outcome = LaunchOutcome::NoSettingsPath;
    // The message the launch shows before it ends (PathStopped,
    // SettingsStopped, DiscoveryStopped, OptionsStopped).
    std::optional<Failure> failure;
    std::string launcherFolder;  // the executable's folder, ending in a backslash

    // Each step's result, once the launch reaches the step.
    std::optional<LauncherSettings> settings;  // also when reading them stopped: what was read
    std::optional<InstanceMode> instance;
    std::optional<std::string> workingFolder;  // "Override WorkingDir": the folder entered
    std::optional<RuntimeDiscovery> discovery;
    std::optional<JreNotFound> jreNotFound;    // when discovery found nothing
    std::string jvmLibrary;                    // found, or picked by the user
    std::optional<JvmLoading> loading;         // how it is loaded
    std::optional<JavaEnvironment> environment;
    std::optional<SplashPlan> splash;
    std::optional<VmConfiguration> vm;  // the class data sharing options last
    std::optional<ClassDataSharingPlan> sharing;
};

// The name of the single-instance objects: the executable's full path with
// every backslash replaced by "_" (C:\Apps\Tool.exe gives C:_Apps_Tool.exe);
// for a path so long that a name with its longest suffix ("_handover_taken")
// would pass MAX_PATH, "JavaLauncher-" and 32 hexadecimal digits of a digest
// of the path.
std::string instanceNameFor(const std::string& executable);

// Whether the arguments hold the text, compared exactly.
bool hasArgument(const std::vector<Argument>& arguments, const char* text);

LaunchPlan planLaunch(const LaunchContext& context, LaunchActions& actions);
