// Text from the wide calls in the ANSI code page (1252 here): what converts
// as it is, the short names that stand in for what does not, and the
// settings file's encodings.
#include <gtest/gtest.h>

#include "TempFolder.h"
#include "base/Argument.h"
#include "base/WideText.h"
#include "launcher/LaunchPlan.h"
#include "settings/SettingsText.h"

namespace {

TEST(WideText, ToAnsiRefusesWhatTheCodePageCannotSpell) {
    std::string ansi;
    EXPECT_TRUE(toAnsi(L"Caf\u00e9", ansi));
    EXPECT_EQ(ansi, "Caf\xE9");
    EXPECT_TRUE(toAnsi(L"", ansi));
    EXPECT_EQ(ansi, "");
    // No best fit: L with stroke would become a plain L.
    EXPECT_FALSE(toAnsi(L"\u0141\u00f3d\u017a", ansi));
    EXPECT_FALSE(toAnsi(std::wstring(L"a\xD800" L"b"), ansi));  // a lone surrogate
}

TEST(WideText, ShortNamesOnlyForComponentsTheCodePageCannotSpell) {
    TempFolder temp;
    std::wstring base = toWide(temp.path());
    std::wstring folder = base + L"\\\u65e5\u672c";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    wchar_t shortPath[MAX_PATH];
    ASSERT_GT(GetShortPathNameW(folder.c_str(), shortPath, MAX_PATH), 0u);
    std::string whole = toUtf8(shortPath);
    std::string shortName = whole.substr(whole.rfind('\\'));  // "\XXXX~N"

    // Spellable paths stay as they are, byte for byte, whether they exist or not.
    AnsiPath same = ansiPathOf(L"C:\\Caf\u00e9\\missing\\app.exe");
    EXPECT_TRUE(same.ok);
    EXPECT_FALSE(same.shortened);
    EXPECT_EQ(same.path, "C:\\Caf\xE9\\missing\\app.exe");
    EXPECT_TRUE(ansiPathOf(L"").ok);

    // One component short; what follows it need not exist.
    AnsiPath shortened = ansiPathOf(folder + L"\\later.jar");
    EXPECT_TRUE(shortened.ok);
    EXPECT_TRUE(shortened.shortened);
    EXPECT_EQ(shortened.path, temp.path() + shortName + "\\later.jar");

    // A settings path: relative to base, with its references, kept so.
    SetEnvironmentVariableW(L"WIDE_TEXT_TEST", base.c_str());
    EXPECT_EQ(ansiPathOf(L"\\\u65e5\u672c\\x.jar", &base).path, shortName + "\\x.jar");
    EXPECT_EQ(ansiPathOf(L"%WIDE_TEXT_TEST%\\\u65e5\u672c", &base).path, "%WIDE_TEXT_TEST%" + shortName);
    SetEnvironmentVariableW(L"WIDE_TEXT_TEST", nullptr);

    // Nothing exists to give a short name: no path.
    EXPECT_FALSE(ansiPathOf(folder + L"\\\u0141.log").ok);
    RemoveDirectoryW(folder.c_str());
}

TEST(LaunchPaths, TheExecutablesPathAndItsSettingsFile) {
    LaunchPaths paths = launchPathsOf(L"C:\\Caf\u00e9\\Tool.exe");
    EXPECT_FALSE(paths.failure);
    EXPECT_EQ(paths.executable, "C:\\Caf\xE9\\Tool.exe");
    EXPECT_EQ(paths.settingsFile, "C:\\Caf\xE9\\Tool.ini");
    // Too long for the ANSI calls (a path of MAX_PATH characters has no room
    // for its end), or no spelling and no short name: stopped, with the reason.
    std::wstring tooLong = L"C:\\" + std::wstring(MAX_PATH - 7, L'x') + L".exe";
    ASSERT_EQ(tooLong.size(), static_cast<std::size_t>(MAX_PATH));
    paths = launchPathsOf(tooLong);
    ASSERT_TRUE(paths.failure);
    EXPECT_EQ(paths.failure->number, ERROR_FILENAME_EXCED_RANGE);
    paths = launchPathsOf(L"C:\\missing-\u0141\\Tool.exe");
    ASSERT_TRUE(paths.failure);
    EXPECT_EQ(paths.failure->message, msg::PathWithoutAnsiName);
}

TEST(WideText, ArgumentsKeepEveryCharacterThroughUtf8) {
    Argument ansi = argumentOf(std::wstring(L"Caf\u00e9"));
    EXPECT_EQ(ansi.text, "Caf\xE9");
    EXPECT_TRUE(ansi.wide.empty());
    Argument japanese = argumentOf(std::wstring(L"\u65e5\u672c \U0001F600"));
    EXPECT_EQ(japanese.wide, L"\u65e5\u672c \U0001F600");
    for (const Argument& argument : {ansi, japanese}) {
        Argument back = argumentOfUtf8(utf8Of(argument));
        EXPECT_EQ(back.text, argument.text);
        EXPECT_EQ(back.wide, argument.wide);
    }
}

TEST(SettingsText, EncodingOfTheFile) {
    using enum SettingsEncoding;
    const std::pair<std::string, SettingsEncoding> cases[] = {
        {"[Java Runtime Environment]\r\nMain Class=Caf\xE9\r\n", Ansi},
        {"", Ansi},
        {std::string("\xFF\xFE[\0", 4), Utf16},
        {std::string("[\0J\0", 4), Utf16NoBom},
        {"\xEF\xBB\xBF[Java Runtime Environment]", Utf8Bom},
        {"Main Class=Caf\xC3\xA9", Utf8},
        {"Main Class=\xC3(", Ansi},  // a lead byte without its continuation
    };
    for (const auto& [bytes, encoding] : cases) EXPECT_EQ(settingsEncodingOf(bytes), encoding) << bytes;
}

}  // namespace
