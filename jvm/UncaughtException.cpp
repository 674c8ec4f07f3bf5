#include "jvm/UncaughtException.h"

#include <windows.h>

#include "jvm/JavaCalls.h"
#include "launcher/Launcher.h"
#include "ui/ExceptionDialog.h"

bool handleUncaughtException(Launcher&, jthrowable exception, JNIEnv* env) {
    std::string text = exceptionText(env, exception);
    if (text.empty()) return false;
    ExceptionDialog dialog(text);
    return dialog.showModal(GetActiveWindow()) != ExceptionDialog::Ignore;
}
