// Starting and closing the splash screen: the launcher's own window on a
// thread of its own, or the runtime's native splash library.
#include <windows.h>

#include "launcher/Launcher.h"
#include "settings/LauncherSettings.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsPaths.h"
#include "splash/NativeSplash.h"
#include "splash/SplashWindow.h"

namespace {

// The splash thread: creates and shows the window, then pumps its messages
// until WM_QUIT arrives.
DWORD WINAPI splashThreadBody(void* parameter) {
    Launcher& launcher = *static_cast<Launcher*>(parameter);
    HWND window = launcher.splashWindow->createSplashWindow(
        launcher.splashImagePath, splashShadowWanted(launcher.splashShadow));
    launcher.messageOwnerWindow = window;
    SetEvent(launcher.splashWindowReady.get());
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    // No message box may take the window as its owner once it is gone.
    launcher.messageOwnerWindow = nullptr;
    if (window) DestroyWindow(window);
    return 0;
}

}  // namespace

bool Launcher::readSplashSettings(std::string& preferNative) {
    std::string settingsPath;
    if (!settingsFilePath(settingsPath, messageOwner())) return false;
    splashImagePath = readSetting(settingsPath, section::Display, "Splash Screen");
    splashShadow = readSetting(settingsPath, section::Display, "Splash Screen Shadow");
    preferNative = readSetting(settingsPath, section::Display, "Preffer Native Splash Screen");
    return true;
}

bool Launcher::startSplash() {
    std::string preferNative;
    if (!readSplashSettings(preferNative)) return false;
    if (splashImagePath.empty()) return true;

    std::string nativeLibrary = findNativeSplashLibrary();
    if (prefersNativeSplash(preferNative, nativeLibrary) && startNativeSplash(nativeLibrary))
        return true;

    splashWindow = std::make_unique<SplashWindow>();
    splashWindowReady.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    DWORD threadId = 0;
    splashThread.reset(CreateThread(nullptr, 0, &splashThreadBody, this, 0, &threadId));
    if (splashThread) splashThreadId = threadId;
    else splashWindowReady.reset();
    return true;
}

HWND Launcher::owner() const {
    // Bounded: a picture that takes long to decode must not keep a message
    // from being shown at all.
    const DWORD kSplashWindowWaitMs = 5000;
    if (splashWindowReady) WaitForSingleObject(splashWindowReady.get(), kSplashWindowWaitMs);
    return messageOwnerWindow.load();
}

void Launcher::closeSplash() {
    if (!splashWindow) return;
    if (splashThread) {
        // WM_QUIT is posted on every pass: a thread that has no message queue
        // yet loses the post. Waiting on the handle between posts keeps the
        // loop from taking the processor from the thread it waits for.
        DWORD code = STILL_ACTIVE;
        do {
            PostThreadMessageA(splashThreadId, WM_QUIT, 0, 0);
            WaitForSingleObject(splashThread.get(), 10);
            if (!GetExitCodeThread(splashThread.get(), &code)) break;
        } while (code == STILL_ACTIVE);
        splashThread.reset();
        splashThreadId = 0;
    }
    // Nothing is left to wait for.
    if (splashWindowReady) SetEvent(splashWindowReady.get());
    messageOwnerWindow = nullptr;
    splashWindow.reset();
}
