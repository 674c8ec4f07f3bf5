#include "ui/HyperLink.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstdint>

#include "base/AnsiText.h"

namespace {

// The hand cursor, 32 by 32 pixels: '#' black, 'o' white, anything else (and
// everything outside the picture) shows the screen. The hot spot is the tip
// of the index finger.
constexpr int kCursorSize = 32;
constexpr int kHotSpotX = 5;
constexpr int kHotSpotY = 0;
constexpr const char* kHandPicture[] = {
    ".....##",
    "....#oo#",
    "....#oo#",
    "....#oo#",
    "....#oo#",
    "....#oo###",
    "....#oo#oo###",
    "....#oo#oo#oo###",
    "....#oo#oo#oo#oo#",
    ".##.#oo#oo#oo#oo#",
    "#oo##oo#oo#oo#oo#",
    "#ooo#ooooooooooo#",
    ".#oo#ooooooooooo#",
    "..#oooooooooooooo#",
    "..#oooooooooooooo#",
    "...#ooooooooooooo#",
    "...#oooooooooooo#",
    "....#ooooooooooo#",
    "....#ooooooooooo#",
    ".....#ooooooooo#",
    ".....#ooooooooo#",
    ".....###########",
};

struct CursorMasks {
    BYTE andMask[kCursorSize * kCursorSize / 8];
    BYTE xorMask[kCursorSize * kCursorSize / 8];
};

// AND 1, XOR 0 shows the screen; AND 0 gives the XOR colour (1 white, 0 black).
constexpr CursorMasks makeHandMasks() {
    CursorMasks masks{};
    constexpr int rows = sizeof kHandPicture / sizeof kHandPicture[0];
    for (int y = 0; y < kCursorSize; ++y) {
        const char* row = y < rows ? kHandPicture[y] : "";
        bool rowEnded = false;
        for (int x = 0; x < kCursorSize; ++x) {
            if (!rowEnded && row[x] == '\0') rowEnded = true;
            char pixel = rowEnded ? '.' : row[x];
            int index = y * (kCursorSize / 8) + x / 8;
            BYTE bit = static_cast<BYTE>(0x80 >> (x % 8));
            if (pixel != '#' && pixel != 'o') masks.andMask[index] |= bit;
            if (pixel == 'o') masks.xorMask[index] |= bit;
        }
    }
    return masks;
}

constexpr CursorMasks kHandMasks = makeHandMasks();

// The address is one line; "&" is a character, not a mnemonic.
constexpr UINT kLinkTextFormat = DT_SINGLELINE | DT_NOPREFIX;

// A string value of at most 11 characters with its terminating zero, read
// into 12 bytes, parsed as a colour.
bool readColorValue(HKEY key, const char* name, COLORREF& color) {
    char data[12];
    DWORD size = sizeof data;
    DWORD type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) !=
        ERROR_SUCCESS)
        return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
    if (size == 0 || size > sizeof data || data[size - 1] != '\0') return false;
    return parseColorTriple(std::string(data), color);
}

// The device context of a window's client area for measuring.
class ClientDc {
public:
    explicit ClientDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~ClientDc() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    ClientDc(const ClientDc&) = delete;
    ClientDc& operator=(const ClientDc&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

}  // namespace

TextAlignment textAlignmentOf(LONG style) {
    switch (style & SS_TYPEMASK) {
        case SS_CENTER: return TextAlignment::Center;
        case SS_RIGHT: return TextAlignment::Right;
        default: return TextAlignment::Left;
    }
}

bool paintsOwnLabel(LONG style) {
    LONG type = style & SS_TYPEMASK;
    return !((type >= 3 && type <= 9) || (type >= 13 && type <= 15));
}

UINT drawTextAlignment(TextAlignment alignment) {
    switch (alignment) {
        case TextAlignment::Center: return DT_CENTER;
        case TextAlignment::Right: return DT_RIGHT;
        default: return DT_LEFT;
    }
}

RECT alignedLinkRect(const RECT& client, const RECT& measured, TextAlignment alignment) {
    LONG freeWidth = client.right - measured.right;
    LONG shift = alignment == TextAlignment::Center  ? freeWidth / 2
                 : alignment == TextAlignment::Right ? freeWidth
                                                     : 0;
    RECT rect = measured;
    rect.left += shift;
    rect.right += shift;
    return rect;
}

bool HyperLink::attach(HWND control) {
    if (!subclass(control)) return false;
    HWND window = handle();

    char className[8] = "";
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpiA(className, "static") == 0) {
        LONG style = GetWindowLongA(window, GWL_STYLE);
        // A static receives mouse input only with SS_NOTIFY.
        SetWindowLongA(window, GWL_STYLE, style | SS_NOTIFY);
        if (!paintsOwnLabel(style)) paintLabel_ = false;
    }

    linkCursor_.reset(CreateCursor(GetModuleHandleA(nullptr), kHotSpotX, kHotSpotY, kCursorSize,
                                   kCursorSize, kHandMasks.andMask, kHandMasks.xorMask));

    if (paintLabel_) {
        auto font = reinterpret_cast<HFONT>(SendMessageA(GetParent(window), WM_GETFONT, 0, 0));
        takeFont(font ? font : static_cast<HFONT>(GetStockObject(SYSTEM_FONT)));
    }

    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_BAR_CLASSES};
    InitCommonControlsEx(&classes);
    tooltip_.reset(CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, 0, CW_USEDEFAULT, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr,
                                   GetModuleHandleA(nullptr), nullptr));
    // A long address wraps onto more lines instead of running off the screen.
    if (tooltip_)
        SendMessageA(tooltip_.get(), TTM_SETMAXTIPWIDTH, 0, GetSystemMetrics(SM_CXSCREEN) / 2);

    if (label_.empty()) {
        int length = GetWindowTextLengthA(window);
        if (length > 0) {
            std::string text(static_cast<std::size_t>(length) + 1, '\0');
            length = GetWindowTextA(window, text.data(), length + 1);
            text.resize(static_cast<std::size_t>(length > 0 ? length : 0));
            setLabel(text);
        }
    } else {
        // A label set before: also the window text, as setLabel makes it.
        SetWindowTextA(window, label_.c_str());
    }
    recomputeLinkRect();

    if (url_.empty()) url_ = label_;
    if (!url_.empty()) registerTool();

    if (paintLabel_) readLinkColors();
    return true;
}

void HyperLink::takeFont(HFONT font) {
    font_ = font;
    linkFont_.reset();
    LOGFONTA logFont;
    if (font && GetObjectA(font, sizeof logFont, &logFont) == sizeof logFont) {
        logFont.lfUnderline = TRUE;
        linkFont_.reset(CreateFontIndirectA(&logFont));
    }
}

void HyperLink::readLinkColors() {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Internet Explorer\\Settings", 0,
                      KEY_READ | KEY_WRITE, &opened) != ERROR_SUCCESS)
        return;
    UniqueRegKey key(opened);
    readColorValue(key.get(), "Anchor Color", linkColor_);
    readColorValue(key.get(), "Anchor Color Visited", visitedColor_);
}

void HyperLink::registerTool() {
    if (!tooltip_) return;
    SendMessageA(tooltip_.get(), TTM_ACTIVATE, TRUE, 0);
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.uFlags = 0;  // the link relays the mouse messages itself
    tool.hwnd = handle();
    tool.uId = kToolId;
    tool.rect = linkRect_;
    tool.lpszText = url_.data();
    toolRegistered_ =
        SendMessageA(tooltip_.get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool)) != 0;
}

void HyperLink::setLabel(const std::string& label) {
    label_ = label;
    if (!handle()) return;
    recomputeLinkRect();
    SetWindowTextA(handle(), label_.c_str());
}

void HyperLink::setUrl(const std::string& url) {
    url_ = url;
    if (!handle()) return;
    if (!toolRegistered_) {
        registerTool();
        return;
    }
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.hwnd = handle();
    tool.uId = kToolId;
    tool.lpszText = url_.data();
    SendMessageA(tooltip_.get(), TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
}

UINT HyperLink::alignmentFlag() const {
    return drawTextAlignment(textAlignmentOf(GetWindowLongA(handle(), GWL_STYLE)));
}

void HyperLink::recomputeLinkRect() {
    RECT client;
    GetClientRect(handle(), &client);
    linkRect_ = client;
    if (paintLabel_) {
        const std::string& text = drawnText();
        RECT measured = client;
        ClientDc dc(handle());
        HGDIOBJ font = linkFont_ ? linkFont_.get() : font_;
        HGDIOBJ previous = font ? SelectObject(dc.get(), font) : nullptr;
        DrawTextA(dc.get(), text.c_str(), static_cast<int>(text.size()), &measured,
                  DT_CALCRECT | kLinkTextFormat);
        if (previous) SelectObject(dc.get(), previous);
        // Text wider than the control is drawn cut with an ellipsis.
        if (measured.right > client.right) measured.right = client.right;
        linkRect_ = alignedLinkRect(client, measured,
                                    textAlignmentOf(GetWindowLongA(handle(), GWL_STYLE)));
    }
    if (toolRegistered_) {
        TOOLINFOA tool = {};
        tool.cbSize = TTTOOLINFOA_V1_SIZE;
        tool.hwnd = handle();
        tool.uId = kToolId;
        tool.rect = linkRect_;
        SendMessageA(tooltip_.get(), TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void HyperLink::paint(HDC dc) {
    HWND window = handle();
    RECT client;
    GetClientRect(window, &client);
    auto brush = reinterpret_cast<HBRUSH>(SendMessageA(GetParent(window), WM_CTLCOLORSTATIC,
                                                       reinterpret_cast<WPARAM>(dc),
                                                       reinterpret_cast<LPARAM>(window)));
    if (brush) FillRect(dc, &client, brush);

    int previousMode = SetBkMode(dc, TRANSPARENT);
    COLORREF color = !IsWindowEnabled(window) ? GetSysColor(COLOR_GRAYTEXT)
                     : visited_               ? visitedColor_
                                              : linkColor_;
    COLORREF previousColor = SetTextColor(dc, color);
    HGDIOBJ font = linkFont_ ? linkFont_.get() : font_;
    HGDIOBJ previousFont = font ? SelectObject(dc, font) : nullptr;

    const std::string& text = drawnText();
    RECT textRect = linkRect_;
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &textRect,
              kLinkTextFormat | DT_END_ELLIPSIS | alignmentFlag());
    if (GetFocus() == window) DrawFocusRect(dc, &linkRect_);

    SetTextColor(dc, previousColor);
    if (previousFont) SelectObject(dc, previousFont);
    SetBkMode(dc, previousMode);
}

bool HyperLink::isInsideLink(LPARAM pointParam) const {
    POINT point = {static_cast<short>(LOWORD(pointParam)), static_cast<short>(HIWORD(pointParam))};
    return PtInRect(&linkRect_, point) != FALSE;
}

bool HyperLink::navigate() {
    auto code = reinterpret_cast<INT_PTR>(
        ShellExecuteA(nullptr, "open", url_.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (code <= 32) return false;
    visited_ = true;
    if (handle()) InvalidateRect(handle(), nullptr, TRUE);
    return true;
}

bool HyperLink::processMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    HWND window = handle();
    if (message >= WM_MOUSEFIRST && message <= WM_MOUSEWHEEL && tooltip_) {
        DWORD position = GetMessagePos();
        POINT point = {static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
        MSG relayed = {window, message, wParam, lParam, static_cast<DWORD>(GetMessageTime()), point};
        SendMessageA(tooltip_.get(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
    }
    result = 0;
    switch (message) {
        case WM_MOUSEMOVE:
            if (url_.empty() || !isInsideLink(lParam)) return false;
            SetCursor(linkCursor_.get());
            return true;
        case WM_SETCURSOR: {
            POINT cursor;
            if (url_.empty() || !GetCursorPos(&cursor)) return false;
            ScreenToClient(window, &cursor);
            if (!PtInRect(&linkRect_, cursor)) return false;
            result = TRUE;
            return true;
        }
        case WM_LBUTTONDOWN:
            if (isInsideLink(lParam)) {
                SetFocus(window);
                SetCapture(window);
            }
            return true;
        case WM_LBUTTONUP:
            if (GetCapture() == window) {
                ReleaseCapture();
                if (isInsideLink(lParam)) navigate();
            }
            return true;
        case WM_CHAR:
            if (wParam == '\r' || wParam == ' ') navigate();
            return true;
        case WM_GETDLGCODE:
            result = DLGC_WANTCHARS;
            return true;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            if (!paintLabel_) return false;
            InvalidateRect(window, nullptr, TRUE);
            return true;
        case WM_ENABLE:
            InvalidateRect(window, nullptr, TRUE);
            UpdateWindow(window);
            return true;
        case WM_SIZE:
            recomputeLinkRect();
            InvalidateRect(window, nullptr, TRUE);
            return true;
        case WM_SETFONT:
            // A new font (the dialog's, at another DPI): a new link font,
            // and the text measured again.
            takeFont(reinterpret_cast<HFONT>(wParam));
            recomputeLinkRect();
            if (LOWORD(lParam)) {
                InvalidateRect(window, nullptr, TRUE);
                UpdateWindow(window);
            }
            return true;
        case WM_GETFONT:
            result = reinterpret_cast<LRESULT>(font_);
            return true;
        case WM_UPDATEUISTATE:
            return true;
        case WM_DESTROY:
            tooltip_.reset();
            toolRegistered_ = false;
            return false;
        case WM_PAINT: {
            if (!paintLabel_) return false;
            PAINTSTRUCT paintStruct;
            HDC dc = BeginPaint(window, &paintStruct);
            if (dc) paint(dc);
            EndPaint(window, &paintStruct);
            return true;
        }
        case WM_PRINTCLIENT:
            if (!paintLabel_) return false;
            paint(reinterpret_cast<HDC>(wParam));
            return true;
        case WM_ERASEBKGND:
            if (!paintLabel_) return false;
            result = TRUE;  // the paint fills the background
            return true;
        default:
            return false;
    }
}
