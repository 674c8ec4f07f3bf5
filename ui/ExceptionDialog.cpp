#include "ui/ExceptionDialog.h"

#include "res/resource.h"

namespace {

// The controls that follow the frame, in the order they are laid out.
const struct {
    int id;
    unsigned anchors;
} kLayout[] = {
    {IDC_EXCEPTION_GROUP, anchor::GrowWidth | anchor::GrowHeight},
    {IDC_EXCEPTION_INTRO, anchor::GrowWidth},
    {IDC_EXCEPTION_WARNING, anchor::GrowWidth | anchor::MoveDown},
    {IDC_EXCEPTION_ADVICE, anchor::GrowWidth | anchor::MoveDown},
    {IDC_EXCEPTION_TEXT, anchor::GrowWidth | anchor::GrowHeight},
    {IDOK, anchor::MoveRight | anchor::MoveDown},
    {IDCANCEL, anchor::MoveRight | anchor::MoveDown},
};

}  // namespace

INT_PTR ExceptionDialog::showModal(HWND owner) { return runModal(owner, IDD_JAVA_EXCEPTION); }

void ExceptionDialog::initialize() {
    HWND dialog = handle();
    SetDlgItemTextW(dialog, IDC_EXCEPTION_TEXT, text_.c_str());
    SendDlgItemMessageA(dialog, IDC_EXCEPTION_TEXT, EM_SETREADONLY, TRUE, 0);
    SendDlgItemMessageA(dialog, IDC_EXCEPTION_ICON, STM_SETICON,
                        reinterpret_cast<WPARAM>(LoadIconA(nullptr, IDI_HAND)), 0);
    centerDialog(dialog);
    layout_.setUp(dialog);
    for (const auto& control : kLayout) layout_.add(control.id, control.anchors);
}

bool ExceptionDialog::processMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (layout_.processMessage(message, wParam, lParam, result)) return true;
    switch (message) {
        case WM_INITDIALOG:
            initialize();
            result = FALSE;  // no keyboard focus; Enter still chooses "Ignore"
            return true;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                EndDialog(handle(), LOWORD(wParam));
                result = 0;
                return true;
            }
            return false;
        default:
            return false;
    }
}
