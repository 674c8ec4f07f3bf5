#pragma once
// The launcher's own splash window: a borderless tool window centred on the
// primary screen that shows a picture rendered once into a bitmap.

#include <windows.h>

#include <string>

#include "base/UniqueResource.h"
#include "ui/Window.h"

inline constexpr const char* kSplashWindowClass = "SplashScreenWindow";

// CS_DROPSHADOW | CS_SAVEBITS | CS_DBLCLKS, the drop shadow only when wanted.
UINT splashClassStyle(bool shadow);

// Only the exact text "true" asks for a drop shadow.
bool splashShadowWanted(const std::string& setting);

// A picture of the given size centred on a screen of the given size; the
// halves truncate toward zero, so a picture wider than the screen by an odd
// number of pixels leans left by the truncated half.
RECT centeredSplashRectangle(int screenWidth, int screenHeight, int width, int height);

class SplashWindow : public Window {
public:
    SplashWindow() = default;

    // Loads the picture, creates the window at the picture's size in the
    // middle of the screen (0 by 0 without a picture) and renders the picture
    // into the window's bitmap. Null when the class cannot be registered or
    // the window cannot be created. Runs on the splash thread.
    HWND createSplashWindow(const std::string& picturePath, bool shadow);

    bool processMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    HBITMAP bitmap() const { return static_cast<HBITMAP>(bitmap_.get()); }

private:
    bool registerClass(bool shadow);
    void paint();

    UniqueGdiObject bitmap_;
};
