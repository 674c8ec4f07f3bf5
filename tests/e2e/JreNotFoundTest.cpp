// Start-up on a machine without any Java runtime: the "JRE Not Found"
// dialog, and what closing it without a runtime leaves behind.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include "harness/LaunchHarness.h"
#include "harness/TestFolder.h"
#include "harness/TestRuntime.h"

namespace {

struct SeenDialog {
    int count = 0;
    std::string caption, message, link;
    bool okEnabled = true;
    HWND owner = nullptr;
};

std::string itemText(HWND dialog, int id) {
    char text[512] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

// Launches app.exe of the folder with the given settings and APPDATA inside
// the folder, reads the dialog and closes it with close.
LaunchResult launchWithoutRuntime(const TestFolder& folder, const std::string& settings,
                                  SeenDialog& seen, std::function<void(HWND)> close) {
    folder.write("app.ini", settings);
    folder.makeFolder("appdata");
    LaunchOptions options;
    options.environment = {{"APPDATA", folder.file("appdata")},
                           {"TESTJVM_TRACE", folder.file("trace.txt")}};
    options.respond = [&seen, close](const ShownWindow& window) {
        if (window.isMessageBox || window.className != "#32770") {
            defaultResponse(window);
            return;
        }
        ++seen.count;
        seen.caption = window.caption;
        seen.owner = window.owner;
        seen.message = itemText(window.handle, 203);
        seen.link = itemText(window.handle, 205);
        seen.okEnabled = IsWindowEnabled(GetDlgItem(window.handle, IDOK)) != FALSE;
        close(window.handle);
    };
    return launch(folder.addLauncher("app.exe"), options);
}

void pressCancel(HWND dialog) { pressButton(dialog, IDCANCEL); }

const char kSettings[] =
    "[Product Information]\r\nProduct Name=Demo\r\nProduct Code=demo-1\r\n"
    "[Java Runtime Environment]\r\nMain Class=demo.Main\r\n";

void expectNothingWritten(const TestFolder& folder, const std::string& settings) {
    EXPECT_EQ(folder.read("app.ini"), settings);
    EXPECT_FALSE(folder.exists("appdata\\Demo"));
}

TEST(JreNotFound, DialogNamesTheVersionAndCancelEndsTheLaunch) {
    TestFolder folder("jre-not-found-cancel");
    SeenDialog seen;
    LaunchResult result = launchWithoutRuntime(folder, kSettings, seen, pressCancel);
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, -1);
    EXPECT_TRUE(result.messageBoxes().empty());
    EXPECT_EQ(seen.count, 1);
    EXPECT_EQ(seen.caption, "JRE Not Found");
    EXPECT_EQ(seen.message,
              "The Java Runtime Environment (JRE) was not found. Please  download and install a "
              "JRE (latest version) from:");
    EXPECT_EQ(seen.link, "https://java.com/");
    EXPECT_FALSE(seen.okEnabled);
    EXPECT_EQ(seen.owner, nullptr);
    expectNothingWritten(folder, kSettings);
}

TEST(JreNotFound, ServerJvmAsksForAServerRuntime) {
    TestFolder folder("jre-not-found-server");
    std::string settings = std::string(kSettings) + "JVM Type=server\r\nMinimum Version=1.6\r\n";
    SeenDialog seen;
    LaunchResult result = launchWithoutRuntime(folder, settings, seen, pressCancel);
    EXPECT_EQ(result.exitCode, -1);
    EXPECT_EQ(seen.message,
              "The Java Runtime Environment (JRE) was not found. Please  download and install a "
              "JRE with a server JVM (minimum version 1.6) from:");
    expectNothingWritten(folder, settings);
}

TEST(JreNotFound, FavorServerAsksForAnyRuntimeAndEscapeOrCloseEndTheLaunch) {
    TestFolder folder("jre-not-found-favor-server");
    std::string settings = std::string(kSettings) +
                           "JVM Type=favor_server\r\nMinimum Version=1.5\r\nMaximum Version=1.7\r\n";
    SeenDialog seen;
    LaunchResult result = launchWithoutRuntime(folder, settings, seen, [](HWND dialog) {
        PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, -1);
    EXPECT_EQ(seen.message,
              "The Java Runtime Environment (JRE) was not found. Please  download and install a "
              "JRE (version between 1.5 and 1.7) from:");
    expectNothingWritten(folder, settings);

    result = launchWithoutRuntime(folder, settings, seen, [](HWND dialog) {
        PostMessageA(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
    });
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, -1);
    expectNothingWritten(folder, settings);
}

TEST(JreNotFound, VersionsAreNamedAsTheSettingsWriteThem) {
    TestFolder folder("jre-not-found-written");
    struct Case {
        const char* bounds;
        const char* required;
    };
    const Case cases[] = {
        {"Minimum Version=17\r\n", "minimum version 17"},
        {"Minimum Version=21.0.2+13\r\nMaximum Version=21.0.9\r\n", "version between 21.0.2+13 and 21.0.9"},
        // Not a version: no bound, as before.
        {"Minimum Version=9999999999\r\n", "latest version"},
    };
    for (const Case& c : cases) {
        SeenDialog seen;
        launchWithoutRuntime(folder, std::string(kSettings) + c.bounds, seen, pressCancel);
        EXPECT_EQ(seen.message, std::string("The Java Runtime Environment (JRE) was not found. Please  download and "
                                            "install a JRE (") + c.required + ") from:");
    }
}

// Polls until found gives a handle or about ten seconds have passed.
template <typename Found>
auto waitFor(Found found) -> decltype(found()) {
    for (int i = 0; i < 1000; ++i) {
        if (auto handle = found()) return handle;
        Sleep(10);
    }
    return nullptr;
}

HWND ownedWindow(HWND owner) {
    struct Search {
        HWND owner, found;
    } search{owner, nullptr};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            if (GetWindow(window, GW_OWNER) == s->owner && IsWindowVisible(window)) s->found = window;
            return !s->found;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Memory in another process for passing data with messages.
class RemoteBlock {
public:
    RemoteBlock(HWND window, std::size_t size) {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                               processId);
        address_ = static_cast<char*>(
            VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
    }
    ~RemoteBlock() {
        VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        CloseHandle(process_);
    }
    char* at(std::size_t offset) const { return address_ + offset; }
    void write(std::size_t offset, const void* data, std::size_t size) const {
        WriteProcessMemory(process_, address_ + offset, data, size, nullptr);
    }
    void read(std::size_t offset, void* data, std::size_t size) const {
        ReadProcessMemory(process_, address_ + offset, data, size, nullptr);
    }

private:
    HANDLE process_ = nullptr;
    char* address_ = nullptr;
};

// The text of the tree view's selected item, read through remote memory.
std::string selectedItemText(HWND tree, const RemoteBlock& block) {
    auto item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (!item) return std::string();
    constexpr std::size_t kTextOffset = 1024;
    TVITEMA data = {};
    data.mask = TVIF_TEXT;
    data.hItem = item;
    data.pszText = block.at(kTextOffset);
    data.cchTextMax = MAX_PATH;
    block.write(0, &data, sizeof data);
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(block.at(0)));
    char text[MAX_PATH] = "";
    block.read(kTextOffset, text, sizeof text - 1);
    return text;
}

// Picks folder in the launcher's folder browser: the path is written into
// the launcher's memory, where the browser reads it. Selects again until the
// browser shows it: its own initialisation may still select the root.
bool pickFolder(HWND dialog, const std::string& folder) {
    pressButton(dialog, 202);  // Browse...
    HWND browser = waitFor([dialog] { return ownedWindow(dialog); });
    if (!browser) return false;
    HWND tree = FindWindowExA(browser, nullptr, WC_TREEVIEWA, nullptr);
    RemoteBlock block(dialog, 4096);
    constexpr std::size_t kPathOffset = 2048;
    block.write(kPathOffset, folder.c_str(), folder.size() + 1);
    std::string leaf = folder.substr(folder.rfind('\\') + 1);
    bool selected = false;
    for (int i = 0; i < 500 && !selected; ++i) {
        if (!selectedItemText(tree, block).empty()) {
            SendMessageA(browser, BFFM_SETSELECTIONA, TRUE,
                         reinterpret_cast<LPARAM>(block.at(kPathOffset)));
            selected = selectedItemText(tree, block) == leaf;
        }
        if (!selected) Sleep(10);
    }
    PostMessageA(browser, WM_COMMAND, selected ? IDOK : IDCANCEL, 0);
    waitFor([dialog] { return IsWindowEnabled(GetDlgItem(dialog, IDOK)) ? dialog : HWND(nullptr); });
    return selected;
}

TEST(JreNotFound, PickedRuntimeStartsTheApplicationAndIsFoundNextTime) {
    TestFolder folder("jre-not-found-pick");
    // Wine's folder browser would not select a folder of the Z: drive here,
    // so the runtime lies in the temporary folder on C:.
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string runtime = std::string(temp) + "jre-not-found-pick-runtime";
    removeTree(runtime);
    addTestRuntimeAt(runtime);
    std::string settings = std::string(kSettings) + "[Class Path]\r\nClass Path=\\classes\r\n";
    folder.write("classes\\demo\\Main.class", "main\n    out started\n");

    SeenDialog seen;
    bool picked = false;
    LaunchResult result = launchWithoutRuntime(folder, settings, seen, [&](HWND dialog) {
        picked = pickFolder(dialog, runtime);
        EXPECT_EQ(itemText(dialog, 201), runtime);
        pressButton(dialog, picked ? IDOK : IDCANCEL);
    });
    ASSERT_TRUE(picked);
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(seen.count, 1);
    EXPECT_TRUE(result.messageBoxes().empty());
    // The application ran on the picked runtime.
    Trace trace = readTrace(folder.file("trace.txt"));
    EXPECT_EQ(trace.first("load").get("module"), runtime + "\\bin\\client\\jvm.dll");
    EXPECT_EQ(trace.first("call").get("class"), "demo/Main");
    EXPECT_TRUE(trace.problems().empty()) << trace.text;

    // The per-user settings file remembers the folder with a backslash; the
    // settings file beside the executable is left as it was.
    EXPECT_EQ(folder.read("app.ini"), settings);
    char remembered[MAX_PATH] = "";
    GetPrivateProfileStringA("Java Runtime Environment", "JRE Path", "", remembered, MAX_PATH,
                             folder.file("appdata\\Demo\\demo-1\\app.ini").c_str());
    EXPECT_EQ(remembered, runtime + "\\");

    // The next start takes the remembered runtime without asking.
    DeleteFileA(folder.file("trace.txt").c_str());
    seen = SeenDialog();
    result = launchWithoutRuntime(folder, settings, seen, pressCancel);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(seen.count, 0);
    EXPECT_TRUE(result.windows.empty());
    trace = readTrace(folder.file("trace.txt"));
    EXPECT_EQ(trace.first("load").get("module"), runtime + "\\bin\\client\\jvm.dll");
    EXPECT_TRUE(trace.has("call"));
    removeTree(runtime);
}

}  // namespace
