#pragma once
// Keeps the controls of a resizable dialog in place as its frame is dragged:
// each control is anchored to the dialog's right and bottom edges by flags,
// a size grip sits in the bottom-right corner, and the dialog can't be made
// smaller than it was at set-up.

#include <windows.h>

#include <vector>

namespace anchor {
enum : unsigned {
    GrowWidth = 1u << 0,   // the right edge follows the dialog's right edge
    GrowHeight = 1u << 1,  // the bottom edge follows the dialog's bottom edge
    MoveRight = 1u << 2,   // both horizontal edges follow the right edge
    MoveDown = 1u << 3,    // both vertical edges follow the bottom edge
    Repaint = 1u << 4,     // invalidated, background included, on every layout
};
}

// Where a control goes when the dialog's client area is widthChange wider and
// heightChange taller than at set-up: anchored edges are placed relative to
// their initial position, the other edges keep their current one.
RECT anchoredRect(const RECT& initial, const RECT& current, unsigned anchors, int widthChange,
                  int heightChange);

class ResizeLayout {
public:
    static constexpr int kSizeGripId = 59393;

    struct Entry {
        int id;
        unsigned anchors;
        RECT initial;  // in the dialog's client coordinates; empty when missing
    };

    // Prepares the dialog (call while handling WM_INITDIALOG): clips its
    // children, gives it a dialog frame without an empty caption icon,
    // records its client size and its window size as the minimum, and adds
    // a size grip with its own entry (move right, move down, repaint).
    void setUp(HWND dialog);
    // Adds a control of the dialog with its current rectangle.
    void add(int id, unsigned anchors);
    // WM_SIZE and WM_GETMINMAXINFO, once set up; true when handled.
    bool processMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Places every control for a client area of the given size.
    void apply(int width, int height);
    // The recorded rectangles and client size moved from one DPI to another
    // (the dialog's controls were scaled the same way); the smallest frame
    // grows or shrinks with the client area.
    void scale(UINT to, UINT from);

    const std::vector<Entry>& entries() const { return entries_; }
    bool hasSizeGrip() const { return hasSizeGrip_; }

private:
    void showSizeGrip(bool show);

    HWND dialog_ = nullptr;
    std::vector<Entry> entries_;
    int initialWidth_ = 0;
    int initialHeight_ = 0;
    int minimumWidth_ = -1;
    int minimumHeight_ = -1;
    bool hasSizeGrip_ = false;
};
