// Shows the launcher's own splash window with the picture named by the first
// argument, for tools/screenshot.sh. Ends with 0 once it has been
// photographed, 1 when the window can't be made.
#include <windows.h>

#include <cstdlib>

#include "ScreenshotSignal.h"
#include "splash/SplashWindow.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (__argc < 2) return 2;
    closeAfterScreenshotOfClass(kSplashWindowClass, [](HWND) { PostQuitMessage(0); });
    SplashWindow splash;
    HWND window = splash.createSplashWindow(__argv[1], false);
    if (!window) return 1;
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    DestroyWindow(window);
    return 0;
}
