// The settings record of a launch, read from a settings file beside an
// executable in a temporary folder (the executable need not exist).
#include <gtest/gtest.h>

#include <optional>

#include "TempFolder.h"
#include "base/WideText.h"
#include "settings/LauncherSettings.h"
#include "settings/SettingsPaths.h"

namespace {

class ReadSettings : public ::testing::Test {
protected:
    void SetUp() override {
        char previous[MAX_PATH];
        hadAppData_ = GetEnvironmentVariableA("APPDATA", previous, MAX_PATH) > 0;
        if (hadAppData_) appData_ = previous;
        SetEnvironmentVariableA("APPDATA", appDataFolder_.path().c_str());
    }
    void TearDown() override { SetEnvironmentVariableA("APPDATA", hadAppData_ ? appData_.c_str() : nullptr); }

    struct Read {
        LauncherSettings settings;
        std::optional<Failure> failure;
    };
    Read read(const std::string& text) {
        temp_.write("app.ini", text);
        Read r;
        r.failure = readSettings(exe(), temp_.file("app.ini"), r.settings);
        return r;
    }
    std::string exe() const { return temp_.file("app.exe"); }

    TempFolder temp_;
    TempFolder appDataFolder_;
    bool hadAppData_ = false;
    std::string appData_;
};

TEST_F(ReadSettings, EveryKeyOfTheRecord) {
    Read r = read(
        "[Product Information]\r\nProduct Code=CODE\r\nProduct Name=My: App\r\n"
        "[Java Runtime Environment]\r\n"
        "Minimum Version=any\r\nMaximum Version=1.6\r\n"
        "Preferred versions=1.6;;1.5;\r\n"
        "JRE Path=C:\\jre\r\n"
        "JVM Source=favor_JDK\r\nVM Provider=FAVOR_IBM\r\n"
        "Main Class=com.example.App\r\n"
        "System Path=%VT_JVM_HOME%\\x\r\nLibrary Path=lib\r\n"
        "Virtual Machine Parameters=-Xmx1m\r\nClass Data Sharing=YES\r\n"
        "[Java Runtime Environment+]\r\nJVM Type=server\r\n"
        "[Application]\r\nFailure Check=YES\r\nOverride WorkingDir=yes\r\nSingle Instance=yes\r\n"
        "Embedded Jar=yes\r\nOutput File=o.txt\r\nError File=e.txt\r\nCmd=-a\r\n"
        "[Class Path]\r\nClass Path=\\lib\\*.jar\r\n"
        "[Display]\r\nSplash Screen=s.bmp\r\nSplash Screen Shadow=true\r\nPreffer Native Splash Screen=Yes\r\n"
        "[Display+]\r\nSplash Screen=never.bmp\r\n");
    ASSERT_FALSE(r.failure);
    const LauncherSettings& s = r.settings;
    EXPECT_EQ(s.file, temp_.file("app.ini"));
    EXPECT_EQ(s.productCode, "CODE");
    EXPECT_EQ(s.productName, "My: App");
    EXPECT_EQ(toText(s.minVersion), "0.0.0.0");
    EXPECT_EQ(s.minVersion.count, 4);
    EXPECT_EQ(toText(s.maxVersion), "1.6");
    EXPECT_EQ(s.preferredVersions, (std::vector<std::string>{"1.6", "", "1.5"}));
    EXPECT_EQ(s.jrePath, "C:\\jre");  // no per-user file yet
    // Given only in the plus section, the value carries a leading blank.
    EXPECT_EQ(s.jvmType, JvmType::Default);
    EXPECT_TRUE(!s.jrePreferred && s.jdkPreferred && s.bothKindsAllowed);
    EXPECT_TRUE(s.ibmPreferred && s.ibmAllowed && s.sunAllowed && !s.sunPreferred);
    EXPECT_EQ(s.mainClass, "com/example/App");
    EXPECT_TRUE(s.failureCheck && s.overrideWorkingDir && s.singleInstance && s.embeddedJar && s.classDataSharing);
    EXPECT_EQ(s.systemPath, "%VT_JVM_HOME%\\x");
    EXPECT_EQ(s.libraryPath, "lib");
    EXPECT_EQ(s.classPath, "\\lib\\*.jar");
    EXPECT_EQ(s.vmParameters + s.outputFile + s.errorFile + s.cmd, "-Xmx1mo.txte.txt-a");
    // "Display" is read from its own section alone.
    EXPECT_EQ(s.splashScreen + "|" + s.splashScreenShadow + "|" + s.preferNativeSplash, "s.bmp|true|Yes");
    EXPECT_FALSE(s.isService);
    EXPECT_EQ(s.userFile, appDataFolder_.path() + "\\My App\\CODE\\app.ini");
    // Each key is read once.
    std::vector<SettingRead> reads;
    LauncherSettings again;
    readSettings(exe(), temp_.file("app.ini"), again, reads);
    EXPECT_EQ(reads.size(), 27u);
}

TEST_F(ReadSettings, DefaultsOfAnAlmostEmptyFileAndAMissingMainClass) {
    Read r = read("[Java Runtime Environment]\r\nMain Class=Main\r\n");
    ASSERT_FALSE(r.failure);
    const LauncherSettings& s = r.settings;
    EXPECT_EQ(s.jvmType, JvmType::Default);
    EXPECT_TRUE(isUnbounded(s.minVersion) && isUnbounded(s.maxVersion));
    EXPECT_EQ(s.minVersion.count, 0);
    EXPECT_TRUE(s.bothKindsAllowed && s.jrePreferred && s.jdkPreferred);
    EXPECT_TRUE(s.sunAllowed && s.sunPreferred && !s.ibmAllowed && !s.jrockitAllowed);
    EXPECT_TRUE(s.preferredVersions.empty());
    EXPECT_FALSE(s.failureCheck || s.overrideWorkingDir || s.singleInstance || s.embeddedJar || s.classDataSharing);

    r = read("[Application]\r\nSingle Instance=yes\r\n");
    ASSERT_TRUE(r.failure);
    EXPECT_EQ(r.failure->message, msg::MainClassMissing);
    // "Yes" is not "yes", and a service is never single-instance.
    EXPECT_FALSE(read("[Application]\r\nSingle Instance=Yes\r\n").settings.singleInstance);
    EXPECT_FALSE(read("[Application]\r\nSingle Instance=yes\r\nApplication Type=service\r\n")
                     .settings.singleInstance);
}

TEST_F(ReadSettings, Java9OrLaterAndTheDownloadPage) {
    struct Case {
        const char* settings;
        ModernJava rule;
        bool openJdk;
    };
    const Case cases[] = {
        {"Minimum Version=1.8\r\n", ModernJava::NotAsked, false},
        {"Minimum Version=any\r\n", ModernJava::NotAsked, false},
        {"Minimum Version=9\r\nVM Provider=jrockit\r\n", ModernJava::MinimumVersion, true},
        {"Minimum Version=11.0.2\r\n", ModernJava::MinimumVersion, true},
        {"Minimum Version=1.6\r\nVM Provider=OpenJDK\r\n", ModernJava::VmProvider, true},
    };
    for (const Case& c : cases) {
        LauncherSettings s = read(std::string("[Java Runtime Environment]\r\nMain Class=M\r\n") + c.settings).settings;
        EXPECT_EQ(s.modernJava, c.rule) << c.settings;
        EXPECT_EQ(s.openJdkAllowed, c.openJdk) << c.settings;
    }
    // "openjdk" allows Oracle's and the OpenJDK builds, prefers none.
    LauncherSettings s = read("[Java Runtime Environment]\r\nVM Provider=openjdk\r\n").settings;
    EXPECT_TRUE(s.sunAllowed && !s.sunPreferred && !s.ibmAllowed && !s.jrockitAllowed && !s.ibmRuntimePossible());

    EXPECT_EQ(downloadPageFrom("https://adoptium.net/"), "https://adoptium.net/");
    EXPECT_EQ(downloadPageFrom("HTTP://example.com/java"), "HTTP://example.com/java");
    for (const char* refused : {"", "https://", "ftp://example.com/", "javascript:alert(1)", "www.java.com",
                                "C:\\setup.exe", " https://x.org/"})
        EXPECT_EQ(downloadPageFrom(refused), "") << refused;
}

TEST_F(ReadSettings, RememberedRuntimeFromThePerUserFile) {
    std::string text =
        "[Product Information]\r\nProduct Code=C1\r\nProduct Name=P1\r\n"
        "[Java Runtime Environment]\r\nMain Class=Main\r\nJRE Path=C:\\from settings\r\n";
    LauncherSettings s = read(text).settings;
    EXPECT_EQ(s.jrePath, "C:\\from settings");
    EXPECT_FALSE(s.userFileTest.exists);

    saveJrePath(exe(), s, "D:\\chosen\\");
    std::string userFile = appDataFolder_.path() + "\\P1\\C1\\app.ini";
    s = read(text).settings;
    EXPECT_EQ(s.jrePath, "D:\\chosen\\");
    EXPECT_EQ(s.userFileTest.path, userFile);

    // An existing per-user file without the key hides the settings file's.
    WritePrivateProfileStringA("Java Runtime Environment", "JRE Path", nullptr, userFile.c_str());
    EXPECT_EQ(read(text).settings.jrePath, "");
}

TEST_F(ReadSettings, ServicesRememberInTheSettingsFile) {
    LauncherSettings s =
        read("[Application]\r\nApplication Type=service\r\n[Java Runtime Environment]\r\nMain Class=Main\r\n")
            .settings;
    EXPECT_TRUE(s.isService);
    EXPECT_FALSE(s.userFileInUse);
    saveJrePath(exe(), s, "E:\\rt\\");
    EXPECT_EQ(readValue(temp_.file("app.ini"), "Java Runtime Environment", "JRE Path"), "E:\\rt\\");
}

}  // namespace

// A UTF-16 file's paths that code page 1252 cannot spell: short names for
// those components, the rest as written, a "+" section's blank kept.
TEST_F(ReadSettings, PathsOfAUtf16File) {
    std::wstring folder = toWide(temp_.path()) + L"\\\u65e5\u672c";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    wchar_t shortPath[MAX_PATH];
    ASSERT_GT(GetShortPathNameW(folder.c_str(), shortPath, MAX_PATH), 0u);
    std::string whole = toUtf8(shortPath);
    std::string shortName = whole.substr(whole.rfind('\\'));

    std::wstring text = L"\xFEFF[Java Runtime Environment]\r\nMain Class=Main\r\nJRE Path=" + folder +
                        L"\r\nLibrary Path=C:\\Caf\u00e9\r\n[Class Path+]\r\nClass Path=\\\u65e5\u672c\\a.jar;\\b.jar\r\n";
    std::string bytes;
    for (wchar_t c : text) bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    PathFallbacks notes;
    Read r;
    temp_.write("app.ini", bytes);
    r.failure = readSettings(exe(), temp_.file("app.ini"), r.settings, &notes);
    EXPECT_FALSE(r.failure);
    EXPECT_EQ(r.settings.jrePath, temp_.path() + shortName);
    EXPECT_EQ(r.settings.libraryPath, "C:\\Caf\xE9");
    EXPECT_EQ(r.settings.classPath, " " + shortName + "\\a.jar;\\b.jar");
    EXPECT_EQ(notes.size(), 2u);

    // One that has no short name stops the read with message 232.
    text += L"[Application]\r\nOutput File=\u0141.log\r\n";
    bytes = "";
    for (wchar_t c : text) bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    temp_.write("app.ini", bytes);
    r.failure = readSettings(exe(), temp_.file("app.ini"), r.settings);
    ASSERT_TRUE(r.failure);
    EXPECT_EQ(r.failure->message, msg::PathWithoutAnsiName);
    RemoveDirectoryW(folder.c_str());
}
