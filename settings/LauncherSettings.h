#pragma once
// Every value of the settings file that a launch needs, with its default:
// the record, split by the part of the launch that takes it, and the reader
// that fills it, reading each key once.

#include <optional>
#include <string>
#include <vector>

#include "base/Messages.h"
#include "settings/JavaVersion.h"
#include "settings/JvmType.h"
#include "settings/LaunchTrace.h"

// Why the keys that today's Java installers write are searched, if at all.
enum class ModernJava { NotAsked, MinimumVersion, MaximumVersion, VmProvider };

// The address "JRE Not Found" offers when the settings name none.
inline constexpr const char* kDefaultDownloadPage = "https://java.com/";

// Section names of the settings file.
namespace section {
inline constexpr const char* ProductInformation = "Product Information";
inline constexpr const char* JavaRuntimeEnvironment = "Java Runtime Environment";
inline constexpr const char* Application = "Application";
inline constexpr const char* ClassPath = "Class Path";
inline constexpr const char* Display = "Display";
}  // namespace section

// "Product Information": names the folders of the per-user settings file
// and of the class data sharing archive.
struct ProductSettings {
    std::string name;
    std::string code;
};

// Where a runtime folder the user picks is remembered: the per-user
// settings file (on NT, for an application that is no service), else the
// settings file itself.
struct UserSettingsFile {
    std::string path;  // the per-user settings file
    bool inUse = false;
};

// What the runtime discovery takes, and the "JRE Not Found" dialog.
struct DiscoverySettings {
    JavaVersion minVersion;
    JavaVersion maxVersion;
    // The bounds as the settings write them ("17", "21.0.2+13"), for the
    // messages; empty when not written.
    std::string minVersionText;
    std::string maxVersionText;
    std::vector<std::string> preferredVersions;
    std::string jrePath;  // the remembered folder
    JvmType jvmType = JvmType::Default;

    // From "JVM Source": which kinds of runtime are searched and preferred.
    bool bothKindsAllowed = true;
    bool jrePreferred = true;
    bool jdkPreferred = true;

    // From "VM Provider": which vendors are searched and preferred. OpenJDK
    // builds (Temurin, Zulu, Liberica, ...) are allowed by "openjdk" and by
    // a "Minimum Version" or "Maximum Version" of 9 or higher.
    bool sunAllowed = true;
    bool jrockitAllowed = false;
    bool ibmAllowed = false;
    bool openJdkAllowed = false;
    bool sunPreferred = true;
    bool jrockitPreferred = false;
    bool ibmPreferred = false;
    // The settings ask for Java 9 or later: the keys of today's installers
    // are searched too.
    ModernJava modernJava = ModernJava::NotAsked;

    // "Download Page", when it is an http:// or https:// address; empty: the
    // "JRE Not Found" link's own address (kDefaultDownloadPage).
    std::string downloadPage;

    // The threads that may run the IBM runtime stay attached, and the
    // process then ends only through the application's System.exit.
    bool ibmRuntimePossible() const { return ibmAllowed || ibmPreferred; }
};

// How the application runs.
struct ApplicationSettings {
    std::string mainClass;  // slash form: com/example/Main
    bool isService = false;
    bool failureCheck = false;
    bool overrideWorkingDir = false;
};

// The environment of the Java program.
struct EnvironmentSettings {
    std::string systemPath;
    std::string libraryPath;
};

// Section "Display", read from that section alone, as written.
struct DisplaySettings {
    std::string splashScreen;
    std::string splashScreenShadow;
    std::string preferNativeSplash;
};

// What the VM options are made of, as written.
struct VmSettings {
    std::string classPath;
    bool embeddedJar = false;
    std::string vmParameters;
    std::string outputFile;
    std::string errorFile;
    // The output files in UTF-16, when their names have no ANSI form (a
    // UTF-16 settings file naming files not made yet): those count.
    std::wstring outputFileWide;
    std::wstring errorFileWide;
    std::string cmd;
};

struct LauncherSettings {
    std::string file;  // the settings file beside the executable
    ProductSettings product;
    UserSettingsFile userFile;
    DiscoverySettings discovery;
    ApplicationSettings application;
    EnvironmentSettings environment;
    // "Single Instance" is exactly "yes", and the application is no service.
    bool singleInstance = false;
    DisplaySettings display;
    VmSettings vm;
    // "Class Data Sharing" is "Yes" (any case): the classes an earlier
    // launch loaded are kept in an archive per user (jvm/ClassDataSharing.h).
    bool classDataSharing = false;
};

JvmType jvmTypeFrom(const std::string& value);
void applyJvmSource(const std::string& value, DiscoverySettings& settings);
void applyVmProvider(const std::string& value, DiscoverySettings& settings);
// After the bounds and "VM Provider": a minimum, else a maximum, of 9 or
// higher asks for today's runtimes and allows OpenJDK builds.
void applyModernJava(DiscoverySettings& settings);
// The value when it is an http:// or https:// address (scheme in any case),
// else empty.
std::string downloadPageFrom(const std::string& value);

// Reads every key of the executable's settings file (settingsPathFor) into
// settings, each once. Message 210 when "Main Class" is empty, 232 when a
// path read (APPDATA for the per-user file in use, a path-valued key of a
// UTF-16 settings file) has no ANSI form: the launch stops. Every value read
// goes into the trace, when there is one.
std::optional<Failure> readSettings(const std::string& executable, const std::string& settingsFile,
                                    LauncherSettings& settings, LaunchTrace* trace = nullptr);

// The file a runtime folder the user picks is remembered in.
const std::string& jrePathFile(const LauncherSettings& settings);

// Remembers the runtime folder the user chose as "JRE Path" (making the
// per-user file's folders first); the outcome of the write is not reported.
void saveJrePath(const LauncherSettings& settings, const std::string& folder);
