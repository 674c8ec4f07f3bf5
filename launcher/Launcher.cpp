#include "launcher/Launcher.h"

#include "launcher/AnsiText.h"
#include "launcher/CommandLine.h"
#include "settings/SettingsPaths.h"
#include "ui/JreNotFoundDialog.h"

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

bool Launcher::initialize() {
    parseCommandLine();
    if (!readSettings()) return false;
    if (settings.overrideWorkingDir) applyWorkingDirectory();

    // No runtime was found: the user may pick the folder of one, which is
    // then remembered.
    JreNotFoundDialog dialog(jreNotFoundMessage(settings), settings.jvmType);
    if (dialog.showModal(GetActiveWindow()) != IDOK) return false;
    jvmLibraryPath = dialog.foundJvmLibraryPath();
    saveJrePath(settings, dialog.chosenFolder(), owner());
    return true;
}

int Launcher::run() {
    return -1;
}
