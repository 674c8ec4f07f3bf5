// readSettings reads the settings file of the running executable, so these
// tests write unit_tests.ini beside the test executable.
#include <gtest/gtest.h>

#include "TempFolder.h"
#include "settings/LauncherSettings.h"
#include "settings/SettingsPaths.h"

namespace {

class ReadSettings : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(settingsFilePath(ini_, nullptr));
        char previous[MAX_PATH];
        hadAppData_ = GetEnvironmentVariableA("APPDATA", previous, MAX_PATH) > 0;
        if (hadAppData_) appData_ = previous;
        SetEnvironmentVariableA("APPDATA", appDataFolder_.path().c_str());
    }
    void TearDown() override {
        DeleteFileA(ini_.c_str());
        SetEnvironmentVariableA("APPDATA", hadAppData_ ? appData_.c_str() : nullptr);
    }
    void writeIni(const std::string& text) {
        HANDLE h = CreateFileA(ini_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written;
        WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        CloseHandle(h);
    }

    std::string ini_;
    TempFolder appDataFolder_;
    bool hadAppData_ = false;
    std::string appData_;
};

TEST_F(ReadSettings, EveryKeyOfTheRecord) {
    writeIni(
        "[Product Information]\r\nProduct Code=CODE\r\nProduct Name=My: App\r\n"
        "[Java Runtime Environment]\r\n"
        "Minimum Version=any\r\nMaximum Version=1.6\r\n"
        "Preferred versions=1.6;;1.5;\r\n"
        "JRE Path=C:\\jre\r\n"
        "JVM Source=favor_JDK\r\nVM Provider=FAVOR_IBM\r\n"
        "Main Class=com.example.App\r\n"
        "System Path=%VT_JVM_HOME%\\x\r\nLibrary Path=lib\r\n"
        "[Java Runtime Environment+]\r\nJVM Type=server\r\n"
        "[Application]\r\nFailure Check=YES\r\nOverride WorkingDir=yes\r\n");
    LauncherSettings s;
    ASSERT_TRUE(readSettings(s, nullptr));
    EXPECT_EQ(s.productCode, "CODE");
    EXPECT_EQ(s.productName, "My: App");
    EXPECT_EQ(toText(s.minVersion), "0.0.0.0");
    EXPECT_EQ(s.minVersion.count, 4);
    EXPECT_EQ(s.maxVersion.parts[2], 65535);
    EXPECT_EQ(toText(s.maxVersion), "1.6");
    EXPECT_EQ(s.preferredVersions, (std::vector<std::string>{"1.6", "", "1.5"}));
    EXPECT_EQ(s.jrePath, "C:\\jre");  // no per-user file yet
    // Given only in the plus section, the value carries a leading blank.
    EXPECT_EQ(s.jvmType, JvmType::Default);
    EXPECT_FALSE(s.jrePreferred);
    EXPECT_TRUE(s.jdkPreferred && s.bothKindsAllowed);
    EXPECT_TRUE(s.ibmPreferred && s.ibmAllowed && s.sunAllowed && !s.sunPreferred);
    EXPECT_EQ(s.mainClass, "com/example/App");
    EXPECT_TRUE(s.failureCheck);
    EXPECT_TRUE(s.overrideWorkingDir);
    EXPECT_EQ(s.systemPath, "%VT_JVM_HOME%\\x");
    EXPECT_EQ(s.libraryPath, "lib");
    EXPECT_FALSE(s.isService);
}

TEST_F(ReadSettings, DefaultsOfAnAlmostEmptyFile) {
    writeIni("[Java Runtime Environment]\r\nMain Class=Main\r\n");
    LauncherSettings s;
    s.jvmType = JvmType::Server;
    ASSERT_TRUE(readSettings(s, nullptr));
    EXPECT_EQ(s.jvmType, JvmType::Default);
    EXPECT_TRUE(isUnbounded(s.minVersion) && isUnbounded(s.maxVersion));
    EXPECT_EQ(s.minVersion.count, 0);
    EXPECT_TRUE(s.bothKindsAllowed && s.jrePreferred && s.jdkPreferred);
    EXPECT_TRUE(s.sunAllowed && s.sunPreferred && !s.ibmAllowed && !s.jrockitAllowed);
    EXPECT_TRUE(s.preferredVersions.empty());
    EXPECT_FALSE(s.failureCheck || s.overrideWorkingDir);
}

TEST_F(ReadSettings, RememberedRuntimeFromThePerUserFile) {
    writeIni(
        "[Product Information]\r\nProduct Code=C1\r\nProduct Name=P1\r\n"
        "[Java Runtime Environment]\r\nMain Class=Main\r\nJRE Path=C:\\from settings\r\n");
    LauncherSettings s;
    ASSERT_TRUE(readSettings(s, nullptr));
    EXPECT_EQ(s.jrePath, "C:\\from settings");

    saveJrePath(s, "D:\\chosen\\", nullptr);
    std::string userFile = userSettingsFilePath("P1", "C1", false, nullptr);
    EXPECT_EQ(userFile, appDataFolder_.path() + "\\P1\\C1\\unit_tests.ini");
    ASSERT_TRUE(fileExists(userFile));
    ASSERT_TRUE(readSettings(s, nullptr));
    EXPECT_EQ(s.jrePath, "D:\\chosen\\");

    // An existing per-user file without the key hides the settings file's.
    WritePrivateProfileStringA("Java Runtime Environment", "JRE Path", nullptr, userFile.c_str());
    ASSERT_TRUE(readSettings(s, nullptr));
    EXPECT_EQ(s.jrePath, "");
    DeleteFileA(userFile.c_str());
}

TEST_F(ReadSettings, ServicesRememberInTheSettingsFile) {
    writeIni(
        "[Application]\r\nApplication Type=service\r\n"
        "[Java Runtime Environment]\r\nMain Class=Main\r\n");
    LauncherSettings s;
    ASSERT_TRUE(readSettings(s, nullptr));
    EXPECT_TRUE(s.isService);
    saveJrePath(s, "E:\\rt\\", nullptr);
    char value[64] = "";
    GetPrivateProfileStringA("Java Runtime Environment", "JRE Path", "", value, 64, ini_.c_str());
    EXPECT_STREQ(value, "E:\\rt\\");
}

}  // namespace
