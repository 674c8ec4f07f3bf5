#include "launcher/Launcher.h"

#include "launcher/AnsiText.h"
#include "launcher/CommandLine.h"
#include "jre/JavaHome.h"
#include "jre/RegistrySearch.h"
#include "settings/SettingsPaths.h"

Launcher::Launcher() = default;

Launcher::~Launcher() = default;

void Launcher::parseCommandLine() {
    arguments = argumentsFromCommandLine(GetCommandLineA());
}

int Launcher::findArgument(const char* text) const {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (lstrcmpA(arguments[i].c_str(), text) == 0) return static_cast<int>(i);
    }
    return -1;
}

bool Launcher::readSettings() {
    return ::readSettings(settings, owner());
}

void Launcher::applyWorkingDirectory() {
    std::string path;
    if (!modulePath(path, owner())) return;
    std::size_t slash = ansi::findLast(path, '\\');
    if (slash != ansi::npos && slash >= 1) SetCurrentDirectoryA(path.substr(0, slash).c_str());
}

bool Launcher::findRuntime() {
    // The remembered folder; it is not held against the version bounds.
    if (!settings.jrePath.empty()) {
        jvmLibraryPath = probeJavaHome(withTrailingBackslash(settings.jrePath), settings.jvmType);
        if (!jvmLibraryPath.empty()) return true;
    }
    if (std::optional<std::string> local = findLocalRuntime(owner())) {
        jvmLibraryPath = probeJavaHome(*local, settings.jvmType);
        if (!jvmLibraryPath.empty()) return true;
    }
    std::string home;
    if (searchRegistry(settings, home)) {
        jvmLibraryPath = probeJavaHome(home, settings.jvmType);
        if (!jvmLibraryPath.empty()) return true;
    }
    return false;
}

bool Launcher::initialize() {
    parseCommandLine();
    if (!readSettings()) return false;
    if (settings.overrideWorkingDir) applyWorkingDirectory();
    if (findRuntime()) return true;
    return false;
}

int Launcher::run() {
    return -1;
}
