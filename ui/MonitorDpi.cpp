#include "ui/MonitorDpi.h"

#include "base/UniqueResource.h"

namespace {

using GetDpiForMonitorCall = HRESULT(WINAPI*)(HMONITOR, int type, UINT* x, UINT* y);
using GetDpiForWindowCall = UINT(WINAPI*)(HWND);
constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI

// A function of a system DLL, or null where the system has none. The DLL is
// loaded from the system folder only (a system without that way of loading
// has neither function), and stays loaded.
FARPROC systemFunction(const char* module, const char* name) {
    HMODULE library = LoadLibraryExA(module, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return library ? GetProcAddress(library, name) : nullptr;
}

UINT systemDpi() {
    UniqueWindowDc screen(nullptr);
    int dpi = screen ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 0;
    return dpi > 0 ? static_cast<UINT>(dpi) : kDefaultDpi;
}

}  // namespace

HMONITOR startMonitor() {
    if (HWND foreground = GetForegroundWindow())
        return MonitorFromWindow(foreground, MONITOR_DEFAULTTOPRIMARY);
    return MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
}

RECT workAreaOf(HMONITOR monitor) {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    GetMonitorInfoA(monitor, &info);
    return info.rcWork;
}

UINT dpiOfMonitor(HMONITOR monitor) {
    auto call = reinterpret_cast<GetDpiForMonitorCall>(systemFunction("shcore.dll", "GetDpiForMonitor"));
    UINT x = 0, y = 0;
    if (call && monitor && SUCCEEDED(call(monitor, kEffectiveDpi, &x, &y)) && x) return x;
    return systemDpi();
}

UINT dpiOfWindow(HWND window) {
    auto call = reinterpret_cast<GetDpiForWindowCall>(systemFunction("user32.dll", "GetDpiForWindow"));
    if (UINT dpi = call ? call(window) : 0) return dpi;
    return dpiOfMonitor(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST));
}

RECT scaledRect(const RECT& rect, UINT to, UINT from) {
    auto scale = [&](LONG value) { return static_cast<LONG>(MulDiv(value, static_cast<int>(to), static_cast<int>(from))); };
    return RECT{scale(rect.left), scale(rect.top), scale(rect.right), scale(rect.bottom)};
}
