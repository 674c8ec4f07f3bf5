#include "settings/SettingsPaths.h"

#include <gtest/gtest.h>

#include "TempFolder.h"
#include "base/FileProbe.h"
#include "base/PathText.h"

namespace {

TEST(SettingsPaths, SettingsFileBesideTheExecutable) {
    EXPECT_EQ(settingsPathFor("C:\\Apps\\Tool.exe"), "C:\\Apps\\Tool.ini");
    // Without an extension the last "." of the whole path is used.
    EXPECT_EQ(settingsPathFor("C:\\My.Apps\\Tool"), "C:\\My.ini");
    EXPECT_EQ(settingsPathFor("C:\\Apps\\Tool"), "");
    EXPECT_EQ(settingsPathFor("C:\\Apps\\Tool.v2.exe"), "C:\\Apps\\Tool.v2.ini");
}

TEST(SettingsPaths, PerUserSettingsFile) {
    // Nine characters are dropped from the product name, not replaced.
    EXPECT_EQ(userFolderName("A/B: C?"), "AB C");
    EXPECT_EQ(userFolderName("\\?\"|><:/*"), "");
    EXPECT_EQ(userSettingsPathFor("C:\\Apps\\Tool.exe", "C:\\Users\\u\\AppData", "My App", "{1-2}"),
              "C:\\Users\\u\\AppData\\My App\\{1-2}\\Tool.ini");
    // APPDATA missing: the path starts with a backslash (root of the drive).
    EXPECT_EQ(userSettingsPathFor("C:\\Apps\\Tool.exe", "", "P", "C"), "\\P\\C\\Tool.ini");
    // The name is cut at its last "."; without one it is kept whole.
    EXPECT_EQ(userSettingsPathFor("C:\\A.b\\Tool", "X", "P", "C"), "X\\P\\C\\Tool.ini");
    EXPECT_EQ(userSettingsPathFor("Tool.x.exe", "X", "P", "C"), "X\\P\\C\\Tool.x.ini");
}

TEST(SettingsPaths, FolderText) {
    EXPECT_EQ(folderOf("C:\\Apps\\Tool.exe"), "C:\\Apps\\");
    EXPECT_EQ(folderOf("Tool.exe"), "");
    EXPECT_EQ(withTrailingBackslash("C:\\jre"), "C:\\jre\\");
    EXPECT_EQ(withTrailingBackslash("C:\\"), "C:\\");
    EXPECT_EQ(withTrailingBackslash(""), "");
    EXPECT_EQ(stripPathComponents("C:\\Java\\jre6\\bin\\client\\jvm.dll", 3), "C:\\Java\\jre6");
    EXPECT_EQ(stripPathComponents("jvm.dll", 2), "jvm.dll");
    EXPECT_EQ(stripPathComponents("a\\b", 3), "a");
}

TEST(SettingsPaths, UserSettingsFileAndItsFolders) {
    char previous[MAX_PATH] = "";
    DWORD had = GetEnvironmentVariableA("APPDATA", previous, MAX_PATH);
    TempFolder appData;
    SetEnvironmentVariableA("APPDATA", appData.path().c_str());

    std::string path = userSettingsFilePath("C:\\A\\app.exe", "Prod:uct", "CODE");
    EXPECT_EQ(path, appData.path() + "\\Product\\CODE\\app.ini");
    EXPECT_FALSE(probeFile(appData.path() + "\\Product").exists);
    createParentFolders(path, 2);
    EXPECT_TRUE(probeFile(appData.path() + "\\Product\\CODE").exists);

    SetEnvironmentVariableA("APPDATA", nullptr);
    EXPECT_EQ(userSettingsFilePath("C:\\A\\app.exe", "P", "C"), "\\P\\C\\app.ini");
    SetEnvironmentVariableA("APPDATA", had ? previous : nullptr);
    EXPECT_TRUE(isNtPlatform());
}

}  // namespace
