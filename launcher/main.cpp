#include <windows.h>

#include "launcher/Launcher.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    int result = -1;
    {
        Launcher launcher;
        SetThreadLocale(GetSystemDefaultLCID());
        DefWindowProcA(nullptr, 0, 0, 0);
        result = launcher.run();
    }
    return result;
}
