#include "ui/ResizeLayout.h"

#include "ui/MonitorDpi.h"

namespace {

// A child's window rectangle in its parent's client coordinates.
bool clientRect(HWND parent, HWND child, RECT& rect) {
    if (!GetWindowRect(child, &rect)) return false;
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return true;
}

}  // namespace

RECT anchoredRect(const RECT& initial, const RECT& current, unsigned anchors, int widthChange,
                  int heightChange) {
    RECT rect = current;
    if (anchors & anchor::GrowWidth) rect.right = initial.right + widthChange;
    if (anchors & anchor::MoveRight) {
        rect.left = initial.left + widthChange;
        rect.right = initial.right + widthChange;
    }
    if (anchors & anchor::GrowHeight) rect.bottom = initial.bottom + heightChange;
    if (anchors & anchor::MoveDown) {
        rect.top = initial.top + heightChange;
        rect.bottom = initial.bottom + heightChange;
    }
    return rect;
}

void ResizeLayout::setUp(HWND dialog) {
    dialog_ = dialog;
    LONG_PTR style = GetWindowLongPtrA(dialog, GWL_STYLE);
    if (!(style & WS_CLIPCHILDREN)) SetWindowLongPtrA(dialog, GWL_STYLE, style | WS_CLIPCHILDREN);
    if (!(style & WS_CHILD)) {
        SetWindowLongPtrA(dialog, GWL_EXSTYLE,
                          GetWindowLongPtrA(dialog, GWL_EXSTYLE) | WS_EX_DLGMODALFRAME);
        if (!SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0))
            SendMessageA(dialog, WM_SETICON, ICON_SMALL, 0);
    }

    entries_.clear();
    RECT client = {};
    GetClientRect(dialog, &client);
    initialWidth_ = client.right - client.left;
    initialHeight_ = client.bottom - client.top;

    // Given the whole client area, the grip places itself in its bottom-right
    // corner.
    HWND grip = CreateWindowExA(0, "SCROLLBAR", nullptr,
                                WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SBS_SIZEBOX |
                                    SBS_SIZEGRIP | SBS_SIZEBOXBOTTOMRIGHTALIGN,
                                client.left, client.top, initialWidth_, initialHeight_, dialog,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kSizeGripId)),
                                GetModuleHandleA(nullptr), nullptr);
    hasSizeGrip_ = grip != nullptr;
    if (hasSizeGrip_) add(kSizeGripId, anchor::MoveRight | anchor::MoveDown | anchor::Repaint);

    RECT window = {};
    GetWindowRect(dialog, &window);
    minimumWidth_ = window.right - window.left;
    minimumHeight_ = window.bottom - window.top;
}

void ResizeLayout::add(int id, unsigned anchors) {
    Entry entry = {id, anchors, {}};
    HWND control = GetDlgItem(dialog_, id);
    if (!control || !clientRect(dialog_, control, entry.initial)) entry.initial = RECT{};
    entries_.push_back(entry);
}

void ResizeLayout::showSizeGrip(bool show) {
    if (!hasSizeGrip_) return;
    if (HWND grip = GetDlgItem(dialog_, kSizeGripId)) ShowWindow(grip, show ? SW_SHOW : SW_HIDE);
}

bool ResizeLayout::processMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (!dialog_) return false;
    switch (message) {
        case WM_SIZE:
            switch (wParam) {
                case SIZE_MINIMIZED:
                    break;
                case SIZE_MAXIMIZED:
                    showSizeGrip(false);
                    apply(LOWORD(lParam), HIWORD(lParam));
                    break;
                case SIZE_RESTORED:
                    showSizeGrip(true);
                    apply(LOWORD(lParam), HIWORD(lParam));
                    break;
                default:
                    apply(LOWORD(lParam), HIWORD(lParam));
                    break;
            }
            result = 0;
            return true;
        case WM_GETMINMAXINFO:
            if (minimumWidth_ < 0) return false;
            reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize =
                POINT{minimumWidth_, minimumHeight_};
            result = 0;
            return true;
        default:
            return false;
    }
}

void ResizeLayout::apply(int width, int height) {
    if (!dialog_) return;
    bool redrawStopped = IsWindowVisible(dialog_);
    if (redrawStopped) SendMessageA(dialog_, WM_SETREDRAW, FALSE, 0);

    int widthChange = width - initialWidth_;
    int heightChange = height - initialHeight_;
    for (const Entry& entry : entries_) {
        HWND control = GetDlgItem(dialog_, entry.id);
        RECT current;
        if (!control || !clientRect(dialog_, control, current)) continue;
        if (entry.anchors & anchor::Repaint) InvalidateRect(control, nullptr, TRUE);
        if (!entry.anchors) continue;
        RECT rect = anchoredRect(entry.initial, current, entry.anchors, widthChange, heightChange);
        SetWindowPos(control, nullptr, rect.left, rect.top, rect.right - rect.left,
                     rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }

    if (redrawStopped) SendMessageA(dialog_, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(dialog_, nullptr, nullptr,
                 RDW_ERASE | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void ResizeLayout::scale(UINT to, UINT from) {
    for (Entry& entry : entries_) entry.initial = scaledRect(entry.initial, to, from);
    RECT client = scaledRect(RECT{0, 0, initialWidth_, initialHeight_}, to, from);
    // The smallest frame: the client area scaled, the frame's edges as they
    // are (the system sizes them).
    if (minimumWidth_ >= 0) {
        minimumWidth_ += client.right - initialWidth_;
        minimumHeight_ += client.bottom - initialHeight_;
    }
    initialWidth_ = client.right;
    initialHeight_ = client.bottom;
}
