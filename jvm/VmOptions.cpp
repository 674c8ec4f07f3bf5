#include "jvm/VmOptions.h"

#include <windows.h>

#include "base/AnsiText.h"
#include "base/CommandLine.h"
#include "base/UniqueResource.h"
#include "jvm/MemoryOptions.h"
#include "jvm/VmParameters.h"

bool isRelativeClassPathEntry(const std::string& piece) {
    bool drive = piece.size() >= 2 && piece[1] == ':';
    bool network = piece.size() >= 2 && piece[0] == '\\' && piece[1] == '\\';
    return !drive && !network;
}

ClassPathSearch classPathSearch(const std::string& piece, const std::string& launcherFolder) {
    std::size_t slash = ansi::findLast(piece, '\\');
    std::string folderPart = slash == ansi::npos ? std::string() : piece.substr(0, slash + 1);
    if (!isRelativeClassPathEntry(piece)) return {piece, folderPart};
    std::string base = launcherFolder.substr(0, ansi::findLast(launcherFolder, '\\'));
    return {base + piece, base + folderPart};
}

std::vector<std::string> classPathMatches(const ClassPathSearch& search) {
    std::vector<std::string> entries;
    WIN32_FIND_DATAA found;
    UniqueFindHandle handle(FindFirstFileA(search.pattern.c_str(), &found));
    if (!handle) return entries;
    do {
        entries.push_back(search.prefix + found.cFileName);
    } while (FindNextFileA(handle.get(), &found));
    return entries;
}

std::vector<std::string> argumentsWithCmd(std::vector<std::string> arguments, const std::string& cmd,
                                          LaunchEnvironment& environment) {
    if (cmd.empty()) return arguments;
    for (std::string& argument : splitArguments(environment.expand(cmd)))
        if (!argument.empty()) arguments.push_back(std::move(argument));
    return arguments;
}

namespace {

// The class path option's value: every entry followed by ";", the
// executable last when it is the embedded jar.
std::string classPathValue(const LauncherSettings& settings, const std::string& executable,
                           const std::string& launcherFolder, std::vector<ClassPathPiece>& pieces) {
    std::string classPath;
    for (const std::string& piece : splitList(settings.classPath)) {
        ClassPathPiece& record = pieces.emplace_back();
        record.piece = piece;
        record.searched = ansi::find(piece, '*') != ansi::npos || piece.size() < 2 ||
                          isRelativeClassPathEntry(piece);
        if (record.searched) {
            ClassPathSearch search = classPathSearch(piece, launcherFolder);
            record.pattern = search.pattern;
            record.entries = classPathMatches(search);
        } else {
            record.entries = {piece};
        }
        for (const std::string& entry : record.entries) classPath += entry + ";";
    }
    if (settings.embeddedJar) {
        if (!classPath.empty() && classPath.back() != ';') classPath += ";";
        classPath += executable;
    }
    return classPath;
}

// The percentage form measured against this machine's memory.
std::string machineMemoryOption(const std::string& option, std::vector<MemoryRewrite>& rewrites) {
    if (!isPercentMemoryOption(option)) return option;
    MEMORYSTATUS status = {};
    status.dwLength = sizeof status;
    GlobalMemoryStatus(&status);
    std::string rewritten = percentMemoryOption(option, status.dwTotalPhys, status.dwAvailVirtual);
    rewrites.push_back({option, rewritten, status.dwTotalPhys, status.dwAvailVirtual});
    return rewritten;
}

}  // namespace

VmConfiguration buildVmConfiguration(const LauncherSettings& settings, const std::string& executable,
                                     const std::string& launcherFolder,
                                     const std::string& libraryPathOption,
                                     const std::vector<std::string>& arguments,
                                     LaunchEnvironment& environment) {
    VmConfiguration vm;
    if (!libraryPathOption.empty()) vm.options.push_back(libraryPathOption);
    vm.mainArguments = arguments;
    std::string classPath = classPathValue(settings, executable, launcherFolder, vm.classPath);
    if (classPath.empty()) {
        vm.failure = Failure{msg::ClassPathMissing};
        return vm;
    }

    std::vector<std::string> options = {"-Djava.class.path=" + classPath};
    auto rewrite = [&](const std::string& option) { return machineMemoryOption(option, vm.memoryOptions); };
    for (std::string& option : splitVmParameters(settings.vmParameters, vm.stackSize, rewrite))
        options.push_back(std::move(option));
    for (const std::string& option : options) vm.options.push_back(environment.expand(option));

    if (!settings.outputFile.empty()) vm.outputFile = environment.expand(settings.outputFile);
    if (!settings.errorFile.empty()) vm.errorFile = environment.expand(settings.errorFile);
    vm.mainArguments = argumentsWithCmd(arguments, settings.cmd, environment);
    return vm;
}
