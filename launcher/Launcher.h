#pragma once
// The launcher: evaluates the launch (LaunchPlan.h), carries it out, and
// owns what lives while the application runs: the single-instance objects,
// the splash screen, the JVM library, the Java VM and the record of the
// class data sharing archive. WinMain creates it and runs it.
//
// A copy built or stamped for the console subsystem (its own image header
// tells) is a command-line program, as java.exe is: what the GUI shows in a
// message box it writes to standard error as one line after the
// executable's name, "JRE Not Found" is such a line too, no dialog is ever
// shown, and an exception that leaves main ends the launch with exit code 1.

#include <windows.h>
#include <jni.h>

#include <optional>
#include <string>
#include <vector>

#include "base/Environment.h"
#include "jvm/JvmLibrary.h"
#include "launcher/JavaThread.h"
#include "launcher/LaunchPlan.h"
#include "launcher/SingleInstance.h"
#include "splash/SplashScreen.h"

class Launcher final : private LaunchActions, private JavaThreadHost {
public:
    Launcher() = default;
    // Closes what the launch opened, in this order: the splash window, the
    // Java VM (DestroyJavaVM returns only when the application's non-daemon
    // threads have ended, so second launches are served until then), the
    // single-instance objects, the native splash screen.
    ~Launcher();
    Launcher(const Launcher&) = delete;
    Launcher& operator=(const Launcher&) = delete;

    // The whole launch; the process exit code.
    int run();

private:
    int runJava(LaunchPlan& plan);

    // LaunchActions
    bool handsOverToRunningInstance(const std::string& instanceName,
                                    const std::vector<Argument>& arguments) override;
    void enterFolder(const std::string& folder) override;
    std::optional<std::string> pickRuntime(const LauncherSettings& settings,
                                           const std::string& message) override;
    SharingState takeArchive(const ClassDataSharingPlan& plan) override { return ::takeArchive(plan, sharingRecord_); }

    // JavaThreadHost
    void report(const Failure& failure) override;
    void vmCreated(JavaVM* vm) override { vm_ = vm; }
    void mainStarting(JavaVM* vm) override;
    void mainThrew() override {
        splash_.closeWindow();
        mainThrew_ = true;
    }
    void sharingRefused(bool started) override { noteRefusal(sharingRecord_, started); }

    ProcessEnvironment environment_;
    bool console_ = false;  // the executable is a console program
    std::wstring name_;     // its file name without extension, for console messages
    std::string executable_;
    bool mainThrew_ = false;
    const LaunchPlan* plan_ = nullptr;  // while run() runs
    SingleInstance instance_;
    bool handedOver_ = false;
    SplashScreen splash_;
    JvmLibrary library_;
    JavaVM* vm_ = nullptr;
    // The class data sharing record, held while this launch may write the
    // archive (closed after the VM has ended), or until main is reached.
    SharingRecord sharingRecord_;
};
