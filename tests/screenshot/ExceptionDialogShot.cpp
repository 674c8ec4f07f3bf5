// Shows the "Java Exception" dialog with a typical stack trace, for
// tools/screenshot.sh. Ends with 0 when the dialog answered "Ignore".
#include <windows.h>

#include "ScreenshotSignal.h"
#include "ui/ExceptionDialog.h"

namespace {

const char kSampleTrace[] =
    "java.lang.IllegalStateException: Could not open the project C:\\Users\\demo\\Documents\\"
    "Quarterly Report.prj\r\n"
    "\tat com.example.editor.ProjectLoader.open(ProjectLoader.java:118)\r\n"
    "\tat com.example.editor.MainWindow.<init>(MainWindow.java:57)\r\n"
    "\tat com.example.editor.Main.main(Main.java:23)\r\n"
    "Caused by: java.io.FileNotFoundException: C:\\Users\\demo\\Documents\\Quarterly Report.prj "
    "(The system cannot find the file specified)\r\n"
    "\tat java.base/java.io.FileInputStream.open0(Native Method)\r\n"
    "\tat java.base/java.io.FileInputStream.open(FileInputStream.java:216)\r\n"
    "\tat java.base/java.io.FileInputStream.<init>(FileInputStream.java:157)\r\n"
    "\tat com.example.editor.ProjectLoader.open(ProjectLoader.java:112)\r\n"
    "\t... 2 more\r\n";

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    closeAfterScreenshot("Java Exception", IDOK);
    return ExceptionDialog(kSampleTrace).showModal(nullptr) == IDOK ? 0 : 1;
}
