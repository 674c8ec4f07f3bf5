#pragma once
// Monitors and their DPI for the launcher's own windows, which the manifest
// declares per-monitor DPI aware. The calls that tell a monitor's or a
// window's own DPI came with Windows 8.1 and 10: they are looked up when
// needed, and older systems get the system DPI, which is all they have.

#include <windows.h>

// The DPI that Windows' pixel sizes are designed for (100 %).
inline constexpr UINT kDefaultDpi = 96;

// The monitor the launcher starts on: the one of the window in the
// foreground (the window or taskbar it was started from), else the primary
// monitor.
HMONITOR startMonitor();

// The work area of a monitor: the part that the taskbar and desktop
// toolbars leave to windows.
RECT workAreaOf(HMONITOR monitor);

// The DPI Windows scales the monitor by (GetDpiForMonitor, Windows 8.1 and
// later), else the system DPI.
UINT dpiOfMonitor(HMONITOR monitor);

// The DPI of a window (GetDpiForWindow, Windows 10 1607 and later), else
// that of its monitor.
UINT dpiOfWindow(HWND window);

// Each edge moved from one DPI to another (value * to / from, rounded).
RECT scaledRect(const RECT& rect, UINT to, UINT from);
