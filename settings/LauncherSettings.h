#pragma once
// Every value of the settings file that start-up needs, with its default.

#include <windows.h>

#include <string>

#include "ui/MessageReporter.h"
#include <vector>

#include "jre/JavaVersion.h"

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
};

JvmType jvmTypeFrom(const std::string& value);
void applyJvmSource(const std::string& value, LauncherSettings& settings);
void applyVmProvider(const std::string& value, LauncherSettings& settings);

// Fills settings from the settings file beside the executable. False without
// a settings file path, or after message 210 for an empty "Main Class".
bool readSettings(LauncherSettings& settings, const MessageOwner& owner);

// "JRE Path" from the per-user settings file when it is in use and exists,
// else through the layered lookup of the settings file.
std::string readJrePath(const LauncherSettings& settings, const std::string& settingsPath,
                        const MessageOwner& owner);

// Remembers the runtime folder the user chose as "JRE Path"; the outcome of
// the write is not reported.
void saveJrePath(const LauncherSettings& settings, const std::string& folder,
                 const MessageOwner& owner);
