#include "settings/SettingsPaths.h"

#include <windows.h>

#include <cstring>

#include "base/AnsiText.h"
#include "base/PathText.h"
#include "base/WideText.h"

std::string settingsPathFor(const std::string& executable) {
    std::size_t dot = ansi::findLast(executable, '.');
    if (dot == ansi::npos) return {};
    return executable.substr(0, dot + 1) + "ini";
}

std::string userFolderName(const std::string& productName) {
    // Character by character: the trail byte of a double-byte character may
    // be one of these.
    std::string name;
    for (std::size_t i = 0, end; i < productName.size(); i = end) {
        end = ansi::next(productName, i);
        if (end != i + 1 || !std::strchr("\\?\"|><:/*", productName[i])) name.append(productName, i, end - i);
    }
    return name;
}

namespace {

std::string userSettingsFileName(const std::string& executable) {
    std::size_t slash = ansi::findLast(executable, '\\');
    std::string name = slash == ansi::npos ? executable : executable.substr(slash + 1);
    std::size_t dot = ansi::findLast(name, '.');
    if (dot != ansi::npos) name.resize(dot);
    return name + ".ini";
}

}  // namespace

std::string userSettingsPathFor(const std::string& executable, const std::string& appData,
                                const std::string& productName, const std::string& productCode) {
    std::string path = appData;
    for (const std::string& part : {userFolderName(productName), productCode, userSettingsFileName(executable)}) {
        path += '\\';
        path += part;
    }
    return path;
}

std::wstring appDataValue(const wchar_t* name) {
    DWORD needed = GetEnvironmentVariableW(name, nullptr, 0);
    std::wstring value(needed, L'\0');
    DWORD length = needed ? GetEnvironmentVariableW(name, value.data(), needed) : 0;
    value.resize(length < needed ? length : 0);
    return value;
}

std::string userSettingsFilePath(const std::string& executable, const std::string& productName,
                                 const std::string& productCode, LaunchTrace* trace) {
    // APPDATA with short names where the code page cannot spell it.
    std::wstring appData = appDataValue();
    AnsiPath folder = ansiPathOf(appData);
    if (!folder.ok) return {};
    traceShortName(trace, appData, folder);
    return userSettingsPathFor(executable, folder.path, productName, productCode);
}

void createParentFolders(const std::string& file, int levels) {
    for (int level = levels; level > 0; --level) CreateDirectoryA(stripPathComponents(file, level).c_str(), nullptr);
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
