#pragma once
// The splash screen of a launch: what it shows (decided with the rest of the
// launch), and the running splash screen, which is either the launcher's own
// window on a thread of its own or the runtime's native splash library.

#include <windows.h>

#include <atomic>
#include <memory>
#include <optional>
#include <string>

#include "base/UniqueResource.h"
#include "settings/LauncherSettings.h"
#include "splash/NativeSplash.h"

class SplashWindow;

enum class SplashChoice { Suppressed, None, NativeLibrary, OwnWindow };

struct SplashPlan {
    SplashChoice choice = SplashChoice::None;
    std::string picture;  // "Splash Screen", as written
    bool shadow = false;  // "Splash Screen Shadow" is exactly "true"
    // The runtime's native library, looked for when there is a picture;
    // empty: the runtime has none.
    std::string nativeLibrary;
};

// suppressed: "-nosplash" or "/nosplash" is among the arguments. The native
// library looked for goes into the trace, and with it (for the trace alone)
// whether the picture exists.
SplashPlan planSplash(const DisplaySettings& settings, const std::string& jvmLibrary, bool suppressed,
                      LaunchTrace* trace = nullptr);

class SplashScreen {
public:
    SplashScreen();
    ~SplashScreen();  // closes the window, then the native splash screen
    SplashScreen(const SplashScreen&) = delete;
    SplashScreen& operator=(const SplashScreen&) = delete;

    // The native library when the plan chooses it and it can be started,
    // else the own window; nothing without a picture.
    void start(const SplashPlan& plan);
    // Loads the library (for the rest of the process) and shows the picture
    // through it; false, with nothing called, when it cannot be loaded or
    // lacks an entry point that starts it.
    bool startNative(const std::string& libraryPath, const std::string& picture);
    // The own window, made and shown by the splash thread.
    void startWindow(const std::string& picture, bool shadow);

    // The owner of every message box: the splash window once it exists.
    // While the splash thread is still making its window, waits for it (a
    // few seconds at most): a message without owner would be covered by the
    // splash window that appears after it.
    HWND owner() const;

    // Each closes at most once; closing what is not open does nothing.
    void closeWindow();
    void closeNative();

private:
    static DWORD WINAPI threadBody(void* self);

    std::unique_ptr<SplashWindow> window_;
    UniqueHandle thread_;
    DWORD threadId_ = 0;
    // Set once the splash thread has tried to make its window.
    UniqueHandle windowReady_;
    // Written by the splash thread: the window once it exists, null again
    // before the window is destroyed.
    std::atomic<HWND> ownerWindow_{nullptr};
    std::string picture_;
    bool shadow_ = false;
    SplashCloseEntry closeNative_ = nullptr;
};
