#pragma once
// A static text control of a dialog turned into a link: drawn on one line,
// underlined in the browser's link colour, cut with an ellipsis at the end
// when it is wider than the control, with a hand cursor and a tooltip
// showing the whole target over the text; a click, or Space or Enter while it has the focus,
// opens the target with the shell and redraws it in the visited colour.
// Works by subclassing: messages it does not handle go to the static's own
// procedure.

#include <windows.h>

#include <string>

#include "base/UniqueResource.h"
#include "ui/ColorTriple.h"
#include "ui/Window.h"

enum class TextAlignment { Left, Center, Right };

// The alignment of a static control's text from its style.
TextAlignment textAlignmentOf(LONG style);

// Whether a static of this style shows text that the link draws itself;
// image and frame statics paint themselves.
bool paintsOwnLabel(LONG style);

// The DrawTextA alignment flag for an alignment.
UINT drawTextAlignment(TextAlignment alignment);

// The rectangle of the drawn text: the measured rectangle (which starts at
// the client's left edge, and is no wider than the client) moved right by half the free width for centred
// text, by all of it for right-aligned text. The free width is the client's
// right edge minus the measured right edge.
RECT alignedLinkRect(const RECT& client, const RECT& measured, TextAlignment alignment);

class HyperLink : public Window {
public:
    static constexpr COLORREF kDefaultLinkColor = RGB(0, 0, 255);
    static constexpr COLORREF kDefaultVisitedColor = RGB(128, 0, 128);
    static constexpr UINT_PTR kToolId = 1;

    HyperLink() = default;
    ~HyperLink() override = default;

    // Subclasses the static control and sets the link up: style, cursor,
    // fonts, tooltip, label and target (from the window text unless set
    // before), colours. False, and nothing else done, when the window
    // procedure cannot be replaced.
    bool attach(HWND control);

    // Opens the target with the shell's "open" verb. True when the shell
    // accepted it; the link is then drawn in the visited colour.
    bool navigate();

    // The text drawn; also written as the window text.
    void setLabel(const std::string& label);
    // The target opened; the label is drawn when there is one.
    void setUrl(const std::string& url);

    const std::string& label() const { return label_; }
    const std::string& url() const { return url_; }
    COLORREF linkColor() const { return linkColor_; }
    COLORREF visitedColor() const { return visitedColor_; }
    bool visited() const { return visited_; }
    bool paintsLabel() const { return paintLabel_; }
    const RECT& linkRect() const { return linkRect_; }
    HCURSOR linkCursor() const { return linkCursor_.get(); }
    HFONT font() const { return font_; }
    HFONT linkFont() const { return static_cast<HFONT>(linkFont_.get()); }
    HWND tooltip() const { return tooltip_.get(); }

    bool processMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    // The font to draw with, and its underlined copy made anew.
    void takeFont(HFONT font);
    void readLinkColors();
    void registerTool();
    void recomputeLinkRect();
    void paint(HDC dc);
    bool isInsideLink(LPARAM pointParam) const;
    const std::string& drawnText() const { return label_.empty() ? url_ : label_; }
    UINT alignmentFlag() const;

    std::string label_;
    std::string url_;
    UniqueCursor linkCursor_;
    HFONT font_ = nullptr;
    UniqueGdiObject linkFont_;
    UniqueWindowHandle tooltip_;
    bool toolRegistered_ = false;
    COLORREF linkColor_ = kDefaultLinkColor;
    COLORREF visitedColor_ = kDefaultVisitedColor;
    RECT linkRect_ = {0, 0, 0, 0};
    bool paintLabel_ = true;
    bool visited_ = false;
};
