#include "splash/SplashScreen.h"

#include <utility>

#include "base/QuitThread.h"
#include "splash/SplashWindow.h"

SplashPlan planSplash(const DisplaySettings& settings, const std::string& jvmLibrary, bool suppressed,
                      LaunchTrace* trace) {
    SplashPlan plan;
    if (suppressed) {
        plan.choice = SplashChoice::Suppressed;
        return plan;
    }
    plan.picture = settings.splashScreen;
    plan.shadow = splashShadowWanted(settings.splashScreenShadow);
    if (plan.picture.empty()) return plan;
    if (trace) traceFile(trace, LaunchStage::Splash, probeFile(plan.picture));
    std::string candidate = nativeSplashLibraryCandidate(jvmLibrary);
    if (!candidate.empty()) {
        FileProbe library = probeFile(candidate);
        traceFile(trace, LaunchStage::Splash, library);
        if (library.exists) plan.nativeLibrary = candidate;
    }
    plan.choice = prefersNativeSplash(settings.preferNativeSplash, plan.nativeLibrary)
                      ? SplashChoice::NativeLibrary
                      : SplashChoice::OwnWindow;
    return plan;
}

SplashScreen::SplashScreen() = default;

SplashScreen::~SplashScreen() {
    closeWindow();
    closeNative();
}

void SplashScreen::start(const SplashPlan& plan) {
    if (plan.choice == SplashChoice::NativeLibrary && startNative(plan.nativeLibrary, plan.picture)) return;
    if (plan.choice == SplashChoice::NativeLibrary || plan.choice == SplashChoice::OwnWindow)
        startWindow(plan.picture, plan.shadow);
}

bool SplashScreen::startNative(const std::string& libraryPath, const std::string& picture) {
    // Stays loaded for the rest of the process: the runtime's splash screen
    // lives in it, and its close function may be called up to the very end.
    HMODULE library = LoadLibraryA(libraryPath.c_str());
    if (!library) return false;
    auto init = reinterpret_cast<SplashInitEntry>(GetProcAddress(library, "SplashInit"));
    auto loadFile = reinterpret_cast<SplashLoadFileEntry>(GetProcAddress(library, "SplashLoadFile"));
    auto setFileJarName =
        reinterpret_cast<SplashSetFileJarNameEntry>(GetProcAddress(library, "SplashSetFileJarName"));
    auto close = reinterpret_cast<SplashCloseEntry>(GetProcAddress(library, "SplashClose"));
    if (!init || !loadFile || !setFileJarName) return false;

    closeNative_ = close;
    init();
    loadFile(picture.c_str());
    setFileJarName(picture.c_str(), "");
    return true;
}

// The splash thread: creates and shows the window, then pumps its messages
// until WM_QUIT arrives.
DWORD WINAPI SplashScreen::threadBody(void* parameter) {
    SplashScreen& splash = *static_cast<SplashScreen*>(parameter);
    HWND window = splash.window_->createSplashWindow(splash.picture_, splash.shadow_);
    splash.ownerWindow_ = window;
    SetEvent(splash.windowReady_.get());
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    // No message box may take the window as its owner once it is gone.
    splash.ownerWindow_ = nullptr;
    if (window) DestroyWindow(window);
    return 0;
}

void SplashScreen::startWindow(const std::string& picture, bool shadow) {
    picture_ = picture;
    shadow_ = shadow;
    window_ = std::make_unique<SplashWindow>();
    windowReady_.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    DWORD threadId = 0;
    thread_.reset(CreateThread(nullptr, 0, &threadBody, this, 0, &threadId));
    if (thread_) {
        threadId_ = threadId;
    } else {
        windowReady_.reset();
    }
}

HWND SplashScreen::owner() const {
    // Bounded: a picture that takes long to decode must not keep a message
    // from being shown at all.
    const DWORD kSplashWindowWaitMs = 5000;
    if (windowReady_) WaitForSingleObject(windowReady_.get(), kSplashWindowWaitMs);
    return ownerWindow_.load();
}

void SplashScreen::closeWindow() {
    if (!window_) return;
    if (thread_) {
        quitThread(thread_.get(), threadId_);
        thread_.reset();
        threadId_ = 0;
    }
    // Nothing is left to wait for.
    if (windowReady_) SetEvent(windowReady_.get());
    ownerWindow_ = nullptr;
    window_.reset();
}

void SplashScreen::closeNative() {
    if (SplashCloseEntry close = std::exchange(closeNative_, nullptr)) close();
}
