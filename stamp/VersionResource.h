#pragma once
// Version information: the version numbers stamp accepts, and the
// VS_VERSIONINFO resource (RT_VERSION) that Explorer, Task Manager and the
// file's Properties read: a fixed part (VS_FIXEDFILEINFO) and a table of
// strings for one language and code page.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "stamp/LittleEndian.h"

// Four numbers of 0 to 65535: major, minor, build, revision.
using VersionNumber = std::array<std::uint16_t, 4>;

struct ParsedVersion {
    VersionNumber number{};
    bool found = false;  // the text begins with a number
    std::string error;   // why the text is no version; empty when it is one
};

// A whole text that is a version of one to four numbers separated by dots
// ("2.4.1" is 2.4.1.0).
ParsedVersion parseVersionNumber(std::u16string_view text);
// The version that free text begins with: "2.4 beta" gives 2.4.0.0; a text
// that begins with no digit gives none (found is false, no error).
ParsedVersion leadingVersionNumber(std::u16string_view text);

std::u16string versionText(const VersionNumber& number);  // "2.4.1.0"

// The fixed part. The defaults are those of an application for Windows NT.
struct FixedVersionInfo {
    VersionNumber fileVersion{};
    VersionNumber productVersion{};
    std::uint32_t flagsMask = 0x3f;
    std::uint32_t flags = 0;
    std::uint32_t os = 0x00040004;  // VOS_NT_WINDOWS32
    std::uint32_t type = 1;         // VFT_APP
    std::uint32_t subtype = 0;
    std::uint32_t dateHigh = 0;
    std::uint32_t dateLow = 0;
};

struct VersionInfo {
    FixedVersionInfo fixed;
    std::uint16_t language = 0x0409;  // US English
    std::uint16_t codePage = 1200;    // UTF-16
    // The strings of the table, in order: name and value.
    std::vector<std::pair<std::u16string, std::u16string>> strings;

    // The value of a string; empty when the table has none of that name.
    std::u16string string(std::u16string_view name) const;
    // Replaces the value of a string, or adds the string at the end.
    void setString(std::u16string_view name, std::u16string_view value);
};

// The resource: the fixed part, one string table for the language and code
// page of info, and the translation that names them. Empty when a value is
// too long for the format's 16-bit lengths.
Bytes encodeVersionInfo(const VersionInfo& info);

// Reads a resource back: its fixed part and its first string table (the
// strings of any other table are not read). False when the bytes are no
// version resource.
bool parseVersionInfo(const std::uint8_t* data, std::size_t size, VersionInfo& info);
