#pragma once
// The resizable "Java Exception" dialog: shows the stack trace of an uncaught
// Java exception (in UTF-16, every character as Java wrote it) and lets the
// user ignore it or stop the application. It only reports the choice.

#include <windows.h>

#include <string>

#include "ui/ResizeLayout.h"
#include "ui/Window.h"

class ExceptionDialog : public Dialog {
public:
    enum Choice : int { Ignore = IDOK, Stop = IDCANCEL };

    explicit ExceptionDialog(const std::wstring& text) : text_(text) {}

    // Runs the dialog modal to owner (may be null). Ignore (also Enter) gives
    // 1; Stop, Escape and the close box give 2; -1 when the dialog can't be
    // created.
    INT_PTR showModal(HWND owner);

    bool processMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

protected:
    void scaleLayout(UINT newDpi, UINT oldDpi) override { layout_.scale(newDpi, oldDpi); }

private:
    void initialize();

    std::wstring text_;
    ResizeLayout layout_;
};
