#include "settings/SettingsPaths.h"

#include <gtest/gtest.h>

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

TEST(SettingsPaths, FolderOf) {
    EXPECT_EQ(folderOf("C:\\Apps\\Tool.exe"), "C:\\Apps\\");
    EXPECT_EQ(folderOf("Tool.exe"), "");
}

TEST(SettingsPaths, UserSettingsFoldersAreCreatedOnRequest) {
    char previous[MAX_PATH] = "";
    DWORD had = GetEnvironmentVariableA("APPDATA", previous, MAX_PATH);
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string appData = std::string(temp) + "launcher-appdata-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(appData.c_str(), nullptr);
    SetEnvironmentVariableA("APPDATA", appData.c_str());

    std::string path = userSettingsFilePath("Prod:uct", "CODE", false, nullptr);
    EXPECT_EQ(path.rfind(appData + "\\Product\\CODE\\", 0), 0u) << path;
    EXPECT_FALSE(fileExists(appData + "\\Product"));
    userSettingsFilePath("Prod:uct", "CODE", true, nullptr);
    EXPECT_TRUE(fileExists(appData + "\\Product\\CODE"));

    SetEnvironmentVariableA("APPDATA", nullptr);
    EXPECT_EQ(userSettingsFilePath("P", "C", false, nullptr).rfind("\\P\\C\\", 0), 0u);

    RemoveDirectoryA((appData + "\\Product\\CODE").c_str());
    RemoveDirectoryA((appData + "\\Product").c_str());
    RemoveDirectoryA(appData.c_str());
    SetEnvironmentVariableA("APPDATA", had ? previous : nullptr);
}

TEST(SettingsPaths, ModulePathIsTheRunningExecutable) {
    std::string path;
    ASSERT_TRUE(modulePath(path, nullptr));
    EXPECT_NE(path.find("unit_tests.exe"), std::string::npos);
    EXPECT_TRUE(isNtPlatform());
}

}  // namespace
