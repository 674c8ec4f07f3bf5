// The settings record of a launch, read from a settings file beside an
// executable in a temporary folder (the executable need not exist).
#include <gtest/gtest.h>

#include <optional>

#include "TempFolder.h"
#include "base/WideText.h"
#include "settings/LaunchRecord.h"
#include "settings/LauncherSettings.h"
#include "settings/PlatformProfile.h"
#include "settings/SettingsFile.h"
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
    EXPECT_EQ(s.product.code, "CODE");
    EXPECT_EQ(s.product.name, "My: App");
    EXPECT_EQ(toText(s.discovery.minVersion), "0.0.0.0");
    EXPECT_EQ(s.discovery.minVersion.count, 4);
    EXPECT_EQ(toText(s.discovery.maxVersion), "1.6");
    EXPECT_EQ(s.discovery.preferredVersions, (std::vector<std::string>{"1.6", "", "1.5"}));
    EXPECT_EQ(s.discovery.jrePath, "C:\\jre");  // no per-user file yet
    // Given only in the plus section, the value carries a leading blank.
    EXPECT_EQ(s.discovery.jvmType, JvmType::Default);
    EXPECT_TRUE(!s.discovery.jrePreferred && s.discovery.jdkPreferred && s.discovery.bothKindsAllowed);
    EXPECT_TRUE(s.discovery.ibmPreferred && s.discovery.ibmAllowed && s.discovery.sunAllowed && !s.discovery.sunPreferred);
    EXPECT_EQ(s.application.mainClass, "com/example/App");
    EXPECT_TRUE(s.application.failureCheck && s.application.overrideWorkingDir && s.singleInstance && s.vm.embeddedJar && s.classDataSharing);
    EXPECT_EQ(s.environment.systemPath, "%VT_JVM_HOME%\\x");
    EXPECT_EQ(s.environment.libraryPath, "lib");
    EXPECT_EQ(s.vm.classPath, "\\lib\\*.jar");
    EXPECT_EQ(s.vm.vmParameters + s.vm.outputFile + s.vm.errorFile + s.vm.cmd, "-Xmx1mo.txte.txt-a");
    // "Display" is read from its own section alone.
    EXPECT_EQ(s.display.splashScreen + "|" + s.display.splashScreenShadow + "|" + s.display.preferNativeSplash, "s.bmp|true|Yes");
    EXPECT_FALSE(s.application.isService);
    EXPECT_EQ(s.userFile.path, appDataFolder_.path() + "\\My App\\CODE\\app.ini");
    // Each key is read once.
    LaunchRecord trace;
    LauncherSettings again;
    readSettings(exe(), temp_.file("app.ini"), again, &trace);
    EXPECT_EQ(trace.settings.size(), 27u);
    // Each read names the step that takes it.
    std::string stages;
    for (const SettingRead& read : trace.settings) stages += std::to_string(static_cast<int>(read.stage));
    EXPECT_EQ(stages, "003303333322244315556666667");
}

TEST_F(ReadSettings, DefaultsOfAnAlmostEmptyFileAndAMissingMainClass) {
    Read r = read("[Java Runtime Environment]\r\nMain Class=Main\r\n");
    ASSERT_FALSE(r.failure);
    const LauncherSettings& s = r.settings;
    EXPECT_EQ(s.discovery.jvmType, JvmType::Default);
    EXPECT_TRUE(isUnbounded(s.discovery.minVersion) && isUnbounded(s.discovery.maxVersion));
    EXPECT_EQ(s.discovery.minVersion.count, 0);
    EXPECT_TRUE(s.discovery.bothKindsAllowed && s.discovery.jrePreferred && s.discovery.jdkPreferred);
    EXPECT_TRUE(s.discovery.sunAllowed && s.discovery.sunPreferred && !s.discovery.ibmAllowed && !s.discovery.jrockitAllowed);
    EXPECT_TRUE(s.discovery.preferredVersions.empty());
    EXPECT_FALSE(s.application.failureCheck || s.application.overrideWorkingDir || s.singleInstance || s.vm.embeddedJar || s.classDataSharing);

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
        EXPECT_EQ(s.discovery.modernJava, c.rule) << c.settings;
        EXPECT_EQ(s.discovery.openJdkAllowed, c.openJdk) << c.settings;
    }
    // "openjdk" allows Oracle's and the OpenJDK builds, prefers none.
    LauncherSettings s = read("[Java Runtime Environment]\r\nVM Provider=openjdk\r\n").settings;
    EXPECT_TRUE(s.discovery.sunAllowed && !s.discovery.sunPreferred && !s.discovery.ibmAllowed && !s.discovery.jrockitAllowed && !s.discovery.ibmRuntimePossible());

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
    EXPECT_EQ(s.discovery.jrePath, "C:\\from settings");
    std::string userFile = appDataFolder_.path() + "\\P1\\C1\\app.ini";
    EXPECT_EQ(jrePathFile(s), userFile);

    saveJrePath(s, "D:\\chosen\\");
    s = read(text).settings;
    EXPECT_EQ(s.discovery.jrePath, "D:\\chosen\\");

    // An existing per-user file without the key hides the settings file's.
    WritePrivateProfileStringA("Java Runtime Environment", "JRE Path", nullptr, userFile.c_str());
    EXPECT_EQ(read(text).settings.discovery.jrePath, "");
}

TEST_F(ReadSettings, ServicesRememberInTheSettingsFile) {
    LauncherSettings s =
        read("[Application]\r\nApplication Type=service\r\n[Java Runtime Environment]\r\nMain Class=Main\r\n")
            .settings;
    EXPECT_TRUE(s.application.isService);
    EXPECT_FALSE(s.userFile.inUse);
    saveJrePath(s, "E:\\rt\\");
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
    LaunchRecord trace;
    Read r;
    temp_.write("app.ini", bytes);
    r.failure = readSettings(exe(), temp_.file("app.ini"), r.settings, &trace);
    EXPECT_FALSE(r.failure);
    EXPECT_EQ(r.settings.discovery.jrePath, temp_.path() + shortName);
    EXPECT_EQ(r.settings.environment.libraryPath, "C:\\Caf\xE9");
    EXPECT_EQ(r.settings.vm.classPath, " " + shortName + "\\a.jar;\\b.jar");
    EXPECT_EQ(trace.shortNames.size(), 2u);

    // Paths that do not exist have no short name: a runtime folder or a
    // "System Path" folder is left out, an output file kept in UTF-16 (it is
    // made), and a class path entry stops the read with message 232.
    auto utf16 = [](const std::wstring& t) {
        std::string b;
        for (wchar_t c : t) b += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
        return b;
    };
    temp_.write("app.ini", utf16(L"\xFEFF[Java Runtime Environment]\r\nMain Class=Main\r\nJRE Path=C:\\gone\\\u0141"
                                 L"\r\nSystem Path=C:\\x;C:\\gone\\\u0141;C:\\y\r\n[Application]\r\nOutput File=\u0141.log\r\n"));
    r = Read();
    r.failure = readSettings(exe(), temp_.file("app.ini"), r.settings);
    EXPECT_FALSE(r.failure);
    EXPECT_EQ(r.settings.discovery.jrePath, "");
    EXPECT_EQ(r.settings.environment.systemPath, "C:\\x;C:\\y");
    EXPECT_EQ(r.settings.vm.outputFileWide, L"\u0141.log");
    temp_.write("app.ini", utf16(L"\xFEFF[Java Runtime Environment]\r\nMain Class=Main\r\n[Class Path]\r\n"
                                 L"Class Path=\\\u0141.jar\r\n"));
    r.failure = readSettings(exe(), temp_.file("app.ini"), r.settings);
    ASSERT_TRUE(r.failure);
    EXPECT_EQ(r.failure->message, msg::PathWithoutAnsiName);
    RemoveDirectoryW(folder.c_str());
}
