#include "settings/LauncherSettings.h"

#include <windows.h>

#include "base/AnsiText.h"
#include "base/PathText.h"
#include "base/WideText.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsPaths.h"

namespace {

bool isYes(const std::string& value) { return lstrcmpiA(value.c_str(), "Yes") == 0; }

std::string withoutLeadingBlank(std::string value) {
    if (!value.empty() && value[0] == ' ') value.erase(0, 1);
    return value;
}

JavaVersion versionSetting(const std::string& value, const char* any, std::int32_t fill) {
    JavaVersion version;
    if (value == "any") {
        JavaVersion::parse(any, fill, version);
    } else {
        JavaVersion::parse(value, fill, version);
    }
    return version;
}

}  // namespace

JvmType jvmTypeFrom(const std::string& value) {
    if (value == "server") return JvmType::Server;
    if (value == "favor_server") return JvmType::FavorServer;
    return JvmType::Default;
}

void applyJvmSource(const std::string& value, DiscoverySettings& s) {
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

void applyVmProvider(const std::string& value, DiscoverySettings& s) {
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

void applyModernJava(DiscoverySettings& s) {
    // The first number of a bound: "1.8" is Java 8, "11.0.2" Java 11.
    auto modern = [](const JavaVersion& bound) { return !isUnbounded(bound) && bound.parts[0] >= 9; };
    if (modern(s.minVersion)) {
        s.modernJava = ModernJava::MinimumVersion;
    } else if (modern(s.maxVersion) && s.modernJava == ModernJava::NotAsked) {
        s.modernJava = ModernJava::MaximumVersion;
    } else {
        return;
    }
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

std::optional<Failure> readSettings(const std::string& executable, const std::string& settingsFile,
                                    LauncherSettings& s, LaunchTrace* trace) {
    SettingsFile file(settingsFile, trace);
    s.file = settingsFile;
    const char* jre = section::JavaRuntimeEnvironment;
    const char* application = section::Application;
    using Stage = LaunchStage;
    // Paths of a UTF-16 file: relative class path entries follow the
    // launcher's folder, the others the current folder.
    std::optional<Failure> failure;
    const std::wstring current;
    const std::wstring launcherFolder = toWide(stripPathComponents(executable, 1));
    // Of the paths that do not exist, those of a runtime folder, a picture and
    // the folders of "System Path" and "Library Path" are left out, and
    // output files are made.
    auto path = [&](Stage stage, const char* section, const char* key, bool layered, const std::wstring& base,
                    MissingPath missing = MissingPath::LeftOut, std::wstring* made = nullptr) {
        return failure ? std::string()
                       : file.lookupPath(stage, section, key, layered, {base, failure, missing, made});
    };

    s.product.code = file.read(Stage::Settings, section::ProductInformation, "Product Code");
    s.product.name = file.read(Stage::Settings, section::ProductInformation, "Product Name");
    DiscoverySettings& d = s.discovery;
    // The bounds as written, without the blank a "+" section's value brings.
    d.minVersionText = withoutLeadingBlank(file.lookup(Stage::Discovery, jre, "Minimum Version"));
    d.minVersion = versionSetting(d.minVersionText, "0.0.0.0", kVersionFillMin);
    d.maxVersionText = withoutLeadingBlank(file.lookup(Stage::Discovery, jre, "Maximum Version"));
    d.maxVersion = versionSetting(d.maxVersionText, "65535.65535.65535.65535", kVersionFillMax);
    s.application.isService = file.lookup(Stage::Settings, application, "Application Type") == "service";
    d.preferredVersions = splitList(file.lookup(Stage::Discovery, jre, "Preferred versions"));
    s.userFile.inUse = usesUserSettingsFile(s.application.isService);
    s.userFile.path = userSettingsFilePath(executable, s.product.name, s.product.code, trace);
    if (s.userFile.inUse && s.userFile.path.empty()) return pathFailure(appDataValue());
    // "JRE Path" from the per-user settings file when it is in use and
    // exists (a path of MAX_PATH bytes or more is deeper than the INI calls
    // go), else through the layered lookup of the settings file.
    bool fromUserFile = false;
    if (s.userFile.inUse && !s.userFile.path.empty() && s.userFile.path.size() < MAX_PATH) {
        FileProbe userFile = probeFile(s.userFile.path);
        traceFile(trace, Stage::Settings, userFile);
        fromUserFile = userFile.exists;
    }
    d.jrePath = fromUserFile ? file.readUserFile(Stage::Discovery, s.userFile.path, jre, "JRE Path")
                             : path(Stage::Discovery, jre, "JRE Path", true, current);
    d.jvmType = jvmTypeFrom(file.lookup(Stage::Discovery, jre, "JVM Type"));
    applyJvmSource(file.lookup(Stage::Discovery, jre, "JVM Source"), d);
    applyVmProvider(file.lookup(Stage::Discovery, jre, "VM Provider"), d);
    applyModernJava(d);
    s.application.mainClass = ansi::replaceAll(file.lookup(Stage::Application, jre, "Main Class"), '.', '/');
    s.application.failureCheck = isYes(file.lookup(Stage::Application, application, "Failure Check"));
    s.application.overrideWorkingDir = isYes(file.lookup(Stage::Application, application, "Override WorkingDir"));
    s.environment.systemPath = path(Stage::Environment, jre, "System Path", true, current);
    s.environment.libraryPath = path(Stage::Environment, jre, "Library Path", true, current);
    d.downloadPage = downloadPageFrom(file.lookup(Stage::Discovery, jre, "Download Page"));

    // A service never runs in single-instance mode.
    s.singleInstance =
        file.lookup(Stage::SingleInstance, application, "Single Instance") == "yes" && !s.application.isService;

    s.display.splashScreen = path(Stage::Splash, section::Display, "Splash Screen", false, current);
    s.display.splashScreenShadow = file.read(Stage::Splash, section::Display, "Splash Screen Shadow");
    s.display.preferNativeSplash = file.read(Stage::Splash, section::Display, "Preffer Native Splash Screen");

    VmSettings& vm = s.vm;
    vm.classPath = path(Stage::VmOptions, section::ClassPath, "Class Path", true, launcherFolder, MissingPath::Stops);
    vm.embeddedJar = isYes(file.lookup(Stage::VmOptions, application, "Embedded Jar"));
    vm.vmParameters = file.lookup(Stage::VmOptions, jre, "Virtual Machine Parameters");
    vm.outputFile =
        path(Stage::VmOptions, application, "Output File", true, current, MissingPath::Made, &vm.outputFileWide);
    vm.errorFile =
        path(Stage::VmOptions, application, "Error File", true, current, MissingPath::Made, &vm.errorFileWide);
    vm.cmd = file.lookup(Stage::VmOptions, application, "Cmd");
    s.classDataSharing = isYes(file.lookup(Stage::Sharing, jre, "Class Data Sharing"));

    if (failure) return failure;
    if (s.application.mainClass.empty()) return Failure{msg::MainClassMissing};
    return std::nullopt;
}

const std::string& jrePathFile(const LauncherSettings& settings) {
    return settings.userFile.inUse ? settings.userFile.path : settings.file;
}

void saveJrePath(const LauncherSettings& settings, const std::string& folder) {
    const std::string& target = jrePathFile(settings);
    if (target.empty()) return;
    if (settings.userFile.inUse) createParentFolders(target, 2);
    WritePrivateProfileStringA(section::JavaRuntimeEnvironment, "JRE Path", folder.c_str(), target.c_str());
}
