#include "jvm/JavaEnvironment.h"

#include <windows.h>

#include "launcher/AnsiText.h"
#include "launcher/LaunchContext.h"
#include "launcher/Launcher.h"
#include "settings/SettingsPaths.h"

namespace {

std::string withSeparator(const std::string& list) {
    return !list.empty() && list.back() == ';' ? list : list + ";";
}

void setVariable(const char* name, const std::string& value) {
    if (LaunchEnvironment* environment = launchContext.environment) {
        environment->set(name, value);
        return;
    }
    SetEnvironmentVariableA(name, value.c_str());
}


// What the platform expands in one call: longer text, or a longer result,
// comes back cut or garbled.
constexpr std::size_t kExpansionLimit = 32000;
// The longest value of an environment variable, in characters.
constexpr std::size_t kVariableLimit = 32767;

// One call of the platform; false when it fails or the text or its result
// is too long for it.
bool expandInOneCall(const std::string& text, std::string& expanded) {
    if (text.size() >= kExpansionLimit) return false;
    DWORD needed = ExpandEnvironmentStringsA(text.c_str(), nullptr, 0);
    if (needed == 0 || needed >= kExpansionLimit) return false;
    expanded.assign(needed, '\0');
    DWORD written = ExpandEnvironmentStringsA(text.c_str(), expanded.data(), needed);
    if (written == 0 || written > needed) return false;
    expanded.resize(lstrlenA(expanded.c_str()));
    return true;
}

}  // namespace

std::string stripPathComponents(const std::string& path, int count) {
    std::string result = path;
    for (int i = 0; i < count; ++i) {
        std::size_t slash = ansi::findLast(result, '\\');
        if (slash == ansi::npos) break;
        result.resize(slash);
    }
    return result;
}

std::string expandEnvironment(const std::string& text) {
    if (LaunchEnvironment* environment = launchContext.environment) return environment->expand(text);
    std::string expanded;
    if (expandInOneCall(text, expanded)) return expanded;
    // Reference by reference, the text between them unchanged: a "%" opens a
    // reference and the next one closes it, and a reference that cannot be
    // expanded stays as written.
    std::string result;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t open = ansi::find(text, '%', at);
        std::size_t close = open == ansi::npos ? ansi::npos : ansi::find(text, '%', open + 1);
        if (close == ansi::npos) {
            result.append(text, at, std::string::npos);
            break;
        }
        result.append(text, at, open - at);
        std::string reference = text.substr(open, close + 1 - open);
        result += expandInOneCall(reference, expanded) ? expanded : reference;
        at = close + 1;
    }
    return result;
}

std::string libraryPathValue(const std::string& libraryPath, const std::string& launcherFolder,
                             const std::string& javaHome) {
    return withSeparator(libraryPath) + launcherFolder + ";." + ";%Path%" + ";" + javaHome + "\\lib";
}

std::string searchPathValue(const std::string& systemPath, const std::string& javaBinFolder) {
    std::string value = systemPath.empty() ? std::string() : withSeparator(systemPath);
    return value + "%Path%;" + javaBinFolder;
}

void setUpJavaEnvironment(Launcher& launcher) {
    const std::string& library = launcher.jvmLibraryPath;
    std::string javaHome = stripPathComponents(library, 3);
    setVariable("VT_JVM_PATH", library);
    setVariable("VT_JVM_HOME", javaHome);

    if (!launcher.settings.libraryPath.empty()) {
        std::string module;
        std::string launcherFolder;
        if (modulePath(module, launcher.messageOwner())) launcherFolder = folderOf(module);
        std::string value = libraryPathValue(launcher.settings.libraryPath, launcherFolder, javaHome);
        launcher.vmOptions.push_back("-Djava.library.path=" + expandEnvironment(value));
    }

    // A value longer than the platform holds in one variable would be stored
    // garbled (or refused): "Path" then stays as it was.
    std::string path = expandEnvironment(
        searchPathValue(launcher.settings.systemPath, stripPathComponents(library, 2)));
    if (path.size() < kVariableLimit) setVariable("Path", path);
}
