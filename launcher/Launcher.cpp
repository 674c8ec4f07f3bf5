#include "launcher/Launcher.h"

#include "base/CommandLine.h"
#include "base/StandardError.h"
#include "base/WideText.h"
#include "jre/RequiredVersion.h"
#include "launcher/ExecutableImage.h"
#include "ui/JreNotFoundDialog.h"
#include "ui/MessageReporter.h"

namespace {

// The running executable's path; empty when the platform does not give it
// (or gives one too long for any buffer), with the error in error.
std::wstring modulePath(DWORD& error) {
    std::wstring path(32768, L'\0');
    DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    error = length == 0 ? GetLastError() : ERROR_INSUFFICIENT_BUFFER;
    path.resize(length < path.size() ? length : 0);
    return path;
}

// The file name of a path, from its last backslash on.
template <class Text>
Text fileNameOf(const Text& path) {
    return path.substr(path.find_last_of('\\') + 1);
}

}  // namespace

Launcher::~Launcher() {
    splash_.closeWindow();
    if (vm_) vm_->DestroyJavaVM();
    instance_.close();
    splash_.closeNative();
}

int Launcher::run() {
    console_ = ownImage().isConsole();
    std::vector<Argument> arguments = argumentsFromCommandLine(std::wstring(GetCommandLineW()));
    DWORD error = 0;
    std::wstring path = modulePath(error);
    name_ = fileNameOf(path);
    name_ = name_.substr(0, name_.rfind(L'.'));
    LaunchPaths paths = launchPathsOf(path);
    executable_ = paths.executable;
    // Message 202 with 208 when the platform does not give the path.
    if (path.empty()) paths.failure.emplace(windowsFailure(msg::ModulePathFailed, error));
    LaunchPlan plan = planLaunch({paths, std::move(arguments), environment_, nullptr, console_}, *this);
    plan_ = &plan;
    int result = exitCodeOf(plan.outcome).value_or(kLaunchFailed);
    switch (plan.outcome) {
    case LaunchOutcome::PathStopped:
    case LaunchOutcome::SettingsStopped:
    case LaunchOutcome::DiscoveryStopped:
        report(*plan.failure);
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

void Launcher::report(const Failure& failure) {
    if (!console_) {
        showFailure(splash_.owner(), failure);
        return;
    }
    // One line: the text's own line ends become blanks.
    std::wstring text = messageTextWide(failure);
    for (wchar_t& c : text)
        if (c == L'\r' || c == L'\n') c = L' ';
    while (!text.empty() && text.back() == L' ') text.pop_back();
    writeStandardErrorLine(name_ + L": " + text);
}

// The splash screen comes first, then the JVM library; a failure of the VM
// options is shown only then, above the splash window.
int Launcher::runJava(LaunchPlan& plan) {
    splash_.start(*plan.splash);
    if (std::optional<Failure> failure = loadJvmLibrary(*plan.loading, plan.jvmLibrary, library_)) {
        report(*failure);
        return kLaunchFailed;
    }
    if (plan.failure) {
        report(*plan.failure);
        return kLaunchFailed;
    }
    const LauncherSettings& settings = *plan.settings;
    JavaRun run{library_, *plan.vm, settings.application, settings.discovery.ibmRuntimePossible(), !console_};
    // As java.exe: a console program whose main threw ends with 1.
    if (runJavaThread(run, *this) == 0) return console_ && mainThrew_ ? 1 : 0;
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
    if (console_) {
        writeStandardErrorLine(name_ + L": " +
                               toWide(jreNotFoundLine(settings.discovery, fileNameOf(settings.file),
                                                      fileNameOf(executable_))));
        return std::nullopt;
    }
    JreNotFoundDialog dialog(message, settings.discovery.jvmType, settings.discovery.downloadPage);
    if (dialog.showModal(GetActiveWindow()) != IDOK) return std::nullopt;
    saveJrePath(settings, dialog.chosenFolder());
    return dialog.foundJvmLibraryPath();
}

void Launcher::mainStarting(JavaVM* vm) {
    const LauncherSettings& settings = *plan_->settings;
    noteMainReached(sharingRecord_);
    instance_.mainStarting({vm, settings.application.mainClass, settings.discovery.ibmRuntimePossible()});
}
