#pragma once
// Class data sharing as the test runtime plays it, on request (README.md,
// "Class data sharing"): which options ask for it, which files a VM would
// map, and what such a file holds. The test runtime writes no archives.

#include <string>
#include <string_view>
#include <vector>

namespace testjvm {

// The exit code of a crash (STATUS_ACCESS_VIOLATION).
constexpr unsigned kCrashExitCode = 0xC0000005;

// -XX:SharedArchiveFile=, -XX:ArchiveClassesAtExit=, -XX:+AutoCreateSharedArchive,
// -XX:AOTCache= and -XX:AOTCacheOutput=.
bool isSharingOption(std::string_view option);

// The files a VM maps for these options: those of the last
// -XX:SharedArchiveFile= (one, or two separated by ";") and of the last
// -XX:AOTCache=, in that order. Empty names are left out.
std::vector<std::string> archivesToMap(const std::vector<std::string>& options);

// What a file holds, judged by its content: an archive starts with one of
// HotSpot's magic numbers (0xf00baba2 static archive or ahead-of-time cache,
// 0xf00baba8 dynamic archive; little-endian); a damaged one has its header
// intact but the line "#testjvm-damaged" in its body (at the start of the
// body or of any line of it).
enum class ArchiveContent { NotAnArchive, Sound, Damaged };
ArchiveContent judgeArchive(std::string_view content);
const char* archiveContentName(ArchiveContent content);

}  // namespace testjvm
