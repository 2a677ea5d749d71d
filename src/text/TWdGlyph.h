// The items of marked-up text: characters, images and the operation marks
// that the markup leaves in the item list (line breaks, alignment and indent
// switches, event marks, variable insertions), and the rows and pages that
// layout builds from them. Every item knows its class by a kind tag, so the
// layout and the reveal can test it without a cast.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "imaging/TRect.h"
#include "text/FontStyleFlags.h"

namespace zuno {

// Horizontal alignment of rows and vertical alignment of inline images.
enum TWdAlign : uint8_t {
    WA_NONE   = 0,
    WA_LEFT   = 1,
    WA_RIGHT  = 2,
    WA_CENTER = 3,
    WA_TOP    = 4,
    WA_BOTTOM = 5,
};


constexpr int32_t kDefaultColor = -1;   // colour, border and shadow colour: the word's default
constexpr int32_t kDefaultWidth = -1;   // border width and shadow offset: the word's default

// Texts that many items share (font name, ruby text, link target): one copy
// per tag that set it, however many characters carry it.
using TWdText = std::shared_ptr<const std::string>;
const std::string& textOf(const TWdText& t);          // the empty text for a null pointer
TWdText makeText(std::string s);                      // null for the empty text

// The style of a visible item, copied from the tag state when it is made.
// Items made under the same tag state share one TWdStyle.
struct TWdStyle {
    int32_t             FontSize = 0;                 // 0: the word's default size
    int32_t             Color = kDefaultColor;
    int32_t             BorderColor = kDefaultColor;
    int32_t             ShadowColor = kDefaultColor;
    TWdText             FontName;                     // empty: the word's default
    uint8_t             StyleFlags = 0;               // FS_ bits
    bool                NoBreak = false;
    TWdText             Ruby;
    TWdText             Link;
    int32_t             Wait = 0;                     // milliseconds before the item appears
    int32_t             BorderWidth = kDefaultWidth;
    int32_t             ShadowOffset = kDefaultWidth;
};
using TWdStylePtr = std::shared_ptr<const TWdStyle>;

enum class TWdKind : uint8_t {
    Char, VarChar, Image, Space, Return, VarReturn, Align, Indent, Undent, Event, Var,
};

class TWdGlyph {
public:
    explicit            TWdGlyph(TWdKind kind) : FKind(kind) {}
    virtual             ~TWdGlyph() = default;
                        TWdGlyph(const TWdGlyph&) = delete;
    TWdGlyph&           operator=(const TWdGlyph&) = delete;

    TWdKind             Kind() const { return FKind; }
    bool                IsChar() const { return FKind == TWdKind::Char || FKind == TWdKind::VarChar; }
    bool                IsReal() const { return IsChar() || FKind == TWdKind::Image; }   // visible, with style
    bool                IsReturn() const { return FKind == TWdKind::Return || FKind == TWdKind::VarReturn; }
    bool                IsInserted() const { return FKind == TWdKind::VarChar || FKind == TWdKind::VarReturn; }

    int32_t             X = 0;                        // inside the row
    int32_t             Y = 0;                        // inside the row
    int32_t             Width = 0;
    int32_t             Height = 0;
    int32_t             Alpha = 255;                  // display alpha 0..255
    int32_t             Wait = 0;                     // milliseconds before the item appears
    mutable TRect       Drawn;                        // what the page picture holds of it (text coordinates)

private:
    TWdKind             FKind;
};

// A visible item with style: a character or an image.
class TWdReal : public TWdGlyph {
public:
                        TWdReal(TWdKind kind, TWdStylePtr style) : TWdGlyph(kind), Style(std::move(style)) { Wait = Style->Wait; }
    TWdStylePtr         Style;                        // never null
};

// One character: a single byte, or a Shift-JIS double-byte code (lead byte high).
class TWdChar : public TWdReal {
public:
                        TWdChar(uint16_t code, TWdStylePtr style, TWdKind kind = TWdKind::Char)
                            : TWdReal(kind, std::move(style)), Code(code) {}
    uint16_t            Code;
    std::string         Text() const;                 // the character's bytes
    bool                IsSingleByte() const { return Code < 256; }
};

// A character of an inserted variable value; made and removed by RefreshVars.
class TWdVarChar : public TWdChar {
public:
                        TWdVarChar(uint16_t code, TWdStylePtr style) : TWdChar(code, std::move(style), TWdKind::VarChar) {}
};

class TWdImg : public TWdReal {
public:
                        TWdImg(std::string source, TWdAlign align, TWdStylePtr style)
                            : TWdReal(TWdKind::Image, std::move(style)), Source(std::move(source)), Align(align) {}
    std::string         Source;                       // image name
    TWdAlign            Align;                        // WA_CENTER, WA_TOP or WA_BOTTOM from the markup
};

// A blank of a given width; layout puts one at the start of indented rows.
class TWdSpace : public TWdGlyph {
public:
    explicit            TWdSpace(int32_t width) : TWdGlyph(TWdKind::Space) { Width = width; }
};

// A line break; with the clear flag, a page break.
class TWdOpeReturn : public TWdGlyph {
public:
    explicit            TWdOpeReturn(bool clear, TWdKind kind = TWdKind::Return) : TWdGlyph(kind), Clear(clear) {}
    bool                Clear;
};

// A line break inside an inserted variable value.
class TWdVarReturn : public TWdOpeReturn {
public:
                        TWdVarReturn() : TWdOpeReturn(false, TWdKind::VarReturn) {}
};

class TWdOpeAlign : public TWdGlyph {
public:
    explicit            TWdOpeAlign(TWdAlign align) : TWdGlyph(TWdKind::Align), Align(align) {}
    TWdAlign            Align;
};

class TWdOpeIndent : public TWdGlyph {
public:
                        TWdOpeIndent() : TWdGlyph(TWdKind::Indent) {}
};

class TWdOpeUndent : public TWdGlyph {
public:
                        TWdOpeUndent() : TWdGlyph(TWdKind::Undent) {}
};

// An event mark, reported when the reveal passes it. An end mark's value
// starts with the byte 0x01.
class TWdOpeEvent : public TWdGlyph {
public:
                        TWdOpeEvent(std::string value, int32_t wait) : TWdGlyph(TWdKind::Event), Value(std::move(value)) { Wait = wait; }
    std::string         Value;
};

// A variable insertion point: RefreshVars puts the value's characters
// directly after it.
class TWdOpeVar : public TWdGlyph {
public:
                        TWdOpeVar(std::string expression, TWdStylePtr style)
                            : TWdGlyph(TWdKind::Var), Expression(std::move(expression)), Style(std::move(style)) {}
    std::string         Expression;                   // the NAME text as written
    TWdStylePtr         Style;                        // given to the inserted characters
    std::string         Value;                        // the inserted text (CR for each inserted line break)
};

// One line of a page. Items are the word's (not owned), except the indent
// blank that layout made for this row.
class TWdRow {
public:
    int32_t             X = 0;                        // start of the row inside the page
    int32_t             Y = 0;                        // top of the row inside the page
    int32_t             Width = 0;
    int32_t             Height = 0;
    TWdAlign            Align = WA_LEFT;
    std::vector<TWdGlyph*> Items;
    std::unique_ptr<TWdSpace> IndentSpace;            // Items[0] when the row is indented
};

// One page of rows, with the state of its reveal.
class TWdPage {
public:
    std::vector<std::unique_ptr<TWdRow>> Rows;
    int32_t             Width = 0;                    // widest row
    int32_t             Height = 0;                   // largest row bottom
    int32_t             ScrollY = 0;                  // the owner's vertical scroll of the page's content

    int32_t             ItemCount() const;
    TWdGlyph*           FirstItem() const;            // null on an empty page
    TWdGlyph*           LastItem() const;

    // Reveal state (TKsWord::Reveal).
    size_t              CursorRow = 0;
    size_t              CursorItem = 0;
    int64_t             Countdown = 0;                // milliseconds until the next item may appear
    int64_t             FadeAccumulator = 0;
    bool                Started = false;              // the first item has been reached
    bool                SkipElapsed = false;          // an event mark stopped the last frame
    std::vector<TWdGlyph*> Fading;
    std::string         EventText;                    // collected event marks, tab-separated

    bool                AllRevealed() const { return CursorRow >= Rows.size(); }
    bool                Complete() const { return AllRevealed() && Fading.empty(); }
};

} // namespace zuno
