#include "launcher/ExecutableImage.h"

#include <windows.h>

#include "base/UniqueResource.h"
#include "jre/LibraryMachine.h"

namespace {

// The image of the NT headers' first bytes.
ExecutableImage imageOf(const std::uint8_t* headers, std::size_t count) {
    return {true, ntHeadersMachine(headers, count), ntHeadersSubsystem(headers, count)};
}

}  // namespace

ExecutableImage ownImage() {
    const auto* image = reinterpret_cast<const std::uint8_t*>(GetModuleHandleA(nullptr));
    return imageOf(image + ntHeadersOffset(image, 64), kNtHeadersPrefix);
}

ExecutableImage imageOfFile(const std::wstring& path) {
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return {};
    std::uint8_t bytes[kNtHeadersPrefix];
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes, 64, &read, nullptr)) return {true, 0, 0};
    std::uint32_t offset = ntHeadersOffset(bytes, read);
    LARGE_INTEGER at;
    at.QuadPart = offset;
    // The DOS header ends where the NT headers can begin.
    if (offset < 64 || !SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN) ||
        !ReadFile(file.get(), bytes, sizeof bytes, &read, nullptr))
        return {true, 0, 0};
    return imageOf(bytes, read);
}
