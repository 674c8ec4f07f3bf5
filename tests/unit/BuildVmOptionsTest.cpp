// The environment and the VM configuration of a launch, built from its
// settings, with a launcher folder of the test's own.
#include <gtest/gtest.h>

#include "TempFolder.h"
#include "jvm/JavaEnvironment.h"
#include "base/WideText.h"
#include "jvm/VmOptions.h"

namespace {

class BuildVmOptions : public ::testing::Test {
protected:
    void SetUp() override {
        char path[32768];
        GetEnvironmentVariableA("Path", path, sizeof path);
        path_ = path;
    }
    void TearDown() override {
        SetEnvironmentVariableA("Path", path_.c_str());
        for (const char* name : {"VT_JVM_HOME", "VT_JVM_PATH", "CP_TEST_DRIVE", "CP_TEST_FOLDER"})
            SetEnvironmentVariableA(name, nullptr);
    }
    VmConfiguration build(const VmSettings& settings, const std::string& libraryOption = "",
                          const std::vector<std::string>& arguments = {}) {
        std::vector<Argument> given;
        for (const std::string& text : arguments) given.push_back(argumentOf(text));
        return buildVmConfiguration(settings, exe_, folder_, libraryOption, given, environment_);
    }
    static std::vector<std::string> texts(const std::vector<Argument>& arguments) {
        std::vector<std::string> result;
        for (const Argument& argument : arguments) result.push_back(argument.text);
        return result;
    }
    std::string classPathOption(const std::string& classPath, bool embeddedJar = false) {
        VmSettings settings;
        settings.classPath = classPath;
        settings.embeddedJar = embeddedJar;
        VmConfiguration vm = build(settings);
        return vm.options.empty() ? "" : vm.options[0];
    }

    TempFolder temp_;
    std::string folder_ = temp_.path() + "\\";
    std::string exe_ = temp_.file("app.exe");
    ProcessEnvironment environment_;
    std::string path_;
};

TEST_F(BuildVmOptions, ClassPathEntries) {
    temp_.write("cp-test\\a.jar", "");
    temp_.write("cp-test\\b.jar", "");
    temp_.write("cp-single.jar", "");
    std::string a = folder_ + "cp-test\\a.jar;";
    std::string b = folder_ + "cp-test\\b.jar;";

    std::string option = classPathOption("\\cp-test\\*.jar");
    EXPECT_TRUE(option == "-Djava.class.path=" + a + b || option == "-Djava.class.path=" + b + a) << option;

    // A file beside the launcher: present, then absent; a %VAR% entry is
    // relative and dropped; absolute entries without wildcard stay unchecked.
    SetEnvironmentVariableA("CP_TEST_DRIVE", "Q:");
    EXPECT_EQ(classPathOption("\\cp-single.jar;\\gone.jar;%CP_TEST_DRIVE%\\x.jar;Q:\\absent.jar;"
                              "\\\\server\\share\\y.jar"),
              "-Djava.class.path=" + folder_ + "cp-single.jar;Q:\\absent.jar;\\\\server\\share\\y.jar;");
    // An absolute wildcard entry; references inside it are expanded in the option.
    SetEnvironmentVariableA("CP_TEST_FOLDER", temp_.path().c_str());
    EXPECT_EQ(classPathOption(folder_ + "cp-test\\a*.jar;C:\\%CP_TEST_FOLDER%"),
              "-Djava.class.path=" + a + "C:\\" + temp_.path() + ";");
    // The executable as the embedded jar, with and without a class path.
    EXPECT_EQ(classPathOption("", true), "-Djava.class.path=" + exe_);
    EXPECT_EQ(classPathOption("\\cp-single.jar", true), "-Djava.class.path=" + folder_ + "cp-single.jar;" + exe_);
}

TEST_F(BuildVmOptions, WholeLaunchInOrder) {
    temp_.write("cp-single.jar", "");
    SetEnvironmentVariableA("Path", "C:\\before");
    EnvironmentSettings environmentSettings{"C:\\sys1;C:\\sys2", "%VT_JVM_HOME%\\native"};
    VmSettings settings;
    settings.classPath = "\\cp-single.jar";
    settings.vmParameters = " -Dquoted=\"a b\"  -Xss1m -Dhome=%VT_JVM_HOME%";
    settings.outputFile = "%VT_JVM_HOME%\\out.txt";
    settings.errorFile = "err.txt";
    settings.cmd = "-flag \"C:\\My Files\\doc.txt\" \"\"";

    JavaEnvironment environment =
        setUpJavaEnvironment(environmentSettings, "C:\\Java\\jre6\\bin\\client\\jvm.dll", folder_, environment_);
    using Variables = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(environment.variables, (Variables{{"VT_JVM_PATH", "C:\\Java\\jre6\\bin\\client\\jvm.dll"},
                                                {"VT_JVM_HOME", "C:\\Java\\jre6"},
                                                {"Path", "C:\\sys1;C:\\sys2;C:\\before;C:\\Java\\jre6\\bin"}}));
    char value[1024];
    GetEnvironmentVariableA("Path", value, sizeof value);
    EXPECT_STREQ(value, "C:\\sys1;C:\\sys2;C:\\before;C:\\Java\\jre6\\bin");

    VmConfiguration vm = build(settings, environment.libraryPathOption, {"first"});
    std::vector<std::string> expected = {
        "-Djava.library.path=C:\\Java\\jre6\\native;" + folder_ + ";.;C:\\before;C:\\Java\\jre6\\lib",
        "-Djava.class.path=" + folder_ + "cp-single.jar;",
        "-Dquoted=a b",
        "-Xss1m",
        "-Dhome=C:\\Java\\jre6",
    };
    EXPECT_EQ(vm.options, expected);
    EXPECT_EQ(vm.stackSize, 1048576u);
    EXPECT_EQ(vm.outputFile, "C:\\Java\\jre6\\out.txt");
    EXPECT_EQ(vm.errorFile, "err.txt");
    // "Cmd" arguments follow the command line's, empty ones dropped.
    EXPECT_EQ(texts(vm.mainArguments), (std::vector<std::string>{"first", "-flag", "C:\\My Files\\doc.txt"}));
    EXPECT_FALSE(vm.failure);
}

TEST_F(BuildVmOptions, EmptyClassPathStopsBeforeTheParameters) {
    VmSettings settings;
    settings.classPath = "\\gone.jar";
    settings.vmParameters = "-Xss1m";
    settings.cmd = "-x";
    VmConfiguration vm = build(settings, "-Djava.library.path=x", {"a"});
    ASSERT_TRUE(vm.failure);
    EXPECT_EQ(vm.failure->message, msg::ClassPathMissing);
    EXPECT_EQ(vm.options, std::vector<std::string>{"-Djava.library.path=x"});
    EXPECT_EQ(vm.stackSize, 0u);
    EXPECT_EQ(texts(vm.mainArguments), std::vector<std::string>{"a"});
}

}  // namespace
