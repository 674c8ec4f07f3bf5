// The launcher's own splash window: class, placement and painting.
#include <gtest/gtest.h>

#include "TempFolder.h"
#include "TestData.h"
#include "splash/SplashWindow.h"

namespace {

TEST(SplashWindowLayout, ClassStyleWithAndWithoutShadow) {
    EXPECT_EQ(splashClassStyle(true), 0x20808u);
    EXPECT_EQ(splashClassStyle(false), 0x808u);
    EXPECT_TRUE(splashShadowWanted("true"));
    for (const char* other : {"True", "TRUE", "yes", "1", "", "true ", " true"})
        EXPECT_FALSE(splashShadowWanted(other)) << other;
}

TEST(SplashWindowLayout, CentredOnTheScreen) {
    EXPECT_EQ(centeredSplashRectangle(1024, 768, 800, 600), (RECT{112, 84, 912, 684}));
    // Wider than the screen: the negative half truncates toward zero.
    EXPECT_EQ(centeredSplashRectangle(1024, 768, 1025, 600), (RECT{0, 84, 1025, 684}));
    EXPECT_EQ(centeredSplashRectangle(1024, 768, 1026, 769), (RECT{-1, 0, 1025, 769}));
    EXPECT_EQ(centeredSplashRectangle(1024, 768, 0, 0), (RECT{512, 384, 512, 384}));
    EXPECT_EQ(centeredSplashRectangle(1023, 767, 6, 4), (RECT{508, 381, 514, 385}));
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
        return centeredSplashRectangle(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                       width, height);
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
