#include "ui/JreNotFoundDialog.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shlobj.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "TempFolder.h"
#include "harness/PeStub.h"
#include "harness/PeStub.h"
#include "res/resource.h"

namespace {

const char kDownloadAddress[] = "https://java.com/";
const char kMessage[] = "The Java Runtime Environment (JRE) was not found.";

// The dialog with a test script that runs inside its modal loop once it is
// initialised; the script ends the dialog.
class ScriptedDialog : public JreNotFoundDialog {
public:
    using Script = std::function<void(ScriptedDialog&)>;
    static constexpr UINT kRunScript = WM_APP + 1;

    ScriptedDialog(JvmType type, Script script, const std::string& downloadPage = {})
        : JreNotFoundDialog(kMessage, type, downloadPage), script_(std::move(script)) {}

    bool processMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        if (message == kRunScript) {
            // The modal loop shows the dialog once its queue is empty; the
            // script's message comes first, so show it as the loop would.
            if (!IsWindowVisible(handle())) ShowWindow(handle(), SW_SHOWNORMAL);
            Script script = std::move(script_);
            script(*this);
            result = 0;
            return true;
        }
        bool handled = JreNotFoundDialog::processMessage(message, wParam, lParam, result);
        if (message == WM_INITDIALOG) PostMessageA(handle(), kRunScript, 0, 0);
        return handled;
    }

    // Runs next after the messages posted so far have been handled.
    void then(Script next) {
        script_ = std::move(next);
        PostMessageA(handle(), kRunScript, 0, 0);
    }

    HWND item(int id) const { return GetDlgItem(handle(), id); }
    bool okEnabled() const { return IsWindowEnabled(item(IDOK)) != FALSE; }
    std::string pathText() const {
        char text[MAX_PATH + 10] = "";
        GetWindowTextA(item(IDC_JRE_PATH), text, sizeof text);
        return text;
    }

    using JreNotFoundDialog::applyBrowsedFolder;
    using JreNotFoundDialog::browseForRuntime;
    using JreNotFoundDialog::downloadLink;

private:
    Script script_;
};

void click(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }

int run(JvmType type, ScriptedDialog::Script script, HWND owner = nullptr) {
    ScriptedDialog dialog(type, std::move(script));
    return dialog.showModal(owner);
}

// --- the dialog as created from its template -----------------------------

struct TemplateItem {
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    int id = 0;
    const char* className = "";
    const char* text = "";
};

const DWORD kVisibleChild = WS_CHILD | WS_VISIBLE;

// The controls in tab order with the styles they are created with.
const TemplateItem kControls[] = {
    {kVisibleChild | BS_DEFPUSHBUTTON | WS_TABSTOP, 107, 122, 50, 14, IDOK, "button", "OK"},
    {kVisibleChild | BS_PUSHBUTTON | WS_TABSTOP, 161, 122, 50, 14, IDCANCEL, "button", "Cancel"},
    {kVisibleChild | ES_AUTOHSCROLL | ES_READONLY | WS_BORDER | WS_TABSTOP, 60, 89, 94, 14,
     IDC_JRE_PATH, "edit", ""},
    {kVisibleChild | SS_LEFT | WS_GROUP, 12, 92, 45, 8, -1, "static", "JRE Path:"},
    {kVisibleChild | BS_PUSHBUTTON | WS_TABSTOP, 157, 89, 50, 14, IDC_BROWSE, "button",
     "Browse..."},
    {kVisibleChild | BS_GROUPBOX, 8, 11, 203, 103, -1, "button", "Missing JRE"},
    {kVisibleChild | SS_LEFT | WS_GROUP, 44, 24, 147, 25, IDC_MESSAGE, "static", ""},
    {kVisibleChild | SS_LEFT | WS_GROUP, 44, 55, 75, 8, IDC_DOWNLOAD_LINK, "static",
     kDownloadAddress},
    {kVisibleChild | SS_ICON, 16, 26, 21, 20, IDC_ERROR_ICON, "static", ""},
    {kVisibleChild | SS_LEFT | WS_GROUP, 12, 73, 195, 8, IDC_BROWSE_HINT, "static",
     "If you have a JRE installed you can browse for it below:"},
};

std::string windowText(HWND window) {
    char text[512] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

TEST(JreNotFoundDialog, OpensWithTheControlsOfTheTemplate) {
    int result = run(JvmType::Default, [](ScriptedDialog& dialog) {
        HWND window = dialog.handle();
        EXPECT_EQ(windowText(window), "JRE Not Found");
        LONG style = GetWindowLongA(window, GWL_STYLE);
        EXPECT_EQ(style & (WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME),
                  WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);
        EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0);

        HWND child = GetWindow(window, GW_CHILD);
        for (const TemplateItem& expected : kControls) {
            SCOPED_TRACE("id " + std::to_string(expected.id));
            ASSERT_NE(child, nullptr);
            EXPECT_EQ(GetDlgCtrlID(child), expected.id);
            char className[32] = "";
            GetClassNameA(child, className, sizeof className);
            EXPECT_EQ(lstrcmpiA(className, expected.className), 0) << className;
            // Exactly the template's styles, apart from what initialisation
            // changes and the edit's border, which the edit control turns
            // into a client edge.
            DWORD created = static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE));
            DWORD wanted = expected.style;
            if (expected.id == IDOK) wanted |= WS_DISABLED;
            if (expected.id == IDC_DOWNLOAD_LINK) wanted |= SS_NOTIFY;
            if (expected.id == IDC_JRE_PATH && !(created & WS_BORDER)) {
                wanted &= ~WS_BORDER;
                EXPECT_TRUE(GetWindowLongA(child, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
            }
            EXPECT_EQ(created, wanted) << std::hex << (created ^ wanted);
            if (expected.id != IDC_MESSAGE) EXPECT_EQ(windowText(child), expected.text);
            // Position and size are converted from dialog units separately.
            RECT units = {expected.x, expected.y, expected.cx, expected.cy};
            MapDialogRect(window, &units);
            RECT actual;
            GetWindowRect(child, &actual);
            MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&actual), 2);
            EXPECT_EQ(actual.left, units.left);
            EXPECT_EQ(actual.top, units.top);
            if (expected.id != IDC_ERROR_ICON) {  // an icon static takes the icon's size
                EXPECT_EQ(actual.right - actual.left, units.right);
                EXPECT_EQ(actual.bottom - actual.top, units.bottom);
            }
            child = GetWindow(child, GW_HWNDNEXT);
        }
        EXPECT_EQ(child, nullptr);

        // Filled at initialisation.
        EXPECT_EQ(windowText(dialog.item(IDC_MESSAGE)), kMessage);
        EXPECT_EQ(SendMessageA(dialog.item(IDC_ERROR_ICON), STM_GETICON, 0, 0),
                  reinterpret_cast<LRESULT>(LoadIconA(nullptr, IDI_HAND)));
        EXPECT_FALSE(dialog.okEnabled());
        EXPECT_TRUE(IsWindowEnabled(dialog.item(IDCANCEL)));
        EXPECT_EQ(dialog.pathText(), "");
        EXPECT_TRUE(dialog.chosenFolder().empty());
        EXPECT_TRUE(dialog.foundJvmLibraryPath().empty());

        // The link took over the address static, in the dialog's font.
        HyperLink& link = dialog.downloadLink();
        EXPECT_EQ(link.handle(), dialog.item(IDC_DOWNLOAD_LINK));
        EXPECT_EQ(link.url(), kDownloadAddress);
        EXPECT_EQ(link.label(), kDownloadAddress);
        EXPECT_EQ(link.font(), reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)));
        // The address fits on the control's one line.
        RECT client;
        GetClientRect(link.handle(), &client);
        EXPECT_LE(link.linkRect().right, client.right);
        EXPECT_LE(link.linkRect().bottom, client.bottom);

        click(dialog.item(IDCANCEL));
    });
    EXPECT_EQ(result, IDCANCEL);
}

TEST(JreNotFoundDialog, PathFieldCannotBeTypedInto) {
    run(JvmType::Default, [](ScriptedDialog& dialog) {
        HWND edit = dialog.item(IDC_JRE_PATH);
        EXPECT_TRUE(GetWindowLongA(edit, GWL_STYLE) & ES_READONLY);
        SendMessageA(edit, WM_CHAR, 'x', 0);
        SendMessageA(edit, WM_PASTE, 0, 0);
        EXPECT_EQ(dialog.pathText(), "");
        click(dialog.item(IDCANCEL));
    });
}

TEST(JreNotFoundDialog, CancelEscapeAndCloseEndWithCancel) {
    EXPECT_EQ(run(JvmType::Default, [](ScriptedDialog& d) { click(d.item(IDCANCEL)); }), IDCANCEL);
    EXPECT_EQ(run(JvmType::Default,
                  [](ScriptedDialog& d) { PostMessageA(d.handle(), WM_KEYDOWN, VK_ESCAPE, 0); }),
              IDCANCEL);
    EXPECT_EQ(run(JvmType::Default,
                  [](ScriptedDialog& d) { PostMessageA(d.handle(), WM_SYSCOMMAND, SC_CLOSE, 0); }),
              IDCANCEL);
    // While OK is disabled neither Enter nor a stray OK command ends it.
    EXPECT_EQ(run(JvmType::Default,
                  [](ScriptedDialog& d) {
                      PostMessageA(d.handle(), WM_KEYDOWN, VK_RETURN, 0);
                      PostMessageA(d.handle(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                                   reinterpret_cast<LPARAM>(d.item(IDOK)));
                      d.then([](ScriptedDialog& d) {
                          EXPECT_TRUE(IsWindowVisible(d.handle()));
                          click(d.item(IDCANCEL));
                      });
                  }),
              IDCANCEL);
}

TEST(JreNotFoundDialog, ModalToItsOwner) {
    HWND owner = CreateWindowExA(0, "Static", "owner", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    run(
        JvmType::Default,
        [owner](ScriptedDialog& d) {
            EXPECT_EQ(GetWindow(d.handle(), GW_OWNER), owner);
            EXPECT_FALSE(IsWindowEnabled(owner));
            click(d.item(IDCANCEL));
        },
        owner);
    EXPECT_TRUE(IsWindowEnabled(owner));
    DestroyWindow(owner);
}

// A folder that looks like a Java home with the given JVM libraries.
std::string makeJavaHome(const TempFolder& folder, std::initializer_list<const char*> libraries) {
    for (const char* library : libraries) folder.write(library, peStub());
    return folder.path();
}

struct Outcome {
    int result = 0;
    std::string chosenFolder, library;
};

// Applies browsed folders one after the other, checks OK after each, and
// presses OK when it is enabled at the end, else Cancel.
Outcome browseAndFinish(JvmType type, std::vector<std::pair<std::string, bool>> folders) {
    Outcome outcome;
    ScriptedDialog dialog(type, [&](ScriptedDialog& d) {
        for (const auto& [path, okExpected] : folders) {
            d.applyBrowsedFolder(path);
            EXPECT_EQ(d.pathText(), path);
            EXPECT_EQ(d.okEnabled(), okExpected) << path;
        }
        click(d.item(d.okEnabled() ? IDOK : IDCANCEL));
    });
    outcome.result = dialog.showModal(nullptr);
    outcome.chosenFolder = dialog.chosenFolder();
    outcome.library = dialog.foundJvmLibraryPath();
    return outcome;
}

TEST(JreNotFoundDialog, FolderWithALibraryEnablesOk) {
    TempFolder folder;
    std::string home = makeJavaHome(folder, {"bin\\client\\jvm.dll"});
    Outcome outcome = browseAndFinish(JvmType::Default, {{home, true}});
    EXPECT_EQ(outcome.result, IDOK);
    EXPECT_EQ(outcome.chosenFolder, home + "\\");
    EXPECT_EQ(outcome.library, home + "\\bin\\client\\jvm.dll");

    // A path that already ends in a backslash, as a drive root does, keeps one.
    outcome = browseAndFinish(JvmType::FavorServer, {{home + "\\", true}});
    EXPECT_EQ(outcome.result, IDOK);
    EXPECT_EQ(outcome.chosenFolder, home + "\\");
    EXPECT_EQ(outcome.library, home + "\\bin\\client\\jvm.dll");
}

TEST(JreNotFoundDialog, FolderWithoutAnAcceptedLibraryLeavesOkDisabled) {
    TempFolder client;
    std::string home = makeJavaHome(client, {"bin\\client\\jvm.dll"});
    Outcome outcome = browseAndFinish(JvmType::Server, {{home, false}});
    EXPECT_EQ(outcome.result, IDCANCEL);
    EXPECT_EQ(outcome.chosenFolder, home + "\\");  // taken, even without a library
    EXPECT_EQ(outcome.library, "");

    TempFolder empty;
    outcome = browseAndFinish(JvmType::Default, {{empty.path(), false}, {"", false}});
    EXPECT_EQ(outcome.chosenFolder, "");  // no backslash for an empty path

    // A library of the other machine is no library this launcher can load.
    TempFolder other;
    other.write("bin\\server\\jvm.dll", peStub(IMAGE_FILE_MACHINE_I386));
    outcome = browseAndFinish(JvmType::Default, {{other.path(), false}});
    EXPECT_EQ(outcome.library, "");
}

TEST(JreNotFoundDialog, DownloadPageOfTheSettings) {
    const std::string page = "https://adoptium.net/temurin/releases/?version=21";
    ScriptedDialog dialog(JvmType::Default, [&](ScriptedDialog& d) {
        HyperLink& link = d.downloadLink();
        EXPECT_EQ(link.url(), page);
        EXPECT_EQ(windowText(link.handle()), page);
        // Wider than the template's link, up to the box around it.
        RECT rect, box = {44, 0, 205, 0};
        GetWindowRect(link.handle(), &rect);
        MapDialogRect(d.handle(), &box);
        EXPECT_EQ(rect.right - rect.left, box.right - box.left);
        click(d.item(IDCANCEL));
    }, page);
    EXPECT_EQ(dialog.showModal(nullptr), IDCANCEL);
}

TEST(JreNotFoundDialog, PathFieldShowsTheFolderAsPicked) {
    // A folder the code page cannot spell is used by its short name, and
    // shown as the user picked it.
    const std::wstring picked = L"C:\\Programme\\\u0416\u0430\u0432\u0430 \u6f22\u5b57";
    ScriptedDialog dialog(JvmType::Default, [&](ScriptedDialog& d) {
        d.applyBrowsedFolder("C:\\PROGRA~1\\3E14~1", picked);
        wchar_t shown[MAX_PATH] = L"";
        GetWindowTextW(d.item(IDC_JRE_PATH), shown, MAX_PATH);
        EXPECT_TRUE(picked == shown);
        EXPECT_TRUE(IsWindowUnicode(d.item(IDC_JRE_PATH)));  // made to keep UTF-16 on Windows too
        EXPECT_EQ(d.chosenFolder(), "C:\\PROGRA~1\\3E14~1\\");
        click(d.item(IDCANCEL));
    });
    EXPECT_EQ(dialog.showModal(nullptr), IDCANCEL);
}

TEST(JreNotFoundDialog, LaterFolderWithoutALibraryDisablesOkAgain) {
    TempFolder good, empty;
    std::string home = makeJavaHome(good, {"bin\\server\\jvm.dll"});
    Outcome outcome = browseAndFinish(JvmType::Server, {{home, true}, {empty.path(), false}});
    EXPECT_EQ(outcome.result, IDCANCEL);
    EXPECT_EQ(outcome.library, "");

    outcome = browseAndFinish(JvmType::Server, {{empty.path(), false}, {home, true}});
    EXPECT_EQ(outcome.result, IDOK);
    EXPECT_EQ(outcome.chosenFolder, home + "\\");
    EXPECT_EQ(outcome.library, home + "\\bin\\server\\jvm.dll");
}

TEST(JreNotFoundDialog, LinkOpensOnClickAndOnSpaceAndTheDialogStaysOpen) {
    char system[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    std::string target = std::string(system) + "\\rundll32.exe";  // starts and ends at once
    int result = run(JvmType::Default, [&](ScriptedDialog& d) {
        HyperLink& link = d.downloadLink();
        // Tab does not reach the link: it has no tab stop.
        EXPECT_FALSE(GetWindowLongA(link.handle(), GWL_STYLE) & WS_TABSTOP);
        // A click gives it the focus; this target cannot be opened.
        link.setUrl("C:\\no such folder\\no such file.exe");
        LPARAM on = MAKELPARAM(link.linkRect().left + 1, link.linkRect().top + 1);
        SendMessageA(link.handle(), WM_LBUTTONDOWN, MK_LBUTTON, on);
        SendMessageA(link.handle(), WM_LBUTTONUP, 0, on);
        EXPECT_FALSE(link.visited());
        EXPECT_EQ(GetFocus(), link.handle());

        // Space typed into the dialog reaches the focused link.
        link.setUrl(target);
        PostMessageA(link.handle(), WM_CHAR, ' ', 0);
        d.then([](ScriptedDialog& d) {
            EXPECT_TRUE(d.downloadLink().visited());
            EXPECT_TRUE(IsWindowVisible(d.handle()));
            click(d.item(IDCANCEL));
        });
    });
    EXPECT_EQ(result, IDCANCEL);
}

// --- the shell's folder browser --------------------------------------------

// Waits for the folder browser owned by dialog, selects path in it and
// presses OK (or Cancel when path is empty); gives up after ten seconds.
class BrowserDriver {
public:
    BrowserDriver(HWND dialog, std::string path)
        : dialog_(dialog), path_(std::move(path)), thread_([this] { drive(); }) {}
    ~BrowserDriver() {
        stop_ = true;
        thread_.join();
    }
    bool found() const { return found_; }
    const std::string& title() const { return title_; }

private:
    HWND findBrowser() const {
        struct Search {
            HWND dialog;
            HWND found;
        } search{dialog_, nullptr};
        EnumThreadWindows(
            GetWindowThreadProcessId(dialog_, nullptr),
            [](HWND window, LPARAM param) -> BOOL {
                auto* s = reinterpret_cast<Search*>(param);
                if (window != s->dialog && GetWindow(window, GW_OWNER) == s->dialog &&
                    IsWindowVisible(window)) {
                    s->found = window;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    void drive() {
        for (int i = 0; i < 1000 && !stop_; ++i) {
            HWND browser = findBrowser();
            if (!browser) {
                Sleep(10);
                continue;
            }
            found_ = true;
            EnumChildWindows(
                browser,
                [](HWND child, LPARAM param) -> BOOL {
                    char text[128] = "";
                    GetWindowTextA(child, text, sizeof text);
                    if (lstrcmpA(text, "Browse for JRE folder") == 0)
                        *reinterpret_cast<std::string*>(param) = text;
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&title_));
            if (!path_.empty() && !select(browser)) return;
            PostMessageA(browser, WM_COMMAND, path_.empty() ? IDCANCEL : IDOK, 0);
            return;
        }
    }

    static std::string caretText(HWND tree) {
        auto item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
        if (!item) return std::string();
        char text[MAX_PATH] = "";
        TVITEMA data = {};
        data.mask = TVIF_TEXT;
        data.hItem = item;
        data.pszText = text;
        data.cchTextMax = sizeof text;
        SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
        return text;
    }

    // Selects path once the browser has made its own first selection (its
    // initialisation may pump messages and would select the root again).
    bool select(HWND browser) {
        HWND tree = FindWindowExA(browser, nullptr, WC_TREEVIEWA, nullptr);
        std::string leaf = path_.substr(path_.rfind('\\') + 1);
        for (int i = 0; i < 500 && !stop_; ++i) {
            if (!caretText(tree).empty()) {
                SendMessageA(browser, BFFM_SETSELECTIONA, TRUE,
                             reinterpret_cast<LPARAM>(path_.c_str()));
                if (caretText(tree) == leaf) return true;
            }
            Sleep(10);
        }
        PostMessageA(browser, WM_COMMAND, IDCANCEL, 0);
        return false;
    }

    HWND dialog_;
    std::string path_;
    std::atomic<bool> stop_{false};
    bool found_ = false;
    std::string title_;
    std::thread thread_;
};

TEST(JreNotFoundDialog, FolderBrowserPicksARuntime) {
    TempFolder folder;
    std::string home = makeJavaHome(folder, {"bin\\hotspot\\jvm.dll"});
    Outcome outcome;
    ScriptedDialog dialog(JvmType::Default, [&](ScriptedDialog& d) {
        {
            BrowserDriver cancel(d.handle(), "");
            d.browseForRuntime();
        }
        EXPECT_EQ(d.pathText(), "");
        EXPECT_FALSE(d.okEnabled());

        BrowserDriver driver(d.handle(), home);
        d.browseForRuntime();
        EXPECT_TRUE(driver.found());
        EXPECT_EQ(driver.title(), "Browse for JRE folder");
        EXPECT_EQ(d.pathText(), home);
        click(d.item(d.okEnabled() ? IDOK : IDCANCEL));
    });
    outcome.result = dialog.showModal(nullptr);
    EXPECT_EQ(outcome.result, IDOK);
    EXPECT_EQ(dialog.chosenFolder(), home + "\\");
    EXPECT_EQ(dialog.foundJvmLibraryPath(), home + "\\bin\\hotspot\\jvm.dll");
}

}  // namespace
