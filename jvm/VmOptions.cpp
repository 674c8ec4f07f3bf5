#include "jvm/VmOptions.h"

#include <windows.h>

#include "jvm/JavaEnvironment.h"
#include "jvm/MemoryOptions.h"
#include "launcher/AnsiText.h"
#include "launcher/CommandLine.h"
#include "launcher/LaunchContext.h"
#include "launcher/LaunchObserver.h"
#include "launcher/Launcher.h"
#include "launcher/UniqueResource.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsPaths.h"
#include "ui/MessageReporter.h"

bool isRelativeClassPathEntry(const std::string& piece) {
    bool drive = piece.size() >= 2 && piece[1] == ':';
    bool network = piece.size() >= 2 && piece[0] == '\\' && piece[1] == '\\';
    return !drive && !network;
}

ClassPathSearch classPathSearch(const std::string& piece, const std::string& launcherFolder) {
    std::size_t slash = ansi::findLast(piece, '\\');
    std::string folderPart = slash == ansi::npos ? std::string() : piece.substr(0, slash + 1);
    if (isRelativeClassPathEntry(piece)) return {launcherFolder + piece, launcherFolder + folderPart};
    return {piece, folderPart};
}

void expandClassPathEntry(const std::string& piece, const std::string& launcherFolder,
                          std::string& classPath) {
    ClassPathSearch search = classPathSearch(piece, launcherFolder);
    WIN32_FIND_DATAA found;
    UniqueFindHandle handle(FindFirstFileA(search.pattern.c_str(), &found));
    if (!handle) return;
    do {
        classPath += search.prefix + found.cFileName + ";";
    } while (FindNextFileA(handle.get(), &found));
}

namespace {

// The percentage form measured against this machine's memory.
std::string machineMemoryOption(const std::string& option) {
    if (!isPercentMemoryOption(option)) return option;
    MEMORYSTATUS status = {};
    status.dwLength = sizeof status;
    GlobalMemoryStatus(&status);
    if (LaunchObserver* observer = launchObserver())
        observer->memoryMeasured(option, status.dwTotalPhys, status.dwAvailVirtual);
    return percentMemoryOption(option, status.dwTotalPhys, status.dwAvailVirtual);
}

}  // namespace

bool buildVmOptions(Launcher& launcher) {
    std::string settingsPath;
    if (!settingsFilePath(settingsPath, launcher.messageOwner())) return false;
    SettingsFile file(settingsPath, "");

    std::string module;
    std::string launcherFolder;
    if (modulePath(module, launcher.messageOwner())) {
        std::size_t slash = ansi::findLast(module, '\\');
        launcherFolder = slash == ansi::npos ? module : module.substr(0, slash);
    }

    std::string classPath;
    for (const std::string& piece : splitList(file.lookup(section::ClassPath, "Class Path"))) {
        std::size_t before = classPath.size();
        bool search = ansi::find(piece, '*') != ansi::npos || piece.size() < 2 ||
                      isRelativeClassPathEntry(piece);
        if (search) {
            expandClassPathEntry(piece, launcherFolder, classPath);
        } else {
            classPath += piece + ";";
        }
        if (LaunchObserver* observer = launchObserver())
            observer->classPathEntryExpanded(piece, search, launcherFolder, classPath.c_str() + before);
    }
    if (lstrcmpiA(file.lookup(section::Application, "Embedded Jar").c_str(), "Yes") == 0) {
        if (!classPath.empty() && classPath.back() != ';') classPath += ";";
        std::string executable;
        if (modulePath(executable, launcher.messageOwner())) classPath += executable;
    }
    if (classPath.empty()) {
        std::string text;
        loadResourceString(text, msg::ClassPathMissing);
        showError(launcher.owner(), text);
        return false;
    }

    std::vector<std::string> options = {"-Djava.class.path=" + classPath};
    std::string parameters = file.lookup(section::JavaRuntimeEnvironment, "Virtual Machine Parameters");
    for (std::string& option : splitVmParameters(parameters, launcher.javaStackSize, &machineMemoryOption))
        options.push_back(std::move(option));
    for (const std::string& option : options) launcher.vmOptions.push_back(expandEnvironment(option));

    launcher.outputFilePath = file.lookup(section::Application, "Output File");
    if (!launcher.outputFilePath.empty())
        launcher.outputFilePath = expandEnvironment(launcher.outputFilePath);
    launcher.errorFilePath = file.lookup(section::Application, "Error File");
    if (!launcher.errorFilePath.empty())
        launcher.errorFilePath = expandEnvironment(launcher.errorFilePath);

    std::string cmd = file.lookup(section::Application, "Cmd");
    if (!cmd.empty()) {
        for (std::string& argument : splitArguments(expandEnvironment(cmd)))
            if (!argument.empty()) launcher.arguments.push_back(std::move(argument));
    }
    return true;
}
