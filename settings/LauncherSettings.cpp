#include "settings/LauncherSettings.h"

#include <windows.h>

#include "base/AnsiText.h"
#include "base/PathText.h"
#include "base/WideText.h"
#include "settings/SettingsPaths.h"

namespace {

bool isYes(const std::string& value) { return lstrcmpiA(value.c_str(), "Yes") == 0; }

JavaVersion versionSetting(const std::string& value, const char* any, std::int32_t fill) {
    JavaVersion version;
    if (value == "any") {
        JavaVersion::parse(any, fill, version);
    } else {
        JavaVersion::parse(value, fill, version);
    }
    return version;
}

// "JRE Path" from the per-user settings file when it is in use and exists,
// else through the layered lookup of the settings file.
template <class File, class Lookup>
std::string readJrePath(File& file, LauncherSettings& s, Lookup lookup) {
    // A path of MAX_PATH bytes or more is deeper than the INI calls go.
    if (s.userFileInUse && !s.userFile.empty() && s.userFile.size() < MAX_PATH) {
        s.userFileTest = testFile(s.userFile);
        if (s.userFileTest.exists) return file.readUserFile(s.userFile, section::JavaRuntimeEnvironment, "JRE Path");
    }
    return lookup();
}

}  // namespace

JvmType jvmTypeFrom(const std::string& value) {
    if (value == "server") return JvmType::Server;
    if (value == "favor_server") return JvmType::FavorServer;
    return JvmType::Default;
}

void applyJvmSource(const std::string& value, LauncherSettings& s) {
    struct Row {
        const char* value;
        bool both, jre, jdk;
    };
    static const Row rows[] = {
        {"favor_JRE", true, true, false},
        {"favor_JDK", true, false, true},
        {"only_JRE", false, true, false},
        {"only_JDK", false, false, true},
    };
    if (value.empty()) {
        s.bothKindsAllowed = s.jrePreferred = s.jdkPreferred = true;
        return;
    }
    s.bothKindsAllowed = s.jrePreferred = s.jdkPreferred = false;
    for (const Row& row : rows) {
        if (value == row.value) {
            s.bothKindsAllowed = row.both;
            s.jrePreferred = row.jre;
            s.jdkPreferred = row.jdk;
            return;
        }
    }
}

void applyVmProvider(const std::string& value, LauncherSettings& s) {
    struct Row {
        const char* value;
        bool jrockit, sun, ibm, jrockitPref, sunPref, ibmPref, openJdk;
    };
    static const Row rows[] = {
        {"jrockit", true, false, false, true, false, false, false},
        {"ibm", false, false, true, false, false, true, false},
        {"favor_sun", true, true, true, false, true, false, false},
        {"favor_jrockit", true, true, true, true, false, false, false},
        {"favor_ibm", true, true, true, false, false, true, false},
        {"any", true, true, true, false, false, false, false},
        {"openjdk", false, true, false, false, false, false, true},
    };
    Row chosen = {"", false, true, false, false, true, false, false};
    for (const Row& row : rows) {
        if (lstrcmpiA(value.c_str(), row.value) == 0) {
            chosen = row;
            break;
        }
    }
    s.jrockitAllowed = chosen.jrockit;
    s.sunAllowed = chosen.sun;
    s.ibmAllowed = chosen.ibm;
    s.jrockitPreferred = chosen.jrockitPref;
    s.sunPreferred = chosen.sunPref;
    s.ibmPreferred = chosen.ibmPref;
    s.openJdkAllowed = chosen.openJdk;
    s.modernJava = chosen.openJdk ? ModernJava::VmProvider : ModernJava::NotAsked;
}

void applyModernJava(LauncherSettings& s) {
    // The first number of the minimum: "1.8" is Java 8, "11.0.2" Java 11.
    if (isUnbounded(s.minVersion) || s.minVersion.parts[0] < 9) return;
    s.modernJava = ModernJava::MinimumVersion;
    s.openJdkAllowed = true;
}

std::string downloadPageFrom(const std::string& value) {
    for (const char* scheme : {"https://", "http://"}) {
        int length = lstrlenA(scheme);
        if (value.size() > static_cast<std::size_t>(length) &&
            CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, value.c_str(), length, scheme, length) ==
                CSTR_EQUAL)
            return value;
    }
    return {};
}

namespace {

template <class File>
std::optional<Failure> readSettingsFrom(File& file, const std::string& executable, const std::string& settingsFile,
                                        LauncherSettings& s, PathFallbacks* notes) {
    s.file = settingsFile;
    const char* jre = section::JavaRuntimeEnvironment;
    const char* application = section::Application;
    // Paths of a UTF-16 file: relative class path entries follow the
    // launcher's folder, the others the current folder.
    std::optional<Failure> failure;
    const std::wstring current;
    const std::wstring launcherFolder = toWide(stripPathComponents(executable, 1));
    PathSetting paths{current, notes, failure};
    PathSetting classPaths{launcherFolder, notes, failure};
    auto path = [&](const char* section, const char* key, bool layered, PathSetting setting) {
        return failure ? std::string() : file.lookupPath(section, key, layered, setting);
    };

    s.productCode = file.read(section::ProductInformation, "Product Code");
    s.productName = file.read(section::ProductInformation, "Product Name");
    s.minVersion = versionSetting(file.lookup(jre, "Minimum Version"), "0.0.0.0", kVersionFillMin);
    s.maxVersion = versionSetting(file.lookup(jre, "Maximum Version"),
                                  "65535.65535.65535.65535", kVersionFillMax);
    s.isService = file.lookup(application, "Application Type") == "service";
    s.preferredVersions = splitList(file.lookup(jre, "Preferred versions"));
    s.userFileInUse = usesUserSettingsFile(s.isService);
    s.userFile = userSettingsFilePath(executable, s.productName, s.productCode, false, notes);
    if (s.userFileInUse && s.userFile.empty()) return pathFailure(appDataValue());
    s.jrePath = readJrePath(file, s, [&] { return path(jre, "JRE Path", true, paths); });
    s.jvmType = jvmTypeFrom(file.lookup(jre, "JVM Type"));
    applyJvmSource(file.lookup(jre, "JVM Source"), s);
    applyVmProvider(file.lookup(jre, "VM Provider"), s);
    applyModernJava(s);
    s.mainClass = ansi::replaceAll(file.lookup(jre, "Main Class"), '.', '/');
    s.failureCheck = isYes(file.lookup(application, "Failure Check"));
    s.overrideWorkingDir = isYes(file.lookup(application, "Override WorkingDir"));
    s.systemPath = path(jre, "System Path", true, paths);
    s.libraryPath = path(jre, "Library Path", true, paths);
    s.downloadPage = downloadPageFrom(file.lookup(jre, "Download Page"));

    // A service never runs in single-instance mode.
    s.singleInstance = file.lookup(application, "Single Instance") == "yes" && !s.isService;

    s.splashScreen = path(section::Display, "Splash Screen", false, paths);
    s.splashScreenShadow = file.read(section::Display, "Splash Screen Shadow");
    s.preferNativeSplash = file.read(section::Display, "Preffer Native Splash Screen");

    s.classPath = path(section::ClassPath, "Class Path", true, classPaths);
    s.embeddedJar = isYes(file.lookup(application, "Embedded Jar"));
    s.vmParameters = file.lookup(jre, "Virtual Machine Parameters");
    s.outputFile = path(application, "Output File", true, paths);
    s.errorFile = path(application, "Error File", true, paths);
    s.cmd = file.lookup(application, "Cmd");
    s.classDataSharing = isYes(file.lookup(jre, "Class Data Sharing"));

    if (failure) return failure;
    if (s.mainClass.empty()) return Failure{msg::MainClassMissing};
    return std::nullopt;
}

}  // namespace

std::optional<Failure> readSettings(const std::string& executable, const std::string& settingsFile,
                                    LauncherSettings& settings, PathFallbacks* notes) {
    SettingsFile file(settingsFile);
    return readSettingsFrom(file, executable, settingsFile, settings, notes);
}

std::optional<Failure> readSettings(const std::string& executable, const std::string& settingsFile,
                                    LauncherSettings& settings, std::vector<SettingRead>& reads) {
    RecordingSettingsFile file(settingsFile, reads);
    return readSettingsFrom(file, executable, settingsFile, settings, nullptr);
}

void saveJrePath(const std::string& executable, const LauncherSettings& settings,
                 const std::string& folder) {
    std::string target = settings.file;
    if (settings.userFileInUse)
        target = userSettingsFilePath(executable, settings.productName, settings.productCode, true);
    if (target.empty()) return;
    WritePrivateProfileStringA(section::JavaRuntimeEnvironment, "JRE Path", folder.c_str(),
                               target.c_str());
}
