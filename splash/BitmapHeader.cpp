#include "splash/BitmapHeader.h"

namespace {

// Little-endian fields; the caller has made sure they lie within the data.
std::uint32_t field(const std::uint8_t* bytes, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = (value << 8) | bytes[at + i];
    return value;
}

constexpr std::size_t kFileHeader = 14;
constexpr std::size_t kCoreHeader = 12;  // the OS/2 form: 16-bit sizes, 3-byte colours

}  // namespace

bool isBrokenBitmap(const std::uint8_t* bytes, std::size_t count) {
    if (count < 2 || bytes[0] != 'B' || bytes[1] != 'M') return false;
    if (count < kFileHeader + 4) return true;
    const std::uint64_t pixelsAt = field(bytes, 10, 4);
    const std::uint64_t headerSize = field(bytes, kFileHeader, 4);
    const bool core = headerSize == kCoreHeader;
    // Up to and including the compression and image size fields.
    if (headerSize < (core ? kCoreHeader : 24) || kFileHeader + headerSize > count) return true;

    std::uint64_t width, height, bitCount, compression = 0, imageSize = 0, colours = 0;
    if (core) {
        width = field(bytes, 18, 2);
        height = field(bytes, 20, 2);
        bitCount = field(bytes, 24, 2);
    } else {
        auto signedWidth = static_cast<std::int32_t>(field(bytes, 18, 4));
        auto signedHeight = static_cast<std::int32_t>(field(bytes, 22, 4));
        if (signedWidth <= 0) return true;
        width = static_cast<std::uint64_t>(signedWidth);
        // Negative: the rows are stored top-down.
        height = signedHeight < 0 ? 0 - static_cast<std::uint64_t>(static_cast<std::int64_t>(signedHeight))
                                  : static_cast<std::uint64_t>(signedHeight);
        bitCount = field(bytes, 28, 2);
        compression = field(bytes, 30, 4);
        imageSize = field(bytes, 34, 4);
        if (headerSize >= 36) colours = field(bytes, 46, 4);
    }
    if (width == 0 || height == 0) return true;

    // The colour table follows the header: for a palette format the colours
    // used (all its colours when none or too many are given), plus three
    // masks after a plain 40-byte header with bit fields.
    const std::uint64_t paletteColours = bitCount <= 8 ? std::uint64_t{1} << bitCount : 0;
    colours = colours == 0 || colours > paletteColours ? paletteColours : colours;
    std::uint64_t tableEnd = kFileHeader + headerSize + colours * (core ? 3 : 4);
    if (!core && headerSize == 40 && (compression == 3 || compression == 6)) tableEnd += 12;
    if (tableEnd > count || pixelsAt > count) return true;

    const std::size_t available = count - static_cast<std::size_t>(pixelsAt);
    const bool uncompressed = compression == 0 || compression == 3 || compression == 6;
    if (!uncompressed) return imageSize == 0 || imageSize > available;
    // Rows are padded to whole 32-bit words.
    const std::uint64_t rowBytes = (width * bitCount + 31) / 32 * 4;
    if (rowBytes == 0 || rowBytes > available) return true;
    return height > available / static_cast<std::size_t>(rowBytes);
}
