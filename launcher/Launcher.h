#pragma once
// The one object that holds all state of a launch: the settings, the
// arguments, the chosen JVM library, the VM, the splash screen and the
// single-instance objects. WinMain creates it, initialises and runs it.

#include <windows.h>
#include <jni.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "launcher/SingleInstance.h"
#include "launcher/UniqueResource.h"
#include "settings/LauncherSettings.h"
#include "ui/MessageReporter.h"

class SplashWindow;

using CreateJavaVmEntry = jint(JNICALL*)(JavaVM**, void**, void*);
using GetDefaultJavaVmInitArgsEntry = jint(JNICALL*)(void*);
using SplashCloseEntry = void(__cdecl*)();

// The loaded JVM library's two entry points. The library is never freed.
struct JvmLibrary {
    HMODULE module = nullptr;
    CreateJavaVmEntry createJavaVm = nullptr;
    GetDefaultJavaVmInitArgsEntry getDefaultJavaVmInitArgs = nullptr;
};

class Launcher {
public:
    Launcher();
    ~Launcher();
    Launcher(const Launcher&) = delete;
    Launcher& operator=(const Launcher&) = delete;

    bool initialize();
    int run();
    void applyWorkingDirectory();

    // Command line.
    void parseCommandLine();
    int findArgument(const char* text) const;

    bool readSettings();
    // The remembered folder, the runtime beside the executable, then the
    // registry; true when one of them gave a JVM library.
    bool findRuntime();

    // Single instance.
    bool setUpSingleInstance();
    bool startListener(const std::string& instanceName);
    bool handOverToPrimary(const std::string& instanceName);
    bool handOverArguments();
    bool postHandOver() const;
    std::vector<std::string> readHandedOverArguments() const;
    int waitForPrimary();
    void tearDownSingleInstance();

    // Splash screen.
    // "Splash Screen" and "Splash Screen Shadow" into their fields, and
    // "Preffer Native Splash Screen"; false without a settings file path.
    bool readSplashSettings(std::string& preferNative);
    bool startSplash();
    void closeSplash();
    std::string findNativeSplashLibrary() const;
    bool startNativeSplash(const std::string& libraryPath);
    void closeNativeSplash();

    // The owner of every message box: the splash window once it exists.
    // While the splash thread is still making its window, waits for it (a
    // few seconds at most): a message without owner would be covered by the
    // splash window that appears after it.
    HWND owner() const;
    // The same, asked for only when a message box is shown.
    MessageOwner messageOwner() const {
        return MessageOwner([](const void* self) { return static_cast<const Launcher*>(self)->owner(); },
                            this);
    }

    LauncherSettings settings;
    std::vector<std::string> arguments;
    std::string jvmLibraryPath;

    JvmLibrary jvmLibrary;
    JavaVM* javaVm = nullptr;
    JNIEnv* jniEnv = nullptr;
    std::vector<std::string> vmOptions;
    std::uint32_t javaStackSize = 0;
    std::string outputFilePath;
    std::string errorFilePath;

    // Splash screen; messageOwnerWindow is written by the splash thread: the
    // window once it exists, null again before the window is destroyed.
    std::string splashImagePath;
    std::string splashShadow;
    std::unique_ptr<SplashWindow> splashWindow;
    UniqueHandle splashThread;
    // Set once the splash thread has tried to make its window.
    UniqueHandle splashWindowReady;
    DWORD splashThreadId = 0;
    std::atomic<HWND> messageOwnerWindow{nullptr};
    SplashCloseEntry splashCloseEntry = nullptr;

    // Single instance. The taken event and the gate exist in the primary
    // only, while the mode is on.
    bool singleInstanceEnabled = false;
    bool isPrimaryInstance = false;
    UniqueHandle sharedBlockMapping;
    UniqueMappedView sharedBlockView;
    UniqueHandle listenerThread;
    UniqueHandle mainStartedEvent;
    UniqueHandle handOverTakenEvent;
    HandOverGateReference handOverGate;
    SharedBlock* sharedBlock() const { return static_cast<SharedBlock*>(sharedBlockView.get()); }
};
