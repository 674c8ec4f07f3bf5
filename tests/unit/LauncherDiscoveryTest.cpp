// The order of runtime discovery as the launcher runs it: remembered folder,
// runtime beside the executable, registry. The executable here is the test
// executable, so its settings file and "local runtime" lie beside it.
#include <gtest/gtest.h>

#include "TempFolder.h"
#include "jre/JavaHome.h"
#include "launcher/Launcher.h"
#include "settings/SettingsPaths.h"

namespace {

class Discovery : public ::testing::Test {
protected:
    void SetUp() override {
        std::string module;
        ASSERT_TRUE(modulePath(module, nullptr));
        exeFolder_ = folderOf(module);
        ASSERT_TRUE(settingsFilePath(ini_, nullptr));
        wipe();
        char previous[MAX_PATH];
        GetEnvironmentVariableA("APPDATA", previous, MAX_PATH);
        appData_ = previous;
        SetEnvironmentVariableA("APPDATA", temp_.file("appdata").c_str());
    }
    void TearDown() override {
        wipe();
        SetEnvironmentVariableA("APPDATA", appData_.c_str());
    }
    void wipe() {
        DeleteFileA(ini_.c_str());
        for (const char* vendor : {"Software\\JavaSoft", "Software\\JRockit", "Software\\IBM"})
            RegDeleteTreeA(HKEY_LOCAL_MACHINE, vendor);
        for (const char* file : {"bin\\java.dll", "bin\\client\\jvm.dll", "jre\\bin\\java.dll",
                                 "jre\\bin\\client\\jvm.dll"})
            DeleteFileA((exeFolder_ + file).c_str());
        for (const char* folder : {"bin\\client", "bin", "jre\\bin\\client", "jre\\bin", "jre"})
            RemoveDirectoryA((exeFolder_ + folder).c_str());
    }
    void besideExecutable(const std::string& relative) {
        std::string path = exeFolder_ + relative;
        for (std::size_t at = path.find('\\', exeFolder_.size()); at != std::string::npos;
             at = path.find('\\', at + 1))
            CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
        CloseHandle(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    }
    void registerRuntime(const std::string& home) {
        HKEY key;
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\JavaSoft\\Java Runtime Environment\\1.6", 0,
                        nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
        RegSetValueExA(key, "JavaHome", 0, REG_SZ, reinterpret_cast<const BYTE*>(home.c_str()),
                       static_cast<DWORD>(home.size() + 1));
        RegCloseKey(key);
    }
    std::string discover(const std::string& iniText) {
        temp_.write("copy.ini", iniText);
        CopyFileA(temp_.file("copy.ini").c_str(), ini_.c_str(), FALSE);
        Launcher launcher;
        if (!launcher.readSettings()) return "(no settings)";
        return launcher.findRuntime() ? launcher.jvmLibraryPath : "(none)";
    }

    TempFolder temp_;
    std::string exeFolder_;
    std::string ini_;
    std::string appData_;
};

const char kMain[] = "[Java Runtime Environment]\r\nMain Class=Main\r\n";

TEST_F(Discovery, PrecedenceOfTheThreeSources) {
    std::string remembered = temp_.file("remembered");
    temp_.write("remembered\\bin\\client\\jvm.dll", "");
    std::string registered = temp_.file("registered") + "\\";
    temp_.write("registered\\bin\\client\\jvm.dll", "");
    registerRuntime(registered);
    besideExecutable("bin\\java.dll");
    besideExecutable("bin\\client\\jvm.dll");

    // A remembered folder with or without the trailing backslash.
    std::string withPath = std::string(kMain) + "JRE Path=" + remembered + "\r\n";
    EXPECT_EQ(discover(withPath), remembered + "\\bin\\client\\jvm.dll");
    EXPECT_EQ(discover(std::string(kMain) + "JRE Path=" + remembered + "\\\r\n"),
              remembered + "\\bin\\client\\jvm.dll");
    // A stale one falls through to the runtime beside the executable.
    EXPECT_EQ(discover(std::string(kMain) + "JRE Path=" + temp_.file("gone") + "\r\n"),
              exeFolder_ + "bin\\client\\jvm.dll");
    // Without a local runtime, the registry.
    wipe();
    registerRuntime(registered);
    EXPECT_EQ(discover(kMain), registered + "bin\\client\\jvm.dll");
}

TEST_F(Discovery, RememberedFolderFromThePerUserFile) {
    temp_.write("peruser\\bin\\server\\jvm.dll", "");
    temp_.write("appdata\\Prod\\Code\\unit_tests.ini",
                "[Java Runtime Environment]\r\nJRE Path=" + temp_.file("peruser") + "\r\n");
    EXPECT_EQ(discover("[Product Information]\r\nProduct Name=Prod\r\nProduct Code=Code\r\n" +
                       std::string(kMain)),
              temp_.file("peruser") + "\\bin\\server\\jvm.dll");
}

TEST_F(Discovery, LocalRuntimeMarker) {
    // In "jre\" below the executable.
    besideExecutable("jre\\bin\\java.dll");
    besideExecutable("jre\\bin\\client\\jvm.dll");
    EXPECT_EQ(findLocalRuntime(nullptr), exeFolder_ + "jre\\");
    EXPECT_EQ(discover(kMain), exeFolder_ + "jre\\bin\\client\\jvm.dll");
    // The executable's own folder wins over "jre\".
    besideExecutable("bin\\java.dll");
    EXPECT_EQ(findLocalRuntime(nullptr), exeFolder_);
}

TEST_F(Discovery, NoMarkerMeansNoRelativeProbe) {
    // A library in the current directory, but no "bin\java.dll" anywhere:
    // nothing may be loaded from wherever the launcher was started.
    temp_.write("cwd\\bin\\client\\jvm.dll", "");
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    SetCurrentDirectoryA(temp_.file("cwd").c_str());
    besideExecutable("bin\\client\\jvm.dll");
    EXPECT_FALSE(findLocalRuntime(nullptr).has_value());
    EXPECT_EQ(discover(kMain), "(none)");
    SetCurrentDirectoryA(previous);
}

}  // namespace
