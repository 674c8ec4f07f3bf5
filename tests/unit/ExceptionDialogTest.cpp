#include "ui/ExceptionDialog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "DialogThread.h"
#include "base/WideText.h"
#include "res/resource.h"

namespace {

struct ControlSpec {
    int id;
    const char* className;
    const char* text;
    RECT dialogUnits;  // left, top, right, bottom
    DWORD style;       // besides WS_CHILD | WS_VISIBLE
    DWORD exStyle;
};

const char kIntro[] = "The java process has thrown the following uncaught exception:";
const char kAdvice[] =
    "Press Ignore to continue and ignore the exception or press Stop to close the application.";
const char kWarning[] =
    "WARNING: If you choose to Stop the application any unsaved data will be lost.";

// The controls in tab order.
const ControlSpec kControls[] = {
    {IDOK, "button", "Ignore", {153, 210, 203, 224}, BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
    {IDCANCEL, "button", "Stop", {209, 210, 259, 224}, BS_PUSHBUTTON | WS_TABSTOP, 0},
    {IDC_EXCEPTION_GROUP,
     "button",
     "Uncaught Exception",
     {8, 11, 267, 232},
     BS_GROUPBOX,
     WS_EX_TRANSPARENT},
    {IDC_EXCEPTION_ICON, "static", "", {16, 26, 37, 46}, SS_ICON, 0},
    {IDC_EXCEPTION_TEXT,
     "edit",
     "",
     {16, 54, 259, 156},
     ES_MULTILINE | WS_BORDER | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP,
     0},
    {IDC_EXCEPTION_INTRO, "static", kIntro, {44, 26, 259, 49}, SS_LEFT | WS_GROUP, 0},
    {IDC_EXCEPTION_ADVICE, "static", kAdvice, {16, 164, 259, 182}, SS_LEFT | WS_GROUP, 0},
    {IDC_EXCEPTION_WARNING, "static", kWarning, {16, 187, 259, 205}, SS_LEFT | WS_GROUP, 0},
};

const DWORD kDialogStyle =
    WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_MODALFRAME | DS_SETFONT | DS_FIXEDSYS;

const char kTrace[] =
    "java.lang.IllegalStateException: no project\r\n"
    "\tat com.example.Main.open(Main.java:12)\r\n"
    "\tat com.example.Main.main(Main.java:5)\r\n";

std::string narrow(const std::wstring& text) {
    std::string result;
    for (wchar_t c : text) result += static_cast<char>(c);
    return result;
}

bool sameText(const std::string& a, const std::string& b) {
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

// Reads an extended dialog template.
class TemplateReader {
public:
    explicit TemplateReader(const BYTE* data) : base_(data), at_(data) {}
    WORD word() {
        WORD v;
        memcpy(&v, at_, 2);
        at_ += 2;
        return v;
    }
    DWORD dword() {
        DWORD v;
        memcpy(&v, at_, 4);
        at_ += 4;
        return v;
    }
    short coordinate() { return static_cast<short>(word()); }
    BYTE byte() { return *at_++; }
    std::wstring text() {
        std::wstring s;
        while (WORD c = word()) s += static_cast<wchar_t>(c);
        return s;
    }
    // A name or ordinal: "#n" for an ordinal, "" for none.
    std::string nameOrOrdinal() {
        WORD first = word();
        if (first == 0) return "";
        if (first == 0xFFFF) return "#" + std::to_string(word());
        at_ -= 2;
        return narrow(text());
    }
    void alignToDword() {
        while ((at_ - base_) % 4) ++at_;
    }

private:
    const BYTE* base_;
    const BYTE* at_;
};

TEST(ExceptionDialogTemplate, HoldsExactlyTheDesignedDialog) {
    HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(IDD_JAVA_EXCEPTION), RT_DIALOG);
    ASSERT_NE(resource, nullptr);
    TemplateReader reader(static_cast<const BYTE*>(LockResource(LoadResource(nullptr, resource))));
    EXPECT_EQ(reader.word(), 1);  // extended template
    EXPECT_EQ(reader.word(), 0xFFFF);
    reader.dword();                 // help id
    EXPECT_EQ(reader.dword(), 0u);  // extended style
    EXPECT_EQ(reader.dword(), kDialogStyle);
    EXPECT_EQ(reader.word(), std::size(kControls));
    EXPECT_EQ(reader.coordinate(), 0);
    EXPECT_EQ(reader.coordinate(), 0);
    EXPECT_EQ(reader.coordinate(), 275);
    EXPECT_EQ(reader.coordinate(), 242);
    EXPECT_EQ(reader.nameOrOrdinal(), "");  // menu
    EXPECT_EQ(reader.nameOrOrdinal(), "");  // class
    EXPECT_EQ(narrow(reader.text()), "Java Exception");
    EXPECT_EQ(reader.word(), 8);  // points
    reader.word();                // weight
    reader.byte();                // italic
    reader.byte();                // character set
    EXPECT_EQ(narrow(reader.text()), "MS Shell Dlg");

    for (const ControlSpec& control : kControls) {
        SCOPED_TRACE(control.id);
        reader.alignToDword();
        reader.dword();  // help id
        EXPECT_EQ(reader.dword(), control.exStyle);
        EXPECT_EQ(reader.dword(), control.style | WS_CHILD | WS_VISIBLE);
        RECT units;
        units.left = reader.coordinate();
        units.top = reader.coordinate();
        units.right = units.left + reader.coordinate();
        units.bottom = units.top + reader.coordinate();
        EXPECT_TRUE(EqualRect(&units, &control.dialogUnits));
        EXPECT_EQ(reader.dword(), static_cast<DWORD>(control.id));
        std::string className = reader.nameOrOrdinal();
        const std::map<std::string, std::string> atoms = {
            {"#128", "button"}, {"#129", "edit"}, {"#130", "static"}};
        if (atoms.count(className)) className = atoms.at(className);
        EXPECT_TRUE(sameText(className, control.className)) << className;
        EXPECT_EQ(reader.nameOrOrdinal(), control.text);
        EXPECT_EQ(reader.word(), 0);  // no creation data
    }
}

std::string dialogTemplate(HMODULE module) {
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(IDD_JAVA_EXCEPTION), RT_DIALOG);
    if (!resource) return "";
    return std::string(static_cast<const char*>(LockResource(LoadResource(module, resource))),
                       SizeofResource(module, resource));
}

TEST(ExceptionDialogTemplate, ProductExecutablesCarryTheSameTemplate) {
    char path[MAX_PATH];
    std::string bin(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
    bin.resize(bin.rfind('\\'));
    std::string build = bin.substr(0, bin.rfind('\\'));
    build.resize(build.rfind('\\'));
    std::string own = dialogTemplate(nullptr);
    ASSERT_FALSE(own.empty());
    for (const std::string& exe : {bin + "\\launcher.exe", build + "\\i686\\launcher.exe"}) {
        HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr) << exe;
        EXPECT_EQ(dialogTemplate(module), own) << exe;
        FreeLibrary(module);
    }
}

std::string windowText(HWND window) {
    std::string text(GetWindowTextLengthA(window) + 1, '\0');
    text.resize(GetWindowTextA(window, text.data(), static_cast<int>(text.size())));
    return text;
}

RECT clientRect(HWND dialog, HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::string describe(const RECT& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" +
           std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

INT_PTR showTrace(const char* text = kTrace) { return ExceptionDialog(toWide(text)).showModal(nullptr); }

TEST(ExceptionDialog, CreatesTheControlsOfItsTemplate) {
    DialogThread run([] { return showTrace(); });
    HWND dialog = run.waitForDialog();
    ASSERT_NE(dialog, nullptr);

    EXPECT_EQ(windowText(dialog), "Java Exception");
    DWORD style = GetWindowLongA(dialog, GWL_STYLE);
    EXPECT_EQ(style & (kDialogStyle & ~(DS_SETFONT | DS_FIXEDSYS)),
              kDialogStyle & ~(DS_SETFONT | DS_FIXEDSYS));
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_TRUE(style & WS_CLIPCHILDREN);
    EXPECT_TRUE(GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), nullptr);

    // Centred on the work area.
    RECT workArea, frame;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0);
    GetWindowRect(dialog, &frame);
    POINT corner =
        centeredPosition(workArea, workArea, frame.right - frame.left, frame.bottom - frame.top);
    EXPECT_EQ(frame.left, corner.x);
    EXPECT_EQ(frame.top, corner.y);

    // The template's controls in tab order, then the size grip.
    HWND control = GetWindow(dialog, GW_CHILD);
    for (const ControlSpec& spec : kControls) {
        SCOPED_TRACE(spec.id);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(GetDlgCtrlID(control), spec.id);
        char className[64];
        GetClassNameA(control, className, sizeof className);
        EXPECT_TRUE(sameText(className, spec.className)) << className;
        if (spec.id != IDC_EXCEPTION_TEXT) EXPECT_EQ(windowText(control), spec.text);

        DWORD actual = GetWindowLongA(control, GWL_STYLE);
        DWORD expected = spec.style | WS_CHILD | WS_VISIBLE;
        DWORD exStyle = GetWindowLongA(control, GWL_EXSTYLE);
        if (spec.id == IDC_EXCEPTION_TEXT) {
            // The edit draws its border as a sunken client edge.
            EXPECT_TRUE((actual & WS_BORDER) || (exStyle & WS_EX_CLIENTEDGE));
            expected = (expected & ~WS_BORDER) | ES_READONLY;
        }
        EXPECT_EQ(actual & expected, expected) << std::hex << actual;
        EXPECT_EQ(exStyle & spec.exStyle, spec.exStyle);
        if (spec.className == std::string("button"))
            EXPECT_EQ(actual & BS_TYPEMASK, spec.style & BS_TYPEMASK);
        if (spec.className == std::string("static"))
            EXPECT_EQ(actual & SS_TYPEMASK, spec.style & SS_TYPEMASK);

        // Position and size are converted to pixels each on its own.
        RECT expectedRect = {spec.dialogUnits.left, spec.dialogUnits.top,
                             spec.dialogUnits.right - spec.dialogUnits.left,
                             spec.dialogUnits.bottom - spec.dialogUnits.top};
        MapDialogRect(dialog, &expectedRect);
        expectedRect.right += expectedRect.left;
        expectedRect.bottom += expectedRect.top;
        RECT rect = clientRect(dialog, control);
        if (spec.id == IDC_EXCEPTION_ICON) {
            // An icon static takes the size of its icon.
            EXPECT_EQ(rect.left, expectedRect.left);
            EXPECT_EQ(rect.top, expectedRect.top);
        } else {
            EXPECT_TRUE(EqualRect(&rect, &expectedRect))
                << describe(rect) << " != " << describe(expectedRect);
        }
        control = GetWindow(control, GW_HWNDNEXT);
    }
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(GetDlgCtrlID(control), ResizeLayout::kSizeGripId);
    char className[64];
    GetClassNameA(control, className, sizeof className);
    EXPECT_TRUE(sameText(className, "ScrollBar")) << className;
    DWORD gripStyle = SBS_SIZEBOX | SBS_SIZEGRIP | SBS_SIZEBOXBOTTOMRIGHTALIGN | WS_CHILD |
                      WS_VISIBLE | WS_CLIPSIBLINGS;
    EXPECT_EQ(GetWindowLongA(control, GWL_STYLE) & gripStyle, gripStyle);
    // In the bottom-right corner.
    RECT client, grip = clientRect(dialog, control);
    GetClientRect(dialog, &client);
    EXPECT_EQ(grip.right, client.right);
    EXPECT_EQ(grip.bottom, client.bottom);
    EXPECT_LT(grip.right - grip.left, 50);
    EXPECT_EQ(GetWindow(control, GW_HWNDNEXT), nullptr);

    // The text and the system's error icon.
    EXPECT_EQ(windowText(GetDlgItem(dialog, IDC_EXCEPTION_TEXT)), kTrace);
    EXPECT_EQ(
        reinterpret_cast<HICON>(SendDlgItemMessageA(dialog, IDC_EXCEPTION_ICON, STM_GETICON, 0, 0)),
        LoadIconA(nullptr, IDI_HAND));
}

std::map<HWND, RECT> controlRects(HWND dialog) {
    std::map<HWND, RECT> rects;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        rects[c] = clientRect(dialog, c);
    return rects;
}

// Every control is where its anchors put it after the client area grew by
// dx, dy from the initial layout.
void expectLayout(HWND dialog, const std::map<HWND, RECT>& initial, int dx, int dy) {
    for (const auto& [control, before] : initial) {
        int id = GetDlgCtrlID(control);
        SCOPED_TRACE(id);
        RECT expected = before;
        switch (id) {
            case IDC_EXCEPTION_GROUP:
            case IDC_EXCEPTION_TEXT:
                expected.right += dx;
                expected.bottom += dy;
                break;
            case IDC_EXCEPTION_INTRO:
                expected.right += dx;
                break;
            case IDC_EXCEPTION_ADVICE:
            case IDC_EXCEPTION_WARNING:
                expected.right += dx;
                OffsetRect(&expected, 0, dy);
                break;
            case IDOK:
            case IDCANCEL:
            case ResizeLayout::kSizeGripId:
                OffsetRect(&expected, dx, dy);
                break;
            case IDC_EXCEPTION_ICON:
                break;
            default:
                ADD_FAILURE() << "unexpected control";
        }
        RECT actual = clientRect(dialog, control);
        EXPECT_TRUE(EqualRect(&actual, &expected))
            << describe(actual) << " != " << describe(expected);
    }
}

void resizeBy(HWND dialog, const RECT& initialFrame, int dx, int dy) {
    SetWindowPos(dialog, nullptr, 0, 0, initialFrame.right - initialFrame.left + dx,
                 initialFrame.bottom - initialFrame.top + dy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

TEST(ExceptionDialog, ControlsFollowTheFrame) {
    DialogThread run([] { return showTrace(); });
    HWND dialog = run.waitForDialog();
    ASSERT_NE(dialog, nullptr);
    RECT frame, client;
    GetWindowRect(dialog, &frame);
    GetClientRect(dialog, &client);
    std::map<HWND, RECT> initial = controlRects(dialog);
    ASSERT_EQ(initial.size(), 9u);

    {
        SCOPED_TRACE("100 pixels wider");
        resizeBy(dialog, frame, 100, 0);
        expectLayout(dialog, initial, 100, 0);
    }
    {
        SCOPED_TRACE("and 50 pixels taller");
        resizeBy(dialog, frame, 100, 50);
        expectLayout(dialog, initial, 100, 50);
    }
    {
        SCOPED_TRACE("back to the initial size");
        resizeBy(dialog, frame, 0, 0);
        expectLayout(dialog, initial, 0, 0);
    }

    HWND grip = GetDlgItem(dialog, ResizeLayout::kSizeGripId);
    ShowWindow(dialog, SW_MAXIMIZE);
    EXPECT_FALSE(IsWindowVisible(grip)) << "a maximised dialog has no grip";
    RECT maximised;
    GetClientRect(dialog, &maximised);
    EXPECT_GT(maximised.right, client.right);
    expectLayout(dialog, initial, maximised.right - client.right, maximised.bottom - client.bottom);
    ShowWindow(dialog, SW_RESTORE);
    EXPECT_TRUE(IsWindowVisible(grip));
    expectLayout(dialog, initial, 0, 0);

    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(run.waitForResult(), 1);
}

TEST(ExceptionDialog, NotSmallerThanItsInitialSize) {
    DialogThread run([] { return showTrace(); });
    HWND dialog = run.waitForDialog();
    ASSERT_NE(dialog, nullptr);
    RECT initial;
    GetWindowRect(dialog, &initial);
    int width = initial.right - initial.left;
    int height = initial.bottom - initial.top;

    MINMAXINFO info = {};
    SendMessageA(dialog, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, width);
    EXPECT_EQ(info.ptMinTrackSize.y, height);

    SetWindowPos(dialog, nullptr, 0, 0, width - 60, height - 40,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT after;
    GetWindowRect(dialog, &after);
    EXPECT_EQ(after.right - after.left, width);
    EXPECT_EQ(after.bottom - after.top, height);

    // Smaller in one direction only: that one stays, the other changes.
    SetWindowPos(dialog, nullptr, 0, 0, width + 30, height - 40,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    GetWindowRect(dialog, &after);
    EXPECT_EQ(after.right - after.left, width + 30);
    EXPECT_EQ(after.bottom - after.top, height);
}

// Sends a key press to whatever has the keyboard focus in the dialog.
void pressKey(DialogThread& run, HWND dialog, WPARAM key) {
    GUITHREADINFO info = {sizeof info};
    GetGUIThreadInfo(run.threadId(), &info);
    HWND target = info.hwndFocus ? info.hwndFocus : dialog;
    UINT scan = MapVirtualKeyA(static_cast<UINT>(key), MAPVK_VK_TO_VSC);
    PostMessageA(target, WM_KEYDOWN, key, 1 | (scan << 16));
    PostMessageA(target, WM_KEYUP, key, 1 | (scan << 16) | 0xC0000000);
}

TEST(ExceptionDialog, AnswersIgnoreOrStop) {
    struct Case {
        const char* name;
        std::function<void(DialogThread&, HWND)> act;
        INT_PTR expected;
    };
    const Case cases[] = {
        {"Enter", [](DialogThread& r, HWND d) { pressKey(r, d, VK_RETURN); }, 1},
        {"Ignore button",
         [](DialogThread&, HWND d) { SendMessageA(GetDlgItem(d, IDOK), BM_CLICK, 0, 0); }, 1},
        {"Escape", [](DialogThread& r, HWND d) { pressKey(r, d, VK_ESCAPE); }, 2},
        {"Stop button",
         [](DialogThread&, HWND d) { SendMessageA(GetDlgItem(d, IDCANCEL), BM_CLICK, 0, 0); }, 2},
        {"close box", [](DialogThread&, HWND d) { PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); },
         2},
        // Other commands don't end the dialog.
        {"other command, then Stop",
         [](DialogThread&, HWND d) {
             SendMessageA(d, WM_COMMAND, IDC_EXCEPTION_TEXT, 0);
             EXPECT_TRUE(IsWindow(d));
             PostMessageA(d, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
         },
         2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DialogThread run([] { return showTrace(); });
        HWND dialog = run.waitForDialog();
        ASSERT_NE(dialog, nullptr);
        c.act(run, dialog);
        EXPECT_EQ(run.waitForResult(), c.expected);
        EXPECT_FALSE(IsWindow(dialog));
    }
}

TEST(ExceptionDialog, TextIsReadOnlySelectableAndUnwrapped) {
    std::string longLine = "java.lang.RuntimeException: ";
    while (longLine.size() < 2000)
        longLine += "a very long message that no dialog is wide enough for ";
    std::string text = longLine + "\r\n\tat com.example.Main.main(Main.java:5)\r\n";
    DialogThread run([&] { return showTrace(text.c_str()); });
    HWND dialog = run.waitForDialog();
    ASSERT_NE(dialog, nullptr);
    HWND edit = GetDlgItem(dialog, IDC_EXCEPTION_TEXT);

    EXPECT_EQ(windowText(edit), text);
    // The long line is one line; with the final line break there are three.
    EXPECT_EQ(SendMessageA(edit, EM_GETLINECOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageA(edit, EM_LINELENGTH, 0, 0), static_cast<LRESULT>(longLine.size()));
    EXPECT_TRUE(GetWindowLongA(edit, GWL_STYLE) & WS_HSCROLL);

    // Typing changes nothing; selecting works.
    SendMessageA(edit, EM_SETSEL, 0, -1);
    PostMessageA(edit, WM_CHAR, 'x', 1);
    PostMessageA(edit, WM_KEYDOWN, VK_DELETE, 1);
    SendMessageA(edit, WM_NULL, 0, 0);  // the posted input has been handled
    SendMessageA(edit, WM_PASTE, 0, 0);
    SendMessageA(edit, WM_CUT, 0, 0);
    EXPECT_EQ(windowText(edit), text);
    SendMessageA(edit, EM_SETSEL, 0, 9);
    DWORD start = 0, end = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 9u);
    EXPECT_TRUE(IsWindowEnabled(edit));
}

TEST(ExceptionDialog, KeepsEveryCharacterOfALongTrace) {
    // 100 KB of letters of no single code page, beyond the 16-bit plane too.
    const std::wstring line = L"C:\\Users\\J\u00e9r\u00f4me \u041e\u0442\u0447\u0451\u0442 "
                              L"\u5831\u544a\u66f8 \U0001F600\r\n";
    std::wstring text = L"java.lang.IllegalStateException: ";
    while (text.size() < 50000) text += line;
    DialogThread run([&] { return ExceptionDialog(text).showModal(nullptr); });
    HWND dialog = run.waitForDialog();
    ASSERT_NE(dialog, nullptr);
    HWND edit = GetDlgItem(dialog, IDC_EXCEPTION_TEXT);
    // Windows' edit control keeps the text in UTF-16 only when a Unicode
    // creator made it (Wine's always does).
    EXPECT_TRUE(IsWindowUnicode(edit));
    std::wstring shown(static_cast<std::size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
    shown.resize(static_cast<std::size_t>(SendMessageW(edit, WM_GETTEXT, shown.size(), reinterpret_cast<LPARAM>(shown.data()))));
    EXPECT_TRUE(shown == text) << shown.size() << " of " << text.size() << " characters";
}

// Sends what Windows sends when the dialog moves to a monitor of another
// DPI, with a frame whose client area is scaled (the frame's own edges are
// the system's, which Wine keeps at one DPI).
void moveToDpi(HWND dialog, UINT dpi, UINT from) {
    RECT frame, client;
    GetWindowRect(dialog, &frame);
    GetClientRect(dialog, &client);
    RECT suggested = {frame.left, frame.top,
                      frame.right + MulDiv(client.right, dpi, from) - client.right,
                      frame.bottom + MulDiv(client.bottom, dpi, from) - client.bottom};
    SendMessageA(dialog, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

LONG fontHeight(HWND control) {
    LOGFONTA font = {};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font.lfHeight;
}

TEST(ExceptionDialog, ScalesWithTheMonitorsDpi) {
    DialogThread run([] { return showTrace(); });
    HWND dialog = run.waitForDialog();
    ASSERT_NE(dialog, nullptr);
    std::map<HWND, RECT> before = controlRects(dialog);
    HWND edit = GetDlgItem(dialog, IDC_EXCEPTION_TEXT);
    LONG height = fontHeight(edit);
    MINMAXINFO minimum = {};
    SendMessageA(dialog, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&minimum));
    RECT client;
    GetClientRect(dialog, &client);

    // To 200 %: every control and the font twice as large, and so the
    // smallest size; the layout still follows the frame.
    moveToDpi(dialog, 192, 96);
    EXPECT_EQ(fontHeight(edit), 2 * height);
    for (const auto& [control, rect] : controlRects(dialog)) {
        SCOPED_TRACE(GetDlgCtrlID(control));
        const RECT& old = before.at(control);
        EXPECT_NEAR(rect.left, 2 * old.left, 2);
        EXPECT_NEAR(rect.bottom - rect.top, 2 * (old.bottom - old.top), 2);
        EXPECT_NEAR(rect.right - rect.left, 2 * (old.right - old.left), 4);
    }
    MINMAXINFO doubled = {};
    SendMessageA(dialog, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&doubled));
    EXPECT_EQ(doubled.ptMinTrackSize.x, minimum.ptMinTrackSize.x + client.right);
    EXPECT_EQ(doubled.ptMinTrackSize.y, minimum.ptMinTrackSize.y + client.bottom);

    // Back to 100 %: the font as it was, not rounded twice.
    moveToDpi(dialog, 96, 192);
    EXPECT_EQ(fontHeight(edit), height);
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(run.waitForResult(), 1);
}

TEST(ExceptionDialog, CentredOnAVisibleOwnerAndModalToIt) {
    RECT ownerRect = {40, 30, 840, 630};
    std::atomic<HWND> owner{nullptr};
    std::atomic<bool> ownerEnabledAfter{false};
    DialogThread run([&] {
        HWND window =
            CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, ownerRect.left,
                            ownerRect.top, ownerRect.right - ownerRect.left,
                            ownerRect.bottom - ownerRect.top, nullptr, nullptr, nullptr, nullptr);
        owner = window;
        INT_PTR result = ExceptionDialog(toWide(kTrace)).showModal(window);
        ownerEnabledAfter = IsWindowEnabled(window);
        DestroyWindow(window);
        return result;
    });
    HWND dialog = run.waitForDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), owner.load());
    EXPECT_FALSE(IsWindowEnabled(owner));
    RECT workArea, frame;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0);
    GetWindowRect(dialog, &frame);
    POINT corner =
        centeredPosition(ownerRect, workArea, frame.right - frame.left, frame.bottom - frame.top);
    EXPECT_EQ(frame.left, corner.x);
    EXPECT_EQ(frame.top, corner.y);
    EXPECT_EQ((frame.left + frame.right) / 2, 440);
    pressKey(run, dialog, VK_ESCAPE);
    EXPECT_EQ(run.waitForResult(), 2);
    EXPECT_TRUE(ownerEnabledAfter);
}

// A dialog whose template is missing.
class MissingDialog : public Dialog {
public:
    INT_PTR showModal() { return runModal(nullptr, 9999); }
    bool processMessage(UINT, WPARAM, LPARAM, LRESULT&) override { return false; }
};

TEST(ExceptionDialog, FailingToShowIsNeverIgnore) {
    EXPECT_EQ(MissingDialog().showModal(), -1);
    // An owner that is no window: the dialog can't be created (0, as the
    // system answers for an invalid owner).
    EXPECT_NE(ExceptionDialog(toWide(kTrace)).showModal(reinterpret_cast<HWND>(0x7FFF0123)), 1);
}

}  // namespace
