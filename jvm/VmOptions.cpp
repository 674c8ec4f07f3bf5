#include "jvm/VmOptions.h"

#include <windows.h>

#include "jvm/JavaEnvironment.h"
#include "jvm/MemoryOptions.h"
#include "launcher/AnsiText.h"
#include "launcher/CommandLine.h"
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

std::vector<std::string> splitVmParameterPieces(const std::string& s) {
    std::vector<std::string> pieces;
    std::size_t i = 0;
    while (i < s.size()) {
        std::size_t start = i;
        while (i < s.size() && s[i] != ' ') {
            if (s[i] == '"') {
                std::size_t close = ansi::find(s, '"', i + 1);
                if (close != ansi::npos) {
                    if (close + 1 < s.size() && s[close + 1] == '"') ++close;
                    i = close + 1;
                    continue;
                }
            }
            i = ansi::next(s, i);
        }
        pieces.push_back(s.substr(start, i - start));
        while (i < s.size() && s[i] == ' ') ++i;
    }
    return pieces;
}

std::string stripQuotes(const std::string& option) {
    std::string text = option;
    std::size_t from = 0;
    for (;;) {
        std::size_t open = ansi::find(text, '"', from);
        if (open == ansi::npos) return text;
        std::size_t close = ansi::find(text, '"', open + 1);
        if (close == ansi::npos) return text;
        // A closing quote doubled: the first of the two stays as a literal.
        if (close + 1 < text.size() && text[close + 1] == '"') ++close;
        text.erase(close, 1);
        text.erase(open, 1);
        from = close - 1;
    }
}

std::vector<std::string> splitVmParameters(const std::string& value, std::uint32_t& stackSize,
                                           MemoryRewrite rewriteMemory) {
    if (!rewriteMemory) rewriteMemory = static_cast<MemoryRewrite>(&percentMemoryOption);
    std::vector<std::string> options;
    for (const std::string& piece : splitVmParameterPieces(value)) {
        std::string option = rewriteMemory(stripQuotes(piece));
        if (option.compare(0, 4, "-Xss") == 0) stackSize = parseStackSize(option.substr(4));
        if (!option.empty()) options.push_back(option);
    }
    return options;
}

bool buildVmOptions(Launcher& launcher) {
    std::string settingsPath;
    if (!settingsFilePath(settingsPath, launcher.owner())) return false;
    SettingsFile file(settingsPath, "");

    std::string module;
    std::string launcherFolder;
    if (modulePath(module, launcher.owner())) {
        std::size_t slash = ansi::findLast(module, '\\');
        launcherFolder = slash == ansi::npos ? module : module.substr(0, slash);
    }

    std::string classPath;
    for (const std::string& piece : splitList(file.lookup(section::ClassPath, "Class Path"))) {
        bool search = ansi::find(piece, '*') != ansi::npos || piece.size() < 2 ||
                      isRelativeClassPathEntry(piece);
        if (search) {
            expandClassPathEntry(piece, launcherFolder, classPath);
        } else {
            classPath += piece + ";";
        }
    }
    if (lstrcmpiA(file.lookup(section::Application, "Embedded Jar").c_str(), "Yes") == 0) {
        if (!classPath.empty() && classPath.back() != ';') classPath += ";";
        std::string executable;
        if (modulePath(executable, launcher.owner())) classPath += executable;
    }
    if (classPath.empty()) {
        std::string text;
        loadResourceString(text, msg::ClassPathMissing);
        showError(launcher.owner(), text);
        return false;
    }

    std::vector<std::string> options = {"-Djava.class.path=" + classPath};
    std::string parameters = file.lookup(section::JavaRuntimeEnvironment, "Virtual Machine Parameters");
    for (std::string& option : splitVmParameters(parameters, launcher.javaStackSize))
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
