// The text input controls.
//
// TZunoCustomEdit  what both share (below).
// TZunoEdit  one line of text typed on the keyboard: a caret, a selection
//            (Shift with the arrows, Home and End, or a drag of the mouse),
//            Back and Delete, Ctrl+A / C / X / V through the clipboard, and
//            the input method's composition shown underlined at the caret
//            until it is committed. Enter posts PR_ONNOTIFY. The line scrolls
//            sideways to keep the caret in view.
// TZunoMemo  the same over several lines: Enter starts a new line (CR LF),
//            Up and Down move between lines, Ctrl+Enter posts PR_ONNOTIFY,
//            the wheel scrolls by lines, and each line is aligned by HAlign.
//
// Both draw a field in the control's Color (none when negative) with a grey
// frame, the text in FontColor in the font of FontName, FontHeight and
// FontStyle, the selection on a blue band, and a blinking caret while they
// have the focus. ReadOnly texts can be selected and copied but not changed.
// Text is Shift-JIS; the caret and the selection always sit between
// characters.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "imaging/TDIBX.h"
#include "objects/TZunoControl.h"

namespace zuno {

class TFontPixelManager;

// Where typed text is copied to and pasted from. The player installs the
// platform's clipboard; without it the text stays inside the process.
class TZunoClipboard {
public:
    virtual             ~TZunoClipboard() = default;
    virtual std::string GetText() = 0;                                 // Shift-JIS
    virtual void        SetText(const std::string& text) = 0;

    static TZunoClipboard& Instance();
    static void         SetInstance(TZunoClipboard* clipboard);        // not owned; none: the process's own
};

class TZunoCustomEdit : public TZunoControl {
public:
                        TZunoCustomEdit();
                        ~TZunoCustomEdit() override;

    virtual bool        Multiline() const = 0;

    // The glyphs come from this manager (not owned); none: the process-wide one.
    void                SetGlyphManager(TFontPixelManager* manager) { FManager = manager; FDirty = true; }

    const std::string&  Text() const { return FText; }
    void                SetText(const std::string& text);             // caret to the end, no selection
    size_t              Caret() const { return FCaret; }              // byte offset
    size_t              SelStart() const { return std::min(FCaret, FAnchor); }
    size_t              SelEnd() const { return std::max(FCaret, FAnchor); }
    std::string         SelectedText() const { return FText.substr(SelStart(), SelEnd() - SelStart()); }
    void                SetSelection(size_t anchor, size_t caret);    // snapped to characters
    const std::string&  Composition() const { return FComposition; }
    int32_t             ScrollPos() const { return FScroll; }         // pixels (edit) or lines (memo)

    // Editing as the keys do it.
    void                InsertText(const std::string& text);          // replaces the selection
    void                DeleteBack();
    void                DeleteForward();
    void                CopySelection();
    void                CutSelection();
    void                Paste();
    void                SelectAll();
    void                MoveCaret(size_t to, bool extend);

    // The caret position (byte offset) nearest to a point relative to the control.
    size_t              PositionAt(int32_t x, int32_t y);
    // Where the caret of a byte offset is drawn, relative to the control.
    TPoint              CaretPoint(size_t offset);

    TPropValue          GetProp(int id) override;
    void                SetProp(int id, const TPropValue& value) override;
    void                Draw() override;
    int                 Update() override;
    void                DoLBtnDown() override;
    void                DoLBtnUp() override;
    void                DoMouseMove() override;
    void                DoWheelDown() override;
    void                DoWheelUp() override;
    void                FireKeyRepeat(const std::vector<std::string>& codes) override;
    void                TextInput(const std::string& text) override;
    void                TextComposition(const std::string& text, int32_t caret) override;
    void                RestoreSurfaces() override { FDirty = true; Invalidate(); }
    void                SaveToStream(TStream& s) override;
    void                LoadFromStream(TStream& s, int32_t version) override;

    // The inner margin between the frame and the text.
    static constexpr int32_t kMargin = 3;

protected:
    struct TLine {
        size_t          Start = 0;                                    // byte offset in FText
        size_t          End = 0;                                      // before its line break
        std::vector<size_t> Offsets;                                  // byte offset of each character
        std::vector<int32_t> Xs;                                      // x of each character and the end
        std::unique_ptr<TDIBX> Colour, Alpha;                         // the rendered line, none when blank
        int32_t         Indent = 0;                                   // from the alignment
    };

    void                layout();                                     // lines, measures, pictures
    void                changed();                                    // text or caret moved: re-lay, scroll, repaint
    void                scrollToCaret();
    size_t              lineOf(size_t offset);
    int32_t             lineHeight() const;
    int32_t             innerWidth() const { return std::max(0, FWidth - 2 * kMargin); }
    int32_t             visibleLines() const;
    std::string         cleanInput(const std::string& text) const;
    bool                focused() const;

    TFontPixelManager*  FManager = nullptr;
    std::string         FFontName;
    int32_t             FFontHeight = 12;
    uint8_t             FFontStyle = 0;
    int32_t             FFontColor = 0;
    bool                FPaused = false;
    std::string         FOnNotify;
    std::string         FText;
    bool                FReadOnly = false;
    uint8_t             FHAlign = HA_LEFT;

    size_t              FCaret = 0, FAnchor = 0;
    std::string         FComposition;
    int32_t             FCompositionCaret = 0;
    int32_t             FScroll = 0;
    bool                FSelecting = false;                           // a drag of the left button
    int32_t             FBlinkMs = 0;
    bool                FDirty = true;
    std::vector<TLine>  FLines;
};

class TZunoEdit : public TZunoCustomEdit {
public:
    uint8_t             GetCompoType() const override { return LT_EDIT; }
    bool                Multiline() const override { return false; }
};

class TZunoMemo : public TZunoCustomEdit {
public:
    uint8_t             GetCompoType() const override { return LT_MEMO; }
    bool                Multiline() const override { return true; }
};

} // namespace zuno
