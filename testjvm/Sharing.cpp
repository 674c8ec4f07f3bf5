#include "testjvm/Sharing.h"

#include <cstdint>

namespace testjvm {

namespace {

bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

constexpr std::string_view kSharedArchiveFile = "-XX:SharedArchiveFile=";
constexpr std::string_view kAotCache = "-XX:AOTCache=";
constexpr std::string_view kDamaged = "#testjvm-damaged";

}  // namespace

bool isSharingOption(std::string_view option) {
    return startsWith(option, kSharedArchiveFile) || startsWith(option, "-XX:ArchiveClassesAtExit=") ||
           option == "-XX:+AutoCreateSharedArchive" || startsWith(option, kAotCache) ||
           startsWith(option, "-XX:AOTCacheOutput=");
}

std::vector<std::string> archivesToMap(const std::vector<std::string>& options) {
    std::string shared, cache;
    for (const std::string& option : options) {
        if (startsWith(option, kSharedArchiveFile)) shared = option.substr(kSharedArchiveFile.size());
        if (startsWith(option, kAotCache)) cache = option.substr(kAotCache.size());
    }
    std::vector<std::string> files;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = shared.find(';', start);
        std::string file = shared.substr(start, end == std::string::npos ? end : end - start);
        if (!file.empty()) files.push_back(file);
        if (end == std::string::npos) break;
        start = end + 1;
    }
    if (!cache.empty()) files.push_back(cache);
    return files;
}

ArchiveContent judgeArchive(std::string_view content) {
    if (content.size() < 4) return ArchiveContent::NotAnArchive;
    std::uint32_t magic = 0;
    for (int i = 3; i >= 0; --i) magic = magic << 8 | static_cast<unsigned char>(content[i]);
    if (magic != 0xf00baba2 && magic != 0xf00baba8) return ArchiveContent::NotAnArchive;
    std::string_view body = content.substr(4);
    for (std::size_t at = body.find(kDamaged); at != std::string_view::npos; at = body.find(kDamaged, at + 1)) {
        if (at == 0 || body[at - 1] == '\n') return ArchiveContent::Damaged;
    }
    return ArchiveContent::Sound;
}

const char* archiveContentName(ArchiveContent content) {
    switch (content) {
    case ArchiveContent::NotAnArchive: return "not-an-archive";
    case ArchiveContent::Sound: return "sound";
    case ArchiveContent::Damaged: return "damaged";
    }
    return "";
}

}  // namespace testjvm
