// Shows the "Java Exception" dialog with a typical stack trace whose message
// holds letters of several scripts, for tools/screenshot.sh. Ends with 0 when
// the dialog answered "Ignore" and its text, read back in UTF-16 with
// WM_GETTEXT, was the trace unchanged; 1 otherwise.
#include <windows.h>

#include <cstdio>
#include <string>

#include "ScreenshotSignal.h"
#include "res/resource.h"
#include "ui/ExceptionDialog.h"

namespace {

const wchar_t kSampleTrace[] =
    L"java.lang.IllegalStateException: C:\\Users\\J\u00e9r\u00f4me\\\u041e\u0442\u0447\u0451\u0442 "
    L"\u5831\u544a\u66f8.prj\r\n"
    L"\tat com.example.editor.ProjectLoader.open(ProjectLoader.java:118)\r\n"
    L"\tat com.example.editor.MainWindow.<init>(MainWindow.java:57)\r\n"
    L"\tat com.example.editor.Main.main(Main.java:23)\r\n"
    L"Caused by: java.io.FileNotFoundException: C:\\Users\\J\u00e9r\u00f4me\\"
    L"\u041e\u0442\u0447\u0451\u0442 \u5831\u544a\u66f8.prj (The system cannot find the file specified)\r\n"
    L"\tat java.base/java.io.FileInputStream.open0(Native Method)\r\n"
    L"\tat java.base/java.io.FileInputStream.open(FileInputStream.java:216)\r\n"
    L"\tat java.base/java.io.FileInputStream.<init>(FileInputStream.java:157)\r\n"
    L"\tat com.example.editor.ProjectLoader.open(ProjectLoader.java:112)\r\n"
    L"\t... 2 more\r\n";

bool textKept = false;

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    closeAfterScreenshot("Java Exception", IDOK, [](HWND dialog) {
        wchar_t text[4096] = L"";
        SendDlgItemMessageW(dialog, IDC_EXCEPTION_TEXT, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text));
        textKept = std::wstring(text) == kSampleTrace;
        if (!textKept) std::fputs("the dialog's text, read back in UTF-16, is not the trace\n", stderr);
    });
    bool ignored = ExceptionDialog(kSampleTrace).showModal(nullptr) == IDOK;
    return ignored && textKept ? 0 : 1;
}
