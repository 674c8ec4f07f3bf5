#include "settings/SettingsPaths.h"

#include "launcher/AnsiText.h"
#include "launcher/LaunchContext.h"
#include "launcher/LaunchObserver.h"
#include "launcher/UniqueResource.h"
#include "ui/MessageReporter.h"

bool modulePath(std::string& path, const MessageOwner& owner) {
    if (const char* executable = launchContext.executablePath) {
        path = executable;
        return true;
    }
    char buffer[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    if (length == 0) {
        showWindowsError(owner.window(), msg::ModulePathFailed, GetLastError());
        return false;
    }
    path.assign(buffer, length);
    return true;
}

std::string settingsPathFor(const std::string& modulePath) {
    std::size_t dot = ansi::findLast(modulePath, '.');
    if (dot == ansi::npos) return {};
    return modulePath.substr(0, dot + 1) + "ini";
}

bool settingsFilePath(std::string& path, const MessageOwner& owner) {
    std::string module;
    if (!modulePath(module, owner)) return false;
    path = settingsPathFor(module);
    return !path.empty();
}

std::string folderOf(const std::string& path) {
    std::size_t slash = ansi::findLast(path, '\\');
    return slash == ansi::npos ? std::string() : path.substr(0, slash + 1);
}

std::string userFolderName(const std::string& productName) {
    std::string name;
    for (char c : productName) {
        switch (c) {
        case '\\': case '?': case '"': case '|': case '>':
        case '<': case ':': case '/': case '*':
            break;
        default:
            name += c;
        }
    }
    return name;
}

namespace {

std::string userSettingsFileName(const std::string& modulePath) {
    std::size_t slash = ansi::findLast(modulePath, '\\');
    std::string name = slash == ansi::npos ? modulePath : modulePath.substr(slash + 1);
    std::size_t dot = ansi::findLast(name, '.');
    if (dot != ansi::npos) name.resize(dot);
    return name + ".ini";
}

// The environment variable's whole value; empty when it is not set.
std::string environmentValue(const char* name) {
    char buffer[MAX_PATH];
    DWORD length = GetEnvironmentVariableA(name, buffer, MAX_PATH);
    if (length == 0) return {};
    if (length < MAX_PATH) return std::string(buffer, length);
    // Longer than the usual buffer: read it whole rather than cut it.
    std::string value(length, '\0');
    length = GetEnvironmentVariableA(name, value.data(), length);
    value.resize(length < value.size() ? length : 0);
    return value;
}

}  // namespace

std::string userSettingsPathFor(const std::string& modulePath, const std::string& appData,
                                const std::string& productName, const std::string& productCode) {
    return appData + "\\" + userFolderName(productName) + "\\" + productCode + "\\" +
           userSettingsFileName(modulePath);
}

std::string userSettingsFilePath(const std::string& productName, const std::string& productCode,
                                 bool createFolders, const MessageOwner& owner) {
    std::string module;
    if (!modulePath(module, owner)) return {};
    std::string appData = environmentValue("APPDATA");
    if (createFolders) {
        std::string folder = appData + "\\" + userFolderName(productName);
        CreateDirectoryA(folder.c_str(), nullptr);
        folder += "\\" + productCode;
        CreateDirectoryA(folder.c_str(), nullptr);
    }
    return userSettingsPathFor(module, appData, productName, productCode);
}

bool isNtPlatform() {
    OSVERSIONINFOEXA extended = {};
    extended.dwOSVersionInfoSize = sizeof(extended);
    if (GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&extended)))
        return extended.dwPlatformId == VER_PLATFORM_WIN32_NT;
    OSVERSIONINFOA basic = {};
    basic.dwOSVersionInfoSize = sizeof(basic);
    if (GetVersionExA(&basic)) return basic.dwPlatformId == VER_PLATFORM_WIN32_NT;
    return false;
}

bool usesUserSettingsFile(bool isService) {
    return isNtPlatform() && !isService;
}

bool fileExists(const std::string& path) {
    WIN32_FIND_DATAA found;
    UniqueFindHandle search(FindFirstFileA(path.c_str(), &found));
    if (LaunchObserver* observer = launchObserver()) observer->fileTested(path, search.valid());
    return search.valid();
}
