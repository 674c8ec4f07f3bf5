// stamp, the companion that writes a copy of the launcher with the
// application's icon and version information. The output is read back with
// the system's own calls (the resource and version APIs), launched beside
// the launcher it came from, and every input stamp refuses must leave no
// output behind.
#include <windows.h>
#include <imagehlp.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "harness/LaunchHarness.h"
#include "harness/TestFolder.h"
#include "harness/TestRuntime.h"

namespace {

struct StampRun {
    int exitCode = 0;
    std::string output;
    std::string errors;
};

StampRun runStamp(const TestFolder& folder, const std::string& arguments) {
    LaunchOptions options{.arguments = arguments, .workingDirectory = folder.path()};
    options.outputFile = folder.file("stamp-output.txt");
    options.errorFile = folder.file("stamp-errors.txt");
    LaunchResult result = launch(buildOutputFolder() + "\\stamp.exe", options);
    EXPECT_TRUE(result.windows.empty()) << "stamp showed a window";
    StampRun run{result.exitCode, folder.read("stamp-output.txt"), folder.read("stamp-errors.txt")};
    DeleteFileA(options.outputFile.c_str());
    DeleteFileA(options.errorFile.c_str());
    return run;
}

std::string u16(std::uint16_t v) { return std::string{char(v & 0xff), char(v >> 8)}; }
std::string u32(std::uint32_t v) { return u16(std::uint16_t(v)) + u16(std::uint16_t(v >> 16)); }

struct Image {
    std::uint8_t size;  // 0: 256
    std::uint16_t bitCount;
    std::string data;
};

// A 32-bit bitmap image: header, pixels and mask.
Image bitmap(std::uint8_t size) {
    std::string data = u32(40) + u32(size) + u32(size * 2u) + u16(1) + u16(32) + std::string(24, '\0');
    for (int i = 0; i < size * size; ++i) data += u32(0xff000000u | (i * 2654435761u >> 8));
    return {size, 32, data + std::string(size * ((size + 31) / 32 * 4), '\0')};
}

std::string u32BigEndian(std::uint32_t v) { return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; }

std::uint32_t crc32(const std::string& bytes) {
    std::uint32_t crc = 0xffffffffu;
    for (unsigned char c : bytes) {
        crc ^= c;
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A PNG image, 256 pixels unless the header says otherwise: its signature
// and header, then bytes that stamp copies and nobody draws.
Image png(std::uint32_t side = 256, std::uint8_t entry = 0) {
    std::string header = "IHDR" + u32BigEndian(side) + u32BigEndian(side) + std::string("\x08\x06\0\0\0", 5);
    return {entry, 32,
            std::string("\x89PNG\r\n\x1a\n", 8) + u32BigEndian(13) + header + u32BigEndian(crc32(header)) +
                std::string(275, '\x5a')};
}

std::string iconFile(const std::vector<Image>& images) {
    std::string directory = u16(0) + u16(1) + u16(std::uint16_t(images.size())), data;
    std::size_t offset = 6 + 16 * images.size();
    for (const Image& image : images) {
        directory += std::string{char(image.size), char(image.size), 0, 0} + u16(1) + u16(image.bitCount) +
                     u32(std::uint32_t(image.data.size())) + u32(std::uint32_t(offset + data.size()));
        data += image.data;
    }
    return directory + data;
}

// Every resource of an executable, "type/name/language" to its bytes.
using ResourceMap = std::map<std::string, std::string>;

std::string idText(const char* id) {
    return IS_INTRESOURCE(id) ? std::to_string(reinterpret_cast<ULONG_PTR>(id)) : std::string(id);
}

BOOL CALLBACK addLanguage(HMODULE module, const char* type, const char* name, WORD language, LONG_PTR all) {
    HRSRC found = FindResourceExA(module, type, name, language);
    const char* data = static_cast<const char*>(LockResource(LoadResource(module, found)));
    (*reinterpret_cast<ResourceMap*>(all))[idText(type) + "/" + idText(name) + "/" + std::to_string(language)] =
        std::string(data, SizeofResource(module, found));
    return TRUE;
}

BOOL CALLBACK addName(HMODULE module, const char* type, char* name, LONG_PTR all) {
    return EnumResourceLanguagesA(module, type, name, addLanguage, all);
}

BOOL CALLBACK addType(HMODULE module, char* type, LONG_PTR all) {
    return EnumResourceNamesA(module, type, addName, all);
}

ResourceMap resourcesOf(const std::string& path) {
    ResourceMap all;
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    EXPECT_NE(module, nullptr) << path;
    if (!module) return all;
    EnumResourceTypesA(module, addType, reinterpret_cast<LONG_PTR>(&all));
    FreeLibrary(module);
    return all;
}

struct Version {
    std::string fixedFile, fixedProduct;
    std::map<std::string, std::string> strings;
};

// The version information as the version API reads it.
Version versionOf(const std::string& path) {
    Version version;
    std::string block(GetFileVersionInfoSizeA(path.c_str(), nullptr), '\0');
    if (block.empty() || !GetFileVersionInfoA(path.c_str(), 0, DWORD(block.size()), block.data())) return version;
    void* value = nullptr;
    UINT length = 0;
    if (VerQueryValueA(block.data(), "\\", &value, &length) && length >= sizeof(VS_FIXEDFILEINFO)) {
        auto* fixed = static_cast<VS_FIXEDFILEINFO*>(value);
        auto text = [](DWORD high, DWORD low) {
            return std::to_string(HIWORD(high)) + "." + std::to_string(LOWORD(high)) + "." +
                   std::to_string(HIWORD(low)) + "." + std::to_string(LOWORD(low));
        };
        version.fixedFile = text(fixed->dwFileVersionMS, fixed->dwFileVersionLS);
        version.fixedProduct = text(fixed->dwProductVersionMS, fixed->dwProductVersionLS);
    }
    if (VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length) && length >= 4)
        EXPECT_EQ(*static_cast<DWORD*>(value), 0x04b00409u) << path;
    for (const char* name : {"CompanyName", "FileDescription", "FileVersion", "InternalName", "LegalCopyright",
                             "OriginalFilename", "ProductName", "ProductVersion"}) {
        std::string query = std::string("\\StringFileInfo\\040904B0\\") + name;
        if (VerQueryValueA(block.data(), query.c_str(), &value, &length))
            version.strings[name] = std::string(static_cast<const char*>(value), length ? length - 1 : 0);
    }
    return version;
}

// The raw bytes of each section but the resources, by name.
std::map<std::string, std::string> sectionsBesidesResources(const std::string& path) {
    std::string file = readWholeFile(path);
    std::map<std::string, std::string> sections;
    std::size_t pe = *reinterpret_cast<const std::uint32_t*>(&file[0x3c]);
    std::uint16_t count = *reinterpret_cast<const std::uint16_t*>(&file[pe + 6]);
    std::size_t header = pe + 24 + *reinterpret_cast<const std::uint16_t*>(&file[pe + 20]);
    for (std::size_t i = 0; i < count; ++i) {
        const char* section = &file[header + 40 * i];
        std::string name(section, strnlen(section, 8));
        std::uint32_t size = *reinterpret_cast<const std::uint32_t*>(section + 16);
        std::uint32_t offset = *reinterpret_cast<const std::uint32_t*>(section + 20);
        if (name != ".rsrc") sections[name] = file.substr(offset, size);
    }
    return sections;
}

// Where a PE file's certificate table entry lies.
std::size_t certificateEntry(const std::string& file) {
    std::size_t pe = *reinterpret_cast<const std::uint32_t*>(&file[0x3c]);
    bool pe32Plus = *reinterpret_cast<const std::uint16_t*>(&file[pe + 24]) == 0x20b;
    return pe + 24 + (pe32Plus ? 112 : 96) + 4 * 8;
}

std::vector<std::string> folderListing(const TestFolder& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(folder.file("*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do names.push_back(found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

// The offset of a field of the optional header.
std::size_t headerField(const std::string& file, std::size_t offset) {
    return *reinterpret_cast<const std::uint32_t*>(&file[0x3c]) + 24 + offset;
}

// Puts a manifest, or an icon image, into an executable with the system's
// resource writer.
void writeResource(const std::string& exe, const char* type, WORD name, const std::string& data) {
    HANDLE update = BeginUpdateResourceA(exe.c_str(), FALSE);
    ASSERT_NE(update, nullptr);
    EXPECT_TRUE(UpdateResourceA(update, type, MAKEINTRESOURCEA(name), 1033, const_cast<char*>(data.data()),
                                DWORD(data.size())));
    EXPECT_TRUE(EndUpdateResourceA(update, FALSE));
}

// The manifest the launcher declares DPI awareness with, and one without
// trustInfo, in CRLF lines and with comments in the way.
const char kAwareManifest[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\n"
    "  <compatibility xmlns=\"urn:schemas-microsoft-com:compatibility.v1\">\n"
    "    <application><supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/></application>\n"
    "  </compatibility>\n"
    "  <application xmlns=\"urn:schemas-microsoft-com:asm.v3\">\n"
    "    <windowsSettings>\n"
    "      <dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm</dpiAware>\n"
    "      <dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">PerMonitorV2, "
    "PerMonitor</dpiAwareness>\n"
    "    </windowsSettings>\n"
    "  </application>\n"
    "  <trustInfo xmlns=\"urn:schemas-microsoft-com:asm.v3\">\n"
    "    <security><requestedPrivileges><requestedExecutionLevel level='asInvoker' uiAccess='false'/>"
    "</requestedPrivileges></security>\n"
    "  </trustInfo>\n"
    "</assembly>\n";
const char kBareManifest[] =
    "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\r\n"
    "  <!-- <requestedExecutionLevel level=\"asInvoker\"/> -->\r\n"
    "  <description>x</description>\r\n"
    "</assembly>";

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    return text.replace(text.find(from), from.size(), to);
}

const char kSettings[] =
    "[Java Runtime Environment]\r\nMain Class=Main\r\n[Class Path]\r\nClass Path=\\classes\r\n"
    "[Application]\r\nOutput File=out.txt\r\n";

TEST(Stamp, IconAndEveryVersionFieldLandInACopyThatStillLaunches) {
    TestFolder folder("stamp-all");
    std::string launcher = folder.addLauncher("launcher.exe");
    std::vector<Image> images{bitmap(16), bitmap(32), png()};
    folder.write("app.ico", iconFile(images));
    StampRun run = runStamp(folder,
                            "launcher.exe MyApp.exe --icon app.ico --file-version 2.4.1 --product-version \"2.4 beta\""
                            " --product-name \"My App\" --company \"Example Ltd\" --description \"My application\""
                            " --copyright \"(c) 2024 Example\"");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    std::string stamped = folder.file("MyApp.exe");

    Version version = versionOf(stamped);
    EXPECT_EQ(version.fixedFile, "2.4.1.0");
    EXPECT_EQ(version.fixedProduct, "2.4.0.0");
    EXPECT_EQ(version.strings, (std::map<std::string, std::string>{{"CompanyName", "Example Ltd"},
                                                                   {"FileDescription", "My application"},
                                                                   {"FileVersion", "2.4.1.0"},
                                                                   {"InternalName", "MyApp"},
                                                                   {"LegalCopyright", "(c) 2024 Example"},
                                                                   {"OriginalFilename", "MyApp.exe"},
                                                                   {"ProductName", "My App"},
                                                                   {"ProductVersion", "2.4 beta"}}));

    // The icon group lists the images in order, each one's bytes as given;
    // the launcher's own images are gone.
    ResourceMap before = resourcesOf(launcher), after = resourcesOf(stamped);
    std::string group = after["14/1/1033"];
    ASSERT_EQ(group.size(), 6 + 14 * images.size());
    int icons = 0;
    for (const auto& [key, bytes] : after) icons += key.rfind("3/", 0) == 0;
    EXPECT_EQ(icons, int(images.size()));
    for (std::size_t i = 0; i < images.size(); ++i) {
        const char* entry = &group[6 + 14 * i];
        EXPECT_EQ(std::uint8_t(entry[0]), images[i].size);
        EXPECT_EQ(*reinterpret_cast<const std::uint16_t*>(entry + 6), images[i].bitCount);
        std::uint16_t id = *reinterpret_cast<const std::uint16_t*>(entry + 12);
        EXPECT_EQ(after["3/" + std::to_string(id) + "/1033"], images[i].data) << "image " << i;
    }
    // Every other resource and every section besides the resources are as
    // they were.
    for (auto* resources : {&before, &after})
        std::erase_if(*resources, [](const auto& r) {
            return r.first.rfind("3/", 0) == 0 || r.first.rfind("14/", 0) == 0 || r.first.rfind("16/", 0) == 0;
        });
    EXPECT_EQ(before, after);
    EXPECT_EQ(sectionsBesidesResources(launcher), sectionsBesidesResources(stamped));
    DWORD headerSum = 0, checkSum = 1;
    MapFileAndCheckSumA(stamped.c_str(), &headerSum, &checkSum);
    EXPECT_EQ(headerSum, checkSum);

    StampRun show = runStamp(folder, "--show MyApp.exe");
    EXPECT_EQ(show.exitCode, 0);
    EXPECT_NE(show.output.find("My application"), std::string::npos) << show.output;
    EXPECT_NE(show.output.find("256x256, 32 bits, PNG, 308 bytes"), std::string::npos) << show.output;

    // The copy and the launcher behave alike, with and without settings.
    addTestRuntime(folder, "jre");
    folder.write("classes\\Main.class", "main\n    out hello\n");
    folder.write("launcher.ini", kSettings);
    folder.write("MyApp.ini", kSettings);
    for (const std::string& exe : {launcher, stamped}) {
        DeleteFileA(folder.file("out.txt").c_str());
        EXPECT_EQ(launch(exe).exitCode, 0) << exe;
        EXPECT_EQ(folder.read("out.txt"), "hello\r\n") << exe;
    }
    DeleteFileA(folder.file("launcher.ini").c_str());
    DeleteFileA(folder.file("MyApp.ini").c_str());
    LaunchResult original = launch(launcher), copy = launch(stamped);
    EXPECT_EQ(copy.exitCode, original.exitCode);
    ASSERT_EQ(copy.messageBoxes().size(), 1u);
    EXPECT_EQ(copy.messageBoxes()[0].text, original.messageBoxes()[0].text);
    EXPECT_EQ(copy.messageBoxes()[0].caption, original.messageBoxes()[0].caption);
}

TEST(Stamp, OptionsNotGivenKeepTheLaunchersValues) {
    TestFolder folder("stamp-keep");
    std::string launcher = folder.addLauncher("launcher.exe");
    ASSERT_EQ(runStamp(folder, "launcher.exe Tool.exe --description Tool").exitCode, 0);
    Version own = versionOf(launcher), stamped = versionOf(folder.file("Tool.exe"));
    EXPECT_EQ(own.strings["FileDescription"], "Java application launcher");
    own.strings["FileDescription"] = "Tool";
    own.strings["InternalName"] = "Tool";
    own.strings["OriginalFilename"] = "Tool.exe";
    EXPECT_EQ(stamped.strings, own.strings);
    EXPECT_EQ(stamped.fixedFile, own.fixedFile);
    EXPECT_EQ(stamped.fixedProduct, own.fixedProduct);
    EXPECT_EQ(resourcesOf(launcher)["14/1/1033"], resourcesOf(folder.file("Tool.exe"))["14/1/1033"]);
}

TEST(Stamp, SignedLauncherLosesItsSignatureWithAWarning) {
    TestFolder folder("stamp-signed");
    std::string file = readWholeFile(folder.addLauncher("launcher.exe"));
    file.resize((file.size() + 7) / 8 * 8, '\0');
    std::string certificate = u32(8 + 64) + u16(0x200) + u16(2) + std::string(64, '\x30');
    file.replace(certificateEntry(file), 8, u32(std::uint32_t(file.size())) + u32(std::uint32_t(certificate.size())));
    folder.write("signed.exe", file + certificate);

    StampRun run = runStamp(folder, "signed.exe MyApp.exe --description Signed");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.errors.find("warning: "), std::string::npos);
    EXPECT_NE(run.errors.find("Authenticode signature"), std::string::npos) << run.errors;
    std::string stamped = folder.read("MyApp.exe");
    EXPECT_EQ(stamped.substr(certificateEntry(stamped), 8), std::string(8, '\0'));
    EXPECT_EQ(stamped.find(certificate), std::string::npos);
    EXPECT_EQ(versionOf(folder.file("MyApp.exe")).strings["FileDescription"], "Signed");
}

TEST(Stamp, RefusedInputsLeaveNoOutput) {
    TestFolder folder("stamp-refused");
    folder.addLauncher("launcher.exe");
    std::string overflowing = iconFile({bitmap(16)});
    overflowing.replace(6 + 8, 4, u32(0xfffffff0u));  // the size: offset + size wraps round
    folder.write("gif.ico", "GIF89a" + std::string(40, '\0'));
    folder.write("none.ico", u16(0) + u16(1) + u16(0));
    folder.write("short.ico", iconFile({bitmap(16)}).substr(0, 6 + 16 + 30));
    folder.write("overflow.ico", overflowing);
    folder.write("many.ico", iconFile(std::vector<Image>(65, bitmap(16))));
    folder.write("huge.ico", iconFile({bitmap(16)}) + std::string(16 * 1024 * 1024, '\0'));
    // Images that are none: a PNG signature and garbage, a bitmap header
    // without pixels or of 100000 pixels a side, a PNG's header that
    // disagrees with its entry or its checksum.
    Image garbage = png(), headerOnly = bitmap(16), giant = bitmap(0), small = png(48), badCrc = png();
    garbage.data.replace(8, 25, std::string(25, '\x5a'));
    headerOnly.data.resize(40);
    giant.data.replace(4, 8, u32(100000) + u32(200000));
    badCrc.data[30] ^= 1;
    folder.write("garbage.ico", iconFile({garbage}));
    folder.write("header.ico", iconFile({bitmap(32), headerOnly}));
    folder.write("giant.ico", iconFile({giant, bitmap(16)}));
    folder.write("small.ico", iconFile({bitmap(16), bitmap(32), small}));
    folder.write("crc.ico", iconFile({badCrc}));
    std::string launcher = folder.read("launcher.exe");
    folder.write("cut.exe", launcher.substr(0, launcher.size() / 2));
    std::string lost = launcher;  // the resources' address far past the image
    lost.replace(headerField(lost, 112 + 2 * 8), 4, u32(0x7ffffff0));
    folder.write("lost.exe", lost);
    folder.write("doctype.exe", launcher);
    writeResource(folder.file("doctype.exe"), MAKEINTRESOURCEA(24), 1,
                  "<!DOCTYPE assembly []>" + std::string(kBareManifest));
    folder.write("empty.exe", "");
    folder.write("text.exe", "This is not an executable, only text that is long enough to be read as one.");
    folder.write("MyApp.exe", "an earlier output");
    folder.makeFolder("folder.exe");

    struct Case {
        std::string arguments;
        std::string message;
    };
    const Case cases[] = {
        {"launcher.exe MyApp.exe --icon gif.ico", "not an icon file"},
        {"launcher.exe MyApp.exe --icon none.ico", "holds no image"},
        {"launcher.exe MyApp.exe --icon short.ico", "lies past the end"},
        {"launcher.exe MyApp.exe --icon overflow.ico", "lies past the end"},
        {"launcher.exe MyApp.exe --icon many.ico", "at most 64"},
        {"launcher.exe MyApp.exe --icon huge.ico", "larger than 16 MB"},
        {"launcher.exe MyApp.exe --icon garbage.ico", "image 1 of 1 cannot be used: its PNG data does not begin"},
        {"launcher.exe MyApp.exe --icon header.ico", "image 2 of 2 cannot be used: its bitmap of 16 x 16 pixels"},
        {"launcher.exe MyApp.exe --icon giant.ico", "image 1 of 2 cannot be used: its bitmap header says 100000"},
        {"launcher.exe MyApp.exe --icon small.ico", "says 48 x 48 pixels, its directory entry 256 x 256"},
        {"launcher.exe MyApp.exe --icon crc.ico", "checksum (CRC) is wrong"},
        {"cut.exe MyApp.exe", "cut short"},
        {"lost.exe MyApp.exe", "its resources lie outside its sections"},
        {"doctype.exe MyApp.exe --dpi-unaware", "cannot be changed: it declares a document type"},
        {"launcher.exe MyApp.exe --console --gui", "not both"},
        {"launcher.exe MyApp.exe --execution-level admin", "none of asInvoker"},
        {"launcher.exe MyApp.exe --icon absent.ico", "cannot read"},
        {"launcher.exe MyApp.exe --file-version 1.65536", "larger than 65535"},
        {"launcher.exe MyApp.exe --file-version 2.4b", "only numbers and dots"},
        {"launcher.exe MyApp.exe --file-version 1.2.3.4.5", "more than four"},
        {"launcher.exe MyApp.exe --product-version 99999", "larger than 65535"},
        {"empty.exe MyApp.exe", "the file is empty"},
        {"absent.exe MyApp.exe", "cannot read"},
        {"text.exe MyApp.exe", "not a Windows executable"},
        {"launcher.exe missing\\MyApp.exe", "does not exist"},
        {"launcher.exe Z:\\sys\\MyApp.exe", "cannot create a file in Z:\\sys"},
        {"launcher.exe .\\LAUNCHER.EXE", "the launcher itself"},
        {"launcher.exe folder.exe", "cannot replace"},  // found only after the update
        {"launcher.exe MyApp.exe --colour blue", "unknown option"},
    };
    std::vector<std::string> listing = folderListing(folder);
    for (const Case& c : cases) {
        StampRun run = runStamp(folder, c.arguments);
        EXPECT_EQ(run.exitCode, 2) << c.arguments;
        EXPECT_NE(run.errors.find(c.message), std::string::npos) << c.arguments << "\n" << run.errors;
        EXPECT_EQ(run.errors.find('%'), std::string::npos) << run.errors;
        EXPECT_EQ(folder.read("MyApp.exe"), "an earlier output") << c.arguments;
        EXPECT_EQ(folderListing(folder), listing) << c.arguments;
    }
    EXPECT_EQ(folder.read("launcher.exe"), launcher);
    EXPECT_EQ(GetFileAttributesA("Z:\\sys\\MyApp.exe"), INVALID_FILE_ATTRIBUTES);
}

TEST(Stamp, ConsoleAndGuiChangeOnlyTheSubsystem) {
    TestFolder folder("stamp-subsystem");
    folder.addLauncher("launcher.exe");
    for (const char* name : {"gui", "console", "back"}) folder.makeFolder(name);
    ASSERT_EQ(runStamp(folder, "launcher.exe gui\\Tool.exe --description Tool").exitCode, 0);
    StampRun run = runStamp(folder, "launcher.exe console\\Tool.exe --description Tool --console");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_NE(run.output.find("Windows console"), std::string::npos) << run.output;
    ASSERT_EQ(runStamp(folder, "console\\Tool.exe back\\Tool.exe --gui").exitCode, 0);

    // Beside the subsystem only the checksum differs, and it matches.
    std::string gui = folder.read("gui\\Tool.exe"), console = folder.read("console\\Tool.exe");
    std::size_t checksumAt = headerField(gui, 64), subsystemAt = headerField(gui, 68);
    EXPECT_EQ(gui.substr(subsystemAt, 2), u16(2));
    EXPECT_EQ(console.substr(subsystemAt, 2), u16(3));
    ASSERT_EQ(gui.size(), console.size());
    for (std::size_t i = 0; i < gui.size(); ++i)
        if (gui[i] != console[i]) EXPECT_TRUE(i == subsystemAt || (i >= checksumAt && i < checksumAt + 4)) << i;
    DWORD headerSum = 0, checkSum = 1;
    MapFileAndCheckSumA(folder.file("console\\Tool.exe").c_str(), &headerSum, &checkSum);
    EXPECT_EQ(headerSum, checkSum);
    EXPECT_EQ(folder.read("back\\Tool.exe"), gui);

    StampRun show = runStamp(folder, "--show console\\Tool.exe");
    EXPECT_NE(show.output.find("\nSubsystem: Windows console\r\n"), std::string::npos) << show.output;
}

TEST(Stamp, ExecutionLevelAndDpiUnawareChangeOnlyTheManifest) {
    TestFolder folder("stamp-manifest");
    std::string launcher = folder.addLauncher("launcher.exe");
    std::string own = resourcesOf(launcher)["24/1/1033"];
    ASSERT_NE(own.find("level=\"asInvoker\""), std::string::npos);
    struct Case {
        std::string manifest, arguments, expected, shown;
    };
    const Case cases[] = {
        {own, "--execution-level requireAdministrator", replaced(own, "\"asInvoker\"", "\"requireAdministrator\""),
         "  execution level:         requireAdministrator\r\n"},
        {kAwareManifest, "--dpi-unaware",
         replaced(replaced(kAwareManifest, ">true/pm<", ">false<"), ">PerMonitorV2, PerMonitor<", ">unaware<"),
         "  execution level:         asInvoker\r\n"
         "  DPI awareness:           unaware (dpiAwareness); false (dpiAware)\r\n"},
        {kBareManifest, "--execution-level highestAvailable --dpi-unaware",
         replaced(kBareManifest, "</description>",
                  "</description>\r\n  <trustInfo xmlns=\"urn:schemas-microsoft-com:asm.v3\">\r\n"
                  "    <security>\r\n      <requestedPrivileges>\r\n"
                  "        <requestedExecutionLevel level=\"highestAvailable\" uiAccess=\"false\"/>\r\n"
                  "      </requestedPrivileges>\r\n    </security>\r\n  </trustInfo>"),
         "  execution level:         highestAvailable\r\n  DPI awareness:           none\r\n"},
    };
    for (const Case& c : cases) {
        folder.write("input.exe", readWholeFile(launcher));
        writeResource(folder.file("input.exe"), MAKEINTRESOURCEA(24), 1, c.manifest);
        StampRun run = runStamp(folder, "input.exe MyApp.exe " + c.arguments);
        ASSERT_EQ(run.exitCode, 0) << c.arguments << "\n" << run.errors;
        ResourceMap before = resourcesOf(folder.file("input.exe")), after = resourcesOf(folder.file("MyApp.exe"));
        EXPECT_EQ(after["24/1/1033"], c.expected) << c.arguments;
        for (auto* resources : {&before, &after})
            std::erase_if(*resources, [](const auto& r) { return r.first == "24/1/1033" || r.first == "16/1/1033"; });
        EXPECT_EQ(before, after);
        EXPECT_EQ(sectionsBesidesResources(folder.file("input.exe")),
                  sectionsBesidesResources(folder.file("MyApp.exe")));
        EXPECT_NE(runStamp(folder, "--show MyApp.exe").output.find(c.shown), std::string::npos) << c.arguments;
    }
    // What the launcher's coming manifest declares, and an icon image that
    // is none, as --show prints them.
    writeResource(folder.file("input.exe"), MAKEINTRESOURCEA(24), 1, kAwareManifest);
    writeResource(folder.file("input.exe"), MAKEINTRESOURCEA(3), 1, bitmap(32).data.substr(0, 40));
    std::string shown = runStamp(folder, "--show input.exe").output;
    EXPECT_NE(shown.find("  DPI awareness:           PerMonitorV2, PerMonitor (dpiAwareness); true/pm (dpiAware)\r\n"),
              std::string::npos)
        << shown;
    EXPECT_NE(shown.find("bits, not an image (its bitmap of 32 x 32 pixels"), std::string::npos) << shown;
}

}  // namespace
