#include "launcher/LaunchPlan.h"

#include <windows.h>

#include "base/AnsiText.h"
#include "base/PathText.h"
#include "jre/RequiredVersion.h"
#include "settings/SettingsPaths.h"

std::string instanceNameFor(const std::string& executable) {
    return ansi::replaceAll(executable, '\\', '_');
}

bool hasArgument(const std::vector<std::string>& arguments, const char* text) {
    for (const std::string& argument : arguments)
        if (lstrcmpA(argument.c_str(), text) == 0) return true;
    return false;
}

LaunchPlan planLaunch(const LaunchContext& context, LaunchActions& actions) {
    LaunchPlan plan;
    const std::string& executable = context.executable;
    plan.launcherFolder = folderOf(executable);

    std::string settingsFile = settingsPathFor(executable);
    if (settingsFile.empty()) {
        plan.outcome = LaunchOutcome::NoSettingsPath;
        return plan;
    }
    plan.failure = readSettings(executable, settingsFile, plan.settings);
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
        std::size_t slash = ansi::findLast(executable, '\\');
        if (slash != ansi::npos && slash >= 1) {
            plan.workingFolder = executable.substr(0, slash);
            actions.enterFolder(plan.workingFolder);
        }
    }

    plan.discovery = discoverRuntime(settings, plan.launcherFolder);
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
                                   context.environment);
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
