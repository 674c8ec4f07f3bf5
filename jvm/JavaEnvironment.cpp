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
    DWORD needed = ExpandEnvironmentStringsA(text.c_str(), nullptr, 0);
    if (needed == 0) return text;
    std::string expanded(needed, '\0');
    DWORD written = ExpandEnvironmentStringsA(text.c_str(), expanded.data(), needed);
    if (written == 0 || written > needed) return text;
    expanded.resize(written - 1);  // the count includes the terminating zero
    return expanded;
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

    std::string path = searchPathValue(launcher.settings.systemPath, stripPathComponents(library, 2));
    setVariable("Path", expandEnvironment(path));
}
