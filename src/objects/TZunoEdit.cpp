#include "objects/TZunoEdit.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "core/Cp932.h"
#include "core/StreamFields.h"
#include "imaging/TCustomDIBX.h"
#include "objects/TZunoBase.h"
#include "objects/TZunoBaseList.h"
#include "text/DrawChar.h"
#include "text/TFontPixelManager.h"

namespace zuno {

namespace {

int32_t clampInt(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

// Lines wider than this are measured but not rendered.
constexpr int64_t kMaxLinePixels = 16384;
// The longest text the controls take, in bytes; typing and pasting stop there.
constexpr size_t kMaxTextBytes = 65536;

constexpr int32_t kBlinkMs = 500;
constexpr int32_t kFrameColour = 0x808080;
constexpr int32_t kSelectionColour = 0xFF9933;        // 0x00BBGGRR: a light blue

// Virtual-key codes the editors answer.
constexpr int kVkBack = 8, kVkReturn = 13, kVkShift = 16, kVkControl = 17, kVkEnd = 35, kVkHome = 36,
              kVkLeft = 37, kVkUp = 38, kVkRight = 39, kVkDown = 40, kVkDelete = 46;

size_t charLength(const std::string& s, size_t i) {
    return i + 1 < s.size() && isLeadByte(uint8_t(s[i])) ? 2 : 1;
}

// The start of the character before byte offset i.
size_t previousChar(const std::string& s, size_t i) {
    size_t p = 0, last = 0;
    while (p < i && p < s.size()) {
        last = p;
        p += charLength(s, p);
    }
    return last;
}

// i moved back onto the start of the character it falls into.
size_t snapToChar(const std::string& s, size_t i) {
    i = std::min(i, s.size());
    size_t p = 0;
    while (p < s.size()) {
        const size_t n = p + charLength(s, p);
        if (n > i)
            return p;
        p = n;
    }
    return s.size();
}

bool isBreak(char c) { return c == '\r' || c == '\n'; }

class TOwnClipboard : public TZunoClipboard {
public:
    std::string GetText() override { return FText; }
    void SetText(const std::string& text) override { FText = text; }

private:
    std::string FText;
};

TZunoClipboard* installedClipboard = nullptr;

} // namespace

TZunoClipboard& TZunoClipboard::Instance() {
    static TOwnClipboard own;
    return installedClipboard ? *installedClipboard : own;
}

void TZunoClipboard::SetInstance(TZunoClipboard* clipboard) { installedClipboard = clipboard; }

//==============================================================================
// Properties
//==============================================================================

TZunoCustomEdit::TZunoCustomEdit() : FFontName(sjis("ＭＳ Ｐゴシック")) {
    FColor = 0xFFFFFF;
    FHandleKey = true;
}

TZunoCustomEdit::~TZunoCustomEdit() = default;

bool TZunoCustomEdit::focused() const { return FOwner && FOwner->Focus() == this; }

int32_t TZunoCustomEdit::lineHeight() const { return std::clamp(FFontHeight, 1, kMaxGlyphHeight); }

int32_t TZunoCustomEdit::visibleLines() const {
    return std::max(1, (FHeight - 2 * kMargin) / lineHeight());
}

std::string TZunoCustomEdit::cleanInput(const std::string& text) const {
    // Control bytes are dropped; a one-line edit drops line breaks too, a
    // memo keeps each break as CR LF.
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const uint8_t c = uint8_t(text[i]);
        if (isLeadByte(c) && i + 1 < text.size()) {
            out.append(text, i, 2);
            ++i;
        } else if (isBreak(char(c))) {
            if (Multiline())
                out += "\r\n";
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else if (c >= 0x20 && c != 0x7F && !isLeadByte(c)) {
            out += char(c);
        }
    }
    return out;
}

void TZunoCustomEdit::SetText(const std::string& text) {
    std::string t = cleanInput(text);
    if (t.size() > kMaxTextBytes)
        t.resize(snapToChar(t, kMaxTextBytes));
    if (t == FText)
        return;
    FText = std::move(t);
    FCaret = FAnchor = FText.size();
    FComposition.clear();
    changed();
}

void TZunoCustomEdit::SetSelection(size_t anchor, size_t caret) {
    FAnchor = snapToChar(FText, anchor);
    FCaret = snapToChar(FText, caret);
    changed();
}

TPropValue TZunoCustomEdit::GetProp(int id) {
    switch (id) {
    case PR_FONTNAME:   return TPropValue::ofStr(FFontName);
    case PR_FONTHEIGHT: return TPropValue::ofInt(FFontHeight);
    case PR_FONTSTYLE:  return TPropValue::ofInt(FFontStyle);
    case PR_FONTCOLOR:  return TPropValue::ofInt(FFontColor);
    case PR_PAUSED:     return TPropValue::ofBool(FPaused);
    case PR_ONNOTIFY:   return TPropValue::ofStr(FOnNotify);
    case PR_TEXT:       return TPropValue::ofStr(FText);
    case PR_READONLY:   return TPropValue::ofBool(FReadOnly);
    case PR_HALIGN:     return Multiline() ? TPropValue::ofInt(FHAlign) : TZunoControl::GetProp(id);
    default:            return TZunoControl::GetProp(id);
    }
}

void TZunoCustomEdit::SetProp(int id, const TPropValue& v) {
    auto font = [this](auto fn) { fn(); FDirty = true; changed(); };
    switch (id) {
    case PR_FONTNAME:   font([&] { FFontName = v.Str; }); return;
    case PR_FONTHEIGHT: font([&] { FFontHeight = v.Int; }); return;
    case PR_FONTSTYLE:  font([&] { FFontStyle = uint8_t(v.Int); }); return;
    case PR_FONTCOLOR:  font([&] { FFontColor = v.Int; }); return;
    case PR_PAUSED:     FPaused = v.Bool; return;
    case PR_ONNOTIFY:   FOnNotify = v.Str; return;
    case PR_TEXT:       SetText(v.Str); return;
    case PR_READONLY:   FReadOnly = v.Bool; return;
    case PR_HALIGN:
        if (Multiline())
            font([&] { FHAlign = uint8_t(v.Int); });
        return;
    case PR_WIDTH: case PR_HEIGHT:
        TZunoControl::SetProp(id, v);
        changed();
        return;
    default:            TZunoControl::SetProp(id, v); return;
    }
}

//==============================================================================
// Layout
//==============================================================================

void TZunoCustomEdit::changed() {
    FDirty = true;
    FBlinkMs = 0;                           // the caret shows at once after a change
    layout();
    scrollToCaret();
    Invalidate();
}

void TZunoCustomEdit::layout() {
    if (!FDirty)
        return;
    FDirty = false;
    // The text as shown: the composition in progress sits at the caret.
    const std::string shown = FText.substr(0, FCaret) + FComposition + FText.substr(FCaret);
    FLines.clear();
    size_t start = 0;
    for (size_t i = 0;; ) {
        if (i >= shown.size() || (Multiline() && isBreak(shown[i]))) {
            TLine line;
            line.Start = start;
            line.End = i;
            FLines.push_back(std::move(line));
            if (i >= shown.size())
                break;
            i += shown[i] == '\r' && i + 1 < shown.size() && shown[i + 1] == '\n' ? 2 : 1;
            start = i;
            continue;
        }
        i += charLength(shown, i);
    }

    TFontPixelManager* manager = FManager ? FManager : TFontPixelManager::Instance();
    const std::string face = FFontName.empty() ? fallbackFaceName() : FFontName;
    const int32_t h = lineHeight();
    if (manager)
        manager->AntiAliasLevel = kAntiAliasMax;
    TCustomDIBX* s = GetSurface();
    const int32_t bits = s ? s->GetBitCount() : 32;
    for (TLine& line : FLines) {
        std::vector<uint16_t> codes;
        int64_t x = 0;
        for (size_t i = line.Start; i < line.End; i += charLength(shown, i)) {
            line.Offsets.push_back(i);
            line.Xs.push_back(clampInt(x));
            const uint8_t c = uint8_t(shown[i]);
            const uint16_t code = charLength(shown, i) == 2 ? uint16_t(c << 8 | uint8_t(shown[i + 1])) : c;
            codes.push_back(code);
            if (manager) {
                TFontPixel& g = manager->GetGlyph(code, face, FFontStyle, FFontHeight);
                x += int64_t(g.GlyphMask.GetWidth()) + g.GlyphLeft + g.ExtraAdvance;
            }
        }
        line.Offsets.push_back(line.End);
        line.Xs.push_back(clampInt(x));
        const int64_t width = x;
        if (Multiline() && FHAlign == HA_CENTER)
            line.Indent = clampInt(std::max<int64_t>(0, (innerWidth() - width) / 2));
        else if (Multiline() && FHAlign == HA_RIGHT)
            line.Indent = clampInt(std::max<int64_t>(0, innerWidth() - width));
        if (!manager || width <= 0 || width > kMaxLinePixels)
            continue;
        line.Colour = std::make_unique<TDIBX>(int32_t(width), h, bits);
        line.Alpha = std::make_unique<TDIBX>(int32_t(width), h, 8);
        line.Alpha->Fill(0);
        const TDrawCharColours colours{0, 0, line.Colour->ColorToPixel(FFontColor)};
        for (size_t k = 0; k < codes.size(); ++k) {
            TFontPixel& g = manager->GetGlyph(codes[k], face, FFontStyle, FFontHeight);
            const TRect cell = TRect::bounds(line.Xs[k], 0, line.Xs[k + 1] - line.Xs[k], h);
            DrawChar(*manager, g, *line.Colour, *line.Alpha, false, colours, TDrawCharRun{k + 1 == codes.size(), k == 0},
                     0, 0, cell);
        }
    }
}

// Byte offsets of the text map to offsets of the shown text: what follows
// the caret moves behind the composition.
size_t TZunoCustomEdit::lineOf(size_t shownOffset) {
    for (size_t i = 0; i < FLines.size(); ++i)
        if (shownOffset <= FLines[i].End)
            return i;
    return FLines.empty() ? 0 : FLines.size() - 1;
}

TPoint TZunoCustomEdit::CaretPoint(size_t offset) {
    layout();
    size_t shown = offset < FCaret ? offset : offset + FComposition.size();
    const size_t l = lineOf(shown);
    if (FLines.empty())
        return {kMargin, kMargin};
    const TLine& line = FLines[l];
    const auto it = std::lower_bound(line.Offsets.begin(), line.Offsets.end(), shown);
    const size_t k = size_t(std::min<ptrdiff_t>(it - line.Offsets.begin(), ptrdiff_t(line.Xs.size()) - 1));
    int64_t x = kMargin + int64_t(line.Indent) + line.Xs[k];
    int64_t y = kMargin;
    if (Multiline())
        y += (int64_t(l) - FScroll) * lineHeight();
    else
        x -= FScroll;
    return {clampInt(x), clampInt(y)};
}

size_t TZunoCustomEdit::PositionAt(int32_t x, int32_t y) {
    layout();
    if (FLines.empty())
        return 0;
    int64_t l = 0;
    if (Multiline()) {
        // Rows above the first shown line count down from it (floor division).
        const int64_t d = int64_t(y) - kMargin, h = lineHeight();
        const int64_t row = d >= 0 ? d / h : -((-d + h - 1) / h);
        l = std::clamp<int64_t>(row + FScroll, 0, int64_t(FLines.size()) - 1);
    }
    const TLine& line = FLines[size_t(l)];
    const int64_t along = int64_t(x) - kMargin - line.Indent + (Multiline() ? 0 : FScroll);
    // The boundary nearest to the point: past half a character's width
    // the caret goes after it.
    size_t k = 0;
    while (k + 1 < line.Xs.size() && along > (int64_t(line.Xs[k]) + line.Xs[k + 1]) / 2)
        ++k;
    size_t shown = line.Offsets[k];
    if (shown <= FCaret)
        return shown;
    if (shown < FCaret + FComposition.size())
        return FCaret;
    return shown - FComposition.size();
}

void TZunoCustomEdit::scrollToCaret() {
    if (FLines.empty())
        return;
    const size_t shownCaret = FCaret + FComposition.size();
    if (Multiline()) {
        const int32_t l = int32_t(lineOf(shownCaret));
        const int32_t n = visibleLines();
        if (l < FScroll)
            FScroll = l;
        else if (l >= FScroll + n)
            FScroll = l - n + 1;
        FScroll = std::clamp(FScroll, 0, std::max(0, int32_t(FLines.size()) - 1));
    } else {
        const TLine& line = FLines[0];
        const auto it = std::lower_bound(line.Offsets.begin(), line.Offsets.end(), shownCaret);
        const size_t k = size_t(std::min<ptrdiff_t>(it - line.Offsets.begin(), ptrdiff_t(line.Xs.size()) - 1));
        const int32_t x = line.Xs[k], w = std::max(1, innerWidth() - 1);
        if (x - FScroll > w)
            FScroll = x - w;
        if (x < FScroll)
            FScroll = x;
        // No room is left empty on the right while text is hidden on the left.
        FScroll = std::clamp(FScroll, 0, std::max(0, line.Xs.back() - w));
        FScroll = std::min(FScroll, x);
    }
}

//==============================================================================
// Editing
//==============================================================================

void TZunoCustomEdit::MoveCaret(size_t to, bool extend) {
    FCaret = snapToChar(FText, to);
    if (!extend)
        FAnchor = FCaret;
    changed();
}

void TZunoCustomEdit::InsertText(const std::string& text) {
    if (FReadOnly)
        return;
    std::string add = cleanInput(text);
    const size_t a = SelStart(), b = SelEnd();
    const size_t room = kMaxTextBytes - std::min(kMaxTextBytes, FText.size() - (b - a));
    if (add.size() > room)
        add.resize(snapToChar(add, room));
    if (add.empty() && a == b)
        return;
    FText.replace(a, b - a, add);
    FCaret = FAnchor = a + add.size();
    changed();
}

void TZunoCustomEdit::DeleteBack() {
    if (FReadOnly)
        return;
    if (SelStart() == SelEnd()) {
        if (FCaret == 0)
            return;
        size_t from = previousChar(FText, FCaret);
        // A line break is one step back.
        if (FCaret >= 2 && FText.compare(FCaret - 2, 2, "\r\n") == 0)
            from = FCaret - 2;
        FAnchor = from;
    }
    InsertText({});
}

void TZunoCustomEdit::DeleteForward() {
    if (FReadOnly)
        return;
    if (SelStart() == SelEnd()) {
        if (FCaret >= FText.size())
            return;
        FAnchor = FText.compare(FCaret, 2, "\r\n") == 0 ? FCaret + 2 : FCaret + charLength(FText, FCaret);
    }
    InsertText({});
}

void TZunoCustomEdit::CopySelection() {
    if (SelStart() != SelEnd())
        TZunoClipboard::Instance().SetText(SelectedText());
}

void TZunoCustomEdit::CutSelection() {
    if (FReadOnly)
        return;
    CopySelection();
    InsertText({});
}

void TZunoCustomEdit::Paste() { InsertText(TZunoClipboard::Instance().GetText()); }

void TZunoCustomEdit::SelectAll() {
    FAnchor = 0;
    FCaret = FText.size();
    changed();
}

void TZunoCustomEdit::TextInput(const std::string& text) {
    FComposition.clear();
    FDirty = true;
    InsertText(text);
    changed();
}

void TZunoCustomEdit::TextComposition(const std::string& text, int32_t caret) {
    if (FReadOnly)
        return;
    std::string t = cleanInput(text);
    if (t.size() > 1024)
        t.resize(snapToChar(t, 1024));
    if (t == FComposition && caret == FCompositionCaret)
        return;
    FComposition = std::move(t);
    FCompositionCaret = caret;
    changed();
}

void TZunoCustomEdit::FireKeyRepeat(const std::vector<std::string>& codes) {
    // While the input method composes, the keys are its own.
    if (FComposition.empty() && !FPaused) {
        const bool shift = FOwner && FOwner->IsKeyDown(kVkShift);
        const bool ctrl = FOwner && FOwner->IsKeyDown(kVkControl);
        for (const std::string& text : codes) {
            const int code = std::atoi(text.c_str());
            layout();
            const size_t shownCaret = FCaret + FComposition.size();
            const TLine& line = FLines[lineOf(shownCaret)];
            switch (code) {
            case kVkLeft:
                if (!shift && SelStart() != SelEnd())
                    MoveCaret(SelStart(), false);
                else if (FCaret >= 2 && FText.compare(FCaret - 2, 2, "\r\n") == 0)
                    MoveCaret(FCaret - 2, shift);
                else
                    MoveCaret(previousChar(FText, FCaret), shift);
                break;
            case kVkRight:
                if (!shift && SelStart() != SelEnd())
                    MoveCaret(SelEnd(), false);
                else if (FCaret < FText.size())
                    MoveCaret(FText.compare(FCaret, 2, "\r\n") == 0 ? FCaret + 2 : FCaret + charLength(FText, FCaret),
                              shift);
                break;
            case kVkHome: MoveCaret(ctrl ? 0 : line.Start, shift); break;
            case kVkEnd:  MoveCaret(ctrl ? FText.size() : line.End, shift); break;
            case kVkUp: case kVkDown:
                if (Multiline()) {
                    const TPoint p = CaretPoint(FCaret);
                    MoveCaret(PositionAt(p.X, p.Y + (code == kVkUp ? -lineHeight() : lineHeight())), shift);
                }
                break;
            case kVkBack:   DeleteBack(); break;
            case kVkDelete: DeleteForward(); break;
            case kVkReturn:
                if (Multiline() && !ctrl)
                    InsertText("\r\n");
                else
                    PostEvent(PR_ONNOTIFY);
                break;
            case 'A': if (ctrl) SelectAll(); break;
            case 'C': if (ctrl) CopySelection(); break;
            case 'X': if (ctrl) CutSelection(); break;
            case 'V': if (ctrl) Paste(); break;
            default: break;
            }
        }
    }
    TZunoControl::FireKeyRepeat(codes);
}

//==============================================================================
// Mouse
//==============================================================================

void TZunoCustomEdit::DoLBtnDown() {
    TZunoControl::DoLBtnDown();
    TZunoBase* base = GetBase();
    if (!base || !(base->Capture & TZunoBase::kCaptureLeft) || FPaused || !FComposition.empty())
        return;
    FSelecting = true;
    const bool shift = FOwner && FOwner->IsKeyDown(kVkShift);
    MoveCaret(PositionAt(clampInt(int64_t(base->Input.MouseX) - ScreenLeft()),
                         clampInt(int64_t(base->Input.MouseY) - ScreenTop())),
              shift);
}

void TZunoCustomEdit::DoLBtnUp() {
    FSelecting = false;
    TZunoControl::DoLBtnUp();
}

void TZunoCustomEdit::DoMouseMove() {
    TZunoControl::DoMouseMove();
    TZunoBase* base = GetBase();
    if (FSelecting && base)
        MoveCaret(PositionAt(clampInt(int64_t(base->Input.MouseX) - ScreenLeft()),
                             clampInt(int64_t(base->Input.MouseY) - ScreenTop())),
                  true);
}

void TZunoCustomEdit::DoWheelDown() {
    TZunoControl::DoWheelDown();
    if (Multiline() && !FPaused && FScroll + 1 < int32_t(FLines.size())) {
        ++FScroll;
        Invalidate();
    }
}

void TZunoCustomEdit::DoWheelUp() {
    TZunoControl::DoWheelUp();
    if (Multiline() && !FPaused && FScroll > 0) {
        --FScroll;
        Invalidate();
    }
}

//==============================================================================
// Drawing, life
//==============================================================================

int TZunoCustomEdit::Update() {
    const int answer = TZunoControl::Update();
    if (answer != 0 || !FOwner)
        return answer;
    if (focused()) {
        const bool before = FBlinkMs % (2 * kBlinkMs) < kBlinkMs;
        FBlinkMs = (FBlinkMs + std::max(0, FOwner->FrameElapsed())) % (2 * kBlinkMs);
        if (before != (FBlinkMs % (2 * kBlinkMs) < kBlinkMs))
            Invalidate();
    } else if (FBlinkMs != 0) {
        FBlinkMs = 0;
        Invalidate();
    }
    return answer;
}

void TZunoCustomEdit::Draw() {
    TCustomDIBX* s = GetSurface();
    if (s && FWidth > 0 && FHeight > 0) {
        if (!FLines.empty() && FLines[0].Colour && FLines[0].Colour->GetBitCount() != s->GetBitCount())
            FDirty = true;
        layout();
        const TRect client = GetClientRect();
        if (FColor >= 0)
            s->FillRect(intersectRect(client, s->GetDrawableRect()), s->ColorToPixel(FColor));
        s->FrameRect(client, 1, s->ColorToPixel(kFrameColour));
        const TRect saved = s->ClipRect;
        const TRect inner(clampInt(int64_t(client.Left) + 1), clampInt(int64_t(client.Top) + 1),
                          clampInt(int64_t(client.Right) - 1), clampInt(int64_t(client.Bottom) - 1));
        const TRect drawable = intersectRect(s->GetDrawableRect(), inner);
        if (!drawable.isEmpty()) {
            s->ClipRect = drawable;
            const int32_t h = lineHeight();
            const uint32_t text = s->ColorToPixel(FFontColor);
            const size_t selA = SelStart() < FCaret ? SelStart() : SelStart() + FComposition.size();
            const size_t selB = SelEnd() < FCaret || SelEnd() == SelStart() ? SelEnd() : SelEnd() + FComposition.size();
            const size_t compA = FCaret, compB = FCaret + FComposition.size();
            for (size_t l = 0; l < FLines.size(); ++l) {
                const TLine& line = FLines[l];
                const int64_t y = int64_t(client.Top) + kMargin + (Multiline() ? (int64_t(l) - FScroll) * h : 0);
                if (y >= drawable.Bottom || y + h <= drawable.Top)
                    continue;
                const int64_t x0 = int64_t(client.Left) + kMargin + line.Indent - (Multiline() ? 0 : FScroll);
                auto xOf = [&](size_t shown) {
                    const auto it = std::lower_bound(line.Offsets.begin(), line.Offsets.end(), shown);
                    return x0 + line.Xs[size_t(std::min<ptrdiff_t>(it - line.Offsets.begin(),
                                                                   ptrdiff_t(line.Xs.size()) - 1))];
                };
                // The selection's band on this line, up to its end.
                const size_t a = std::max(selA, line.Start), b = std::min(selB, line.End);
                if (selA < selB && a <= b && (a < b || selB > line.End))
                    s->FillRect(TRect(clampInt(xOf(a)), clampInt(y),
                                      clampInt(xOf(b) + (selB > line.End ? h / 3 : 0)), clampInt(y + h)),
                                s->ColorToPixel(kSelectionColour));
                if (line.Alpha)
                    s->DrawColorMask(clampInt(x0), clampInt(y), 255, text, false, false,
                                     TRect(0, 0, line.Alpha->GetWidth(), line.Alpha->GetHeight()), *line.Alpha);
                if (compA < compB && compA >= line.Start && compA <= line.End)
                    s->FillRect(TRect(clampInt(xOf(compA)), clampInt(y + h - 1),
                                      clampInt(xOf(std::min(compB, line.End))), clampInt(y + h)),
                                text);
            }
            if (focused() && FBlinkMs < kBlinkMs) {
                const TPoint p = CaretPoint(FCaret);
                const int64_t cx = int64_t(client.Left) + p.X, cy = int64_t(client.Top) + p.Y;
                s->FillRect(TRect(clampInt(cx), clampInt(cy), clampInt(cx + 1), clampInt(cy + h)), text);
            }
            s->ClipRect = saved;
        }
    }
    TZunoControl::Draw();
}

//==============================================================================
// Save record
//==============================================================================

void TZunoCustomEdit::SaveToStream(TStream& s) {
    TZunoControl::SaveToStream(s);
    WriteString(s, FFontName);
    WriteInt(s, FFontHeight);
    WriteByte(s, FFontStyle);
    WriteInt(s, FFontColor);
    WriteBool(s, FPaused);
    WriteString(s, FOnNotify);
    WriteString(s, FText);
    WriteBool(s, FReadOnly);
    if (Multiline())
        WriteByte(s, FHAlign);
}

void TZunoCustomEdit::LoadFromStream(TStream& s, int32_t version) {
    TZunoControl::LoadFromStream(s, version);
    FFontName = ReadString(s);
    FFontHeight = ReadInt(s);
    FFontStyle = ReadByte(s);
    FFontColor = ReadInt(s);
    FPaused = ReadBool(s);
    FOnNotify = ReadString(s);
    const std::string text = ReadString(s);
    FReadOnly = ReadBool(s);
    if (Multiline())
        FHAlign = ReadByte(s);
    FText.clear();
    SetText(text);
    FDirty = true;
    changed();
}

} // namespace zuno
