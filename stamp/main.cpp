// stamp: gives a copy of the launcher the application's own icon and version
// information, the things Explorer, shortcuts, the taskbar, Task Manager and
// the file's Properties show of an executable; and, where the application
// needs them, another subsystem (a console program) and another execution
// level or DPI awareness in its manifest.
//
//   stamp <launcher.exe> <output.exe> [--icon app.ico] [--file-version 2.4.1.0]
//         [--product-version TEXT] [--product-name TEXT] [--company TEXT]
//         [--description TEXT] [--copyright TEXT] [--console | --gui]
//         [--execution-level LEVEL] [--dpi-unaware]
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
#include "stamp/Manifest.h"
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
    L"  --console                a console program: started from a command\r\n"
    L"                           prompt, it keeps the prompt's console\r\n"
    L"  --gui                    a Windows GUI program (the launcher's own kind)\r\n"
    L"  --execution-level LEVEL  the level the manifest requests: asInvoker,\r\n"
    L"                           highestAvailable or requireAdministrator\r\n"
    L"  --dpi-unaware            the manifest declares the process DPI-unaware:\r\n"
    L"                           Windows scales its windows as bitmaps\r\n"
    L"\r\n"
    L"  --show EXE               prints an executable's subsystem, its manifest's\r\n"
    L"                           execution level and DPI awareness, its version\r\n"
    L"                           information and the images of its icon\r\n"
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
    std::optional<std::wstring> executionLevel;
    std::optional<std::uint16_t> subsystem;  // kGuiSubsystem or kConsoleSubsystem
    bool dpiUnaware = false;
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

std::wstring hex4(std::uint16_t value) {
    std::wstring text;
    for (int shift = 12; shift >= 0; shift -= 4) text += L"0123456789ABCDEF"[(value >> shift) & 0xf];
    return text;
}

// Text known to be ASCII.
std::string narrowAscii(const std::wstring& text) {
    std::string narrow;
    for (wchar_t c : text) narrow += static_cast<char>(c);
    return narrow;
}

std::wstring widenUtf8(const std::string& text) {
    int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

// The process manifest in each of its languages, changed as the options ask.
bool changeManifests(std::vector<Resource>& resources, const Options& options, std::wstring& error) {
    ManifestChanges changes;
    if (options.executionLevel) changes.executionLevel = narrowAscii(*options.executionLevel);
    changes.dpiUnaware = options.dpiUnaware;
    bool found = false;
    for (Resource& resource : resources) {
        if (resource.type != ResourceId{kManifestType, {}} || resource.name != ResourceId{kProcessManifest, {}})
            continue;
        found = true;
        EditedManifest edited = editManifest(
            std::string_view(reinterpret_cast<const char*>(resource.data.data()), resource.data.size()), changes);
        if (!edited.error.empty()) {
            error = L"its manifest (language " + hex4(resource.language) + L") cannot be changed: " +
                    widenUtf8(edited.error);
            return false;
        }
        resource.data.assign(edited.text.begin(), edited.text.end());
    }
    if (!found) error = L"it has no manifest (resource 24, number 1) to change";
    return found;
}

// 81920 as "81,920".
std::wstring grouped(std::uint64_t number) {
    std::wstring digits = std::to_wstring(number);
    for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, 1, L',');
    return digits;
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
                           {L"--copyright", &options.copyright},
                           {L"--execution-level", &options.executionLevel}};
    std::vector<std::wstring> paths;
    std::vector<std::wstring> flags;
    for (int i = 1; i < count; ++i) {
        std::wstring argument = arguments[i];
        if (argument == L"--console" || argument == L"--gui" || argument == L"--dpi-unaware") {
            if (std::find(flags.begin(), flags.end(), argument) != flags.end()) {
                error = argument + L" is given twice";
                return false;
            }
            flags.push_back(argument);
            if (argument == L"--dpi-unaware") {
                options.dpiUnaware = true;
            } else if (options.subsystem) {
                error = L"give --console or --gui, not both";
                return false;
            } else {
                options.subsystem = argument == L"--console" ? kConsoleSubsystem : kGuiSubsystem;
            }
        } else if (argument.size() > 1 && argument[0] == L'-') {
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
    if (options.executionLevel && (std::any_of(options.executionLevel->begin(), options.executionLevel->end(),
                                               [](wchar_t c) { return c > 127; }) ||
                                   !isExecutionLevel(narrowAscii(*options.executionLevel)))) {
        error = L"--execution-level " + quoted(*options.executionLevel) +
                L" is none of asInvoker, highestAvailable and requireAdministrator";
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

    if (options.subsystem && image.subsystem != kGuiSubsystem && image.subsystem != kConsoleSubsystem)
        return fail(options.input + L" cannot be switched: it is a program of " +
                    widen(subsystemName(image.subsystem)) + L", neither a Windows GUI nor a console program");
    if ((options.executionLevel || options.dpiUnaware) && !changeManifests(resources, options, error))
        return fail(options.input + L" cannot be stamped: " + error);

    VersionInfo version;
    if (!stampedVersion(resources, options, version, error)) return fail(error);
    Bytes versionBytes = encodeVersionInfo(version);
    if (versionBytes.empty())
        return fail(L"the version information is too long (the texts may have some 30,000 characters together)");
    replaceVersion(resources, std::move(versionBytes));
    if (options.icon) replaceMainIcon(resources, images);

    if (options.subsystem) writeU16(file.data() + image.subsystemAt, *options.subsystem);
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
    if (options.subsystem) summary += L", " + widen(subsystemName(*options.subsystem));
    if (options.executionLevel) summary += L", execution level " + *options.executionLevel;
    if (options.dpiUnaware) summary += L", DPI-unaware";
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

std::wstring describeManifest(const std::vector<Resource>& resources) {
    const Resource* manifest = nullptr;
    for (const Resource& resource : resources)
        if (resource.type == ResourceId{kManifestType, {}} && resource.name == ResourceId{kProcessManifest, {}} &&
            !manifest)
            manifest = &resource;
    if (!manifest) return L"Manifest: none\r\n";
    std::wstring text =
        L"Manifest (" + std::to_wstring(kProcessManifest) + L", language " + hex4(manifest->language) + L")";
    ManifestFacts facts =
        readManifest(std::string_view(reinterpret_cast<const char*>(manifest->data.data()), manifest->data.size()));
    if (!facts.error.empty()) return text + L": unreadable, " + widenUtf8(facts.error) + L"\r\n";
    std::wstring dpi;
    if (facts.dpiAwareness) dpi = widenUtf8(*facts.dpiAwareness) + L" (dpiAwareness)";
    if (facts.dpiAware) dpi += (dpi.empty() ? L"" : L"; ") + widenUtf8(*facts.dpiAware) + L" (dpiAware)";
    return text + L":\r\n" +
           field(L"execution level", facts.executionLevel ? widenUtf8(*facts.executionLevel) : L"none") +
           field(L"DPI awareness", dpi.empty() ? L"none" : dpi);
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
    text += L"\r\nSubsystem: " + widen(subsystemName(image.subsystem)) + L"\r\n";
    write(STD_OUTPUT_HANDLE, text + describeManifest(resources) + describeVersion(resources) + describeIcon(resources));
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
