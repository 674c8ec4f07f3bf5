// stamp: gives a copy of the launcher the application's own icon and version
// information, the things Explorer, shortcuts, the taskbar, Task Manager and
// the file's Properties show of an executable.
//
//   stamp <launcher.exe> <output.exe> [--icon app.ico] [--file-version 2.4.1.0]
//         [--product-version TEXT] [--product-name TEXT] [--company TEXT]
//         [--description TEXT] [--copyright TEXT]
//   stamp --show <executable>
//
// The input is never changed. Exit code 0 when the output was written (or
// the executable shown), 2 otherwise; then no output was written and an
// existing output file is as it was.
#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "stamp/Files.h"
#include "stamp/IconFile.h"
#include "stamp/PeImage.h"
#include "stamp/ResourceSet.h"
#include "stamp/ResourceStamp.h"
#include "stamp/VersionResource.h"

namespace {

const wchar_t kUsage[] =
    L"Usage: stamp <launcher.exe> <output.exe> [options]\r\n"
    L"       stamp --show <executable>\r\n"
    L"\r\n"
    L"Writes a copy of the launcher with the application's own icon and version\r\n"
    L"information; the launcher itself is not changed. Options not given keep\r\n"
    L"the launcher's values; InternalName and OriginalFilename are always taken\r\n"
    L"from the output's file name.\r\n"
    L"\r\n"
    L"  --icon FILE.ico          every image of the icon file becomes the icon\r\n"
    L"  --file-version N.N.N.N   file version (one to four numbers of 0 to 65535)\r\n"
    L"  --product-version TEXT   product version; the numbers it begins with are\r\n"
    L"                           the product version of the fixed part\r\n"
    L"  --product-name TEXT      ProductName\r\n"
    L"  --company TEXT           CompanyName\r\n"
    L"  --description TEXT       FileDescription (Task Manager's \"Description\")\r\n"
    L"  --copyright TEXT         LegalCopyright\r\n"
    L"\r\n"
    L"  --show EXE               prints an executable's version information and\r\n"
    L"                           the images of its icon\r\n"
    L"\r\n"
    L"Sign the output after stamping: a signature of the launcher does not\r\n"
    L"carry over.\r\n";

constexpr std::uint64_t kMaxExecutableSize = 256 * 1024 * 1024;

// The names of the version strings, in the order they are written.
const char16_t* const kVersionStrings[] = {u"CompanyName",    u"FileDescription",  u"FileVersion", u"InternalName",
                                           u"LegalCopyright", u"OriginalFilename", u"ProductName", u"ProductVersion"};

struct Options {
    std::wstring input;
    std::wstring output;
    std::optional<std::wstring> icon;
    std::optional<std::wstring> fileVersion;
    std::optional<std::wstring> productVersion;
    std::optional<std::wstring> productName;
    std::optional<std::wstring> company;
    std::optional<std::wstring> description;
    std::optional<std::wstring> copyright;
};

// Text to a console through UTF-16, to anything else (a file, a pipe) as
// UTF-8.
void write(DWORD stream, const std::wstring& text) {
    HANDLE output = GetStdHandle(stream);
    DWORD mode = 0, written = 0;
    if (GetConsoleMode(output, &mode)) {
        WriteConsoleW(output, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), length, nullptr, nullptr);
    WriteFile(output, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

int fail(const std::wstring& message) {
    write(STD_ERROR_HANDLE, L"stamp: " + message + L"\r\n");
    return 2;
}

std::wstring quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

// 81920 as "81,920".
std::wstring grouped(std::uint64_t number) {
    std::wstring digits = std::to_wstring(number);
    for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, 1, L',');
    return digits;
}

std::wstring hex4(std::uint16_t value) {
    std::wstring text;
    for (int shift = 12; shift >= 0; shift -= 4) text += L"0123456789ABCDEF"[(value >> shift) & 0xf];
    return text;
}

bool parseOptions(int count, wchar_t** arguments, Options& options, std::wstring& error) {
    struct Named {
        const wchar_t* name;
        std::optional<std::wstring>* value;
    };
    const Named named[] = {{L"--icon", &options.icon},
                           {L"--file-version", &options.fileVersion},
                           {L"--product-version", &options.productVersion},
                           {L"--product-name", &options.productName},
                           {L"--company", &options.company},
                           {L"--description", &options.description},
                           {L"--copyright", &options.copyright}};
    std::vector<std::wstring> paths;
    for (int i = 1; i < count; ++i) {
        std::wstring argument = arguments[i];
        if (argument.size() > 1 && argument[0] == L'-') {
            const Named* option = nullptr;
            for (const Named& candidate : named)
                if (argument == candidate.name) option = &candidate;
            if (!option) {
                error = L"unknown option " + argument;
                return false;
            }
            if (i + 1 == count) {
                error = argument + L" needs a value";
                return false;
            }
            if (option->value->has_value()) {
                error = argument + L" is given twice";
                return false;
            }
            *option->value = arguments[++i];
        } else {
            paths.push_back(argument);
        }
    }
    if (paths.size() != 2) {
        error = L"give the launcher and the output executable";
        return false;
    }
    options.input = fullPath(paths[0]);
    options.output = fullPath(paths[1]);
    return true;
}

// The version information of the output: the launcher's own, with what the
// options give, in US English and UTF-16, the eight strings in their order
// and any others the launcher has after them.
bool stampedVersion(const std::vector<Resource>& resources, const Options& options, VersionInfo& info,
                    std::wstring& error) {
    VersionInfo own;
    if (const Resource* resource = versionResource(resources))
        parseVersionInfo(resource->data.data(), resource->data.size(), own);
    info = {};
    info.fixed = own.fixed;
    if (options.fileVersion) {
        ParsedVersion parsed = parseVersionNumber(toU16(*options.fileVersion));
        if (!parsed.error.empty()) {
            error = L"--file-version " + quoted(*options.fileVersion) + L" is not a version: " + widen(parsed.error);
            return false;
        }
        info.fixed.fileVersion = parsed.number;
        own.setString(u"FileVersion", versionText(parsed.number));
    }
    if (options.productVersion) {
        ParsedVersion parsed = leadingVersionNumber(toU16(*options.productVersion));
        if (!parsed.error.empty()) {
            error = L"--product-version " + quoted(*options.productVersion) + L" does not begin with a version: " +
                    widen(parsed.error);
            return false;
        }
        if (parsed.found) info.fixed.productVersion = parsed.number;
        own.setString(u"ProductVersion", toU16(*options.productVersion));
    }
    if (options.productName) own.setString(u"ProductName", toU16(*options.productName));
    if (options.company) own.setString(u"CompanyName", toU16(*options.company));
    if (options.description) own.setString(u"FileDescription", toU16(*options.description));
    if (options.copyright) own.setString(u"LegalCopyright", toU16(*options.copyright));
    std::wstring fileName = fileNameOf(options.output);
    std::size_t dot = fileName.rfind(L'.');
    own.setString(u"OriginalFilename", toU16(fileName));
    own.setString(u"InternalName", toU16(dot == std::wstring::npos ? fileName : fileName.substr(0, dot)));

    for (const char16_t* name : kVersionStrings) info.strings.emplace_back(name, own.string(name));
    for (const auto& string : own.strings) info.setString(string.first, string.second);
    return true;
}

int stamp(const Options& options) {
    // Everything is checked before anything is written.
    std::vector<IconImage> images;
    if (options.icon) {
        Bytes bytes;
        std::wstring error;
        if (!readFileBytes(fullPath(*options.icon), kMaxIconFileSize, bytes, error)) return fail(error);
        IconFile icon = parseIconFile(bytes.data(), bytes.size());
        if (!icon.error.empty()) return fail(fullPath(*options.icon) + L" cannot be the icon: " + widen(icon.error));
        images = std::move(icon.images);
    }
    if (isSameFile(options.input, options.output))
        return fail(L"the output names the launcher itself, " + options.input + L": write the copy to another file");
    if (!isFolder(folderOf(options.output)))
        return fail(L"the output folder " + folderOf(options.output) + L" does not exist");

    Bytes file;
    std::wstring error;
    if (!readFileBytes(options.input, kMaxExecutableSize, file, error)) return fail(error);
    PeImage image = readPeImage(file.data(), file.size());
    if (!image.error.empty()) return fail(options.input + L" cannot be stamped: " + widen(image.error));
    std::vector<Resource> resources;
    if (!readResources(options.input, resources, error)) return fail(error);

    VersionInfo version;
    if (!stampedVersion(resources, options, version, error)) return fail(error);
    Bytes versionBytes = encodeVersionInfo(version);
    if (versionBytes.empty())
        return fail(L"the version information is too long (the texts may have some 30,000 characters together)");
    replaceVersion(resources, std::move(versionBytes));
    if (options.icon) replaceMainIcon(resources, images);

    bool signedInput = image.certificateOffset != 0;
    removeCertificateTable(file, image);
    if (!writeExecutable(file, image, resources, options.output, error)) return fail(error);

    if (signedInput) {
        write(STD_ERROR_HANDLE, L"stamp: warning: " + options.input + L" carries an Authenticode signature, " +
                                    L"which the stamped copy cannot keep: sign " + options.output +
                                    L" now that it is stamped\r\n");
    }
    std::wstring summary = L"Wrote " + options.output + L": file version " +
                           fromU16(versionText(version.fixed.fileVersion)) + L", product version " +
                           fromU16(versionText(version.fixed.productVersion));
    if (options.icon) summary += L", an icon of " + std::to_wstring(images.size()) + L" images";
    write(STD_OUTPUT_HANDLE, summary + L"\r\n");
    return 0;
}

std::wstring idText(const ResourceId& id) { return id.name.empty() ? std::to_wstring(id.number) : fromU16(id.name); }

// "  name            value": the columns of --show.
std::wstring field(const std::wstring& name, const std::wstring& value) {
    std::wstring line = L"  " + name + L":";
    if (!value.empty()) line.resize(std::max<std::size_t>(line.size() + 1, 27), L' ');
    return line + value + L"\r\n";
}

std::wstring describeVersion(const std::vector<Resource>& resources) {
    const Resource* resource = versionResource(resources);
    VersionInfo info;
    if (!resource) return L"Version information: none\r\n";
    if (!parseVersionInfo(resource->data.data(), resource->data.size(), info))
        return L"Version information: unreadable\r\n";
    std::wstring text = L"Version information (language " + hex4(info.language) + L", code page " +
                        std::to_wstring(info.codePage) + L"):\r\n";
    text += field(L"file version", fromU16(versionText(info.fixed.fileVersion)));
    text += field(L"product version", fromU16(versionText(info.fixed.productVersion)));
    for (const auto& [name, value] : info.strings) text += field(fromU16(name), fromU16(value));
    return text;
}

std::wstring describeIcon(const std::vector<Resource>& resources) {
    const Resource* group = mainIconGroup(resources);
    if (!group) return L"Icon: none\r\n";
    std::vector<IconGroupEntry> entries = parseIconGroup(group->data.data(), group->data.size());
    std::wstring text = L"Icon (group " + idText(group->name) + L", language " + hex4(group->language) + L"): " +
                        std::to_wstring(entries.size()) + L" images\r\n";
    for (const IconGroupEntry& entry : entries) {
        const Resource* image = nullptr;
        for (const Resource& resource : resources)
            if (resource.type == ResourceId{kIconType, {}} && resource.name == ResourceId{entry.id, {}} &&
                (!image || resource.language == group->language))
                image = &resource;
        int width = entry.header.width ? entry.header.width : 256;
        int height = entry.header.height ? entry.header.height : 256;
        std::string error = image ? checkIconImage(entry.header, image->data.data(), image->data.size()) : "";
        std::wstring format = !image           ? L"missing"
                              : !error.empty() ? L"not an image (" + widen(error) + L")"
                              : isPngImage(image->data.data(), image->data.size())
                                  ? L"PNG, " + grouped(image->data.size()) + L" bytes"
                                  : L"bitmap, " + grouped(image->data.size()) + L" bytes";
        text += L"  " + std::to_wstring(width) + L"x" + std::to_wstring(height) + L", " +
                std::to_wstring(entry.header.bitCount) + L" bits, " + format + L" (icon " + std::to_wstring(entry.id) +
                L")\r\n";
    }
    return text;
}

int show(const std::wstring& path) {
    Bytes file;
    std::wstring error;
    if (!readFileBytes(path, kMaxExecutableSize, file, error)) return fail(error);
    PeImage image = readPeImage(file.data(), file.size());
    if (!image.error.empty()) return fail(path + L" cannot be shown: " + widen(image.error));
    std::vector<Resource> resources;
    if (!readResources(path, resources, error)) return fail(error);
    std::wstring text =
        path + L": " + widen(machineName(image.machine)) + L" executable, " + grouped(file.size()) + L" bytes";
    if (image.certificateOffset)
        text += L", signed (a certificate table of " + grouped(image.certificateSize) + L" bytes)";
    write(STD_OUTPUT_HANDLE, text + L"\r\n" + describeVersion(resources) + describeIcon(resources));
    return 0;
}

}  // namespace

int wmain(int count, wchar_t** arguments) {
    if (count == 2 && (std::wstring(arguments[1]) == L"--help" || std::wstring(arguments[1]) == L"-h" ||
                       std::wstring(arguments[1]) == L"/?")) {
        write(STD_OUTPUT_HANDLE, kUsage);
        return 0;
    }
    if (count > 1 && std::wstring(arguments[1]) == L"--show") {
        if (count != 3) return fail(L"--show takes one executable\r\n\r\n" + std::wstring(kUsage));
        return show(fullPath(arguments[2]));
    }
    Options options;
    std::wstring error;
    if (!parseOptions(count, arguments, options, error)) return fail(error + L"\r\n\r\n" + kUsage);
    return stamp(options);
}
