#include "settings/SettingsFile.h"

#include <gtest/gtest.h>

#include "TempFolder.h"

namespace {

using Items = std::vector<std::string>;

TEST(SettingsFile, FileSectionThenPlusSection) {
    TempFolder temp;
    std::string ini = temp.write("app.ini",
                                 "[Main]\r\n"
                                 "Both=file\r\n"
                                 "Empty=\r\n"
                                 "[Main+]\r\n"
                                 "Both=never read\r\n"
                                 "Empty=from plus\r\n"
                                 "PlusOnly=W\r\n"
                                 "Blank= W\r\n");
    std::string base =
        "[Main]\r\n"
        "Both=base\r\n"
        "PlusOnly=V\r\n"
        "Blank=V\r\n";
    SettingsFile file(ini, base);
    // The file section wins and the plus section is not read.
    EXPECT_EQ(file.lookup("Main", "Both"), "file");
    // An empty file value counts as absent: the plus section is consulted.
    EXPECT_EQ(file.lookup("Main", "Empty"), " from plus");
    // Base value, one blank, plus value; no second blank before a blank.
    EXPECT_EQ(file.lookup("Main", "PlusOnly"), "V W");
    // GetPrivateProfileString trims the value, so a leading blank survives only
    // in quotes; the join rule itself is checked below.
    EXPECT_EQ(joinPlusValue("V", " W"), "V W");
    EXPECT_EQ(joinPlusValue("", "W"), " W");
    EXPECT_EQ(joinPlusValue("V", ""), "V");
    EXPECT_EQ(file.lookup("Main", "Missing"), "");
    EXPECT_EQ(file.lookup("Other", "Both"), "");
    // Section and key names of the file are matched in any case.
    EXPECT_EQ(file.lookup("MAIN", "both"), "file");
}

TEST(SettingsFile, OnlyPlusSectionGivesLeadingBlank) {
    TempFolder temp;
    std::string ini = temp.write("app.ini", "[Java Runtime Environment+]\r\nJVM Type=server\r\n");
    EXPECT_EQ(SettingsFile(ini, "").lookup("Java Runtime Environment", "JVM Type"), " server");
}

TEST(SettingsFile, MissingFileGivesEmptyValues) {
    EXPECT_EQ(SettingsFile("C:\\no\\such\\file.ini", "").lookup("A", "B"), "");
}

TEST(SettingsFile, ValuesLongerThanTheFirstBuffer) {
    TempFolder temp;
    std::string value(300, 'x');
    std::string longer(5000, 'y');
    std::string ini = temp.write("app.ini", "[S]\r\nK=" + value + "\r\nL=" + longer + "\r\n");
    EXPECT_EQ(readValue(ini, "S", "K"), value);
    EXPECT_EQ(readValue(ini, "S", "L"), longer);
    EXPECT_EQ(readValue(ini, "S", "Nope"), "");
}

TEST(SettingsFile, HugeValuesAreReadWholeUpToTheLimitAndCutThere) {
    TempFolder temp;
    std::string large(1 << 20, 'z');
    std::string huge(kLongestValue + 1000, 'h');
    std::string ini =
        temp.write("app.ini", "[S]\r\nLarge=" + large + "\r\nHuge=" + huge + "\r\nAfter=1\r\n");
    EXPECT_EQ(readValue(ini, "S", "Large"), large);
    EXPECT_EQ(readValue(ini, "S", "Huge"), huge.substr(0, kLongestValue - 1));
    EXPECT_EQ(readValue(ini, "S", "After"), "1");
}

TEST(BaseText, ParsingRules) {
    auto base = parseBaseText(
        "ignored=before any section\r\n"
        "  [ Spaced Name ]  \r\n"
        "a = 1 \r\n"
        "\r\n"
        "[Dup]\r\n"
        "k=first\r\n"
        "k=second\r\n"
        "two=x=y\r\n"
        ";comment=not a comment\r\n"
        "no equals sign\r\n"
        "[Dup]\r\n"
        "only=in second\r\n"
        "[Lone]\nkey=value\r\n");
    ASSERT_EQ(base.size(), 3u);
    EXPECT_EQ(base[0].name, " Spaced Name ");
    ASSERT_NE(findBaseValue(base, " Spaced Name ", "a"), nullptr);
    EXPECT_EQ(*findBaseValue(base, " Spaced Name ", "a"), "1");
    EXPECT_EQ(*findBaseValue(base, "Dup", "k"), "first");
    EXPECT_EQ(*findBaseValue(base, "Dup", "two"), "x=y");
    EXPECT_EQ(*findBaseValue(base, "Dup", ";comment"), "not a comment");
    // Keys under a second header of the same name are never found.
    EXPECT_EQ(findBaseValue(base, "Dup", "only"), nullptr);
    // Base names are matched exactly.
    EXPECT_EQ(findBaseValue(base, "dup", "k"), nullptr);
    // A lone line feed does not end a line: "[Lone]\nkey=value" is no header
    // (its last byte is not "]") but an entry of the second [Dup].
    EXPECT_EQ(findBaseValue(base, "Lone", "key"), nullptr);
    EXPECT_EQ(base[2].name, "Dup");
    ASSERT_EQ(base[2].entries.size(), 2u);
    EXPECT_EQ(base[2].entries[1].key, "[Lone]\nkey");
    EXPECT_EQ(base[2].entries[1].value, "value");
}

TEST(BaseText, BaseValueWithoutFileValue) {
    TempFolder temp;
    std::string ini = temp.write("app.ini", "[Other]\r\nx=1\r\n");
    SettingsFile file(ini, "[Main]\r\nKey=base value\r\n");
    EXPECT_EQ(file.lookup("Main", "Key"), "base value");
}

TEST(SplitList, SeparatorRules) {
    EXPECT_EQ(splitList(""), Items{});
    EXPECT_EQ(splitList("1.6;1.5;"), (Items{"1.6", "1.5"}));
    EXPECT_EQ(splitList("1.6;;1.5"), (Items{"1.6", "", "1.5"}));
    EXPECT_EQ(splitList(";"), (Items{""}));
    EXPECT_EQ(splitList("a"), (Items{"a"}));
}

}  // namespace
