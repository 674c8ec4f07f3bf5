#include "jvm/VmOptions.h"

#include <windows.h>

#include "base/AnsiText.h"
#include "base/CommandLine.h"
#include "base/PathText.h"
#include "base/UniqueResource.h"
#include "base/WideText.h"
#include "jvm/MemoryOptions.h"
#include "jvm/VmParameters.h"

bool isRelativeClassPathEntry(const std::string& piece) {
    bool drive = piece.size() >= 2 && piece[1] == ':';
    bool network = piece.size() >= 2 && piece[0] == '\\' && piece[1] == '\\';
    return !drive && !network;
}

ClassPathSearch classPathSearch(const std::string& written, const std::string& launcherFolder) {
    std::string piece = ansi::replaceAll(written, '/', '\\');
    std::size_t slash = ansi::findLast(piece, '\\');
    std::string folderPart = slash == ansi::npos ? std::string() : piece.substr(0, slash + 1);
    if (!isRelativeClassPathEntry(piece)) return {piece, folderPart};
    std::string base = stripPathComponents(launcherFolder, 1);
    return {base + piece, base + folderPart};
}

std::optional<Failure> classPathMatches(const ClassPathSearch& search, std::vector<std::string>& entries,
                                        LaunchTrace* trace) {
    WIN32_FIND_DATAW found;
    UniqueFindHandle handle(FindFirstFileW(toWide(search.pattern).c_str(), &found));
    if (!handle) return std::nullopt;
    do {
        std::string name;
        if (!toAnsi(found.cFileName, name)) {
            std::wstring path = toWide(search.prefix) + found.cFileName;
            if (!*found.cAlternateFileName || !toAnsi(found.cAlternateFileName, name)) return pathFailure(path);
            if (trace) trace->shortName(path, search.prefix + name);
        }
        entries.push_back(search.prefix + name);
    } while (FindNextFileW(handle.get(), &found));
    return std::nullopt;
}

std::vector<Argument> argumentsWithCmd(std::vector<Argument> arguments, const std::string& cmd,
                                          LaunchEnvironment& environment) {
    if (cmd.empty()) return arguments;
    for (std::string& argument : splitArguments(environment.expand(cmd)))
        if (!argument.empty()) arguments.push_back({std::move(argument), {}});
    return arguments;
}

namespace {

// The class path option's value: every entry followed by ";", the
// executable last when it is the embedded jar.
std::string classPathValue(const VmSettings& settings, const std::string& executable,
                           const std::string& launcherFolder, VmConfiguration& vm, LaunchTrace* trace) {
    std::vector<ClassPathPiece>& pieces = vm.classPath;
    std::string classPath;
    for (const std::string& piece : splitList(settings.classPath)) {
        ClassPathPiece& record = pieces.emplace_back();
        record.piece = piece;
        record.searched = ansi::find(piece, '*') != ansi::npos || piece.size() < 2 ||
                          isRelativeClassPathEntry(piece);
        if (record.searched) {
            ClassPathSearch search = classPathSearch(piece, launcherFolder);
            record.pattern = search.pattern;
            vm.failure = classPathMatches(search, record.entries, trace);
            if (vm.failure) return {};
        } else {
            record.entries = {piece};
        }
        for (const std::string& entry : record.entries) classPath += entry + ";";
    }
    if (settings.embeddedJar) {
        if (!classPath.empty() && classPath.back() != ';') classPath += ";";
        classPath += executable;
        vm.embeddedJar = executable;
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

VmConfiguration buildVmConfiguration(const VmSettings& settings, const std::string& executable,
                                     const std::string& launcherFolder,
                                     const std::string& libraryPathOption,
                                     const std::vector<Argument>& arguments,
                                     LaunchEnvironment& environment, LaunchTrace* trace) {
    VmConfiguration vm;
    if (!libraryPathOption.empty()) vm.options.push_back(libraryPathOption);
    vm.mainArguments = std::vector<Argument>(arguments);
    std::string classPath = classPathValue(settings, executable, launcherFolder, vm, trace);
    if (classPath.empty()) {
        if (!vm.failure) vm.failure.emplace(Failure{msg::ClassPathMissing});
        return vm;
    }

    std::vector<std::string> options = {"-Djava.class.path=" + classPath};
    auto rewrite = [&](const std::string& option) { return machineMemoryOption(option, vm.memoryOptions); };
    for (std::string& option : splitVmParameters(settings.vmParameters, vm.stackSize, rewrite))
        options.push_back(std::move(option));
    for (const std::string& option : options) vm.options.push_back(environment.expand(option));

    if (!settings.outputFile.empty()) vm.outputFile = environment.expand(settings.outputFile);
    if (!settings.errorFile.empty()) vm.errorFile = environment.expand(settings.errorFile);
    if (!settings.outputFileWide.empty()) vm.outputFileWide = environment.expand(settings.outputFileWide);
    if (!settings.errorFileWide.empty()) vm.errorFileWide = environment.expand(settings.errorFileWide);
    vm.mainArguments = argumentsWithCmd(arguments, settings.cmd, environment);
    return vm;
}
