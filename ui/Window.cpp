#include "ui/Window.h"

#include "ui/MonitorDpi.h"

namespace {
const char kObjectProperty[] = "LauncherWindowObject";

// The thread-local slot, allocated by the first window made on any thread.
// (The product runs no static constructors: the slot is not made while the
// program starts.)
DWORD creatingSlot() {
    static volatile LONG slot = static_cast<LONG>(TLS_OUT_OF_INDEXES);
    LONG value = slot;
    if (value != static_cast<LONG>(TLS_OUT_OF_INDEXES)) return static_cast<DWORD>(value);
    DWORD fresh = TlsAlloc();
    value = InterlockedCompareExchange(&slot, static_cast<LONG>(fresh), static_cast<LONG>(TLS_OUT_OF_INDEXES));
    if (value == static_cast<LONG>(TLS_OUT_OF_INDEXES)) return fresh;
    // Another thread was first.
    TlsFree(fresh);
    return static_cast<DWORD>(value);
}
}  // namespace

Window* Window::creating() { return static_cast<Window*>(TlsGetValue(creatingSlot())); }

void Window::setCreating(Window* object) { TlsSetValue(creatingSlot(), object); }

Window* Window::takeCreating() {
    Window* object = creating();
    if (object) setCreating(nullptr);
    return object;
}

Window::~Window() {
    if (handle_) unbind();
}

WNDPROC Window::procedure() const { return &Window::windowProcedure; }

Window* Window::boundObject(HWND window) {
    return static_cast<Window*>(GetPropA(window, kObjectProperty));
}

void Window::bind(HWND window) {
    handle_ = window;
    SetPropA(window, kObjectProperty, this);
}

void Window::unbind() {
    if (subclassedProcedure_) {
        SetWindowLongPtrA(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(subclassedProcedure_));
        subclassedProcedure_ = nullptr;
    }
    RemovePropA(handle_, kObjectProperty);
    handle_ = nullptr;
}

HWND Window::create(DWORD exStyle, const char* className, const char* title, DWORD style, int x,
                    int y, int width, int height, HWND parent, HMENU menu) {
    setCreating(this);
    HWND window = CreateWindowExA(exStyle, className, title, style, x, y, width, height, parent,
                                  menu, GetModuleHandleA(nullptr), nullptr);
    setCreating(nullptr);
    return window;
}

bool Window::subclass(HWND window) {
    bind(window);
    auto previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure())));
    if (!previous) {
        RemovePropA(window, kObjectProperty);
        handle_ = nullptr;
        return false;
    }
    subclassedProcedure_ = previous;
    return true;
}

LRESULT Window::defaultProcessing(UINT message, WPARAM wParam, LPARAM lParam) {
    if (subclassedProcedure_)
        return CallWindowProcA(subclassedProcedure_, handle_, message, wParam, lParam);
    return DefWindowProcA(handle_, message, wParam, lParam);
}

LRESULT CALLBACK Window::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* object = boundObject(window);
    if (!object && (object = takeCreating())) object->bind(window);
    if (!object) return DefWindowProcA(window, message, wParam, lParam);

    LRESULT result = 0;
    if (!object->processMessage(message, wParam, lParam, result))
        result = object->defaultProcessing(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        object->unbind();
        object->afterLastMessage();
    }
    return result;
}

WNDPROC Dialog::procedure() const {
    return reinterpret_cast<WNDPROC>(&Dialog::dialogProcedure);
}

INT_PTR Dialog::runModal(HWND owner, int templateId) {
    setCreating(this);
    // The wide call: the dialog's edit controls are then made by a Unicode
    // creator and keep their text in UTF-16 (made by an ANSI one, Windows'
    // edit control keeps it in the ANSI code page).
    INT_PTR result = DialogBoxParamW(GetModuleHandleA(nullptr), MAKEINTRESOURCEW(templateId),
                                     owner, &Dialog::dialogProcedure, 0);
    setCreating(nullptr);
    return result;
}

INT_PTR CALLBACK Dialog::dialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* object = boundObject(window);
    if (!object && (object = takeCreating())) object->bind(window);
    if (!object) return FALSE;

    auto* dialog = static_cast<Dialog*>(object);
    if (message == WM_INITDIALOG) dialog->dpi_ = dialog->initialDpi_ = dpiOfWindow(window);
    if (message == WM_DPICHANGED) {
        dialog->changeDpi(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        SetWindowLongPtrA(window, DWLP_MSGRESULT, 0);
        return TRUE;
    }

    LRESULT result = 0;
    bool handled = object->processMessage(message, wParam, lParam, result);
    if (message == WM_NCDESTROY) {
        object->unbind();
        object->afterLastMessage();
    }
    if (!handled) return FALSE;  // the default dialog procedure takes it
    // WM_INITDIALOG answers with its result directly; other handled messages
    // leave theirs in DWLP_MSGRESULT.
    if (message == WM_INITDIALOG || message == WM_CTLCOLORSTATIC || message == WM_CTLCOLORDLG ||
        message == WM_CTLCOLOREDIT || message == WM_CTLCOLORBTN)
        return static_cast<INT_PTR>(result);
    SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
    return TRUE;
}

void Dialog::changeDpi(UINT newDpi, const RECT& suggested) {
    HWND dialog = handle();
    UINT oldDpi = dpi_;
    if (oldDpi && newDpi && newDpi != oldDpi) {
        // The template's font (the dialog keeps answering WM_GETFONT with
        // it), sized for the new DPI.
        HFONT font = nullptr;
        LOGFONTW logFont;
        auto templateFont = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
        if (templateFont && GetObjectW(templateFont, sizeof logFont, &logFont) == sizeof logFont) {
            logFont.lfHeight = MulDiv(logFont.lfHeight, static_cast<int>(newDpi), static_cast<int>(initialDpi_));
            font = CreateFontIndirectW(&logFont);
        }
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            RECT rect;
            GetWindowRect(child, &rect);
            MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
            rect = scaledRect(rect, newDpi, oldDpi);
            SetWindowPos(child, nullptr, rect.left, rect.top, rect.right - rect.left,
                         rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
            if (font) SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        }
        scaleLayout(newDpi, oldDpi);
        // The previous font goes once no control uses it.
        if (font) font_.reset(font);
        dpi_ = newDpi;
    }
    SetWindowPos(dialog, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

POINT centeredPosition(const RECT& reference, const RECT& workArea, int width, int height) {
    POINT corner;
    corner.x = reference.left + (reference.right - reference.left) / 2 - width / 2;
    corner.y = reference.top + (reference.bottom - reference.top) / 2 - height / 2;
    // The far edges first, so that a window larger than the work area keeps
    // its top-left corner (and its caption) inside it.
    if (corner.x + width > workArea.right) corner.x = workArea.right - width;
    if (corner.x < workArea.left) corner.x = workArea.left;
    if (corner.y + height > workArea.bottom) corner.y = workArea.bottom - height;
    if (corner.y < workArea.top) corner.y = workArea.top;
    return corner;
}

void centerDialog(HWND dialog) {
    HWND owner = GetWindow(dialog, GW_OWNER);
    bool onOwner = owner && IsWindowVisible(owner) && !IsIconic(owner);
    RECT workArea = workAreaOf(onOwner ? MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST) : startMonitor());
    RECT reference = workArea;
    if (onOwner) GetWindowRect(owner, &reference);

    RECT own;
    GetWindowRect(dialog, &own);
    POINT corner = centeredPosition(reference, workArea, own.right - own.left, own.bottom - own.top);
    SetWindowPos(dialog, nullptr, corner.x, corner.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
