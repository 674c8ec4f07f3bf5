#include "launcher/LaunchPlan.h"

#include <windows.h>

#include "base/AnsiText.h"
#include "base/PathText.h"
#include "jre/RequiredVersion.h"
#include "settings/SettingsPaths.h"

std::string instanceNameFor(const std::string& executable) {
    return ansi::replaceAll(executable, '\\', '_');
}

bool hasArgument(const std::vector<Argument>& arguments, const char* text) {
    for (const Argument& argument : arguments)
        if (lstrcmpA(argument.text.c_str(), text) == 0) return true;
    return false;
}

LaunchPaths launchPathsOf(const std::wstring& executable, PathFallbacks* notes) {
    LaunchPaths paths;
    AnsiPath path = ansiPathOf(executable, notes);
    if (!path.ok) {
        paths.failure = pathFailure(executable);
        return paths;
    }
    // The ANSI calls take no longer path.
    if (path.path.size() >= MAX_PATH) {
        paths.failure = windowsFailure(msg::ModulePathFailed, ERROR_FILENAME_EXCED_RANGE);
        return paths;
    }
    paths.executable = std::move(path.path);
    std::size_t dot = executable.rfind(L'.');
    if (dot == std::wstring::npos) return paths;
    // Its own name may need a short name of its own; a settings file that
    // does not exist has none, and is missing under the executable's name.
    AnsiPath settings = ansiPathOf(executable.substr(0, dot + 1) + L"ini", notes);
    paths.settingsFile = settings.ok ? settings.path : settingsPathFor(paths.executable);
    return paths;
}

LaunchPlan planLaunch(const LaunchContext& context, LaunchActions& actions) {
    LaunchPlan plan;
    const std::string& executable = context.paths.executable;
    const std::string& settingsFile = context.paths.settingsFile;
    plan.launcherFolder = folderOf(executable);

    if (context.paths.failure) {
        plan.failure = context.paths.failure;
        plan.outcome = LaunchOutcome::PathStopped;
        return plan;
    }
    if (settingsFile.empty()) {
        plan.outcome = LaunchOutcome::NoSettingsPath;
        return plan;
    }
    plan.failure = readSettings(executable, settingsFile, plan.settings, context.notes);
    const LauncherSettings& settings = plan.settings;
    if (plan.failure) {
        plan.outcome = LaunchOutcome::SettingsStopped;
        return plan;
    }

    if (settings.singleInstance) {
        plan.instanceName = instanceNameFor(executable);
        if (actions.handsOverToRunningInstance(plan.instanceName, context.arguments)) {
            plan.outcome = LaunchOutcome::SecondaryInstance;
            return plan;
        }
    }

    if (settings.overrideWorkingDir) {
        // The folder without its last backslash; nothing for a bare name.
        std::string folder = stripPathComponents(executable, 1);
        if (!folder.empty() && folder != executable) {
            plan.workingFolder = folder;
            actions.enterFolder(plan.workingFolder);
        }
    }

    plan.discovery = discoverRuntime(settings, plan.launcherFolder, context.notes);
    plan.jvmLibrary = plan.discovery.jvmLibrary;
    if (plan.jvmLibrary.empty()) {
        plan.jreNotFoundMessage = jreNotFoundMessage(settings);
        std::optional<std::string> picked = actions.pickRuntime(settings, plan.jreNotFoundMessage);
        if (!picked) {
            plan.outcome = LaunchOutcome::JreNotFound;
            return plan;
        }
        plan.jvmLibrary = *picked;
    }

    plan.environment =
        setUpJavaEnvironment(settings, plan.jvmLibrary, plan.launcherFolder, context.environment);
    plan.loading = planJvmLoading(plan.jvmLibrary);
    bool suppressed = hasArgument(context.arguments, "-nosplash") || hasArgument(context.arguments, "/nosplash");
    plan.splash = planSplash(settings, plan.jvmLibrary, suppressed);
    plan.vm = buildVmConfiguration(settings, executable, plan.launcherFolder,
                                   plan.environment.libraryPathOption, context.arguments,
                                   context.environment, context.notes);
    if (plan.vm.failure) {
        plan.failure = plan.vm.failure;
        plan.outcome = LaunchOutcome::OptionsStopped;
        return plan;
    }
    ClassDataSharingPlan& sharing = plan.sharing;
    planClassDataSharing(sharing, settings, plan.discovery, plan.jvmLibrary, executable, plan.vm);
    if (writesArchive(sharing.state)) sharing.state = actions.takeArchive(sharing);
    addSharingOptions(sharing, plan.vm.options);
    plan.outcome = LaunchOutcome::StartsJava;
    return plan;
}
