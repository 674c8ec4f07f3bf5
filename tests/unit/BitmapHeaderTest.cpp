// Bitmap files checked before the picture decoder, which reads colour tables
// and pixel rows wherever their headers point.
#include "splash/BitmapHeader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

#include "TestData.h"
#include "splash/SplashPicture.h"

namespace {

std::string le(std::uint32_t value, int bytes) {
    std::string text;
    for (int i = 0; i < bytes; ++i) text += static_cast<char>(value >> (8 * i));
    return text;
}

// A file with a 40-byte header; body is everything after the headers (colour
// table and pixels), and the pixels begin tableSize bytes into it.
std::string bitmap(std::int32_t width, std::int32_t height, int bitCount, std::size_t bodySize,
                   std::uint32_t compression = 0, std::uint32_t imageSize = 0,
                   std::uint32_t coloursUsed = 0, std::uint32_t tableSize = 0) {
    std::string info = le(40, 4) + le(static_cast<std::uint32_t>(width), 4) +
                       le(static_cast<std::uint32_t>(height), 4) + le(1, 2) + le(bitCount, 2) +
                       le(compression, 4) + le(imageSize, 4) + le(0, 8) + le(coloursUsed, 4) + le(0, 4);
    std::string body(bodySize, '\x11');
    return "BM" + le(static_cast<std::uint32_t>(54 + bodySize), 4) + le(0, 4) + le(54 + tableSize, 4) +
           info + body;
}

bool broken(const std::string& file) {
    return isBrokenBitmap(reinterpret_cast<const std::uint8_t*>(file.data()), file.size());
}

std::string testFile(const char* name) {
    std::ifstream in(testDataPath(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(BitmapHeader, CompleteFilesPassAndEveryCutOneIsRefused) {
    std::string file = testFile("splash-6x4.bmp");
    ASSERT_EQ(file.size(), 134u);  // 54 bytes of headers, 4 rows of 20 bytes
    EXPECT_FALSE(broken(file));
    for (std::size_t length = 2; length < file.size(); ++length)
        EXPECT_TRUE(broken(file.substr(0, length))) << length;
    // Rows of 24-bit pixels are padded to whole words: 3 pixels take 12 bytes.
    EXPECT_FALSE(broken(bitmap(3, 2, 24, 24)));
    EXPECT_TRUE(broken(bitmap(3, 2, 24, 23)));
    EXPECT_FALSE(broken(bitmap(3, -2, 24, 24)));  // top-down rows
}

TEST(BitmapHeader, OtherFormatsAreNotLookedAt) {
    EXPECT_FALSE(broken(""));
    EXPECT_FALSE(broken("B"));
    EXPECT_FALSE(broken(testFile("splash-16x8.jpg")));
    EXPECT_FALSE(broken(testFile("splash-5x4.gif")));
}

TEST(BitmapHeader, SizesClaimedBeyondTheDataAreRefused) {
    EXPECT_TRUE(broken(bitmap(60000, 60000, 24, 300)));
    EXPECT_TRUE(broken(bitmap(60000, -60000, 1, 300)));
    // Sizes whose products do not fit in 64 bits either.
    EXPECT_TRUE(broken(bitmap(0x7FFFFFFF, 0x7FFFFFFF, 0xFFFF, 300)));
    EXPECT_TRUE(broken(bitmap(1, -0x7FFFFFFF - 1, 32, 300)));
    // No pixels at all.
    EXPECT_TRUE(broken(bitmap(0, 4, 24, 300)));
    EXPECT_TRUE(broken(bitmap(-4, 4, 24, 300)));
    EXPECT_TRUE(broken(bitmap(4, 0, 24, 300)));
    EXPECT_TRUE(broken(bitmap(4, 4, 0, 300)));
}

TEST(BitmapHeader, ColourTablesMustBeThere) {
    // 8 bits per pixel: 256 colours unless fewer are given, then the rows.
    EXPECT_FALSE(broken(bitmap(4, 2, 8, 1024 + 8)));
    EXPECT_TRUE(broken(bitmap(4, 2, 8, 8)));
    EXPECT_FALSE(broken(bitmap(4, 2, 8, 8 + 8, 0, 0, 2)));
    EXPECT_FALSE(broken(bitmap(4, 2, 8, 1024 + 8, 0, 0, 100000)));  // capped at 256
    // Bit fields after a 40-byte header: three masks.
    EXPECT_FALSE(broken(bitmap(1, 1, 32, 12 + 4, 3)));
    EXPECT_TRUE(broken(bitmap(1, 1, 32, 4, 3)));

    // The OS/2 header: 16-bit sizes and 3-byte colours.
    std::string core = le(12, 4) + le(4, 2) + le(2, 2) + le(1, 2) + le(8, 2);
    std::string table(256 * 3, '\0');
    std::string rows(8, '\x01');
    auto coreFile = [&](const std::string& body) {
        std::uint32_t offset = static_cast<std::uint32_t>(14 + 12 + table.size());
        return "BM" + le(offset + 8, 4) + le(0, 4) + le(offset, 4) + core + body;
    };
    EXPECT_FALSE(broken(coreFile(table + rows)));
    EXPECT_TRUE(broken(coreFile(table)));
    EXPECT_TRUE(broken(coreFile("")));
}

TEST(BitmapHeader, CompressedPixelsMustFitTheirStatedSize) {
    // Two colours, then 6 bytes of run-length coded pixels.
    EXPECT_FALSE(broken(bitmap(4, 2, 8, 8 + 6, 1, 6, 2, 8)));
    EXPECT_TRUE(broken(bitmap(4, 2, 8, 8 + 6, 1, 7, 2, 8)));
    EXPECT_TRUE(broken(bitmap(4, 2, 8, 8 + 6, 1, 0, 2, 8)));
    EXPECT_TRUE(broken(bitmap(60000, 60000, 8, 8 + 6, 1, 0xFFFFFFFF, 2, 8)));
    // Pixels said to begin past the end.
    EXPECT_TRUE(broken(bitmap(4, 2, 8, 8 + 6, 1, 6, 2, 100)));
}

TEST(BitmapHeader, TheSplashPictureRefusesABrokenBitmap) {
    // The decoder would take this one, reading its missing rows from
    // whatever follows the data.
    std::string truncated = bitmap(16, 16, 24, 100);
    UniqueGdiObject slot;
    SplashPicture picture(slot);
    EXPECT_FALSE(picture.loadFromMemory(truncated.data(), static_cast<DWORD>(truncated.size())));
    EXPECT_EQ(picture.sizeInPixels(), (SIZE{0, 0}));
    std::string whole = bitmap(16, 16, 24, 16 * 16 * 3);
    EXPECT_TRUE(picture.loadFromMemory(whole.data(), static_cast<DWORD>(whole.size())));
    EXPECT_EQ(picture.sizeInPixels(), (SIZE{16, 16}));
}

}  // namespace
