#pragma once
// Every value of the settings file that a launch needs, with its default:
// the record, and the reader that fills it, reading each key once.

#include <optional>
#include <string>
#include <vector>

#include "base/FileTest.h"
#include "base/Messages.h"
#include "settings/JavaVersion.h"
#include "settings/SettingsFile.h"

enum class JvmType { Default = 0, Server = 1, FavorServer = 2 };

// Section names of the settings file.
namespace section {
inline constexpr const char* ProductInformation = "Product Information";
inline constexpr const char* JavaRuntimeEnvironment = "Java Runtime Environment";
inline constexpr const char* Application = "Application";
inline constexpr const char* ClassPath = "Class Path";
inline constexpr const char* Display = "Display";
}  // namespace section

struct LauncherSettings {
    std::string file;  // the settings file beside the executable

    std::string productCode;
    std::string productName;
    JavaVersion minVersion;
    JavaVersion maxVersion;
    bool isService = false;
    std::vector<std::string> preferredVersions;
    std::string jrePath;
    JvmType jvmType = JvmType::Default;

    // From "JVM Source": which kinds of runtime are searched and preferred.
    bool bothKindsAllowed = true;
    bool jrePreferred = true;
    bool jdkPreferred = true;

    // From "VM Provider": which vendors are searched and preferred.
    bool sunAllowed = true;
    bool jrockitAllowed = false;
    bool ibmAllowed = false;
    bool sunPreferred = true;
    bool jrockitPreferred = false;
    bool ibmPreferred = false;

    std::string mainClass;  // slash form: com/example/Main
    bool failureCheck = false;
    bool overrideWorkingDir = false;
    std::string systemPath;
    std::string libraryPath;

    // "Single Instance" is exactly "yes", and the application is no service.
    bool singleInstance = false;

    // Section "Display", read from that section alone, as written.
    std::string splashScreen;
    std::string splashScreenShadow;
    std::string preferNativeSplash;

    // What the VM options are made of, as written.
    std::string classPath;
    bool embeddedJar = false;
    std::string vmParameters;
    std::string outputFile;
    std::string errorFile;
    std::string cmd;
    // "Class Data Sharing" is "Yes" (any case): the classes an earlier
    // launch loaded are kept in an archive per user (jvm/ClassDataSharing.h).
    bool classDataSharing = false;

    // Where a runtime folder the user picks is remembered.
    std::string userFile;             // the per-user settings file
    bool userFileInUse = false;       // on NT, for an application that is no service
    FileTest userFileTest;            // the search for it, when "JRE Path" made one
    std::vector<SettingRead> reads;   // every value read, in order

    // The threads that may run the IBM runtime stay attached, and the
    // process then ends only through the application's System.exit.
    bool ibmRuntimePossible() const { return ibmAllowed || ibmPreferred; }
};

JvmType jvmTypeFrom(const std::string& value);
void applyJvmSource(const std::string& value, LauncherSettings& settings);
void applyVmProvider(const std::string& value, LauncherSettings& settings);

// Reads every key of the executable's settings file (settingsPathFor) into
// settings, each once. Message 210 when "Main Class" is empty: the launch
// stops.
std::optional<Failure> readSettings(const std::string& executable, const std::string& settingsFile,
                                    LauncherSettings& settings);

// Remembers the runtime folder the user chose as "JRE Path"; the outcome of
// the write is not reported.
void saveJrePath(const std::string& executable, const LauncherSettings& settings,
                 const std::string& folder);
