#pragma once
// The launcher's own splash window: a borderless tool window centred on the
// monitor the launcher starts on that shows a picture rendered once into a
// bitmap, scaled by the monitor's DPI and never larger than its work area.

#include <windows.h>

#include <string>

#include "base/UniqueResource.h"
#include "ui/Window.h"

inline constexpr const char* kSplashWindowClass = "SplashScreenWindow";

// CS_DROPSHADOW | CS_SAVEBITS | CS_DBLCLKS, the drop shadow only when wanted.
UINT splashClassStyle(bool shadow);

// Only the exact text "true" asks for a drop shadow.
bool splashShadowWanted(const std::string& setting);

// A picture of the given size centred in an area (a monitor's work area);
// the halves truncate toward zero, so a picture wider than the area by an
// odd number of pixels leans left by the truncated half.
RECT centeredSplashRectangle(const RECT& area, int width, int height);

// The window's size for a picture of the given size at 96 DPI on a monitor
// of the given DPI: scaled by dpi / 96, then made smaller, keeping its
// aspect ratio, until it fits the work area.
SIZE splashSize(SIZE atDefaultDpi, UINT dpi, const RECT& workArea);

class SplashWindow : public Window {
public:
    SplashWindow() = default;

    // Loads the picture, creates the window at the picture's size for the
    // monitor (splashSize) in the middle of its work area (0 by 0 without a
    // picture) and renders the picture into the window's bitmap. Null when the class cannot be registered or
    // the window cannot be created. Runs on the splash thread.
    HWND createSplashWindow(const std::string& picturePath, bool shadow);

    bool processMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    HBITMAP bitmap() const { return static_cast<HBITMAP>(bitmap_.get()); }

private:
    bool registerClass(bool shadow);
    void paint();

    UniqueGdiObject bitmap_;
};
