#include "stamp/IconFile.h"

namespace {

constexpr std::size_t kDirectorySize = 6;
constexpr std::size_t kFileEntrySize = 16;   // ICONDIRENTRY
constexpr std::size_t kGroupEntrySize = 14;  // GRPICONDIRENTRY
constexpr std::uint16_t kIconType = 1;
constexpr std::uint16_t kCursorType = 2;

std::uint32_t readU32BigEndian(const std::uint8_t* at) {
    return (std::uint32_t{at[0]} << 24) | (std::uint32_t{at[1]} << 16) | (std::uint32_t{at[2]} << 8) | at[3];
}

// The CRC-32 of PNG chunks (and of zip and Ethernet).
std::uint32_t crc32(const std::uint8_t* data, std::size_t size) {
    std::uint32_t crc = 0xffffffffu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::string pixelsText(std::int64_t width, std::int64_t height) {
    return std::to_string(width) + " x " + std::to_string(height) + " pixels";
}

// The size an image's own header gives against its directory entry's.
std::string checkSize(const char* what, std::int64_t width, std::int64_t height, const IconImageHeader& entry) {
    if (width < 1 || height < 1 || width > 256 || height > 256)
        return "its " + std::string(what) + " says " + pixelsText(width, height) +
               "; an icon image has 1 to 256 pixels a side";
    int entryWidth = entry.width ? entry.width : 256, entryHeight = entry.height ? entry.height : 256;
    if (width != entryWidth || height != entryHeight)
        return "its " + std::string(what) + " says " + pixelsText(width, height) + ", its directory entry " +
               pixelsText(entryWidth, entryHeight);
    return {};
}

// The signature, then the IHDR chunk: length, type, 13 bytes, CRC.
std::string checkPng(const IconImageHeader& entry, const std::uint8_t* data, std::size_t size) {
    if (size < 33 || readU32BigEndian(data + 8) != 13 || data[12] != 'I' || data[13] != 'H' || data[14] != 'D' ||
        data[15] != 'R')
        return "its PNG data does not begin with a header (IHDR chunk)";
    if (crc32(data + 12, 17) != readU32BigEndian(data + 29)) return "its PNG header's checksum (CRC) is wrong";
    return checkSize("PNG header", readU32BigEndian(data + 16), readU32BigEndian(data + 20), entry);
}

// BITMAPINFOHEADER or a later, longer version of it, the colour table, the
// colour pixels and the mask (AND) pixels, both bottom-up with rows padded
// to 4 bytes.
std::string checkBitmap(const IconImageHeader& entry, const std::uint8_t* data, std::size_t size) {
    std::uint32_t headerSize = readU32(data);
    if (headerSize > size || size < 40) return "its bitmap header is cut short";
    auto width = static_cast<std::int32_t>(readU32(data + 4));
    auto height = static_cast<std::int32_t>(readU32(data + 8));
    std::uint16_t planes = readU16(data + 12), bits = readU16(data + 14);
    std::uint32_t compression = readU32(data + 16), used = readU32(data + 32);
    if (height <= 0 || height % 2)
        return "its bitmap header's height, " + std::to_string(height) +
               ", is not twice a number of rows (the image's and its mask's)";
    std::string error = checkSize("bitmap header", width, height / 2, entry);
    if (!error.empty()) return error;
    if (planes != 1) return "its bitmap header says " + std::to_string(planes) + " planes, not 1";
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return "its bitmap header says " + std::to_string(bits) + " bits a pixel";
    bool bitfields = compression == 3 && (bits == 16 || bits == 32);
    if (compression != 0 && !bitfields)
        return "its bitmap is compressed (compression " + std::to_string(compression) + "), which an icon cannot be";
    std::uint64_t colours = used;
    if (bits <= 8) {
        if (used > (1u << bits))
            return "its colour table has " + std::to_string(used) + " entries, more than " + std::to_string(bits) +
                   " bits a pixel can choose from";
        if (used == 0) colours = 1u << bits;
    }
    std::uint64_t rows = static_cast<std::uint64_t>(height / 2);
    std::uint64_t needed = headerSize + (bitfields && headerSize == 40 ? 12 : 0) + 4 * colours +
                           (std::uint64_t(width) * bits + 31) / 32 * 4 * rows +
                           (std::uint64_t(width) + 31) / 32 * 4 * rows;
    if (needed > size)
        return "its bitmap of " + pixelsText(width, height / 2) + " at " + std::to_string(bits) + " bits needs " +
               std::to_string(needed) + " bytes (header, colour table, colour and mask pixels), it has " +
               std::to_string(size);
    return {};
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

std::string checkIconImage(const IconImageHeader& header, const std::uint8_t* data, std::size_t size) {
    if (isPngImage(data, size)) return checkPng(header, data, size);
    std::uint32_t headerSize = size >= 4 ? readU32(data) : 0;
    if (headerSize < 40 || headerSize > 124) return "it is neither a bitmap nor a PNG image";
    return checkBitmap(header, data, size);
}

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
        std::string image = "image " + std::to_string(i + 1) + " of " + std::to_string(count);
        if (length == 0) return failed(image + " is empty");
        if (offset > size || length > size - offset)
            return failed(image + " lies past the end of the file (" + std::to_string(length) + " bytes at offset " +
                          std::to_string(offset) + " of a file of " + std::to_string(size) + " bytes)");
        const std::uint8_t* bytes = data + offset;
        IconImage added;
        added.header = {entry[0], entry[1], entry[2], readU16(entry + 4), readU16(entry + 6)};
        std::string error = checkIconImage(added.header, bytes, length);
        if (!error.empty()) return failed(image + " cannot be used: " + error);
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
