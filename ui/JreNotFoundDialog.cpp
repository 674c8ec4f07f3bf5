#include "ui/JreNotFoundDialog.h"

#include <shlobj.h>

#include "base/Messages.h"
#include "base/PathText.h"
#include "base/StringTable.h"
#include "base/UniqueResource.h"
#include "base/WideText.h"
#include "ui/MessageReporter.h"
#include "jre/JavaHome.h"
#include "res/resource.h"

namespace {

// The inner right edge of the "Missing JRE" box, in dialog units.
constexpr LONG kLinkRightEdge = 205;

// Only file-system folders, no button for making a new folder.
constexpr UINT kBrowseFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_NONEWFOLDERBUTTON;

// The new-style folder browser needs COM in an apartment on this thread;
// initialised for the browse only, unless someone did so before.
class ComApartment {
public:
    ComApartment() : initialized_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment() {
        if (initialized_) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool initialized_;
};

}  // namespace

JreNotFoundDialog::JreNotFoundDialog(const std::string& message, JvmType jvmType,
                                     const std::string& downloadPage)
    : message_(message), jvmType_(jvmType) {
    if (!downloadPage.empty()) {
        downloadLink_.setLabel(downloadPage);
        downloadLink_.setUrl(downloadPage);
    }
}

int JreNotFoundDialog::showModal(HWND owner) {
    return static_cast<int>(runModal(owner, IDD_JRE_NOT_FOUND));
}

bool JreNotFoundDialog::processMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    switch (message) {
        case WM_INITDIALOG:
            initialize();
            result = FALSE;  // the system sets no keyboard focus
            return true;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK:
                    // OK stands for a folder with a JVM library; a command
                    // that arrives while it is disabled is not taken.
                    if (!foundJvmLibraryPath_.empty()) EndDialog(handle(), IDOK);
                    break;
                case IDCANCEL: EndDialog(handle(), IDCANCEL); break;
                case IDC_BROWSE: browseForRuntime(); break;
                default: return false;
            }
            result = 0;
            return true;
        default:
            return false;
    }
}

void JreNotFoundDialog::initialize() {
    HWND dialog = handle();
    HWND link = GetDlgItem(dialog, IDC_DOWNLOAD_LINK);
    if (!downloadLink_.url().empty()) {
        // An address of the settings gets the width of the box around it:
        // the template's link holds the short default address on one line.
        RECT rect;
        GetWindowRect(link, &rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        RECT box = {0, 0, kLinkRightEdge, 0};
        MapDialogRect(dialog, &box);
        if (box.right > rect.right)
            SetWindowPos(link, nullptr, 0, 0, box.right - rect.left, rect.bottom - rect.top,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    downloadLink_.attach(link);
    SetDlgItemTextW(dialog, IDC_MESSAGE, toWide(message_).c_str());
    HICON icon = LoadIconA(nullptr, IDI_HAND);
    SendDlgItemMessageA(dialog, IDC_ERROR_ICON, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    EnableWindow(GetDlgItem(dialog, IDOK), FALSE);
    centerDialog(dialog);
}

void JreNotFoundDialog::browseForRuntime() {
    std::string title;
    loadResourceString(title, msg::BrowseTitle);

    ComApartment apartment;
    BROWSEINFOA browse = {};
    browse.hwndOwner = handle();
    browse.pidlRoot = nullptr;         // the desktop
    browse.pszDisplayName = nullptr;  // the display name is not needed
    browse.lpszTitle = title.c_str();
    browse.ulFlags = kBrowseFlags;
    browse.lpfn = nullptr;
    UniqueCoTaskMemory folder(SHBrowseForFolderA(&browse));
    if (!folder) return;

    wchar_t path[MAX_PATH] = L"";
    if (!SHGetPathFromIDListW(static_cast<PCIDLIST_ABSOLUTE>(folder.get()), path)) return;
    folder.reset();
    // The folder as the ANSI calls take it, with short names where the code
    // page cannot spell it; one that has no such form cannot be used, and
    // the browse changes nothing.
    AnsiPath ansiPath = ansiPathOf(path);
    if (ansiPath.ok) {
        applyBrowsedFolder(ansiPath.path, path);
    } else {
        showFailure(handle(), pathFailure(path));
    }
}

void JreNotFoundDialog::applyBrowsedFolder(const std::string& path, const std::wstring& shown) {
    HWND dialog = handle();
    SetDlgItemTextW(dialog, IDC_JRE_PATH, (shown.empty() ? toWide(path) : shown).c_str());
    chosenFolder_ = path;
    if (!chosenFolder_.empty() && !endsWithBackslash(chosenFolder_)) chosenFolder_ += '\\';
    foundJvmLibraryPath_ = probeJavaHome(chosenFolder_, jvmType_).library;
    // A folder without a library must not be taken: OK follows the last browse.
    EnableWindow(GetDlgItem(dialog, IDOK), !foundJvmLibraryPath_.empty());
}
