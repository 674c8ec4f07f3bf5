#include "launcher/Launcher.h"

#include "launcher/AnsiText.h"
#include "launcher/CommandLine.h"
#include "launcher/LaunchContext.h"
#include "launcher/LaunchObserver.h"
#include "jre/JavaHome.h"
#include "jre/RegistrySearch.h"
#include "jre/RequiredVersion.h"
#include "jvm/JavaEnvironment.h"
#include "jvm/JavaThread.h"
#include "jvm/JvmLibrary.h"
#include "jvm/VmOptions.h"
#include "settings/SettingsPaths.h"
#include "splash/SplashWindow.h"
#include "ui/JreNotFoundDialog.h"

Launcher::Launcher() = default;

// Closes what the launch opened, in this order: the splash window, the Java
// VM (DestroyJavaVM returns only when the application's non-daemon threads
// have ended, so second launches are served until then), the single-instance
// objects, the start event, the native splash screen.
Launcher::~Launcher() {
    closeSplash();
    if (javaVm) javaVm->DestroyJavaVM();
    tearDownSingleInstance();
    mainStartedEvent.reset();
    closeNativeSplash();
}

void Launcher::parseCommandLine() {
    arguments = argumentsFromCommandLine(GetCommandLineA());
}

int Launcher::findArgument(const char* text) const {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (lstrcmpA(arguments[i].c_str(), text) == 0) return static_cast<int>(i);
    }
    return -1;
}

bool Launcher::readSettings() {
    return ::readSettings(settings, messageOwner());
}

void Launcher::applyWorkingDirectory() {
    std::string path;
    if (!modulePath(path, messageOwner())) return;
    std::size_t slash = ansi::findLast(path, '\\');
    if (slash != ansi::npos && slash >= 1) SetCurrentDirectoryA(path.substr(0, slash).c_str());
}

bool Launcher::findRuntime() {
    LaunchObserver* observer = launchObserver();
    // The remembered folder; it is not held against the version bounds.
    if (observer) observer->runtimeSourceTried(RuntimeSource::Remembered);
    if (!settings.jrePath.empty()) {
        jvmLibraryPath = probeJavaHome(withTrailingBackslash(settings.jrePath), settings.jvmType);
        if (!jvmLibraryPath.empty()) return true;
    }
    if (observer) observer->runtimeSourceTried(RuntimeSource::BesideExecutable);
    if (std::optional<std::string> local = findLocalRuntime(messageOwner())) {
        jvmLibraryPath = probeJavaHome(*local, settings.jvmType);
        if (!jvmLibraryPath.empty()) return true;
    }
    if (observer) observer->runtimeSourceTried(RuntimeSource::Registry);
    std::string home;
    if (searchRegistry(settings, home)) {
        jvmLibraryPath = probeJavaHome(home, settings.jvmType);
        if (!jvmLibraryPath.empty()) return true;
    }
    return false;
}

bool Launcher::initialize() {
    parseCommandLine();
    if (!readSettings()) return false;
    if (!setUpSingleInstance()) return false;
    // A secondary instance only hands over its arguments and waits.
    if (singleInstanceEnabled && !isPrimaryInstance) return true;
    if (settings.overrideWorkingDir) applyWorkingDirectory();
    if (findRuntime()) return true;

    // No runtime was found: the user may pick the folder of one, which is
    // then remembered.
    JreNotFoundDialog dialog(jreNotFoundMessage(settings), settings.jvmType);
    if (dialog.showModal(GetActiveWindow()) != IDOK) return false;
    jvmLibraryPath = dialog.foundJvmLibraryPath();
    saveJrePath(settings, dialog.chosenFolder(), messageOwner());
    return true;
}

int Launcher::run() {
    if (singleInstanceEnabled && !isPrimaryInstance) return waitForPrimary();
    setUpJavaEnvironment(*this);
    // The switches stay in the arguments and reach the Java program too.
    if (findArgument("-nosplash") == -1 && findArgument("/nosplash") == -1 && !startSplash())
        return 0;
    if (!loadJvmLibrary(*this)) return -1;
    if (!buildVmOptions(*this)) return -1;
    if (runJavaThread(*this) == 0) return 0;
    closeNativeSplash();
    return -1;
}
