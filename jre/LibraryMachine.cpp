#include "jre/LibraryMachine.h"

#include <windows.h>

#include "base/UniqueResource.h"

unsigned ownMachine() {
#ifdef _WIN64
    return IMAGE_FILE_MACHINE_AMD64;
#else
    return IMAGE_FILE_MACHINE_I386;
#endif
}

const char* machineName(unsigned machine) {
    switch (machine) {
    case IMAGE_FILE_MACHINE_I386: return "i686";
    case IMAGE_FILE_MACHINE_AMD64: return "x86_64";
    case IMAGE_FILE_MACHINE_ARM64: return "arm64";
    default: return "";
    }
}

namespace {

constexpr std::size_t kDosHeaderSize = 64;
constexpr std::size_t kNtHeadersStart = 6;  // "PE\0\0" and the machine

std::uint32_t littleEndian(const std::uint8_t* bytes, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = (value << 8) | bytes[i];
    return value;
}

}  // namespace

std::uint32_t ntHeadersOffset(const std::uint8_t* bytes, std::size_t count) {
    if (count < kDosHeaderSize || bytes[0] != 'M' || bytes[1] != 'Z') return 0;
    return littleEndian(bytes + 0x3C, 4);
}

unsigned ntHeadersMachine(const std::uint8_t* bytes, std::size_t count) {
    if (count < kNtHeadersStart || bytes[0] != 'P' || bytes[1] != 'E' || bytes[2] != 0 || bytes[3] != 0)
        return 0;
    return littleEndian(bytes + 4, 2);
}

unsigned ntHeadersSubsystem(const std::uint8_t* bytes, std::size_t count) {
    // "PE\0\0", the file header (20 bytes), then the optional header, whose
    // Subsystem field lies 68 bytes in.
    if (count < kNtHeadersPrefix || ntHeadersMachine(bytes, count) == 0) return 0;
    return littleEndian(bytes + kNtHeadersPrefix - 2, 2);
}

unsigned libraryMachine(const std::string& path) {
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return 0;
    std::uint8_t bytes[kDosHeaderSize];
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes, sizeof bytes, &read, nullptr)) return 0;
    std::uint32_t offset = ntHeadersOffset(bytes, read);
    // The DOS header ends where the NT headers can begin.
    if (offset < kDosHeaderSize) return 0;
    LARGE_INTEGER at;
    at.QuadPart = offset;
    if (!SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN)) return 0;
    if (!ReadFile(file.get(), bytes, kNtHeadersStart, &read, nullptr)) return 0;
    return ntHeadersMachine(bytes, read);
}
