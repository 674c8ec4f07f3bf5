#include "settings/SettingsFile.h"

#include <gtest/gtest.h>

#include "TempFolder.h"
#include "settings/LaunchRecord.h"
#include "settings/PlatformProfile.h"

namespace {

using Items = std::vector<std::string>;

// Where a value came from and the stage that read it, as numbers.
std::string sourceCode(const SettingRead& read) {
    return std::to_string(static_cast<int>(read.source)) + "/" + std::to_string(static_cast<int>(read.stage));
}

TEST(SettingsFile, FileSectionThenPlusSectionAndWhereEachValueCameFrom) {
    TempFolder temp;
    std::string ini = temp.write("app.ini",
                                 "[Main]\r\n"
                                 "Both=file\r\n"
                                 "Empty=\r\n"
                                 "[Main+]\r\n"
                                 "Both=never read\r\n"
                                 "Empty=from plus\r\n");
    std::string other = temp.write("user.ini", "[Main]\r\nBoth=user\r\n");
    LaunchRecord trace;
    SettingsFile file(ini, &trace);
    const LaunchStage stage = LaunchStage::Application;
    // The file section wins and the plus section is not read.
    EXPECT_EQ(file.lookup(stage, "Main", "Both"), "file");
    // An empty file value counts as absent: the plus section's value comes
    // with one blank in front.
    EXPECT_EQ(file.lookup(stage, "Main", "Empty"), " from plus");
    EXPECT_EQ(file.lookup(stage, "Main", "Missing"), "");
    // Section and key names of the file are matched in any case.
    EXPECT_EQ(file.lookup(stage, "MAIN", "both"), "file");
    // Plain reads take the section alone.
    EXPECT_EQ(file.read(LaunchStage::Splash, "Main", "Empty"), "");
    EXPECT_EQ(file.readUserFile(stage, other, "Main", "Both"), "user");

    std::string sources;
    for (const SettingRead& read : trace.settings)
        sources += std::string(read.key) + "=" + read.value + ":" + sourceCode(read) + " ";
    EXPECT_EQ(sources, "Both=file:2/2 Empty= from plus:1/2 Missing=:0/2 both=file:2/2 Empty=:3/5 Both=user:4/2 ");
    EXPECT_TRUE(trace.settingsFileRead);
}

TEST(SettingsFile, ValuesLongerThanTheFirstBuffer) {
    TempFolder temp;
    std::string value(300, 'x');
    std::string longer(5000, 'y');
    std::string ini = temp.write("app.ini", "[S]\r\nK=" + value + "\r\nL=" + longer + "\r\n");
    EXPECT_EQ(readValue(ini, "S", "K"), value);
    EXPECT_EQ(readValue(ini, "S", "L"), longer);
    EXPECT_EQ(readValue(ini, "S", "Nope"), "");
    EXPECT_EQ(readValue("C:\\no\\such\\file.ini", "S", "K"), "");
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

TEST(SettingsText, SeparatorAndJoinRules) {
    EXPECT_EQ(splitList(""), Items{});
    EXPECT_EQ(splitList("1.6;1.5;"), (Items{"1.6", "1.5"}));
    EXPECT_EQ(splitList("1.6;;1.5"), (Items{"1.6", "", "1.5"}));
    EXPECT_EQ(splitList(";"), (Items{""}));
    // GetPrivateProfileString trims values, so the join's blank rule is
    // checked here.
    EXPECT_EQ(joinPlusValue("V", " W"), "V W");
    EXPECT_EQ(joinPlusValue("", "W"), " W");
    EXPECT_EQ(joinPlusValue("V", ""), "V");
}

}  // namespace
