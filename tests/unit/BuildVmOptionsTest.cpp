// The VM options and environment of a launch, built from a whole settings
// file. The launcher here is the test executable: its settings file
// (unit_tests.ini) and its folder are those of the test build.
#include <gtest/gtest.h>

#include "TempFolder.h"
#include "jvm/JavaEnvironment.h"
#include "jvm/VmOptions.h"
#include "launcher/Launcher.h"
#include "settings/SettingsPaths.h"

namespace {

class BuildVmOptions : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(modulePath(module_, nullptr));
        folder_ = module_.substr(0, module_.rfind('\\'));
        ASSERT_TRUE(settingsFilePath(ini_, nullptr));
        char path[32768];
        GetEnvironmentVariableA("Path", path, sizeof path);
        path_ = path;
    }
    void TearDown() override {
        DeleteFileA(ini_.c_str());
        for (const char* file : {"cp-test\\a.jar", "cp-test\\b.jar", "cp-single.jar"})
            DeleteFileA((folder_ + "\\" + file).c_str());
        RemoveDirectoryA((folder_ + "\\cp-test").c_str());
        SetEnvironmentVariableA("Path", path_.c_str());
        SetEnvironmentVariableA("VT_JVM_HOME", nullptr);
        SetEnvironmentVariableA("VT_JVM_PATH", nullptr);
    }
    void writeIni(const std::string& text) {
        temp_.write("x.ini", text);
        CopyFileA(temp_.file("x.ini").c_str(), ini_.c_str(), FALSE);
    }
    void besideExecutable(const std::string& relative) {
        std::string path = folder_ + "\\" + relative;
        CreateDirectoryA(path.substr(0, path.rfind('\\')).c_str(), nullptr);
        CloseHandle(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    }
    std::string classPathOption(const std::string& classPathSection) {
        writeIni(classPathSection);
        Launcher launcher;
        EXPECT_TRUE(buildVmOptions(launcher));
        return launcher.vmOptions.empty() ? "" : launcher.vmOptions[0];
    }

    TempFolder temp_;
    std::string module_, folder_, ini_, path_;
};

TEST_F(BuildVmOptions, ClassPathEntries) {
    besideExecutable("cp-test\\a.jar");
    besideExecutable("cp-test\\b.jar");
    besideExecutable("cp-single.jar");
    std::string a = folder_ + "\\cp-test\\a.jar;";
    std::string b = folder_ + "\\cp-test\\b.jar;";

    std::string option = classPathOption("[Class Path]\r\nClass Path=\\cp-test\\*.jar\r\n");
    EXPECT_TRUE(option == "-Djava.class.path=" + a + b || option == "-Djava.class.path=" + b + a)
        << option;

    // A file beside the launcher: present, then absent; a %VAR% entry is
    // relative and dropped; absolute entries without wildcard stay unchecked.
    SetEnvironmentVariableA("CP_TEST_DRIVE", "Q:");
    EXPECT_EQ(classPathOption("[Class Path]\r\nClass Path=\\cp-single.jar;\\gone.jar;"
                              "%CP_TEST_DRIVE%\\x.jar;Q:\\absent.jar;\\\\server\\share\\y.jar\r\n"),
              "-Djava.class.path=" + folder_ + "\\cp-single.jar;Q:\\absent.jar;\\\\server\\share\\y.jar;");
    // An absolute wildcard entry; references inside it are expanded in the option.
    SetEnvironmentVariableA("CP_TEST_FOLDER", folder_.c_str());
    EXPECT_EQ(classPathOption("[Class Path]\r\nClass Path=" + folder_ + "\\cp-test\\a*.jar;"
                              "C:\\%CP_TEST_FOLDER%\r\n"),
              "-Djava.class.path=" + a + "C:\\" + folder_ + ";");
    SetEnvironmentVariableA("CP_TEST_DRIVE", nullptr);
    SetEnvironmentVariableA("CP_TEST_FOLDER", nullptr);
}

TEST_F(BuildVmOptions, EmbeddedJar) {
    besideExecutable("cp-single.jar");
    EXPECT_EQ(classPathOption("[Application]\r\nEmbedded Jar=yes\r\n"),
              "-Djava.class.path=" + module_);
    EXPECT_EQ(classPathOption("[Application]\r\nEmbedded Jar=YES\r\n"
                              "[Class Path]\r\nClass Path=\\cp-single.jar\r\n"),
              "-Djava.class.path=" + folder_ + "\\cp-single.jar;" + module_);
}

TEST_F(BuildVmOptions, WholeSettingsFileInOrder) {
    besideExecutable("cp-single.jar");
    SetEnvironmentVariableA("Path", "C:\\before");
    writeIni(
        "[Java Runtime Environment]\r\n"
        "Library Path=%VT_JVM_HOME%\\native\r\n"
        "System Path=C:\\sys1;C:\\sys2\r\n"
        "Virtual Machine Parameters= -Dquoted=\"a b\"  -Xss1m -Dhome=%VT_JVM_HOME%\r\n"
        "[Class Path]\r\nClass Path=\\cp-single.jar\r\n"
        "[Application]\r\nOutput File=%VT_JVM_HOME%\\out.txt\r\nError File=err.txt\r\n"
        "Cmd=-flag \"C:\\My Files\\doc.txt\" \"\"\r\n");
    Launcher launcher;
    launcher.settings.libraryPath = "%VT_JVM_HOME%\\native";
    launcher.settings.systemPath = "C:\\sys1;C:\\sys2";
    launcher.jvmLibraryPath = "C:\\Java\\jre6\\bin\\client\\jvm.dll";
    launcher.arguments = {"first"};

    setUpJavaEnvironment(launcher);
    ASSERT_TRUE(buildVmOptions(launcher));

    char value[1024];
    GetEnvironmentVariableA("VT_JVM_HOME", value, sizeof value);
    EXPECT_STREQ(value, "C:\\Java\\jre6");
    GetEnvironmentVariableA("VT_JVM_PATH", value, sizeof value);
    EXPECT_STREQ(value, "C:\\Java\\jre6\\bin\\client\\jvm.dll");
    GetEnvironmentVariableA("Path", value, sizeof value);
    EXPECT_STREQ(value, "C:\\sys1;C:\\sys2;C:\\before;C:\\Java\\jre6\\bin");

    std::vector<std::string> expected = {
        "-Djava.library.path=C:\\Java\\jre6\\native;" + folder_ + "\\;.;C:\\before;C:\\Java\\jre6\\lib",
        "-Djava.class.path=" + folder_ + "\\cp-single.jar;",
        "-Dquoted=a b",
        "-Xss1m",
        "-Dhome=C:\\Java\\jre6",
    };
    EXPECT_EQ(launcher.vmOptions, expected);
    EXPECT_EQ(launcher.javaStackSize, 1048576u);
    EXPECT_EQ(launcher.outputFilePath, "C:\\Java\\jre6\\out.txt");
    EXPECT_EQ(launcher.errorFilePath, "err.txt");
    // "Cmd" arguments follow the command line's, empty ones dropped.
    EXPECT_EQ(launcher.arguments,
              (std::vector<std::string>{"first", "-flag", "C:\\My Files\\doc.txt"}));
}

TEST_F(BuildVmOptions, NoLibraryPathOption) {
    besideExecutable("cp-single.jar");
    SetEnvironmentVariableA("Path", "C:\\before");
    writeIni("[Class Path]\r\nClass Path=\\cp-single.jar\r\n");
    Launcher launcher;
    launcher.jvmLibraryPath = "C:\\jdk\\jre\\bin\\server\\jvm.dll";
    setUpJavaEnvironment(launcher);
    ASSERT_TRUE(buildVmOptions(launcher));
    ASSERT_EQ(launcher.vmOptions.size(), 1u);
    char value[1024];
    GetEnvironmentVariableA("Path", value, sizeof value);
    EXPECT_STREQ(value, "C:\\before;C:\\jdk\\jre\\bin");
}

}  // namespace
