#include "launcher/LaunchPlan.h"

#include <windows.h>

#include "base/AnsiText.h"
#include "base/PathText.h"
#include "jre/RequiredVersion.h"
#include "settings/SettingsPaths.h"

namespace {

// FNV-1a over the bytes, forwards or backwards: together 128 bits of the
// path.
std::uint64_t fnv1a(const std::string& text, bool backwards) {
    std::uint64_t hash = 14695981039346656037ull;
    for (std::size_t i = 0; i < text.size(); ++i) {
        hash ^= static_cast<unsigned char>(text[backwards ? text.size() - 1 - i : i]);
        hash *= 1099511628211ull;
    }
    return hash;
}

}  // namespace

std::string instanceNameFor(const std::string& executable) {
    const std::size_t kLongestSuffix = 15;  // "_handover_taken"
    if (executable.size() + kLongestSuffix <= MAX_PATH) return ansi::replaceAll(executable, '\\', '_');
    std::string name = "JavaLauncher-";
    for (bool backwards : {false, true}) {
        std::uint64_t hash = fnv1a(executable, backwards);
        for (int shift = 60; shift >= 0; shift -= 4) name += "0123456789abcdef"[(hash >> shift) & 15];
    }
    return name;
}

bool hasArgument(const std::vector<Argument>& arguments, const char* text) {
    for (const Argument& argument : arguments)
        if (lstrcmpA(argument.text.c_str(), text) == 0) return true;
    return false;
}

std::optional<int> exitCodeOf(LaunchOutcome outcome) {
    switch (outcome) {
    case LaunchOutcome::SecondaryInstance:
    case LaunchOutcome::StartsJava:
        return std::nullopt;
    default:
        return kLaunchFailed;
    }
}

LaunchPaths launchPathsOf(const std::wstring& executable, LaunchTrace* trace) {
    LaunchPaths paths;
    AnsiPath path = ansiPathOf(executable);
    if (!path.ok) {
        paths.failure.emplace(pathFailure(executable));
        return paths;
    }
    traceShortName(trace, executable, path);
    // The ANSI calls take no longer path.
    if (path.path.size() >= MAX_PATH) {
        paths.failure.emplace(windowsFailure(msg::ModulePathFailed, ERROR_FILENAME_EXCED_RANGE));
        return paths;
    }
    paths.executable = std::move(path.path);
    std::size_t dot = executable.rfind(L'.');
    if (dot == std::wstring::npos) return paths;
    // Its own name may need a short name of its own; a settings file that
    // does not exist has none, and is missing under the executable's name.
    std::wstring settingsFile = executable.substr(0, dot + 1) + L"ini";
    AnsiPath settings = ansiPathOf(settingsFile);
    if (settings.ok) traceShortName(trace, settingsFile, settings);
    paths.settingsFile = settings.ok ? settings.path : settingsPathFor(paths.executable);
    return paths;
}

LaunchPlan planLaunch(const LaunchContext& context, LaunchActions& actions) {
    LaunchPlan plan;
    const std::string& executable = context.paths.executable;
    const std::string& settingsFile = context.paths.settingsFile;
    LaunchTrace* trace = context.trace;
    plan.launcherFolder = folderOf(executable);

    if (context.paths.failure) {
        plan.failure.emplace(*context.paths.failure);
        plan.outcome = LaunchOutcome::PathStopped;
        return plan;
    }
    if (settingsFile.empty()) {
        plan.outcome = LaunchOutcome::NoSettingsPath;
        return plan;
    }
    const LauncherSettings& settings = plan.settings.emplace();
    plan.failure = readSettings(executable, settingsFile, *plan.settings, trace);
    if (plan.failure) {
        plan.outcome = LaunchOutcome::SettingsStopped;
        return plan;
    }

    const InstanceMode& instance = plan.instance.emplace(
        InstanceMode{settings.singleInstance, settings.singleInstance ? instanceNameFor(executable) : std::string()});
    if (instance.on && actions.handsOverToRunningInstance(instance.name, context.arguments)) {
        plan.outcome = LaunchOutcome::SecondaryInstance;
        return plan;
    }

    if (settings.application.overrideWorkingDir) {
        // The folder without its last backslash; nothing for a bare name.
        std::string folder = stripPathComponents(executable, 1);
        if (!folder.empty() && folder != executable) actions.enterFolder(plan.workingFolder.emplace(folder));
    }

    const RuntimeDiscovery& discovery =
        plan.discovery.emplace(discoverRuntime(settings.discovery, plan.launcherFolder, trace));
    plan.jvmLibrary = discovery.jvmLibrary;
    if (discovery.failure) {
        plan.failure.emplace(*discovery.failure);
        plan.outcome = LaunchOutcome::DiscoveryStopped;
        return plan;
    }
    if (plan.jvmLibrary.empty()) {
        const JreNotFound& notFound =
            plan.jreNotFound.emplace(JreNotFound{jreNotFoundMessage(settings.discovery), jrePathFile(settings)});
        std::optional<std::string> picked = actions.pickRuntime(settings, notFound.message);
        if (!picked) {
            plan.outcome = LaunchOutcome::JreNotFound;
            return plan;
        }
        plan.jvmLibrary = *picked;
    }

    const JavaEnvironment& environment = plan.environment.emplace(
        setUpJavaEnvironment(settings.environment, plan.jvmLibrary, plan.launcherFolder, context.environment));
    plan.loading = planJvmLoading(plan.jvmLibrary);
    bool suppressed = hasArgument(context.arguments, "-nosplash") || hasArgument(context.arguments, "/nosplash");
    plan.splash = planSplash(settings.display, plan.jvmLibrary, suppressed, trace);
    VmConfiguration& vm = plan.vm.emplace(buildVmConfiguration(settings.vm, executable, plan.launcherFolder,
                                                              environment.libraryPathOption, context.arguments,
                                                              context.environment, trace));
    if (vm.failure) {
        plan.failure.emplace(*vm.failure);
        plan.outcome = LaunchOutcome::OptionsStopped;
        return plan;
    }
    ClassDataSharingPlan& sharing = plan.sharing.emplace(planClassDataSharing(
        settings.classDataSharing, context.console, settings.product, discovery, plan.jvmLibrary, executable, vm, trace));
    if (takesRecord(sharing.state)) sharing.state = actions.takeArchive(sharing);
    addSharingOptions(sharing, vm);
    plan.outcome = LaunchOutcome::StartsJava;
    return plan;
}
