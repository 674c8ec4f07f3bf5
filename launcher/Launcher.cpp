#include "launcher/Launcher.h"

#include "base/CommandLine.h"
#include "ui/JreNotFoundDialog.h"
#include "ui/MessageReporter.h"

namespace {

// The paths of the running executable; message 202 with 208 when the
// platform does not give its path (or gives one too long for any buffer).
LaunchPaths modulePaths() {
    std::wstring path(32768, L'\0');
    DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size()) {
        LaunchPaths paths;
        paths.failure = windowsFailure(msg::ModulePathFailed, length ? ERROR_INSUFFICIENT_BUFFER : GetLastError());
        return paths;
    }
    path.resize(length);
    return launchPathsOf(path);
}

}  // namespace

Launcher::~Launcher() {
    splash_.closeWindow();
    if (vm_) vm_->DestroyJavaVM();
    instance_.close();
    splash_.closeNative();
}

int Launcher::run() {
    std::vector<Argument> arguments = argumentsFromCommandLine(std::wstring(GetCommandLineW()));
    const LaunchPaths paths = modulePaths();
    LaunchPlan plan = planLaunch({paths, std::move(arguments), environment_}, *this);
    plan_ = &plan;
    int result = exitCodeOf(plan.outcome).value_or(kLaunchFailed);
    switch (plan.outcome) {
    case LaunchOutcome::PathStopped:
    case LaunchOutcome::SettingsStopped:
    case LaunchOutcome::DiscoveryStopped:
        showFailure(messageOwner(), *plan.failure);
        break;
    case LaunchOutcome::SecondaryInstance:
        if (handedOver_) result = instance_.waitForPrimary();
        break;
    case LaunchOutcome::OptionsStopped:
    case LaunchOutcome::StartsJava:
        result = runJava(plan);
        break;
    default:
        break;
    }
    plan_ = nullptr;
    return result;
}

// The splash screen comes first, then the JVM library; a failure of the VM
// options is shown only then, above the splash window.
int Launcher::runJava(LaunchPlan& plan) {
    splash_.start(*plan.splash);
    if (std::optional<Failure> failure = loadJvmLibrary(*plan.loading, plan.jvmLibrary, library_)) {
        showFailure(messageOwner(), *failure);
        return kLaunchFailed;
    }
    if (plan.failure) {
        showFailure(messageOwner(), *plan.failure);
        return kLaunchFailed;
    }
    const LauncherSettings& settings = *plan.settings;
    if (runJavaThread({library_, *plan.vm, settings.application, settings.discovery.ibmRuntimePossible()}, *this) == 0)
        return 0;
    splash_.closeNative();
    return kLaunchFailed;
}

bool Launcher::handsOverToRunningInstance(const std::string& instanceName,
                                          const std::vector<Argument>& arguments) {
    if (instance_.join(instanceName) != SingleInstance::Role::Secondary) return false;
    handedOver_ = instance_.handOver(arguments);
    return true;
}

void Launcher::enterFolder(const std::string& folder) { SetCurrentDirectoryA(folder.c_str()); }

std::optional<std::string> Launcher::pickRuntime(const LauncherSettings& settings,
                                                 const std::string& message) {
    JreNotFoundDialog dialog(message, settings.discovery.jvmType, settings.discovery.downloadPage);
    if (dialog.showModal(GetActiveWindow()) != IDOK) return std::nullopt;
    saveJrePath(settings, dialog.chosenFolder());
    return dialog.foundJvmLibraryPath();
}

void Launcher::mainStarting(JavaVM* vm) {
    const LauncherSettings& settings = *plan_->settings;
    instance_.mainStarting({vm, settings.application.mainClass, settings.discovery.ibmRuntimePossible()});
}
