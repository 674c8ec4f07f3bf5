#include "ui/MessageReporter.h"

void showFailure(HWND owner, const Failure& failure) {
    // Always the wide call: a path, a version or an argument in the text is
    // shown with every character it has (a name the ANSI code page cannot
    // spell as it is).
    MessageBoxW(owner, messageTextWide(failure).c_str(), nullptr, MB_OK | MB_ICONERROR);
}
