#pragma once
// Error reporting: every failure that stops the launcher is shown in a modal
// message box with the error icon, its text in UTF-16.

#include <windows.h>

#include <string>

#include "base/Messages.h"

// The message of a failure, as an error, shown with MessageBoxW.
void showFailure(HWND owner, const Failure& failure);
