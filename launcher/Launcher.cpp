#include "launcher/Launcher.h"

#include "launcher/AnsiText.h"
#include "launcher/CommandLine.h"
#include "settings/SettingsPaths.h"
#include "splash/SplashWindow.h"

Launcher::Launcher() = default;

Launcher::~Launcher() {
    closeSplash();

    closeNativeSplash();
}

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

bool Launcher::initialize() {
    parseCommandLine();
    if (!readSettings()) return false;
    if (settings.overrideWorkingDir) applyWorkingDirectory();
    return false;
}

int Launcher::run() {
    return -1;
}
