#include "splash/SplashWindow.h"

#include "splash/SplashPicture.h"
#include "ui/MonitorDpi.h"

UINT splashClassStyle(bool shadow) {
    UINT style = CS_DROPSHADOW | CS_SAVEBITS | CS_DBLCLKS;
    if (!shadow) style &= ~static_cast<UINT>(CS_DROPSHADOW);
    return style;
}

bool splashShadowWanted(const std::string& setting) {
    return lstrcmpA(setting.c_str(), "true") == 0;
}

RECT centeredSplashRectangle(const RECT& area, int width, int height) {
    RECT rectangle;
    rectangle.left = area.left + (area.right - area.left - width) / 2;
    rectangle.top = area.top + (area.bottom - area.top - height) / 2;
    rectangle.right = rectangle.left + width;
    rectangle.bottom = rectangle.top + height;
    return rectangle;
}

SIZE splashSize(SIZE atDefaultDpi, UINT dpi, const RECT& workArea) {
    LONG width = MulDiv(atDefaultDpi.cx, static_cast<int>(dpi), kDefaultDpi);
    LONG height = MulDiv(atDefaultDpi.cy, static_cast<int>(dpi), kDefaultDpi);
    LONG areaWidth = workArea.right - workArea.left;
    LONG areaHeight = workArea.bottom - workArea.top;
    if (width > areaWidth) {
        height = MulDiv(height, areaWidth, width);
        width = areaWidth;
    }
    if (height > areaHeight) {
        width = MulDiv(width, areaHeight, height);
        height = areaHeight;
    }
    return SIZE{width, height};
}

bool SplashWindow::registerClass(bool shadow) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    // Registered once per process; later windows reuse the class as it is.
    if (GetClassInfoExA(instance, kSplashWindowClass, &windowClass)) return true;

    windowClass = WNDCLASSEXA{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = splashClassStyle(shadow);
    windowClass.lpfnWndProc = procedure();
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    windowClass.lpszClassName = kSplashWindowClass;
    if (RegisterClassExA(&windowClass)) return true;
    if (!shadow) return false;
    // A system that does not know the drop shadow still gets a window.
    windowClass.style = splashClassStyle(false);
    return RegisterClassExA(&windowClass) != 0;
}

HWND SplashWindow::createSplashWindow(const std::string& picturePath, bool shadow) {
    if (!registerClass(shadow)) return nullptr;

    SplashPicture picture(bitmap_);
    picture.loadFromFile(picturePath);
    HMONITOR monitor = startMonitor();
    RECT workArea = workAreaOf(monitor);
    SIZE size = splashSize(picture.sizeAtDefaultDpi(), dpiOfMonitor(monitor), workArea);
    RECT rectangle = centeredSplashRectangle(workArea, size.cx, size.cy);
    HWND window = create(WS_EX_TOOLWINDOW, kSplashWindowClass, nullptr, WS_POPUP, rectangle.left,
                         rectangle.top, size.cx, size.cy, nullptr, nullptr);
    if (!window) return nullptr;
    RECT target = {0, 0, size.cx, size.cy};
    picture.renderToBitmap(window, false, &target);
    return window;
}

bool SplashWindow::processMessage(UINT message, WPARAM, LPARAM, LRESULT& result) {
    switch (message) {
    case WM_PAINT:
        paint();
        result = 0;
        return true;
    case WM_ERASEBKGND:
        result = 1;
        return true;
    default:
        return false;
    }
}

void SplashWindow::paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(handle(), &paint);
    if (dc && bitmap_) {
        UniqueMemoryDc memoryDc(CreateCompatibleDC(dc));
        BITMAP info{};
        if (memoryDc && GetObjectA(bitmap_.get(), sizeof info, &info)) {
            ScopedSelection selection(memoryDc.get(), bitmap_.get());
            BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, memoryDc.get(), 0, 0, SRCCOPY);
        }
    }
    EndPaint(handle(), &paint);
}
