#pragma once
// The program's side of tools/screenshot.sh, for small programs that show
// one window of the product so that it can be photographed under Xvfb.
//
// Once a visible top-level window of the calling thread with the given
// caption exists and has been painted, its frame is written, as an X
// geometry "WxH+X+Y", to the file named by the environment variable
// SCREENSHOT_READY. When the file named by SCREENSHOT_DONE appears (or after
// a minute), the window is sent WM_COMMAND closeCommand; check, when given,
// is called with the window just before (the program's own checks of what
// was photographed). Without the variables nothing happens and the window
// stays open for a person to look at. Works inside modal loops: it runs on a
// thread timer.
#include <windows.h>

void closeAfterScreenshot(const char* caption, WPARAM closeCommand, void (*check)(HWND window) = nullptr);

// The same for a window without a caption, found by its class name, and
// ended by close (called on the calling thread, with the window).
void closeAfterScreenshotOfClass(const char* className, void (*close)(HWND window));
