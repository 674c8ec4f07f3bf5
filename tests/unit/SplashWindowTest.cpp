// The launcher's own splash window: class, placement and painting.
#include <gtest/gtest.h>

#include "TempFolder.h"
#include "TestData.h"
#include "splash/SplashWindow.h"
#include "ui/MonitorDpi.h"

namespace {

TEST(SplashWindowLayout, ClassStyleWithAndWithoutShadow) {
    EXPECT_EQ(splashClassStyle(true), 0x20808u);
    EXPECT_EQ(splashClassStyle(false), 0x808u);
    EXPECT_TRUE(splashShadowWanted("true"));
    for (const char* other : {"True", "TRUE", "yes", "1", "", "true ", " true"})
        EXPECT_FALSE(splashShadowWanted(other)) << other;
}

TEST(SplashWindowLayout, CentredInTheWorkArea) {
    const RECT screen = {0, 0, 1024, 768};
    EXPECT_EQ(centeredSplashRectangle(screen, 800, 600), (RECT{112, 84, 912, 684}));
    // Wider than the area: the negative half truncates toward zero.
    EXPECT_EQ(centeredSplashRectangle(screen, 1025, 600), (RECT{0, 84, 1025, 684}));
    EXPECT_EQ(centeredSplashRectangle(screen, 1026, 769), (RECT{-1, 0, 1025, 769}));
    EXPECT_EQ(centeredSplashRectangle(screen, 0, 0), (RECT{512, 384, 512, 384}));
    EXPECT_EQ(centeredSplashRectangle(RECT{0, 0, 1023, 767}, 6, 4), (RECT{508, 381, 514, 385}));
    // A second monitor left of the primary one, its taskbar at the top.
    EXPECT_EQ(centeredSplashRectangle(RECT{-1920, 40, 0, 1080}, 640, 400), (RECT{-1280, 360, -640, 760}));
}

TEST(SplashWindowLayout, ScaledByTheMonitorsDpiWithinItsWorkArea) {
    const RECT workArea = {0, 0, 1920, 1040};
    const struct {
        UINT dpi;
        SIZE picture, window;
    } cases[] = {
        {96, {320, 200}, {320, 200}},     // 100 %
        {120, {320, 200}, {400, 250}},    // 125 %
        {144, {321, 201}, {482, 302}},    // 150 %, rounded
        {192, {320, 200}, {640, 400}},    // 200 %
        {288, {320, 200}, {960, 600}},    // 300 %
        {96, {0, 0}, {0, 0}},             // no picture
        // Larger than the work area: as large as fits, the aspect ratio kept.
        {192, {1600, 400}, {1920, 480}},  // too wide
        {96, {400, 2080}, {200, 1040}},   // too tall
        {288, {1000, 1000}, {1040, 1040}},
        {96, {4000, 1000}, {1920, 480}},
    };
    for (const auto& c : cases) {
        SIZE size = splashSize(c.picture, c.dpi, workArea);
        EXPECT_EQ(size.cx, c.window.cx) << c.dpi << " " << c.picture.cx << "x" << c.picture.cy;
        EXPECT_EQ(size.cy, c.window.cy) << c.dpi << " " << c.picture.cx << "x" << c.picture.cy;
    }
}

// Each test registers the class anew with its own style.
class SplashWindowTest : public ::testing::Test {
protected:
    void SetUp() override { UnregisterClassA(kSplashWindowClass, GetModuleHandleA(nullptr)); }
    void TearDown() override {
        if (window_) DestroyWindow(window_);
        UnregisterClassA(kSplashWindowClass, GetModuleHandleA(nullptr));
    }
    RECT expectedRectangle(int width, int height) const {
        return centeredSplashRectangle(workAreaOf(startMonitor()), width, height);
    }
    static RECT windowRectangle(HWND window) {
        RECT r{};
        GetWindowRect(window, &r);
        return r;
    }

    SplashWindow splash_;
    HWND window_ = nullptr;
};

TEST_F(SplashWindowTest, PictureWindowWithShadow) {
    window_ = splash_.createSplashWindow(testDataPath("splash-6x4.bmp"), true);
    ASSERT_NE(window_, nullptr);
    EXPECT_EQ(splash_.handle(), window_);

    char className[64] = "";
    GetClassNameA(window_, className, sizeof className);
    EXPECT_STREQ(className, "SplashScreenWindow");
    EXPECT_EQ(GetClassLongPtrA(window_, GCL_STYLE), 0x20808);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(window_, GWL_STYLE)) & ~WS_CLIPSIBLINGS,
              static_cast<DWORD>(WS_POPUP));
    EXPECT_EQ(GetWindowLongPtrA(window_, GWL_EXSTYLE) & ~WS_EX_WINDOWEDGE, WS_EX_TOOLWINDOW);
    EXPECT_EQ(GetWindow(window_, GW_OWNER), nullptr);
    EXPECT_EQ(windowRectangle(window_), expectedRectangle(6, 4));

    BITMAP info{};
    ASSERT_TRUE(GetObjectA(splash_.bitmap(), sizeof info, &info));
    EXPECT_EQ(info.bmWidth, 6);
    EXPECT_EQ(info.bmHeight, 4);
    // The background is never erased: painting covers all of it.
    EXPECT_EQ(SendMessageA(window_, WM_ERASEBKGND, 0, 0), 1);
}

TEST_F(SplashWindowTest, WithoutShadowTheClassHasNone) {
    window_ = splash_.createSplashWindow(testDataPath("splash-16x8.jpg"), false);
    ASSERT_NE(window_, nullptr);
    EXPECT_EQ(GetClassLongPtrA(window_, GCL_STYLE), 0x808);
    EXPECT_EQ(windowRectangle(window_), expectedRectangle(16, 8));
}

TEST_F(SplashWindowTest, NoPictureGivesAnEmptyWindowInTheMiddle) {
    TempFolder folder;
    window_ = splash_.createSplashWindow(folder.write("notes.gif", "GIF? no.\r\n"), false);
    ASSERT_NE(window_, nullptr);
    EXPECT_EQ(windowRectangle(window_), expectedRectangle(0, 0));
    DestroyWindow(window_);
    window_ = nullptr;
    SplashWindow missing;
    window_ = missing.createSplashWindow(folder.file("missing.bmp"), false);
    ASSERT_NE(window_, nullptr);
    EXPECT_EQ(windowRectangle(window_), expectedRectangle(0, 0));
}

TEST_F(SplashWindowTest, PaintCopiesTheBitmap) {
    window_ = splash_.createSplashWindow(testDataPath("splash-6x4.bmp"), false);
    ASSERT_NE(window_, nullptr);
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
    HDC dc = GetDC(window_);
    COLORREF top = GetPixel(dc, 2, 0);
    COLORREF bottom = GetPixel(dc, 2, 3);
    ReleaseDC(window_, dc);
    EXPECT_EQ(top, RGB(255, 0, 0));
    EXPECT_EQ(bottom, RGB(0, 0, 255));
}

}  // namespace
