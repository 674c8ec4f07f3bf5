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
    executable_ = paths.executable;
    LaunchPlan plan = planLaunch({paths, std::move(arguments), environment_}, *this);
    plan_ = &plan;
    int result = -1;
    switch (plan.outcome) {
    case LaunchOutcome::NoSettingsPath:
    case LaunchOutcome::JreNotFound:
        break;
    case LaunchOutcome::PathStopped:
    case LaunchOutcome::SettingsStopped:
        showFailure(messageOwner(), *plan.failure);
        break;
    case LaunchOutcome::SecondaryInstance:
        if (handedOver_) result = instance_.waitForPrimary();
        break;
    case LaunchOutcome::OptionsStopped:
    case LaunchOutcome::StartsJava:
        result = runJava(plan);
        break;
    }
    plan_ = nullptr;
    return result;
}

// The splash screen comes first, then the JVM library; a failure of the VM
// options is shown only then, above the splash window.
int Launcher::runJava(LaunchPlan& plan) {
    splash_.start(plan.splash);
    if (std::optional<Failure> failure = loadJvmLibrary(plan.loading, plan.jvmLibrary, library_)) {
        showFailure(messageOwner(), *failure);
        return -1;
    }
    if (plan.failure) {
        showFailure(messageOwner(), *plan.failure);
        return -1;
    }
    const LauncherSettings& settings = plan.settings;
    JavaRun run;
    run.library = &library_;
    run.options = &plan.vm.options;
    run.sharingOptions = plan.sharing.optionCount;
    run.stackSize = plan.vm.stackSize;
    run.outputFile = plan.vm.outputFile;
    run.errorFile = plan.vm.errorFile;
    run.mainClass = settings.mainClass;
    run.arguments = &plan.vm.mainArguments;
    run.failureCheck = settings.failureCheck;
    run.staysAttached = settings.ibmRuntimePossible();
    if (runJavaThread(run, *this) == 0) return 0;
    splash_.closeNative();
    return -1;
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
    JreNotFoundDialog dialog(message, settings.jvmType, settings.downloadPage);
    if (dialog.showModal(GetActiveWindow()) != IDOK) return std::nullopt;
    saveJrePath(executable_, settings, dialog.chosenFolder());
    return dialog.foundJvmLibraryPath();
}

void Launcher::mainStarting(JavaVM* vm) {
    instance_.mainStarting({vm, plan_->settings.mainClass, plan_->settings.ibmRuntimePossible()});
}
