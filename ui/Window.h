#pragma once
// The base of every window object of the launcher: the splash window, the
// two dialogs and the hyperlink control. An object is bound to its window
// before the window's first message is handled; messages the object does not
// handle go to the default window or dialog procedure, or, for a subclassed
// control, to the control's own procedure.

#include <windows.h>

#include "base/UniqueResource.h"

class Window {
public:
    // One message in; true when handled, with the result in result.
    virtual bool processMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;
    virtual ~Window();
    // The procedure installed for the window (the dialog procedure for dialogs).
    virtual WNDPROC procedure() const;
    // Called after the window's last message (WM_NCDESTROY) has been handled.
    virtual void afterLastMessage() {}

    HWND handle() const { return handle_; }

    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

protected:
    Window() = default;

    // Creates a window of a registered class bound to this object.
    HWND create(DWORD exStyle, const char* className, const char* title, DWORD style, int x,
                int y, int width, int height, HWND parent, HMENU menu);
    // Binds this object to an existing window by replacing its procedure;
    // false when the window procedure cannot be replaced.
    bool subclass(HWND window);

    // Default processing of an unhandled message.
    LRESULT defaultProcessing(UINT message, WPARAM wParam, LPARAM lParam);

    // Window procedure shared by all windows of this base (classes register
    // it as their procedure).
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    friend class Dialog;
    static Window* boundObject(HWND window);
    // The object whose window is being created on this thread; bound on the
    // window's first message. Kept in a Win32 TLS slot: C++ thread_local
    // would link the whole threads library into the executable.
    static Window* creating();
    static void setCreating(Window* object);
    // The object waiting to be bound, taken at most once.
    static Window* takeCreating();
    void bind(HWND window);
    void unbind();

    HWND handle_ = nullptr;
    WNDPROC subclassedProcedure_ = nullptr;
};

// A modal dialog run from a dialog template of the executable's resources.
// Moved to a monitor of another DPI (WM_DPICHANGED), it scales itself: the
// template's font is made anew for the new DPI and given to every control,
// each control's rectangle is scaled, and the frame takes the rectangle
// Windows suggests.
class Dialog : public Window {
public:
    WNDPROC procedure() const override;
    // The DPI the dialog is laid out for; 0 before it exists.
    UINT dpi() const { return dpi_; }

protected:
    // DialogBoxParamW with this object bound; the result of EndDialog, or -1
    // when the dialog cannot be created.
    INT_PTR runModal(HWND owner, int templateId);
    // What WM_DPICHANGED does: the DPI in it, and the rectangle it suggests.
    void changeDpi(UINT newDpi, const RECT& suggested);
    // Called by changeDpi once the controls are scaled, before the frame
    // moves: a dialog scales what it keeps in pixels.
    virtual void scaleLayout(UINT /*newDpi*/, UINT /*oldDpi*/) {}

private:
    static INT_PTR CALLBACK dialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    UINT dpi_ = 0;
    UINT initialDpi_ = 0;
    UniqueGdiObject font_;  // the template's font at the current DPI, once it changed
};

// Centres a dialog on its visible, not minimised owner, else on the work
// area of the monitor the launcher starts on, and keeps it inside the work
// area of that monitor.
void centerDialog(HWND dialog);

// The top-left corner that centres a rectangle of the given size on the
// reference rectangle, pushed back inside the work area.
POINT centeredPosition(const RECT& reference, const RECT& workArea, int width, int height);
