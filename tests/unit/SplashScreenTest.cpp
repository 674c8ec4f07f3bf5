// Starting and closing the splash screen of a Launcher: the settings of
// section "Display" come from unit_tests.ini beside the test executable.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TempFolder.h"
#include "TestData.h"
#include "launcher/Launcher.h"
#include "settings/SettingsPaths.h"
#include "splash/NativeSplash.h"
#include "splash/SplashWindow.h"

namespace {

TEST(NativeSplashLibrary, TwoLevelsAboveTheJvmLibrary) {
    EXPECT_EQ(nativeSplashLibraryCandidate("C:\\Java\\jre6\\bin\\server\\jvm.dll"),
              "C:\\Java\\jre6\\bin\\splashscreen.dll");
    // Without a backslash the path stays as it is.
    EXPECT_EQ(nativeSplashLibraryCandidate("jvm.dll"), "jvm.dll\\splashscreen.dll");
    EXPECT_EQ(nativeSplashLibraryCandidate("C:\\jvm.dll"), "C:\\splashscreen.dll");
    EXPECT_EQ(nativeSplashLibraryCandidate("C:/jre/\\client\\jvm.dll"), "C:/jre/splashscreen.dll");
    EXPECT_EQ(nativeSplashLibraryCandidate("bin\\\\client\\jvm.dll"), "bin\\splashscreen.dll");
    EXPECT_EQ(nativeSplashLibraryCandidate("\\client\\jvm.dll"), "");
    EXPECT_EQ(nativeSplashLibraryCandidate(""), "");
}

std::string testFolder() {
    std::string path;
    modulePath(path, nullptr);
    return folderOf(path);
}

// The calls a stand-in splash library has recorded.
std::string recordedCalls(const std::string& libraryPath) {
    HMODULE module = GetModuleHandleA(libraryPath.c_str());
    if (!module) return "(not loaded)";
    using Recorded = const char* (*)();
    auto recorded = reinterpret_cast<Recorded>(GetProcAddress(module, "recordedSplashCalls"));
    return recorded ? recorded() : "(no record)";
}

// Waits until the splash thread has shown its window, at most 10 s. The
// thread makes the window the owner of message boxes just before showing it.
HWND waitForSplashWindow(const Launcher& launcher) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < 10000;) {
        HWND window = launcher.owner();
        if (window && IsWindowVisible(window)) return window;
        if (WaitForSingleObject(launcher.splashThread.get(), 5) != WAIT_TIMEOUT) break;
    }
    return launcher.owner();
}

class SplashScreen : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(settingsFilePath(ini_, nullptr));
        // The class style follows the shadow setting of the first window.
        UnregisterClassA(kSplashWindowClass, GetModuleHandleA(nullptr));
    }
    void TearDown() override {
        DeleteFileA(ini_.c_str());
        // The launcher never unloads the library; the test does, so that its
        // folder can go.
        for (const std::string& library : libraries_) {
            while (HMODULE module = GetModuleHandleA(library.c_str())) FreeLibrary(module);
        }
    }
    void writeDisplay(const std::string& entries) {
        std::string text = "[Display]\r\n" + entries;
        HANDLE h = CreateFileA(ini_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written;
        WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        CloseHandle(h);
    }
    // A runtime folder whose bin folder holds a copy of the given stand-in
    // library as splashscreen.dll; the launcher's JVM library lies below it.
    std::string installNativeLibrary(Launcher& launcher, const char* standIn) {
        std::string bin = runtime_.path() + "\\bin";
        CreateDirectoryA(bin.c_str(), nullptr);
        std::string library = bin + "\\splashscreen.dll";
        EXPECT_TRUE(CopyFileA((testFolder() + standIn).c_str(), library.c_str(), FALSE));
        launcher.jvmLibraryPath = bin + "\\client\\jvm.dll";
        libraries_.push_back(library);
        return library;
    }

    std::string ini_;
    std::vector<std::string> libraries_;
    TempFolder runtime_;
};

TEST_F(SplashScreen, NoPictureNoSplash) {
    writeDisplay("Splash Screen Shadow=true\r\n");
    Launcher launcher;
    EXPECT_TRUE(launcher.startSplash());
    EXPECT_FALSE(launcher.splashThread);
    EXPECT_FALSE(launcher.splashWindow);
    EXPECT_EQ(launcher.owner(), nullptr);
    EXPECT_EQ(launcher.splashShadow, "true");
    launcher.closeSplash();
}

TEST_F(SplashScreen, OwnWindowShownUntilClosed) {
    std::string picture = testDataPath("splash-16x8.jpg");
    writeDisplay("Splash Screen=" + picture + "\r\nSplash Screen Shadow=True\r\n");
    Launcher launcher;
    ASSERT_TRUE(launcher.startSplash());
    EXPECT_EQ(launcher.splashImagePath, picture);
    ASSERT_TRUE(launcher.splashWindow);
    ASSERT_TRUE(launcher.splashThread);

    HWND window = waitForSplashWindow(launcher);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(FindWindowA("SplashScreenWindow", nullptr), window);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(GetWindowThreadProcessId(window, nullptr), launcher.splashThreadId);
    RECT r{};
    GetWindowRect(window, &r);
    EXPECT_EQ(r.right - r.left, 16);
    EXPECT_EQ(r.bottom - r.top, 8);
    // "True" is not "true": no shadow.
    EXPECT_EQ(GetClassLongPtrA(window, GCL_STYLE), 0x808);

    HANDLE thread;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), launcher.splashThread.get(),
                                GetCurrentProcess(), &thread, 0, FALSE, DUPLICATE_SAME_ACCESS));
    launcher.closeSplash();
    DWORD code = STILL_ACTIVE;
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 0u);
    CloseHandle(thread);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(launcher.owner(), nullptr);
    EXPECT_FALSE(launcher.splashWindow);
    EXPECT_FALSE(launcher.splashThread);
    launcher.closeSplash();  // a second close does nothing
}

TEST_F(SplashScreen, ClosedBeforeTheWindowExists) {
    writeDisplay("Splash Screen=" + testDataPath("splash-6x4.bmp") + "\r\n");
    Launcher launcher;
    ASSERT_TRUE(launcher.startSplash());
    launcher.closeSplash();
    EXPECT_FALSE(launcher.splashWindow);
    // The thread has ended: nothing writes the owner any more.
    EXPECT_EQ(launcher.owner(), nullptr);
    EXPECT_EQ(FindWindowA("SplashScreenWindow", nullptr), nullptr);
}

TEST_F(SplashScreen, DestructorClosesTheWindow) {
    writeDisplay("Splash Screen=" + testDataPath("splash-5x4.gif") + "\r\n");
    HWND window = nullptr;
    {
        Launcher launcher;
        ASSERT_TRUE(launcher.startSplash());
        window = waitForSplashWindow(launcher);
        ASSERT_NE(window, nullptr);
    }
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(SplashScreen, NativeLibraryWhenPreferred) {
    std::string picture = testDataPath("splash-6x4.bmp");
    writeDisplay("Splash Screen=" + picture + "\r\nPreffer Native Splash Screen=yes\r\n");
    std::string started =
        "SplashInit;SplashLoadFile(" + picture + ");SplashSetFileJarName(" + picture + ",);";
    std::string library;
    {
        Launcher launcher;
        library = installNativeLibrary(launcher, "fake_splash.dll");
        EXPECT_EQ(launcher.findNativeSplashLibrary(), library);

        ASSERT_TRUE(launcher.startSplash());
        EXPECT_FALSE(launcher.splashWindow);
        EXPECT_FALSE(launcher.splashThread);
        EXPECT_NE(launcher.splashCloseEntry, nullptr);
        EXPECT_EQ(recordedCalls(library), started);

        launcher.closeNativeSplash();
        EXPECT_EQ(launcher.splashCloseEntry, nullptr);
        launcher.closeNativeSplash();
    }
    // Closed once, not again by the destructor.
    EXPECT_EQ(recordedCalls(library), started + "SplashClose;");
}

TEST_F(SplashScreen, DestructorClosesTheNativeSplash) {
    writeDisplay("Splash Screen=x.gif\r\nPreffer Native Splash Screen=YES\r\n");
    std::string library;
    {
        Launcher launcher;
        library = installNativeLibrary(launcher, "fake_splash.dll");
        ASSERT_TRUE(launcher.startSplash());
    }
    EXPECT_EQ(recordedCalls(library),
              "SplashInit;SplashLoadFile(x.gif);SplashSetFileJarName(x.gif,);SplashClose;");
}

TEST_F(SplashScreen, OwnWindowWhenTheNativeLibraryIsNotUsable) {
    writeDisplay("Splash Screen=" + testDataPath("splash-6x4.bmp") +
                 "\r\nPreffer Native Splash Screen=Yes\r\n");
    {
        // Lacking one of the start entry points: loaded, but never called.
        Launcher launcher;
        std::string library = installNativeLibrary(launcher, "fake_splash_incomplete.dll");
        EXPECT_FALSE(launcher.startNativeSplash(library));
        EXPECT_EQ(launcher.splashCloseEntry, nullptr);
        EXPECT_EQ(recordedCalls(library), "");
        ASSERT_TRUE(launcher.startSplash());
        EXPECT_TRUE(launcher.splashWindow);
        EXPECT_NE(waitForSplashWindow(launcher), nullptr);
    }
    {
        // No library beside the runtime at all.
        Launcher launcher;
        launcher.jvmLibraryPath = runtime_.path() + "\\none\\client\\jvm.dll";
        EXPECT_EQ(launcher.findNativeSplashLibrary(), "");
        ASSERT_TRUE(launcher.startSplash());
        EXPECT_TRUE(launcher.splashWindow);
        EXPECT_EQ(launcher.splashCloseEntry, nullptr);
    }
}

TEST_F(SplashScreen, NativeLibraryNotPreferredIsNotLoaded) {
    writeDisplay("Splash Screen=" + testDataPath("splash-6x4.bmp") +
                 "\r\nPreffer Native Splash Screen=No\r\n");
    Launcher launcher;
    std::string library = installNativeLibrary(launcher, "fake_splash.dll");
    ASSERT_TRUE(launcher.startSplash());
    EXPECT_EQ(GetModuleHandleA(library.c_str()), nullptr);
    EXPECT_TRUE(launcher.splashWindow);
}

}  // namespace
