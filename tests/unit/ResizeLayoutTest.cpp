#include "ui/ResizeLayout.h"

#include <gtest/gtest.h>

#include "ui/Window.h"

#include <ostream>

// For comparing and printing rectangles in expectations.
inline bool operator==(const RECT& a, const RECT& b) { return EqualRect(&a, &b); }
inline void PrintTo(const RECT& r, std::ostream* out) {
    *out << "(" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
}

namespace {

TEST(AnchoredRect, EdgesFollowTheirAnchors) {
    const RECT initial = {10, 20, 110, 70};
    const RECT current = {11, 22, 133, 74};  // as the control is now
    EXPECT_EQ(anchoredRect(initial, current, 0, 100, 50), current);
    EXPECT_EQ(anchoredRect(initial, current, anchor::Repaint, 100, 50), current);
    EXPECT_EQ(anchoredRect(initial, current, anchor::GrowWidth, 100, 50), (RECT{11, 22, 210, 74}));
    EXPECT_EQ(anchoredRect(initial, current, anchor::GrowHeight, 100, 50),
              (RECT{11, 22, 133, 120}));
    EXPECT_EQ(anchoredRect(initial, current, anchor::MoveRight, 100, 50), (RECT{110, 22, 210, 74}));
    EXPECT_EQ(anchoredRect(initial, current, anchor::MoveDown, 100, 50), (RECT{11, 70, 133, 120}));
    EXPECT_EQ(anchoredRect(initial, current, anchor::GrowWidth | anchor::GrowHeight, 100, 50),
              (RECT{11, 22, 210, 120}));
    EXPECT_EQ(anchoredRect(initial, current, anchor::MoveRight | anchor::MoveDown | anchor::Repaint,
                           -5, -7),
              (RECT{5, 13, 105, 63}));
    EXPECT_EQ(anchoredRect(initial, current, anchor::GrowWidth | anchor::MoveDown, 0, 0),
              (RECT{11, 20, 110, 70}));
}

TEST(CenteredPosition, CentresOnTheReferenceInsideTheWorkArea) {
    const RECT workArea = {0, 0, 1024, 740};
    // Integer halves of both extents.
    EXPECT_EQ(centeredPosition(workArea, workArea, 401, 301).x, 512 - 200);
    EXPECT_EQ(centeredPosition(workArea, workArea, 401, 301).y, 370 - 150);
    EXPECT_EQ(centeredPosition(RECT{100, 100, 301, 201}, workArea, 50, 30).x, 100 + 100 - 25);
    EXPECT_EQ(centeredPosition(RECT{100, 100, 301, 201}, workArea, 50, 30).y, 100 + 50 - 15);

    // Pushed back at each edge.
    POINT p = centeredPosition(RECT{-300, -200, -100, -100}, workArea, 400, 300);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 0);
    p = centeredPosition(RECT{900, 600, 1200, 900}, workArea, 400, 300);
    EXPECT_EQ(p.x, 1024 - 400);
    EXPECT_EQ(p.y, 740 - 300);

    // A work area that doesn't start at the origin.
    const RECT shifted = {200, 50, 1000, 650};
    p = centeredPosition(RECT{0, 0, 100, 100}, shifted, 100, 100);
    EXPECT_EQ(p.x, 200);
    EXPECT_EQ(p.y, 50);

    // Larger than the work area: the top-left corner stays inside it,
    // wherever the reference lies.
    for (RECT reference : {RECT{0, 0, 100, 100}, RECT{900, 600, 1000, 650}, shifted}) {
        p = centeredPosition(reference, shifted, 1000, 700);
        EXPECT_EQ(p.x, 200);
        EXPECT_EQ(p.y, 50);
    }
}

// A plain resizable window whose children are laid out by a ResizeLayout.
ResizeLayout* currentLayout = nullptr;

LRESULT CALLBACK layoutWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (currentLayout && currentLayout->processMessage(message, wParam, lParam, result))
        return result;
    return DefWindowProcA(window, message, wParam, lParam);
}

RECT childRect(HWND parent, int id) {
    RECT rect;
    GetWindowRect(GetDlgItem(parent, id), &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

TEST(ResizeLayout, LaysOutAnyWindowAndSkipsMissingControls) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = layoutWindowProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "ResizeLayoutTestWindow";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, windowClass.lpszClassName, "layout",
                                  WS_POPUP | WS_CAPTION | WS_THICKFRAME, 10, 10, 300, 200, nullptr,
                                  nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    for (int id : {10, 11, 12})
        CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 5 * id, 4 * id, 20, 10, window,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);

    ResizeLayout layout;
    currentLayout = &layout;
    layout.setUp(window);
    layout.add(10, anchor::GrowWidth);
    layout.add(99, anchor::MoveRight);  // no such control
    layout.add(11, anchor::MoveDown | anchor::GrowHeight);
    layout.add(12, 0);

    EXPECT_TRUE(GetWindowLongA(window, GWL_STYLE) & WS_CLIPCHILDREN);
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
    ASSERT_TRUE(layout.hasSizeGrip());
    ASSERT_EQ(layout.entries().size(), 5u);
    EXPECT_EQ(layout.entries()[0].id, ResizeLayout::kSizeGripId);
    EXPECT_EQ(layout.entries()[2].id, 99);
    EXPECT_TRUE(IsRectEmpty(&layout.entries()[2].initial));
    EXPECT_EQ(layout.entries()[1].initial, (RECT{50, 40, 70, 50}));

    SetWindowPos(window, nullptr, 0, 0, 340, 230, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(childRect(window, 10), (RECT{50, 40, 110, 50}));
    EXPECT_EQ(childRect(window, 11), (RECT{55, 74, 75, 84}));
    EXPECT_EQ(childRect(window, 12), (RECT{60, 48, 80, 58}));

    // Smaller than at set-up is refused.
    SetWindowPos(window, nullptr, 0, 0, 100, 100, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT frame;
    GetWindowRect(window, &frame);
    EXPECT_EQ(frame.right - frame.left, 300);
    EXPECT_EQ(frame.bottom - frame.top, 200);
    EXPECT_EQ(childRect(window, 10), (RECT{50, 40, 70, 50}));

    DestroyWindow(window);
    currentLayout = nullptr;
}

}  // namespace
