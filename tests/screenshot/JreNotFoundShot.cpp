// Shows the "JRE Not Found" dialog as a launch that needs Java 11 or later
// would, with a download page too long for the link's line, for
// tools/screenshot.sh. Ends with 0 when the dialog was cancelled and the
// link's text and its tooltip held the whole address; 1 otherwise.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

#include "ScreenshotSignal.h"
#include "jre/RequiredVersion.h"
#include "res/resource.h"
#include "settings/LauncherSettings.h"
#include "ui/HyperLink.h"
#include "ui/JreNotFoundDialog.h"

namespace {

const wchar_t kPage[] =
    L"https://adoptium.net/temurin/releases/?version=21&os=windows&arch=x64&package=jre&mode=filter";

bool linkWhole = false;

std::wstring tooltipText(HWND link) {
    HWND tooltip = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), [](HWND window, LPARAM found) -> BOOL {
        char name[64] = "";
        GetClassNameA(window, name, sizeof name);
        if (lstrcmpiA(name, TOOLTIPS_CLASSA) != 0) return TRUE;
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }, reinterpret_cast<LPARAM>(&tooltip));
    wchar_t text[1024] = L"";
    TOOLINFOW tool = {};
    tool.cbSize = sizeof tool;
    tool.hwnd = link;
    tool.uId = HyperLink::kToolId;
    tool.lpszText = text;
    if (tooltip) SendMessageW(tooltip, TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&tool));
    return text;
}

void checkLink(HWND dialog) {
    HWND link = GetDlgItem(dialog, IDC_DOWNLOAD_LINK);
    wchar_t text[1024] = L"";
    SendMessageW(link, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    std::wstring tip = tooltipText(link);
    linkWhole = kPage == std::wstring(text) && kPage == tip;
    if (!linkWhole)
        std::fprintf(stderr, "the link's text (%ls) or its tooltip (%ls) is not the whole address\n", text,
                     tip.c_str());
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    DiscoverySettings settings;
    JavaVersion::parse("11", kVersionFillMin, settings.minVersion);
    settings.minVersionText = "11";
    closeAfterScreenshot("JRE Not Found", IDCANCEL, checkLink);
    std::string page(std::begin(kPage), std::end(kPage) - 1);
    JreNotFoundDialog dialog(jreNotFoundMessage(settings), settings.jvmType, page);
    return dialog.showModal(nullptr) == IDCANCEL && linkWhole ? 0 : 1;
}
