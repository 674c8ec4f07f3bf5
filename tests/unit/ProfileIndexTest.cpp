// The settings index against the platform's own reader: every value the
// launcher asks for, and more, read from generated and hostile files (and the
// fuzz corpus, tests/fuzz/corpus/profile_index) through SettingsFile and
// through GetPrivateProfileStringA (W for UTF-16 files) with the launcher's
// growing buffer. Where Windows' reader and Wine's differ, the index reads as
// Windows does; those cases are checked on their own.
#include <gtest/gtest.h>

#include <random>

#include "TempFolder.h"
#include "TestData.h"
#include "base/FileProbe.h"
#include "settings/PlatformProfile.h"
#include "settings/SettingsFile.h"

namespace {

const LaunchStage kStage = LaunchStage::Application;

// The launcher's names, and a few more.
const std::vector<std::vector<const char*>> kNames = {
    {"Product Information", "Product Name", "Product Code"},
    {"Java Runtime Environment", "Main Class", "Minimum Version", "Maximum Version", "Preferred versions",
     "JVM Type", "JVM Source", "VM Provider", "Download Page", "JRE Path", "System Path", "Library Path",
     "Virtual Machine Parameters", "Class Data Sharing"},
    {"Application", "Application Type", "Single Instance", "Failure Check", "Override WorkingDir", "Cmd",
     "Output File", "Error File", "Embedded Jar"},
    {"Class Path", "Class Path"},
    {"Display", "Splash Screen", "Splash Screen Shadow", "Preffer Native Splash Screen"},
    {"Caf\xE9", "Cl\xE9", "CL\xC9", "Other"},
};

// Random lines of those names in any case, with blanks of every kind,
// quotes, NUL characters, values as long as the first buffers, every line
// end; some files in UTF-16, with or without the mark.
std::string generatedFile(std::mt19937& random) {
    auto pick = [&](std::vector<std::string> from) { return from[random() % from.size()]; };
    auto blank = [&] { return pick({"", "", " ", "\t", " \t ", "\v", "\f", "\x1A"}); };
    std::string text;
    for (int lines = random() % 24; lines > 0; --lines) {
        const std::vector<const char*>& names = kNames[random() % kNames.size()];
        std::string name = names[1 + random() % (names.size() - 1)];
        for (char& c : name) c ^= isalpha(static_cast<unsigned char>(c)) && c > 0 && random() % 4 == 0 ? 0x20 : 0;
        std::string value = pick({"", "v", "a b", "\"q\"", "'s'", "\"", "\"\"", "'x\"", "\"a\" b\"", "x=y", "\xE9",
                                  std::string("n\0m", 3), ";c", std::string(250 + random() % 10, 'x')});
        if (random() % 8 == 0) value = "\"" + value + "\"";
        if (random() % 5 == 0) text += "[" + blank() + names[0] + (random() % 3 ? "" : "+") + blank() + "]";
        else if (random() % 5 == 0) text += name;
        else text += blank() + name + blank() + "=" + blank() + value;
        text += blank() + pick({"\r\n", "\n", "\r", "\n\r", "\r\r\n"});
    }
    if (random() % 4) return text;
    std::string wide = random() % 3 ? "\xFF\xFE" : "";
    for (char c : text) wide += {c, '\0'};
    return wide;
}

// The file as the platform's reader must get it to read sections as Windows
// does (Wine's reader takes a section line up to its last "]", and one
// without "]" for a key): each section line cut after its first "]", or
// given one. An odd last byte of UTF-16 gets a zero byte.
std::string asWindowsReadsIt(std::string bytes) {
    std::size_t unit = isUtf16Settings(bytes) ? 2 : 1;
    if (unit == 2 && bytes.size() % 2) bytes += '\0';
    auto at = [&](std::size_t i) {
        return static_cast<unsigned char>(bytes[i]) | (unit == 2 ? static_cast<unsigned char>(bytes[i + 1]) << 8 : 0);
    };
    std::string out = bytes.substr(0, unit == 2 ? 2 : 0);
    for (std::size_t i = out.size(); i < bytes.size();) {
        std::size_t start = i, close = 0;
        int kind = 0;  // 0: blanks so far, 1: a section line, -1: another line
        for (; i < bytes.size() && at(i) != '\r' && at(i) != '\n'; i += unit) {
            int c = at(i);
            if (kind == 0) kind = c == '[' ? 1 : c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == 0x1A ? 0 : -1;
            else if (kind == 1 && !close && c == ']') close = i + unit;
        }
        bool section = kind == 1;
        out += bytes.substr(start, (section && close ? close : i) - start);
        if (section && !close) out += std::string("]\0", unit);
        for (; i < bytes.size() && (at(i) == '\r' || at(i) == '\n'); i += unit) out += bytes.substr(i, unit);
    }
    return out;
}

// Wine's reader loses the last character of a quoted value that fills one
// of the launcher's buffers but for its closing quote; the index keeps it.
template <class Text>
bool isQuotedCut(const Text& platform, const Text& index) {
    std::size_t size = platform.size() + 2;
    return index.size() == size - 1 && index.starts_with(platform) && size >= 256 && !(size & (size - 1));
}

void expectSameAsPlatform(const TempFolder& temp, const std::string& name, const std::string& bytes) {
    SCOPED_TRACE(name);
    std::string platform = temp.write("platform-" + name, asWindowsReadsIt(bytes));
    SettingsFile file(temp.write(name, bytes));
    bool utf16 = isUtf16Settings(bytes);
    ProfileIndex wide(utf16 ? utf16SettingsText(bytes) : L"");
    for (const std::vector<const char*>& names : kNames) {
        for (std::size_t k = 1; k < names.size(); ++k) {
            const char* section = names[0];
            std::string expected = readValue(platform, section, names[k]);
            if (expected.empty())
                expected = joinPlusValue("", readValue(platform, (std::string(section) + "+").c_str(), names[k]));
            std::string value = file.lookup(kStage, section, names[k]);
            if (!isQuotedCut(expected, value)) EXPECT_EQ(value, expected) << section << " / " << names[k];
            if (!utf16) continue;
            std::wstring wideValue(wide.value(toWide(section), toWide(names[k]), kLongestValue - 1));
            std::wstring wideExpected = readWideValue(platform, section, names[k]);
            if (!isQuotedCut(wideExpected, wideValue)) EXPECT_TRUE(wideValue == wideExpected) << names[k];
        }
    }
}

TEST(ProfileIndex, GeneratedFilesReadAsThePlatformReadsThem) {
    TempFolder temp;
    std::mt19937 random(20261208);
    for (int i = 0; i < 150; ++i) expectSameAsPlatform(temp, std::to_string(i) + ".ini", generatedFile(random));
}

TEST(ProfileIndex, TheFuzzCorpusReadsAsThePlatformReadsIt) {
    TempFolder temp;
    std::string corpus = testDataPath("../fuzz/corpus/profile_index") + "\\";
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((corpus + "*.*").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    int files = 0;
    do {
        std::string bytes;
        // Wine decodes a UTF-8 file after its mark, and reads big-endian
        // UTF-16; Windows reads both as ANSI text (checked below).
        if (!readWholeFile(corpus + found.cFileName, bytes) || bytes.starts_with("\xEF\xBB\xBF") ||
            bytes.starts_with("\xFE\xFF"))
            continue;
        expectSameAsPlatform(temp, std::to_string(++files) + ".ini", bytes);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    EXPECT_GT(files, 100);
}

TEST(ProfileIndex, WhereWindowsReadsOtherwiseThanWine) {
    auto read = [](const std::string& bytes, const char* section) {
        ProfileIndex index(isUtf16Settings(bytes) ? utf16SettingsText(bytes) : toWide(bytes));
        return std::wstring(index.value(toWide(section), L"k", 100));
    };
    // A section's name ends at its first "]", or with its line.
    EXPECT_EQ(read("[S]x]\r\nk=1", "S"), L"1");
    EXPECT_EQ(read("[S]x]\r\nk=1", "S]x"), L"");
    EXPECT_EQ(read("[ S \t\r\nk=2", "S"), L"2");
    // A UTF-8 mark belongs to the first line; big-endian UTF-16 is ANSI text.
    EXPECT_EQ(read("\xEF\xBB\xBF[S]\r\nk=1\r\n[T]\r\nk=2", "S"), L"");
    EXPECT_EQ(read("\xEF\xBB\xBF[S]\r\nk=1\r\n[T]\r\nk=2", "T"), L"2");
    EXPECT_EQ(read(std::string("\xFE\xFF\0[\0S\0]\0\n\0k\0=\0""1", 16), "S"), L"");
    // A quoted value that fills the first buffer but for its closing quote
    // keeps its last character.
    EXPECT_EQ(read("[S]\nk=\"" + std::string(255, 'q') + "\"", "S"), std::wstring(100, L'q'));
    TempFolder temp;
    std::string quoted = temp.write("quoted.ini", "[S]\nk=\"" + std::string(255, 'q') + "\"\n");
    EXPECT_EQ(SettingsFile(quoted).read(kStage, "S", "k"), std::string(255, 'q'));
}

TEST(ProfileIndex, EachFileIsReadOnceAndAgainAfterAWrite) {
    TempFolder temp;
    std::string user = temp.write("user.ini", "[S]\r\nk=u\r\n");
    SettingsFile file(temp.write("app.ini", "[S]\r\nk=1\r\n"));
    EXPECT_EQ(file.read(kStage, "S", "k"), "1");
    EXPECT_EQ(file.readUserFile(kStage, user, "S", "k"), "u");
    temp.write("app.ini", "[S]\r\nk=changed\r\n");
    EXPECT_EQ(file.lookup(kStage, "S", "k"), "1");
    ASSERT_TRUE(file.write(user, "S", "k", "written"));
    EXPECT_EQ(file.readUserFile(kStage, user, "S", "k"), "written");
    EXPECT_EQ(file.read(kStage, "S", "k"), "changed");
    EXPECT_EQ(SettingsFile(temp.file("missing.ini")).read(kStage, "S", "k"), "");
    EXPECT_EQ(SettingsFile(temp.write("empty.ini", "")).read(kStage, "S", "k"), "");
}

}  // namespace
