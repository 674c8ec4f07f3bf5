#include "ui/MessageBox.h"
#include "ui/MessageReporter.h"

#include <gtest/gtest.h>

#include "base/StringTableBlock.h"

namespace {

// The string table as the launcher must carry it, byte for byte.
const std::pair<UINT, const char*> kStringTable[] = {
    {202, "Windows exception: %s (errno = %d).\n"},
    {203, "JNI exception: %s\nReason: %s.\n"},
    {204, "COM error: %s (errno = %d).\n"},
    {205, "JNI exception: %s.\n"},
    {206, "The Java Runtime Environment (JRE) was not found. Please  download and install a JRE with a server JVM (%s) from:"},
    {207, "The Java Runtime Environment (JRE) was not found. Please  download and install a JRE (%s) from:"},
    {208, "failed to get the module path"},
    {209, "Java Class Path was not specified in INI file."},
    {210, "Main class was not specified in INI file."},
    {211, "Failed to load Main Class: %s.\n"},
    {212, "cannot find CreateJavaVM JNI"},
    {213, "failed to create the Java VM"},
    {214, "Browse for JRE folder"},
    {215, "Could not find the main class %s.\n"},
    {216, "No main method found in specified class.\n"},
    {217, "latest version"},
    {218, "maximum version %s"},
    {219, "minimum version %s"},
    {220, "version %s is required"},
    {221, "version between %s and %s"},
    {222, "Failed to load Java VM library: %s (errno = %d).\n"},
    {223, "failed to initialize"},
    {224, "failed to initialize module"},
    {225, "unknown"},
    {226, "thread detached from VM"},
    {227, "JNI version error"},
    {228, "not enough memory"},
    {229, "VM already created"},
    {230, "invalid arguments"},
    {233, "Cannot use %s: its path is %d characters long, longer than Windows allows, and its folders have no "
          "shorter (8.3) names. Install the application in a folder with a shorter path.\n"},
    {234, "No suitable Java runtime was found (%s). Install one from %s, or name its folder as \"JRE Path\" in %s, "
          "or put it in a folder \"jre\" beside %s."},
};

TEST(StringTable, EveryEntryExactly) {
    for (const auto& [id, text] : kStringTable) {
        std::string loaded;
        ASSERT_TRUE(loadResourceString(loaded, id)) << id;
        EXPECT_EQ(loaded, text) << id;
        // LoadStringA reads the same table.
        char buffer[512];
        int length = LoadStringA(GetModuleHandleA(nullptr), id, buffer, sizeof buffer);
        EXPECT_EQ(std::string(buffer, length), text) << id;
    }
}

TEST(StringTable, MissingEntriesLeaveTheTargetUnchanged) {
    std::string target = "unchanged";
    EXPECT_FALSE(loadResourceString(target, 201));
    EXPECT_FALSE(loadResourceString(target, 231));
    EXPECT_FALSE(loadResourceString(target, 9999));
    EXPECT_EQ(target, "unchanged");
}

// Loads the string table of a built executable from outside, as data.
void expectProductStrings(const std::string& exe) {
    HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr) << exe;
    for (const auto& [id, text] : kStringTable) {
        char buffer[512];
        int length = LoadStringA(module, id, buffer, sizeof buffer);
        EXPECT_EQ(std::string(buffer, length), text) << exe << " " << id;
    }
    HRSRC manifest = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(manifest, nullptr) << exe;
    std::string xml(static_cast<const char*>(LockResource(LoadResource(module, manifest))),
                    SizeofResource(module, manifest));
    EXPECT_NE(xml.find("name=\"Microsoft.Windows.VantorelJavaClassLoader\""), std::string::npos);
    EXPECT_NE(xml.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
              std::string::npos);
    EXPECT_NE(xml.find("level=\"asInvoker\""), std::string::npos);
    EXPECT_NE(FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(14)), nullptr)
        << "icon group";
    FreeLibrary(module);
}

std::string outputFolder() {
    char path[MAX_PATH];
    std::string module(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
    return module.substr(0, module.rfind('\\'));
}

TEST(StringTable, ProductExecutablesCarryTheResources) {
    std::string bin = outputFolder();
    expectProductStrings(bin + "\\launcher.exe");
    // The two product executables and their console twins, built beside the
    // test build (build\i686, build\x86_64).
    std::string build = bin.substr(0, bin.rfind('\\'));
    build = build.substr(0, build.rfind('\\'));
    for (const char* arch : {"\\i686\\", "\\x86_64\\"})
        for (const char* exe : {"launcher.exe", "launcher-console.exe"}) expectProductStrings(build + arch + exe);
}

TEST(StringTable, BlockWalkStaysInsideTheBlock) {
    const std::uint16_t block[] = {0, 2, 'h', 'i', 0, 1, 'x'};
    StringTableEntry entry;
    EXPECT_FALSE(findStringTableEntry(block, 7, 0, entry));  // empty entry
    ASSERT_TRUE(findStringTableEntry(block, 7, 1, entry));
    EXPECT_EQ(entry.length, 2u);
    EXPECT_EQ(entry.text[0], 'h');
    ASSERT_TRUE(findStringTableEntry(block, 7, 3, entry));
    EXPECT_EQ(entry.text[0], 'x');
    EXPECT_FALSE(findStringTableEntry(block, 7, 4, entry));  // past the end
    EXPECT_FALSE(findStringTableEntry(block, 6, 3, entry));  // count runs past the end
    const std::uint16_t truncated[] = {5, 'a'};
    EXPECT_FALSE(findStringTableEntry(truncated, 2, 0, entry));
    EXPECT_FALSE(findStringTableEntry(truncated, 2, 1, entry));
}

TEST(Formatting, PlaceholdersAndTheLimit) {
    EXPECT_EQ(formatText("Windows exception: %s (errno = %d).\n", "x", -5),
              "Windows exception: x (errno = -5).\n");
    std::string text;
    formatResourceString(text, 203, "failed to create the Java VM", "");
    EXPECT_EQ(text, "JNI exception: failed to create the Java VM\nReason: .\n");
    std::string longer(3000, 'a');
    std::string cut = formatText("%s!", longer.c_str());
    EXPECT_LT(cut.size(), 1025u);
    EXPECT_GE(cut.size(), 1023u);
    EXPECT_EQ(cut, std::string(cut.size(), 'a'));
}

}  // namespace

namespace {

// Shows a box on another thread of this process and reads it back: icon
// handles can be compared only inside the process that loaded them.
struct ShownBox {
    std::string caption, text;
    bool errorIcon = false;
    int buttons = 0;
    HWND owner = nullptr;
};

ShownBox showAndRead(HWND owner, const std::string& text) {
    struct Job {
        HWND owner;
        std::string text;
    } job{owner, text};
    HANDLE thread = CreateThread(
        nullptr, 0,
        [](LPVOID p) -> DWORD {
            auto* job = static_cast<Job*>(p);
            showError(job->owner, job->text);
            return 0;
        },
        &job, 0, nullptr);
    ShownBox box;
    HWND found = nullptr;
    for (int i = 0; i < 1000 && !found; ++i) {
        // The owner's thread must pump: the box disables its owner.
        MsgWaitForMultipleObjects(1, &thread, FALSE, 10, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        EnumThreadWindows(
            GetThreadId(thread),
            [](HWND w, LPARAM p) -> BOOL {
                if (IsWindowVisible(w) && GetDlgItem(w, 0xFFFF)) {
                    *reinterpret_cast<HWND*>(p) = w;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&found));
    }
    if (found) {
        char buffer[256];
        GetWindowTextA(found, buffer, sizeof buffer);
        box.caption = buffer;
        GetDlgItemTextA(found, 0xFFFF, buffer, sizeof buffer);
        box.text = buffer;
        box.owner = GetWindow(found, GW_OWNER);
        HICON hand = LoadIconA(nullptr, MAKEINTRESOURCEA(32513));
        for (HWND c = GetWindow(found, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            GetClassNameA(c, buffer, sizeof buffer);
            if (lstrcmpiA(buffer, "Button") == 0 && IsWindowVisible(c)) ++box.buttons;
            if (reinterpret_cast<HICON>(SendMessageA(c, STM_GETICON, 0, 0)) == hand)
                box.errorIcon = true;
        }
        PostMessageA(found, WM_COMMAND, IDOK, 0);
    }
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, 5000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
    CloseHandle(thread);
    return box;
}

TEST(MessageBoxes, ErrorBoxWithoutCaptionOfItsOwn) {
    ShownBox box = showAndRead(nullptr, "Main class was not specified in INI file.");
    EXPECT_EQ(box.text, "Main class was not specified in INI file.");
    EXPECT_EQ(box.caption, "Error");
    EXPECT_TRUE(box.errorIcon);
    EXPECT_EQ(box.buttons, 1);
    EXPECT_EQ(box.owner, nullptr);
}

TEST(MessageBoxes, OwnedByTheGivenWindow) {
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10,
                                 nullptr, nullptr, nullptr, nullptr);
    ShownBox box = showAndRead(owner, "x");
    EXPECT_EQ(box.owner, owner);
    DestroyWindow(owner);
}

TEST(MessageBoxes, TextAndCaptionFromTheStringTable) {
    // showMessageBox loads ids itself; the box is answered from a timer.
    SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        HWND box = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), [](HWND w, LPARAM p) -> BOOL {
            if (GetDlgItem(w, 0xFFFF)) *reinterpret_cast<HWND*>(p) = w;
            return TRUE;
        }, reinterpret_cast<LPARAM>(&box));
        char text[256], caption[256];
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        GetWindowTextA(box, caption, sizeof caption);
        EXPECT_STREQ(text, "Browse for JRE folder");
        EXPECT_STREQ(caption, "latest version");
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(showMessageBox(nullptr, MAKEINTRESOURCEA(214), MAKEINTRESOURCEA(217), MB_OK), IDOK);
}

}  // namespace
