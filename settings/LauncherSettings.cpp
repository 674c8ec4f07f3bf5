#include "settings/LauncherSettings.h"

#include "launcher/AnsiText.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsPaths.h"
#include "ui/MessageReporter.h"

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
        bool jrockit, sun, ibm, jrockitPref, sunPref, ibmPref;
    };
    static const Row rows[] = {
        {"jrockit", true, false, false, true, false, false},
        {"ibm", false, false, true, false, false, true},
        {"favor_sun", true, true, true, false, true, false},
        {"favor_jrockit", true, true, true, true, false, false},
        {"favor_ibm", true, true, true, false, false, true},
        {"any", true, true, true, false, false, false},
    };
    Row chosen = {"", false, true, false, false, true, false};
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
}

std::string readJrePath(const LauncherSettings& settings, const std::string& settingsPath,
                        const MessageOwner& owner) {
    const char* key = "JRE Path";
    if (usesUserSettingsFile(settings.isService)) {
        std::string userFile =
            userSettingsFilePath(settings.productName, settings.productCode, false, owner);
        if (!userFile.empty() && userFile.size() < MAX_PATH && fileExists(userFile))
            return readSetting(userFile, section::JavaRuntimeEnvironment, key, SettingSource::UserFile);
    }
    return SettingsFile(settingsPath, "").lookup(section::JavaRuntimeEnvironment, key);
}

void saveJrePath(const LauncherSettings& settings, const std::string& folder,
                 const MessageOwner& owner) {
    std::string settingsPath;
    if (!settingsFilePath(settingsPath, owner)) return;
    std::string target = settingsPath;
    if (usesUserSettingsFile(settings.isService))
        target = userSettingsFilePath(settings.productName, settings.productCode, true, owner);
    WritePrivateProfileStringA(section::JavaRuntimeEnvironment, "JRE Path", folder.c_str(),
                               target.c_str());
}

bool readSettings(LauncherSettings& s, const MessageOwner& owner) {
    std::string path;
    if (!settingsFilePath(path, owner)) return false;

    s.productCode = readSetting(path, section::ProductInformation, "Product Code");
    s.productName = readSetting(path, section::ProductInformation, "Product Name");

    SettingsFile file(path, "");
    const char* jre = section::JavaRuntimeEnvironment;
    s.minVersion = versionSetting(file.lookup(jre, "Minimum Version"), "0.0.0.0", kVersionFillMin);
    s.maxVersion = versionSetting(file.lookup(jre, "Maximum Version"),
                                  "65535.65535.65535.65535", kVersionFillMax);
    s.isService = file.lookup(section::Application, "Application Type") == "service";
    s.preferredVersions = splitList(file.lookup(jre, "Preferred versions"));
    s.jrePath = readJrePath(s, path, owner);

    s.jvmType = JvmType::Default;
    s.jvmType = jvmTypeFrom(file.lookup(jre, "JVM Type"));
    applyJvmSource(file.lookup(jre, "JVM Source"), s);
    applyVmProvider(file.lookup(jre, "VM Provider"), s);

    std::string mainClass = file.lookup(jre, "Main Class");
    if (mainClass.empty()) {
        std::string text;
        loadResourceString(text, msg::MainClassMissing);
        showError(owner.window(), text);
        return false;
    }
    s.mainClass = ansi::replaceAll(mainClass, '.', '/');

    s.failureCheck = isYes(file.lookup(section::Application, "Failure Check"));
    s.overrideWorkingDir = isYes(file.lookup(section::Application, "Override WorkingDir"));
    s.systemPath = file.lookup(jre, "System Path");
    s.libraryPath = file.lookup(jre, "Library Path");
    return true;
}
