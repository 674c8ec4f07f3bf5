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

// Why the keys that today's Java installers write are searched, if at all.
enum class ModernJava { NotAsked, MinimumVersion, VmProvider };

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

    // From "VM Provider": which vendors are searched and preferred. OpenJDK
    // builds (Temurin, Zulu, Liberica, ...) are allowed by "openjdk" and by
    // a "Minimum Version" of 9 or higher.
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

    std::string mainClass;  // slash form: com/example/Main
    bool failureCheck = false;
    bool overrideWorkingDir = false;
    std::string systemPath;
    std::string libraryPath;
    // "Download Page", when it is an http:// or https:// address; empty: the
    // "JRE Not Found" link's own address.
    std::string downloadPage;

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

    // The threads that may run the IBM runtime stay attached, and the
    // process then ends only through the application's System.exit.
    bool ibmRuntimePossible() const { return ibmAllowed || ibmPreferred; }
};

JvmType jvmTypeFrom(const std::string& value);
void applyJvmSource(const std::string& value, LauncherSettings& settings);
void applyVmProvider(const std::string& value, LauncherSettings& settings);
// After the bounds and "VM Provider": a minimum of 9 or higher asks for
// today's runtimes and allows OpenJDK builds.
void applyModernJava(LauncherSettings& settings);
// The value when it is an http:// or https:// address (scheme in any case),
// else empty.
std::string downloadPageFrom(const std::string& value);

// Reads every key of the executable's settings file (settingsPathFor) into
// settings, each once. Message 210 when "Main Class" is empty, 232 when a
// path read (APPDATA for the per-user file in use, a path-valued key of a
// UTF-16 settings file) has no ANSI form: the launch stops.
// The paths read (APPDATA, those of a UTF-16 settings file) that take short
// names are noted in notes, when given.
std::optional<Failure> readSettings(const std::string& executable, const std::string& settingsFile,
                                    LauncherSettings& settings, PathFallbacks* notes = nullptr);
// The same, keeping every value read with where it came from, to show them.
std::optional<Failure> readSettings(const std::string& executable, const std::string& settingsFile,
                                    LauncherSettings& settings, std::vector<SettingRead>& reads);

// Remembers the runtime folder the user chose as "JRE Path"; the outcome of
// the write is not reported.
void saveJrePath(const std::string& executable, const LauncherSettings& settings,
                 const std::string& folder);
