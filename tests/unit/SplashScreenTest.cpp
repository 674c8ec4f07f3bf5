// The splash screen of a launch: what the plan chooses, and the running
// splash screen, the own window on its thread or the native library.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TempFolder.h"
#include "TestData.h"
#include "base/PathText.h"
#include "settings/LaunchRecord.h"
#include "splash/SplashScreen.h"
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
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return folderOf(std::string(path, length));
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
HWND waitForSplashWindow(const SplashScreen& splash) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < 10000; Sleep(5)) {
        HWND window = splash.owner();
        if (window && IsWindowVisible(window)) return window;
    }
    return splash.owner();
}

class SplashScreenTest : public ::testing::Test {
protected:
    // The class style follows the shadow setting of the first window.
    void SetUp() override { UnregisterClassA(kSplashWindowClass, GetModuleHandleA(nullptr)); }
    void TearDown() override {
        // The launcher never unloads the library; the test does, so that its
        // folder can go.
        for (const std::string& library : libraries_) {
            while (HMODULE module = GetModuleHandleA(library.c_str())) FreeLibrary(module);
        }
    }
    // A runtime whose bin folder holds a copy of the given stand-in library
    // as splashscreen.dll; its JVM library's path.
    std::string runtimeWith(const char* standIn) {
        std::string bin = runtime_.path() + "\\bin";
        CreateDirectoryA(bin.c_str(), nullptr);
        std::string library = bin + "\\splashscreen.dll";
        EXPECT_TRUE(CopyFileA((testFolder() + standIn).c_str(), library.c_str(), FALSE));
        libraries_.push_back(library);
        return bin + "\\client\\jvm.dll";
    }

    std::vector<std::string> libraries_;
    TempFolder runtime_;
};

TEST_F(SplashScreenTest, ThePlanChoosesByPictureArgumentsAndPreference) {
    std::string jvm = runtimeWith("fake_splash.dll");
    DisplaySettings settings;
    settings.splashScreenShadow = "true";
    EXPECT_EQ(planSplash(settings, jvm, false).choice, SplashChoice::None);
    settings.splashScreen = "x.gif";
    SplashPlan plan = planSplash(settings, jvm, false);
    EXPECT_EQ(plan.choice, SplashChoice::OwnWindow);
    EXPECT_TRUE(plan.shadow);
    EXPECT_EQ(plan.nativeLibrary, libraries_[0]);
    settings.preferNativeSplash = "YES";
    EXPECT_EQ(planSplash(settings, jvm, false).choice, SplashChoice::NativeLibrary);
    EXPECT_EQ(planSplash(settings, jvm, true).choice, SplashChoice::Suppressed);
    // Preferred, but the runtime has none; what was looked for is traced.
    LaunchRecord trace;
    plan = planSplash(settings, runtime_.path() + "\\none\\client\\jvm.dll", false, &trace);
    EXPECT_EQ(plan.choice, SplashChoice::OwnWindow);
    ASSERT_EQ(trace.files.size(), 2u);
    EXPECT_EQ(trace.files[0].probe.path, "x.gif");
    EXPECT_EQ(trace.files[1].probe.path, runtime_.path() + "\\none\\splashscreen.dll");
    EXPECT_FALSE(trace.files[1].probe.exists);
}

TEST_F(SplashScreenTest, OwnWindowShownUntilClosed) {
    SplashScreen splash;
    EXPECT_EQ(splash.owner(), nullptr);
    splash.startWindow(testDataPath("splash-16x8.jpg"), false);
    HWND window = waitForSplashWindow(splash);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(FindWindowA("SplashScreenWindow", nullptr), window);
    RECT r{};
    GetWindowRect(window, &r);
    EXPECT_EQ(r.right - r.left, 16);
    EXPECT_EQ(r.bottom - r.top, 8);
    EXPECT_EQ(GetClassLongPtrA(window, GCL_STYLE), 0x808);  // no shadow

    splash.closeWindow();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(splash.owner(), nullptr);
    splash.closeWindow();  // a second close does nothing
}

TEST_F(SplashScreenTest, ClosedBeforeTheWindowExistsAndByTheDestructor) {
    {
        SplashScreen splash;
        splash.startWindow(testDataPath("splash-6x4.bmp"), false);
        splash.closeWindow();
        // The thread has ended: nothing writes the owner any more.
        EXPECT_EQ(splash.owner(), nullptr);
        EXPECT_EQ(FindWindowA("SplashScreenWindow", nullptr), nullptr);
    }
    HWND window = nullptr;
    {
        SplashScreen splash;
        splash.startWindow(testDataPath("splash-5x4.gif"), true);
        window = waitForSplashWindow(splash);
        ASSERT_NE(window, nullptr);
    }
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(SplashScreenTest, NativeLibraryClosedOnceByTheDestructorOrBefore) {
    std::string picture = testDataPath("splash-6x4.bmp");
    std::string started = "SplashInit;SplashLoadFile(" + picture + ");SplashSetFileJarName(" + picture + ",);";
    runtimeWith("fake_splash.dll");
    {
        SplashScreen splash;
        ASSERT_TRUE(splash.startNative(libraries_[0], picture));
        EXPECT_EQ(FindWindowA("SplashScreenWindow", nullptr), nullptr);
        EXPECT_EQ(recordedCalls(libraries_[0]), started);
        splash.closeNative();
        splash.closeNative();
    }
    EXPECT_EQ(recordedCalls(libraries_[0]), started + "SplashClose;");
    {
        SplashScreen splash;
        ASSERT_TRUE(splash.startNative(libraries_[0], picture));
    }
    EXPECT_EQ(recordedCalls(libraries_[0]), started + "SplashClose;" + started + "SplashClose;");
}

TEST_F(SplashScreenTest, OwnWindowWhenTheNativeLibraryIsNotUsable) {
    std::string jvm = runtimeWith("fake_splash_incomplete.dll");
    DisplaySettings settings;
    settings.splashScreen = testDataPath("splash-6x4.bmp");
    settings.preferNativeSplash = "Yes";
    SplashPlan plan = planSplash(settings, jvm, false);
    ASSERT_EQ(plan.choice, SplashChoice::NativeLibrary);
    // Lacking one of the start entry points: loaded, but never called.
    SplashScreen splash;
    splash.start(plan);
    EXPECT_EQ(recordedCalls(libraries_[0]), "");
    EXPECT_NE(waitForSplashWindow(splash), nullptr);
}

}  // namespace
