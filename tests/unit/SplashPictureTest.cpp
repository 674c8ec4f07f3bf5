// Loading, measuring and rendering splash pictures through OLE.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "TempFolder.h"
#include "TestData.h"
#include "splash/SplashPicture.h"

namespace {

TEST(HimetricConversion, ByPixelDensityRoundsToTheNearestPixel) {
    EXPECT_EQ(himetricToPixelsAtDensity(SIZE{2540, 1270}, 96, 96), (SIZE{96, 48}));
    EXPECT_EQ(himetricToPixelsAtDensity(SIZE{2540, 1270}, 120, 120), (SIZE{120, 60}));
    EXPECT_EQ(himetricToPixelsAtDensity(SIZE{2000, 2000}, 96, 96).cx, 76);  // 75.59
    EXPECT_EQ(himetricToPixelsAtDensity(SIZE{2540, 2540}, 96, 120), (SIZE{96, 120}));
}

TEST(HimetricConversion, ByExtentsUsesTheirMagnitudes) {
    // MM_HIMETRIC at 96 pixels per inch: the y axis of the viewport points up.
    EXPECT_EQ(himetricToPixelsByExtents(SIZE{2540, 1270}, true, SIZE{96, -96}, SIZE{2540, 2540}),
              (SIZE{96, 48}));
    EXPECT_EQ(himetricToPixelsByExtents(SIZE{2540, 1270}, true, SIZE{-120, 120}, SIZE{-2540, 2540}),
              (SIZE{120, 60}));
    // Unreadable or unusable extents leave the HIMETRIC values.
    EXPECT_EQ(himetricToPixelsByExtents(SIZE{2540, 1270}, false, SIZE{96, 96}, SIZE{2540, 2540}),
              (SIZE{2540, 1270}));
    EXPECT_EQ(himetricToPixelsByExtents(SIZE{2540, 1270}, true, SIZE{96, 96}, SIZE{0, 2540}),
              (SIZE{2540, 1270}));
}

// A window to render for; any class will do.
class RenderWindow {
public:
    RenderWindow()
        : handle_(CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 40, 30, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr)) {}
    ~RenderWindow() { DestroyWindow(handle_); }
    HWND get() const { return handle_; }

private:
    HWND handle_;
};

SIZE bitmapSize(HGDIOBJ bitmap) {
    BITMAP info{};
    if (!GetObjectA(bitmap, sizeof info, &info)) return SIZE{-1, -1};
    return SIZE{info.bmWidth, info.bmHeight};
}

COLORREF pixelOf(HGDIOBJ bitmap, int x, int y) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    COLORREF color = GetPixel(dc, x, y);
    SelectObject(dc, previous);
    DeleteDC(dc);
    return color;
}

bool isReddish(COLORREF c) { return GetRValue(c) > 200 && GetGValue(c) < 60 && GetBValue(c) < 60; }
bool isBluish(COLORREF c) { return GetBValue(c) > 200 && GetRValue(c) < 60 && GetGValue(c) < 60; }

struct PictureCase {
    const char* file;
    SIZE size;
};

class PictureFormats : public ::testing::TestWithParam<PictureCase> {};

TEST_P(PictureFormats, LoadMeasureAndRenderUpright) {
    UniqueGdiObject bitmap;
    SplashPicture picture(bitmap);
    ASSERT_TRUE(picture.loadFromFile(testDataPath(GetParam().file)));
    EXPECT_TRUE(picture.loaded());
    SIZE size = picture.sizeInPixels();
    EXPECT_EQ(size, GetParam().size);

    RenderWindow window;
    picture.renderToBitmap(window.get(), true);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmapSize(bitmap.get()), size);
    // The top half of every test picture is red, the bottom half blue.
    EXPECT_TRUE(isReddish(pixelOf(bitmap.get(), 0, 0))) << std::hex << pixelOf(bitmap.get(), 0, 0);
    EXPECT_TRUE(isReddish(pixelOf(bitmap.get(), size.cx - 1, 0)));
    EXPECT_TRUE(isBluish(pixelOf(bitmap.get(), 0, size.cy - 1)))
        << std::hex << pixelOf(bitmap.get(), 0, size.cy - 1);
    EXPECT_TRUE(isBluish(pixelOf(bitmap.get(), size.cx - 1, size.cy - 1)));
}

INSTANTIATE_TEST_SUITE_P(SplashPicture, PictureFormats,
                         ::testing::Values(PictureCase{"splash-6x4.bmp", SIZE{6, 4}},
                                           PictureCase{"splash-5x4.gif", SIZE{5, 4}},
                                           PictureCase{"splash-16x8.jpg", SIZE{16, 8}}));

TEST(SplashPicture, FilesThatHoldNoPicture) {
    TempFolder folder;
    std::string empty = folder.write("empty.bmp", "");
    std::string text = folder.write("notes.jpg", "This is not a picture.\r\n");
    std::string missing = folder.file("missing.gif");
    for (const std::string& path : {empty, text, missing}) {
        UniqueGdiObject bitmap;
        SplashPicture picture(bitmap);
        EXPECT_FALSE(picture.loadFromFile(path)) << path;
        EXPECT_FALSE(picture.loaded());
        EXPECT_EQ(picture.sizeInPixels(), (SIZE{0, 0}));
        HDC dc = CreateCompatibleDC(nullptr);
        EXPECT_FALSE(picture.render(dc));
        DeleteDC(dc);
    }
}

TEST(SplashPicture, FailedLoadDropsThePreviousPicture) {
    std::ifstream file(testDataPath("splash-6x4.bmp"), std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
    ASSERT_FALSE(bytes.empty());

    UniqueGdiObject bitmap;
    SplashPicture picture(bitmap);
    ASSERT_TRUE(picture.loadFromMemory(bytes.data(), static_cast<DWORD>(bytes.size())));
    EXPECT_EQ(picture.sizeInPixels(), (SIZE{6, 4}));
    // Text is refused, and the earlier picture is gone.
    const char text[] = "This is not a picture.\r\n";
    EXPECT_FALSE(picture.loadFromMemory(text, sizeof text - 1));
    EXPECT_FALSE(picture.loaded());
    EXPECT_EQ(picture.sizeInPixels(), (SIZE{0, 0}));
    EXPECT_FALSE(picture.loadFromMemory(bytes.data(), 0));
}

TEST(SplashPicture, RenderingAgainReplacesTheBitmap) {
    UniqueGdiObject bitmap;
    SplashPicture picture(bitmap);
    ASSERT_TRUE(picture.loadFromFile(testDataPath("splash-6x4.bmp")));
    RenderWindow window;
    picture.renderToBitmap(window.get(), true);
    HGDIOBJ first = bitmap.get();
    ASSERT_NE(first, nullptr);

    // Into a rectangle four times the natural size: the picture is
    // stretched smoothly, the rows where red meets blue blended.
    RECT larger{0, 0, 24, 16};
    picture.renderToBitmap(window.get(), false, &larger);
    EXPECT_NE(bitmap.get(), first);
    EXPECT_EQ(GetObjectType(first), 0u);  // deleted
    EXPECT_EQ(bitmapSize(bitmap.get()), (SIZE{24, 16}));
    EXPECT_TRUE(isReddish(pixelOf(bitmap.get(), 23, 1)));
    EXPECT_TRUE(isBluish(pixelOf(bitmap.get(), 0, 14)));
    int blended = 0;
    for (int y = 0; y < 16; ++y) {
        COLORREF c = pixelOf(bitmap.get(), 12, y);
        blended += GetRValue(c) > 40 && GetBValue(c) > 40;
    }
    EXPECT_GT(blended, 0);
}

}  // namespace
