// Shows the "JRE Not Found" dialog as a launch that needs Java 1.6 or later
// would, for tools/screenshot.sh. Ends with 0 when the dialog was cancelled.
#include <windows.h>

#include "ScreenshotSignal.h"
#include "jre/RequiredVersion.h"
#include "settings/LauncherSettings.h"
#include "ui/JreNotFoundDialog.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    DiscoverySettings settings;
    JavaVersion::parse("1.6", kVersionFillMin, settings.minVersion);
    closeAfterScreenshot("JRE Not Found", IDCANCEL);
    JreNotFoundDialog dialog(jreNotFoundMessage(settings), settings.jvmType);
    return dialog.showModal(nullptr) == IDCANCEL ? 0 : 1;
}
