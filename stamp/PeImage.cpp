#include "stamp/PeImage.h"

#include <algorithm>

namespace {

constexpr std::uint16_t kPe32Magic = 0x10b;
constexpr std::uint16_t kPe32PlusMagic = 0x20b;
constexpr std::uint16_t kExecutableImage = 0x0002;
constexpr std::uint16_t kDll = 0x2000;
constexpr std::uint32_t kResourceDirectory = 2;
constexpr std::uint32_t kCertificateDirectory = 4;
constexpr std::size_t kNoOffset = SIZE_MAX;

// Where the headers and the sections' data end in the file (as far as the
// section table can be read): a certificate table begins after them.
std::size_t contentsEnd(const std::uint8_t* data, std::size_t size, std::size_t pe, std::size_t sectionTable) {
    std::size_t end = sectionTable;
    std::size_t sections = readU16(data + pe + 6);
    for (std::size_t i = 0; i < sections && sectionTable + 40 * (i + 1) <= size; ++i) {
        const std::uint8_t* section = data + sectionTable + 40 * i;
        end = std::max(end, std::size_t{readU32(section + 20)} + readU32(section + 16));
        end = std::max(end, sectionTable + 40 * (i + 1));
    }
    return end;
}

struct Sections {
    const std::uint8_t* data;  // the file
    std::size_t table, count;
    std::uint32_t alignment;  // of the sections once loaded
};

// The file offset of the bytes at an address of the loaded image, when a
// section holds all of them in the file and in the pages it is loaded into.
std::size_t fileOffsetOf(const Sections& sections, std::uint32_t rva, std::uint32_t length) {
    for (std::size_t i = 0; i < sections.count; ++i) {
        const std::uint8_t* section = sections.data + sections.table + 40 * i;
        std::uint64_t loaded = readU32(section + 8);
        std::uint32_t address = readU32(section + 12), held = readU32(section + 16), offset = readU32(section + 20);
        if (loaded != 0 && sections.alignment != 0)
            held = static_cast<std::uint32_t>(std::min<std::uint64_t>(
                held, (loaded + sections.alignment - 1) / sections.alignment * sections.alignment));
        if (rva >= address && rva - address <= held && length <= held - (rva - address))
            return offset + (rva - address);
    }
    return kNoOffset;
}

struct ResourceTree {
    Sections sections;
    const std::uint8_t* tree;  // the resource directory
    std::size_t size;
    std::size_t entries = 0;  // seen so far
};

// A directory of the resource tree (depth 0: types, 1: names, 2:
// languages), its names and what it leads to lie within the bytes given:
// the system's resource calls read them unchecked.
bool isSoundDirectory(ResourceTree& tree, std::size_t at, int depth) {
    if (at > tree.size || tree.size - at < 16) return false;
    std::size_t count = std::size_t{readU16(tree.tree + at + 12)} + readU16(tree.tree + at + 14);
    tree.entries += count;
    if (count > (tree.size - at - 16) / 8 || tree.entries > 100000) return false;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* entry = tree.tree + at + 16 + 8 * i;
        std::uint32_t name = readU32(entry), target = readU32(entry + 4);
        if (name & 0x80000000u) {
            std::size_t text = name & 0x7fffffffu;
            if (text > tree.size || tree.size - text < 2 || (tree.size - text - 2) / 2 < readU16(tree.tree + text))
                return false;
        }
        if (depth < 2) {
            if (!(target & 0x80000000u) || !isSoundDirectory(tree, target & 0x7fffffffu, depth + 1)) return false;
        } else if ((target & 0x80000000u) || target > tree.size || tree.size - target < 16 ||
                   fileOffsetOf(tree.sections, readU32(tree.tree + target), readU32(tree.tree + target + 4)) ==
                       kNoOffset) {
            return false;
        }
    }
    return true;
}

}  // namespace

PeImage readPeImage(const std::uint8_t* data, std::size_t size) {
    PeImage image;
    if (size == 0) {
        image.error = "the file is empty";
        return image;
    }
    if (size < 64 || data[0] != 'M' || data[1] != 'Z') {
        image.error = "it is not a Windows executable (no MZ header)";
        return image;
    }
    std::size_t pe = readU32(data + 0x3c);
    if (pe > size || size - pe < 24 || readU32(data + pe) != 0x00004550) {
        image.error = "it is not a Windows executable (no PE header)";
        return image;
    }
    std::uint16_t characteristics = readU16(data + pe + 22);
    std::size_t optional = pe + 24;
    std::size_t optionalSize = readU16(data + pe + 20);
    if (optionalSize > size - optional || optionalSize < 2) {
        image.error = "its PE header is cut short";
        return image;
    }
    std::uint16_t magic = readU16(data + optional);
    if (magic != kPe32Magic && magic != kPe32PlusMagic) {
        image.error = "its PE header is of an unknown kind";
        return image;
    }
    if (!(characteristics & kExecutableImage) || (characteristics & kDll)) {
        image.error = "it is a DLL or an object file, not an executable";
        return image;
    }
    image.machine = readU16(data + pe + 4);
    image.pe32Plus = magic == kPe32PlusMagic;
    // The directory count and the directories follow the fields of fixed size.
    std::size_t countAt = image.pe32Plus ? 108 : 92;
    if (optionalSize < countAt + 4) {
        image.error = "its PE header is cut short";
        return image;
    }
    image.checksumAt = optional + 64;
    image.subsystemAt = optional + 68;
    image.subsystem = readU16(data + image.subsystemAt);
    // A file cut short (a copy that broke off) still has whole headers.
    std::size_t sectionTable = optional + optionalSize;
    std::size_t sections = readU16(data + pe + 6);
    if (sections > (size - sectionTable) / 40) {
        image.error = "it is cut short: its section table ends past the end of the file";
        return image;
    }
    for (std::size_t i = 0; i < sections; ++i) {
        const std::uint8_t* section = data + sectionTable + 40 * i;
        std::uint32_t length = readU32(section + 16), offset = readU32(section + 20);
        if (length != 0 && (offset > size || length > size - offset)) {
            image.error = "it is cut short or damaged: its sections reach byte " +
                          std::to_string(std::uint64_t{offset} + length) + " of a file of " + std::to_string(size) +
                          " bytes";
            return image;
        }
    }
    std::size_t directories = readU32(data + optional + countAt);
    if (directories > kResourceDirectory && countAt + 4 + kResourceDirectory * 8 + 8 <= optionalSize) {
        const std::uint8_t* entry = data + optional + countAt + 4 + kResourceDirectory * 8;
        std::uint32_t address = readU32(entry), length = readU32(entry + 4);
        Sections all{data, sectionTable, sections, readU32(data + optional + 32)};
        std::size_t at = address == 0 ? 0 : fileOffsetOf(all, address, length);
        if (at == kNoOffset) {
            image.error = "its resources lie outside its sections";
            return image;
        }
        ResourceTree tree{all, data + at, length};
        if (address != 0 && !isSoundDirectory(tree, 0, 0)) {
            image.error = "its list of resources is damaged";
            return image;
        }
    }
    std::size_t entryAt = countAt + 4 + kCertificateDirectory * 8;
    if (directories > kCertificateDirectory && entryAt + 8 <= optionalSize) {
        image.certificateEntryAt = optional + entryAt;
        image.certificateOffset = readU32(data + image.certificateEntryAt);
        image.certificateSize = readU32(data + image.certificateEntryAt + 4);
        if (image.certificateOffset == 0 || image.certificateSize == 0) {
            image.certificateOffset = image.certificateSize = 0;
        } else if (image.certificateOffset > size || image.certificateSize > size - image.certificateOffset) {
            image.error = "its certificate table lies past the end of the file";
        } else if (image.certificateOffset < contentsEnd(data, size, pe, optional + optionalSize)) {
            image.error = "its certificate table overlaps its headers or sections";
        }
    }
    return image;
}

std::string machineName(std::uint16_t machine) {
    switch (machine) {
        case 0x014c:
            return "x86 (32-bit)";
        case 0x8664:
            return "x86-64 (64-bit)";
        case 0xaa64:
            return "ARM64";
        case 0x01c4:
            return "ARM (32-bit)";
        default: {
            static const char kDigits[] = "0123456789abcdef";
            std::string hex = "machine 0x";
            for (int shift = 12; shift >= 0; shift -= 4) hex += kDigits[(machine >> shift) & 0xf];
            return hex;
        }
    }
}

std::string subsystemName(std::uint16_t subsystem) {
    if (subsystem == kGuiSubsystem) return "Windows GUI";
    if (subsystem == kConsoleSubsystem) return "Windows console";
    return "subsystem " + std::to_string(subsystem);
}

void removeCertificateTable(Bytes& file, const PeImage& image) {
    if (image.certificateEntryAt == 0 || image.certificateOffset == 0) return;
    writeU32(file.data() + image.certificateEntryAt, 0);
    writeU32(file.data() + image.certificateEntryAt + 4, 0);
    if (std::size_t{image.certificateOffset} + image.certificateSize == file.size())
        file.resize(image.certificateOffset);
}

std::uint32_t peChecksum(const std::uint8_t* data, std::size_t size, std::size_t checksumAt) {
    std::uint64_t sum = 0;
    for (std::size_t at = 0; at < size; at += 2) {
        if (at == checksumAt || at == checksumAt + 2) continue;
        sum += at + 1 < size ? readU16(data + at) : data[at];
        sum = (sum & 0xffff) + (sum >> 16);
    }
    sum = (sum & 0xffff) + (sum >> 16);
    return static_cast<std::uint32_t>(sum + size);
}
