#include "stamp/IconFile.h"

namespace {

constexpr std::size_t kDirectorySize = 6;
constexpr std::size_t kFileEntrySize = 16;   // ICONDIRENTRY
constexpr std::size_t kGroupEntrySize = 14;  // GRPICONDIRENTRY
constexpr std::uint16_t kIconType = 1;
constexpr std::uint16_t kCursorType = 2;

// The size of the header a bitmap image starts with (BITMAPINFOHEADER and
// its later, longer versions).
bool isBitmapHeader(const std::uint8_t* data, std::size_t size) {
    if (size < 40) return false;
    std::uint32_t headerSize = readU32(data);
    return headerSize >= 40 && headerSize <= 124 && headerSize <= size;
}

// The directory may leave planes and bit count 0; the system chooses among
// an icon's images by them, so they are taken from the image then.
void completeHeader(IconImageHeader& header, const Bytes& data) {
    if (header.planes != 0 && header.bitCount != 0) return;
    if (isPngImage(data.data(), data.size())) {
        header.planes = 1;
        header.bitCount = 32;
    } else {
        header.planes = readU16(data.data() + 12);
        header.bitCount = readU16(data.data() + 14);
    }
}

}  // namespace

bool isPngImage(const std::uint8_t* data, std::size_t size) {
    static const std::uint8_t kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (size < sizeof kSignature) return false;
    for (std::size_t i = 0; i < sizeof kSignature; ++i)
        if (data[i] != kSignature[i]) return false;
    return true;
}

IconFile parseIconFile(const std::uint8_t* data, std::size_t size) {
    // A file with an error holds no image, not those read before it.
    auto failed = [](std::string error) { return IconFile{{}, std::move(error)}; };
    IconFile file;
    if (size > kMaxIconFileSize) return failed("it is larger than 16 MB");
    if (size < kDirectorySize || readU16(data) != 0 ||
        (readU16(data + 2) != kIconType && readU16(data + 2) != kCursorType))
        return failed("it is not an icon file (no icon file header)");
    if (readU16(data + 2) == kCursorType) return failed("it is a cursor file, not an icon file");
    std::size_t count = readU16(data + 4);
    if (count == 0) return failed("it holds no image");
    if (count > kMaxIconImages)
        return failed("it holds " + std::to_string(count) + " images; an icon may have at most " +
                      std::to_string(kMaxIconImages));
    if (size < kDirectorySize + count * kFileEntrySize) return failed("its list of images is cut short");
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* entry = data + kDirectorySize + i * kFileEntrySize;
        std::uint32_t length = readU32(entry + 8);
        std::uint32_t offset = readU32(entry + 12);
        std::string image = "image " + std::to_string(i + 1);
        if (length == 0) return failed(image + " is empty");
        if (offset > size || length > size - offset)
            return failed(image + " lies past the end of the file (" + std::to_string(length) + " bytes at offset " +
                          std::to_string(offset) + " of a file of " + std::to_string(size) + " bytes)");
        const std::uint8_t* bytes = data + offset;
        if (!isPngImage(bytes, length) && !isBitmapHeader(bytes, length))
            return failed(image + " is neither a bitmap nor a PNG image");
        IconImage added;
        added.header = {entry[0], entry[1], entry[2], readU16(entry + 4), readU16(entry + 6)};
        added.data.assign(bytes, bytes + length);
        completeHeader(added.header, added.data);
        file.images.push_back(std::move(added));
    }
    return file;
}

Bytes encodeIconGroup(const std::vector<IconGroupEntry>& entries) {
    Bytes out;
    appendU16(out, 0);
    appendU16(out, kIconType);
    appendU16(out, static_cast<std::uint16_t>(entries.size()));
    for (const IconGroupEntry& entry : entries) {
        out.push_back(entry.header.width);
        out.push_back(entry.header.height);
        out.push_back(entry.header.colorCount);
        out.push_back(0);
        appendU16(out, entry.header.planes);
        appendU16(out, entry.header.bitCount);
        appendU32(out, entry.size);
        appendU16(out, entry.id);
    }
    return out;
}

std::vector<IconGroupEntry> parseIconGroup(const std::uint8_t* data, std::size_t size) {
    std::vector<IconGroupEntry> entries;
    if (size < kDirectorySize || readU16(data) != 0 || readU16(data + 2) != kIconType) return entries;
    std::size_t count = readU16(data + 4);
    if (size < kDirectorySize + count * kGroupEntrySize) return entries;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* entry = data + kDirectorySize + i * kGroupEntrySize;
        entries.push_back({{entry[0], entry[1], entry[2], readU16(entry + 4), readU16(entry + 6)},
                           readU32(entry + 8),
                           readU16(entry + 12)});
    }
    return entries;
}
