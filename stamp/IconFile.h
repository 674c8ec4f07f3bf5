#pragma once
// Icons: the images of an .ico file, and the icon group resource
// (RT_GROUP_ICON) through which an executable lists its icon's images, each
// of them stored as an RT_ICON resource of its own.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "stamp/LittleEndian.h"

// Limits of the .ico files stamp takes.
constexpr std::size_t kMaxIconImages = 64;
constexpr std::size_t kMaxIconFileSize = 16 * 1024 * 1024;

// One image as a directory entry describes it. Width and height 0 mean 256.
struct IconImageHeader {
    std::uint8_t width = 0;
    std::uint8_t height = 0;
    std::uint8_t colorCount = 0;
    std::uint16_t planes = 0;
    std::uint16_t bitCount = 0;
};

// An image of an .ico file: a bitmap (a DIB header, the colours and the
// masks, without file header) or a complete PNG file.
struct IconImage {
    IconImageHeader header;
    Bytes data;
};

struct IconFile {
    std::vector<IconImage> images;
    std::string error;  // why the bytes are no icon file; empty when they are
};

// Every image is checked as checkIconImage does; the first one refused makes
// the error, which names it by its place in the file ("image 2 of 3").
IconFile parseIconFile(const std::uint8_t* data, std::size_t size);

bool isPngImage(const std::uint8_t* data, std::size_t size);

// Why the bytes cannot be the image that a directory entry describes; empty
// when they can. A PNG image needs its signature and a sound IHDR chunk
// (length 13, matching CRC); a bitmap a header of 40 to 124 bytes, one
// plane, 1, 4, 8, 16, 24 or 32 bits, no compression (BI_BITFIELDS for 16 and
// 32 bits), and its colour table, colour pixels and mask within the bytes.
// Either must be 1 to 256 pixels wide and high (a bitmap's header counts the
// mask's rows in its height: twice the image's), as the entry says (0 is 256).
std::string checkIconImage(const IconImageHeader& header, const std::uint8_t* data, std::size_t size);

// An entry of an icon group: an image's header, its size and the id of the
// RT_ICON resource that holds it.
struct IconGroupEntry {
    IconImageHeader header;
    std::uint32_t size = 0;
    std::uint16_t id = 0;
};

Bytes encodeIconGroup(const std::vector<IconGroupEntry>& entries);
// The entries of an icon group; none when the bytes are no icon group.
std::vector<IconGroupEntry> parseIconGroup(const std::uint8_t* data, std::size_t size);
