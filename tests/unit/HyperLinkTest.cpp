#include "ui/HyperLink.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace {

// --- colour values -------------------------------------------------------

TEST(ColorTriple, ParsesAndRejectsAsTheBrowserWritesThem) {
    struct Case {
        const char* text;
        bool valid;
        COLORREF color;
    } cases[] = {
        {"255,0,0", true, RGB(255, 0, 0)},
        {" 0, 128 ,255", true, RGB(0, 128, 255)},  // blanks in front skipped, behind end it
        {"0,0", false, 0},
        {"0,0,", false, 0},  // nothing after the second comma
        {"0", false, 0},
        {"", false, 0},
        {"300,0,0", true, RGB(44, 0, 0)},  // low 8 bits
        {"-1,0,0", false, 0},              // -1 marks a missing part
        {"0,-1,0", false, 0},
        {"0,0,-1", true, RGB(0, 0, 255)},
        {"+12,+0,7", true, RGB(12, 0, 7)},
        {",,5", true, RGB(0, 0, 5)},  // no digits read as 0
        {"0,0, ", true, RGB(0, 0, 0)},
        {"red,1,2", true, RGB(0, 1, 2)},
        {"256,512,-2", true, RGB(0, 0, 254)},
        {"1,2,3,4", true, RGB(1, 2, 3)},  // the third number ends at the comma
        {"-0,-,9", true, RGB(0, 0, 9)},
    };
    for (const Case& c : cases) {
        COLORREF color = RGB(1, 2, 3);
        EXPECT_EQ(parseColorTriple(c.text, color), c.valid) << '"' << c.text << '"';
        EXPECT_EQ(color, c.valid ? c.color : RGB(1, 2, 3)) << '"' << c.text << '"';
    }
}

// --- layout ---------------------------------------------------------------

TEST(LinkLayout, StaticTypeDecidesPaintingAndAlignment) {
    for (LONG text : {SS_LEFT, SS_CENTER, SS_RIGHT, SS_SIMPLE, SS_LEFTNOWORDWRAP})
        EXPECT_TRUE(paintsOwnLabel(text | SS_NOPREFIX | SS_NOTIFY)) << text;
    for (LONG image : {SS_ICON, SS_BLACKRECT, SS_WHITEFRAME, SS_OWNERDRAW, SS_BITMAP,
                       SS_ENHMETAFILE})
        EXPECT_FALSE(paintsOwnLabel(image)) << image;
    // Flags outside the type field do not change the type.
    EXPECT_FALSE(paintsOwnLabel(SS_BITMAP | SS_REALSIZECONTROL));
    EXPECT_FALSE(paintsOwnLabel(SS_ICON | SS_NOPREFIX));

    EXPECT_EQ(textAlignmentOf(SS_LEFT | WS_GROUP), TextAlignment::Left);
    EXPECT_EQ(textAlignmentOf(SS_CENTER | SS_NOTIFY), TextAlignment::Center);
    EXPECT_EQ(textAlignmentOf(SS_RIGHT | SS_NOPREFIX), TextAlignment::Right);
    EXPECT_EQ(textAlignmentOf(SS_SIMPLE), TextAlignment::Left);  // holds both bits
    EXPECT_EQ(drawTextAlignment(TextAlignment::Center), UINT(DT_CENTER));
    EXPECT_EQ(drawTextAlignment(TextAlignment::Right), UINT(DT_RIGHT));
}

TEST(LinkLayout, MeasuredTextMovesByTheFreeWidth) {
    RECT client = {0, 0, 101, 20};
    RECT measured = {0, 0, 40, 13};
    auto expect = [](RECT r, LONG left, LONG right) {
        EXPECT_EQ(r.left, left);
        EXPECT_EQ(r.right, right);
        EXPECT_EQ(r.top, 0);
        EXPECT_EQ(r.bottom, 13);
    };
    expect(alignedLinkRect(client, measured, TextAlignment::Left), 0, 40);
    expect(alignedLinkRect(client, measured, TextAlignment::Center), 30, 70);  // 61 / 2
    expect(alignedLinkRect(client, measured, TextAlignment::Right), 61, 101);
    // Text wider than the control moves left.
    RECT wide = {0, 0, 120, 13};
    expect(alignedLinkRect(client, wide, TextAlignment::Center), -9, 111);  // -19 / 2
    expect(alignedLinkRect(client, wide, TextAlignment::Right), -19, 101);
}

// --- the control on a window -----------------------------------------------

const char kHostClass[] = "HyperLinkTestHost";

// A top-level window holding one static control; it answers no WM_GETFONT,
// so the link falls back to the system font.
class LinkHost {
public:
    explicit LinkHost(const char* text, LONG style = SS_LEFT, int width = 200, int height = 40) {
        static bool registered = [] {
            WNDCLASSA windowClass = {};
            windowClass.lpfnWndProc = DefWindowProcA;
            windowClass.hInstance = GetModuleHandleA(nullptr);
            windowClass.lpszClassName = kHostClass;
            windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
            return RegisterClassA(&windowClass) != 0;
        }();
        EXPECT_TRUE(registered);
        frame_ = CreateWindowExA(0, kHostClass, "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400,
                                 200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        control_ = CreateWindowExA(0, "Static", text, WS_CHILD | WS_VISIBLE | style, 10, 10, width,
                                   height, frame_, reinterpret_cast<HMENU>(205),
                                   GetModuleHandleA(nullptr), nullptr);
    }
    ~LinkHost() { DestroyWindow(frame_); }
    HWND frame() const { return frame_; }
    HWND control() const { return control_; }

private:
    HWND frame_ = nullptr;
    HWND control_ = nullptr;
};

// A program that starts and ends at once, so that "open" succeeds without
// leaving anything behind.
std::string harmlessTarget() {
    char system[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    return std::string(system) + "\\rundll32.exe";
}

LPARAM pointParam(LONG x, LONG y) { return MAKELPARAM(x, y); }

std::string windowText(HWND window) {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

TEST(HyperLink, AttachTakesTextFontTooltipAndCursor) {
    LinkHost host("https://example.invalid/");
    HyperLink link;
    ASSERT_TRUE(link.attach(host.control()));

    EXPECT_EQ(link.label(), "https://example.invalid/");
    EXPECT_EQ(link.url(), link.label());
    EXPECT_TRUE(GetWindowLongA(host.control(), GWL_STYLE) & SS_NOTIFY);
    EXPECT_TRUE(link.paintsLabel());

    // No font from the parent: the system font, and an underlined copy.
    EXPECT_EQ(link.font(), GetStockObject(SYSTEM_FONT));
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(host.control(), WM_GETFONT, 0, 0)), link.font());
    LOGFONTA normal, underlined;
    ASSERT_NE(link.linkFont(), nullptr);
    GetObjectA(link.font(), sizeof normal, &normal);
    GetObjectA(link.linkFont(), sizeof underlined, &underlined);
    EXPECT_TRUE(underlined.lfUnderline);
    EXPECT_STREQ(underlined.lfFaceName, normal.lfFaceName);

    // The text's rectangle starts at the left edge and is narrower than the
    // 200 pixels of the control.
    RECT client;
    GetClientRect(host.control(), &client);
    EXPECT_EQ(link.linkRect().left, 0);
    EXPECT_EQ(link.linkRect().top, 0);
    EXPECT_GT(link.linkRect().right, 20);
    EXPECT_LT(link.linkRect().right, client.right);

    // One tool over that rectangle with the target as its text.
    ASSERT_NE(link.tooltip(), nullptr);
    char className[32] = "";
    GetClassNameA(link.tooltip(), className, sizeof className);
    EXPECT_STREQ(className, TOOLTIPS_CLASSA);
    EXPECT_EQ(SendMessageA(link.tooltip(), TTM_GETTOOLCOUNT, 0, 0), 1);
    char tipText[256] = "";
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.hwnd = host.control();
    tool.uId = 1;
    tool.lpszText = tipText;
    ASSERT_TRUE(SendMessageA(link.tooltip(), TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool)));
    EXPECT_TRUE(EqualRect(&tool.rect, &link.linkRect()));
    EXPECT_STREQ(tipText, "https://example.invalid/");
    EXPECT_EQ(tool.uFlags, 0u);

    // The hand: 32 by 32, hot spot on the fingertip, black there.
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(link.linkCursor(), &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 5u);
    EXPECT_EQ(info.yHotspot, 0u);
    BITMAP mask = {};
    GetObjectA(info.hbmMask, sizeof mask, &mask);
    EXPECT_EQ(mask.bmWidth, 32);
    EXPECT_EQ(mask.bmHeight, 64);  // AND and XOR masks of a monochrome cursor
    EXPECT_EQ(info.hbmColor, nullptr);
    DeleteObject(info.hbmMask);

    // The tooltip goes with the link window.
    HWND tooltip = link.tooltip();
    DestroyWindow(host.control());
    EXPECT_FALSE(IsWindow(tooltip));
}

TEST(HyperLink, NewFontGivesANewUnderlinedFontAndMeasure) {
    LinkHost host("link text", SS_LEFT, 300, 60);
    HyperLink link;
    ASSERT_TRUE(link.attach(host.control()));
    LONG height = link.linkRect().bottom;
    LOGFONTA larger = {-40};
    HFONT font = CreateFontIndirectA(&larger);
    SendMessageA(host.control(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    LOGFONTA underlined = {};
    GetObjectA(link.linkFont(), sizeof underlined, &underlined);
    EXPECT_TRUE(underlined.lfUnderline && underlined.lfHeight == -40);
    EXPECT_GT(link.linkRect().bottom, height);
    DestroyWindow(host.control());
    DeleteObject(font);
}

TEST(HyperLink, TargetSetBeforeAttachIsKept) {
    LinkHost host("Download");
    HyperLink link;
    link.setUrl(harmlessTarget());
    ASSERT_TRUE(link.attach(host.control()));
    EXPECT_EQ(link.label(), "Download");
    EXPECT_EQ(link.url(), harmlessTarget());
}

TEST(HyperLink, ImageStaticsPaintThemselves) {
    LinkHost host("", SS_ICON);
    HyperLink link;
    ASSERT_TRUE(link.attach(host.control()));
    EXPECT_FALSE(link.paintsLabel());
    EXPECT_EQ(link.font(), nullptr);
    EXPECT_EQ(link.linkFont(), nullptr);
    RECT client;
    GetClientRect(host.control(), &client);
    EXPECT_TRUE(EqualRect(&client, &link.linkRect()));
}

TEST(HyperLink, CentredAndRightAlignedTextFollowsTheControlWidth) {
    LinkHost centred("link", SS_CENTER, 200);
    HyperLink link;
    ASSERT_TRUE(link.attach(centred.control()));
    LONG width = link.linkRect().right - link.linkRect().left;
    EXPECT_EQ(link.linkRect().left, (200 - width) / 2);
    SetWindowPos(centred.control(), nullptr, 0, 0, 300, 40, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(link.linkRect().left, (300 - width) / 2);

    LinkHost right("link", SS_RIGHT, 200);
    HyperLink rightLink;
    ASSERT_TRUE(rightLink.attach(right.control()));
    EXPECT_EQ(rightLink.linkRect().right, 200);
}

TEST(HyperLink, HandCursorOnlyOverTheText) {
    LinkHost host("link text", SS_LEFT, 300, 60);
    HyperLink link;
    ASSERT_TRUE(link.attach(host.control()));
    HWND control = host.control();
    const RECT& text = link.linkRect();
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);

    SetCursor(arrow);
    SendMessageA(control, WM_MOUSEMOVE, 0, pointParam(text.right + 20, 5));
    EXPECT_EQ(GetCursor(), arrow);
    SendMessageA(control, WM_MOUSEMOVE, 0, pointParam(text.left + 2, text.top + 2));
    EXPECT_EQ(GetCursor(), link.linkCursor());

    // WM_SETCURSOR keeps the hand over the text; elsewhere the static's
    // class cursor comes back.
    POINT inside = {text.left + 2, text.top + 2};
    ClientToScreen(control, &inside);
    ASSERT_TRUE(SetCursorPos(inside.x, inside.y));
    EXPECT_TRUE(SendMessageA(control, WM_SETCURSOR, reinterpret_cast<WPARAM>(control),
                             MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(GetCursor(), link.linkCursor());

    POINT outside = {text.left + 2, text.bottom + 10};
    ClientToScreen(control, &outside);
    ASSERT_TRUE(SetCursorPos(outside.x, outside.y));
    SendMessageA(control, WM_SETCURSOR, reinterpret_cast<WPARAM>(control),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_NE(GetCursor(), link.linkCursor());
}

TEST(HyperLink, ClickOpensOnlyWhenPressedAndReleasedOnTheText) {
    LinkHost host("link text", SS_LEFT, 300, 60);
    HyperLink link;
    link.setUrl(harmlessTarget());
    ASSERT_TRUE(link.attach(host.control()));
    HWND control = host.control();
    const RECT& text = link.linkRect();
    LPARAM on = pointParam(text.left + 2, text.top + 2);
    LPARAM off = pointParam(text.left + 2, text.bottom + 10);

    // Pressed beside the text: no focus, no capture.
    SetFocus(host.frame());
    SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, off);
    EXPECT_NE(GetCapture(), control);
    EXPECT_NE(GetFocus(), control);
    // Released on the text without a press there: nothing.
    SendMessageA(control, WM_LBUTTONUP, 0, on);
    EXPECT_FALSE(link.visited());

    // Pressed on the text, moved off, released: nothing opens.
    SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, on);
    EXPECT_EQ(GetCapture(), control);
    EXPECT_EQ(GetFocus(), control);
    SendMessageA(control, WM_MOUSEMOVE, MK_LBUTTON, off);
    SendMessageA(control, WM_LBUTTONUP, 0, off);
    EXPECT_NE(GetCapture(), control);
    EXPECT_FALSE(link.visited());

    // Pressed and released on the text: opened.
    SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, on);
    SendMessageA(control, WM_LBUTTONUP, 0, on);
    EXPECT_NE(GetCapture(), control);
    EXPECT_TRUE(link.visited());
}

TEST(HyperLink, SpaceAndEnterOpenOtherCharactersAreSwallowed) {
    for (WPARAM key : {WPARAM(' '), WPARAM('\r')}) {
        LinkHost host("link");
        HyperLink link;
        link.setUrl(harmlessTarget());
        ASSERT_TRUE(link.attach(host.control()));
        EXPECT_EQ(SendMessageA(host.control(), WM_GETDLGCODE, 0, 0), DLGC_WANTCHARS);
        EXPECT_EQ(SendMessageA(host.control(), WM_CHAR, 'a', 0), 0);
        EXPECT_FALSE(link.visited());
        SendMessageA(host.control(), WM_CHAR, key, 0);
        EXPECT_TRUE(link.visited()) << key;
    }
}

TEST(HyperLink, FailedOpenLeavesTheLinkUnvisited) {
    LinkHost host("link");
    HyperLink link;
    link.setUrl("C:\\no such folder\\no such file.exe");
    ASSERT_TRUE(link.attach(host.control()));
    EXPECT_FALSE(link.navigate());
    SendMessageA(host.control(), WM_CHAR, ' ', 0);
    EXPECT_FALSE(link.visited());
}

// Paints the control with WM_PRINTCLIENT into a 32-bit bitmap and counts the
// pixels of each colour asked for.
class Snapshot {
public:
    explicit Snapshot(HWND control) {
        RECT client;
        GetClientRect(control, &client);
        width_ = client.right;
        height_ = client.bottom;
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width_;
        info.bmiHeader.biHeight = -height_;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ previous = SelectObject(dc, bitmap);
        SendMessageA(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        GdiFlush();
        const auto* pixels = static_cast<const std::uint32_t*>(bits);
        pixels_.assign(pixels, pixels + width_ * height_);
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    int count(COLORREF color) const {
        std::uint32_t bgr = (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
        int n = 0;
        for (std::uint32_t pixel : pixels_) n += (pixel & 0xFFFFFF) == bgr;
        return n;
    }

private:
    int width_ = 0, height_ = 0;
    std::vector<std::uint32_t> pixels_;
};

TEST(HyperLink, DrawnBlueThenPurpleAfterOpeningGreyWhenDisabled) {
    LinkHost host("link text");
    HyperLink link;
    link.setUrl(harmlessTarget());
    ASSERT_TRUE(link.attach(host.control()));
    ASSERT_EQ(link.linkColor(), RGB(0, 0, 255));
    ASSERT_EQ(link.visitedColor(), RGB(128, 0, 128));

    Snapshot fresh(host.control());
    EXPECT_GT(fresh.count(RGB(0, 0, 255)), 10);
    EXPECT_EQ(fresh.count(RGB(128, 0, 128)), 0);
    // The parent's static brush fills the background.
    EXPECT_GT(fresh.count(GetSysColor(COLOR_BTNFACE)), 100);

    ASSERT_TRUE(link.navigate());
    Snapshot visited(host.control());
    EXPECT_EQ(visited.count(RGB(0, 0, 255)), 0);
    EXPECT_GT(visited.count(RGB(128, 0, 128)), 10);

    EnableWindow(host.control(), FALSE);
    Snapshot disabled(host.control());
    EXPECT_EQ(disabled.count(RGB(128, 0, 128)), 0);
    EXPECT_GT(disabled.count(GetSysColor(COLOR_GRAYTEXT)), 10);
}

std::wstring tooltipText(const HyperLink& link) {
    std::wstring text(4096, L'\0');
    TOOLINFOW tool = {};
    tool.cbSize = TTTOOLINFOW_V1_SIZE;
    tool.hwnd = link.handle();
    tool.uId = HyperLink::kToolId;
    tool.lpszText = text.data();
    SendMessageW(link.tooltip(), TTM_GETTEXTW, text.size(), reinterpret_cast<LPARAM>(&tool));
    return text.c_str();
}

TEST(HyperLink, LongAddressStaysOneLineCutAtTheControlsEdge) {
    LinkHost shortHost("https://a.invalid/");
    HyperLink shortLink;
    ASSERT_TRUE(shortLink.attach(shortHost.control()));

    // Wine's tooltips keep up to 1,023 characters.
    std::string address = "https://example.invalid/releases/?version=21&os=windows";
    while (address.size() < 1000) address += "&arch=x64";
    LinkHost host(address.c_str(), SS_LEFT, 200, 40);
    HyperLink link;
    ASSERT_TRUE(link.attach(host.control()));
    // Drawn on one line up to the control's edge (with an ellipsis), so the
    // underline and the clickable part end there too.
    RECT client;
    GetClientRect(host.control(), &client);
    EXPECT_EQ(link.linkRect().left, 0);
    EXPECT_EQ(link.linkRect().right, client.right);
    EXPECT_EQ(link.linkRect().bottom, shortLink.linkRect().bottom);
    // The whole address stays the control's text, the tooltip's and the target.
    EXPECT_EQ(windowText(host.control()), address);
    EXPECT_EQ(link.url(), address);
    EXPECT_TRUE(tooltipText(link) == std::wstring(address.begin(), address.end()));

    // Twice as long again, and painted.
    address += address;
    link.setLabel(address);
    link.setUrl(address);
    EXPECT_EQ(windowText(host.control()), address);
    EXPECT_EQ(link.linkRect().right, client.right);
    EXPECT_GT(Snapshot(host.control()).count(RGB(0, 0, 255)), 10);
}

// --- colours from the registry --------------------------------------------

const char kSettingsKey[] = "Software\\Microsoft\\Internet Explorer\\Settings";

// Gives the browser's settings key the values of one case and puts back what
// it held before.
class BrowserSettings {
public:
    BrowserSettings() {
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
        existed_ = true;
        for (DWORD index = 0;; ++index) {
            char name[256];
            BYTE data[1024];
            DWORD nameLength = sizeof name, size = sizeof data, type = 0;
            if (RegEnumValueA(key, index, name, &nameLength, nullptr, &type, data, &size) !=
                ERROR_SUCCESS)
                break;
            saved_.push_back({name, type, std::string(reinterpret_cast<char*>(data), size)});
        }
        RegCloseKey(key);
    }
    ~BrowserSettings() {
        RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
        if (!existed_) return;
        for (const Value& value : saved_) set(value.name.c_str(), value.type, value.data);
    }

    void removeKey() { RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey); }
    void set(const char* name, DWORD type, const std::string& data) {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                                  &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                       static_cast<DWORD>(data.size()));
        RegCloseKey(key);
    }
    // A string value with its terminating zero.
    void setText(const char* name, const std::string& text, DWORD type = REG_SZ) {
        set(name, type, text + '\0');
    }
    void remove(const char* name) {
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_WRITE, &key) != ERROR_SUCCESS) return;
        RegDeleteValueA(key, name);
        RegCloseKey(key);
    }

private:
    struct Value {
        std::string name;
        DWORD type;
        std::string data;
    };
    bool existed_ = false;
    std::vector<Value> saved_;
};

std::pair<COLORREF, COLORREF> colorsOfNewLink(LONG style = SS_LEFT) {
    LinkHost host("link", style);
    HyperLink link;
    EXPECT_TRUE(link.attach(host.control()));
    return {link.linkColor(), link.visitedColor()};
}

const std::pair<COLORREF, COLORREF> kDefaults = {RGB(0, 0, 255), RGB(128, 0, 128)};

TEST(LinkColors, DefaultsWithoutTheKeyOrTheValues) {
    BrowserSettings settings;
    settings.removeKey();
    EXPECT_EQ(colorsOfNewLink(), kDefaults);
    settings.setText("Text Color", "0,0,0");
    settings.remove("Anchor Color");
    settings.remove("Anchor Color Visited");
    EXPECT_EQ(colorsOfNewLink(), kDefaults);
}

TEST(LinkColors, ValidValuesReplaceTheDefaults) {
    BrowserSettings settings;
    settings.setText("Anchor Color", "255,0,0");
    settings.setText("Anchor Color Visited", "0, 128 ,255", REG_EXPAND_SZ);
    EXPECT_EQ(colorsOfNewLink(), std::make_pair(RGB(255, 0, 0), RGB(0, 128, 255)));
    // Eleven characters still fit.
    settings.setText("Anchor Color", "255,255,255");
    EXPECT_EQ(colorsOfNewLink().first, RGB(255, 255, 255));
    // Image statics leave the colours alone.
    EXPECT_EQ(colorsOfNewLink(SS_ICON), kDefaults);
}

TEST(LinkColors, UnreadableValuesKeepTheDefaults) {
    BrowserSettings settings;
    settings.setText("Anchor Color", "255, 255, 25");  // 12 characters
    settings.setText("Anchor Color Visited", "255, 255, 255");
    EXPECT_EQ(colorsOfNewLink(), kDefaults);

    DWORD red = RGB(255, 0, 0);
    settings.set("Anchor Color", REG_DWORD, std::string(reinterpret_cast<char*>(&red), sizeof red));
    settings.set("Anchor Color Visited", REG_BINARY, std::string("1,2,3\0", 6));
    EXPECT_EQ(colorsOfNewLink(), kDefaults);

    settings.setText("Anchor Color", "1,2");
    settings.setText("Anchor Color Visited", "-1,2,3");
    EXPECT_EQ(colorsOfNewLink(), kDefaults);
}

}  // namespace
