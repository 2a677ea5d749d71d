#include "text/TKsWord.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "core/TextHelpers.h"
#include "expr/TParamCollection.h"
#include "expr/TSysFuncMan.h"
#include "expr/ZunoCalc.h"
#include "text/MarkupTokens.h"
#include "text/TTagValList.h"

namespace zuno {

namespace {

constexpr int32_t kDefaultGlobalWait = 50;      // "@TextDelay" after a reset
constexpr char kEndMark = 0x01;                 // prefix of an end event's value; line break in the snapshot

// The tags of the markup, looked up by name without regard to case.
enum TTagKind {
    TK_TEXT, TK_OTHER, TK_A, TK_A_END, TK_B, TK_B_END, TK_FONT, TK_FONT_END, TK_I, TK_I_END, TK_S, TK_S_END,
    TK_U, TK_U_END, TK_NOBR, TK_NOBR_END, TK_RUBY, TK_RUBY_END, TK_DIV, TK_DIV_END, TK_INDENT, TK_UNDENT,
    TK_BR, TK_CLEAR, TK_EVENT, TK_WAIT, TK_WAIT_END, TK_VAR, TK_IMG,
};

struct TTagName {
    const char* Name;
    TTagKind    Kind;
};

constexpr TTagName kTagNames[] = {
    {"A", TK_A},           {"/A", TK_A_END},       {"B", TK_B},         {"/B", TK_B_END},
    {"FONT", TK_FONT},     {"/FONT", TK_FONT_END}, {"I", TK_I},         {"/I", TK_I_END},
    {"S", TK_S},           {"/S", TK_S_END},       {"U", TK_U},         {"/U", TK_U_END},
    {"NOBR", TK_NOBR},     {"/NOBR", TK_NOBR_END}, {"RUBY", TK_RUBY},   {"/RUBY", TK_RUBY_END},
    {"DIV", TK_DIV},       {"/DIV", TK_DIV_END},   {"INDENT", TK_INDENT}, {"UNDENT", TK_UNDENT},
    {"BR", TK_BR},         {"CLEAR", TK_CLEAR},    {"EVENT", TK_EVENT}, {"WAIT", TK_WAIT},
    {"/WAIT", TK_WAIT_END}, {"VAR", TK_VAR},       {"IMG", TK_IMG},
};

TTagKind tagKindOf(std::string_view name) {
    for (const TTagName& t : kTagNames)
        if (sameTextSjis(name, t.Name))
            return t.Kind;
    return TK_OTHER;
}

// A decimal number (optional sign), saturated to the int32 range; nothing
// for any other text.
std::optional<int32_t> decimalOf(std::string_view s) {
    s = trimmed(s);
    bool negative = false;
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
        negative = s[0] == '-';
        s.remove_prefix(1);
    }
    if (s.empty())
        return std::nullopt;
    int64_t v = 0;
    for (char c : s) {
        if (c < '0' || c > '9')
            return std::nullopt;
        v = std::min<int64_t>(v * 10 + (c - '0'), int64_t{1} << 32);
    }
    if (negative)
        v = -v;
    return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// "#RRGGBB" as 0x00BBGGRR; any other form keeps `current`.
int32_t colorAttr(const TMarkupTag& tag, std::string_view name, int32_t current) {
    const TMarkupAttr* a = tag.Find(name);
    if (!a || a->Value.size() != 7 || a->Value[0] != '#')
        return current;
    int32_t rgb[3];
    for (int k = 0; k < 3; ++k) {
        int hi = hexDigit(a->Value[1 + 2 * k]), lo = hexDigit(a->Value[2 + 2 * k]);
        if (hi < 0 || lo < 0)
            return current;
        rgb[k] = hi * 16 + lo;
    }
    return rgb[0] | (rgb[1] << 8) | (rgb[2] << 16);
}

// BORDER and SHADOW: 1 when present without a number, never below 0.
int32_t widthAttr(const TMarkupTag& tag, std::string_view name, int32_t current) {
    const TMarkupAttr* a = tag.Find(name);
    if (!a)
        return current;
    return std::max(0, decimalOf(a->Value).value_or(1));
}

// HREF and EVENT values: \" and \\ give the character, \n gives CR LF.
std::string unescapeValue(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        size_t n = sjisCharLen(s, i);
        if (n == 1 && s[i] == '\\' && i + 1 < s.size()) {
            char c = s[i + 1];
            if (c == '"' || c == '\\') {
                out += c;
                i += 2;
                continue;
            }
            if (c == 'n') {
                out += "\r\n";
                i += 2;
                continue;
            }
        }
        out.append(s.substr(i, n));
        i += n;
    }
    return out;
}

std::string attrValue(const TMarkupTag& tag, std::string_view name) {
    const TMarkupAttr* a = tag.Find(name);
    return a ? a->Value : std::string();
}

TWdAlign alignOf(std::string_view name, TWdAlign fallback, bool vertical) {
    if (sameTextSjis(name, "CENTER"))
        return WA_CENTER;
    if (vertical) {
        if (sameTextSjis(name, "TOP"))
            return WA_TOP;
        if (sameTextSjis(name, "BOTTOM"))
            return WA_BOTTOM;
    } else {
        if (sameTextSjis(name, "LEFT"))
            return WA_LEFT;
        if (sameTextSjis(name, "RIGHT"))
            return WA_RIGHT;
    }
    return fallback;
}

uint16_t codeAt(std::string_view s, size_t i, size_t n) {
    auto b = static_cast<uint8_t>(s[i]);
    return n == 2 ? static_cast<uint16_t>((b << 8) | static_cast<uint8_t>(s[i + 1])) : b;
}

} // namespace

TKsWord::TKsWord() : DefaultFontName(sjis("ＭＳ ゴシック")) {}

TKsWord::~TKsWord() = default;

int32_t TKsWord::IndexOf(const TWdGlyph* item) const {
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].get() == item)
            return static_cast<int32_t>(i);
    return -1;
}

void TKsWord::addItem(std::unique_ptr<TWdGlyph> item) {
    if (FItems.size() < static_cast<size_t>(kMaxItems))
        FItems.push_back(std::move(item));
}

/*
================
TKsWord::SetText
================
*/
void TKsWord::SetText(std::string_view text) {
    SetText(splitLines(text));
}

void TKsWord::SetText(const std::vector<std::string>& lines) {
    FHovered.clear();
    FItems.clear();
    FDecorations.Clear();
    VarSnapshot.clear();

    std::string joined;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i)
            joined += '\r';
        joined += lines[i];
    }
    TTagValList tags(FFuncs ? FFuncs->Params().TextDelay : kDefaultGlobalWait);
    for (const TMarkupToken& token : tokenizeMarkup(joined)) {
        if (token.Kind == TMarkupTokenKind::Text) {
            const std::string& s = token.Text;
            for (size_t i = 0; i < s.size() && FItems.size() < static_cast<size_t>(kMaxItems);) {
                size_t n = sjisCharLen(s, i);
                addItem(std::make_unique<TWdChar>(codeAt(s, i, n), tags.Style()));
                i += n;
            }
        } else if (isWellFormedTag(token)) {
            interpretTag(token.Text, tags);
        }
        // Comments, script and style blocks and unterminated tags are ignored.
    }
    FDecorations.Build(FItems);
}

int32_t TKsWord::AppendText(std::string_view text, int32_t first, int32_t last) {
    TKsWord parsed;
    parsed.SetFunctions(FFuncs);
    parsed.SetText(text);
    const auto start = static_cast<int32_t>(FItems.size());
    const int32_t count = parsed.ItemCount();
    if (last < 0 || last >= count)
        last = count - 1;
    for (int32_t i = std::max(first, 0); i <= last && FItems.size() < static_cast<size_t>(kMaxItems); ++i)
        FItems.push_back(std::move(parsed.FItems[static_cast<size_t>(i)]));
    FDecorations.Clear();
    FDecorations.Build(FItems);
    return start;
}

void TKsWord::ClearItems() {
    FItems.clear();
    FDecorations.Clear();
    FHovered.clear();
}

int32_t TKsWord::SourcePosition(const TWdGlyph* item) const {
    int32_t position = 0;
    for (const auto& p : FItems) {
        if (p.get() == item)
            return position;
        if (IsStored(*p))
            ++position;
    }
    return -1;
}

void TKsWord::interpretTag(const std::string& token, TTagValList& tags) {
    TMarkupTag tag = parseTag(token);
    switch (tagKindOf(tag.Name)) {
    case TK_A: {
        const TMarkupAttr* href = tag.Find("HREF");
        if (!href)
            throw EZunoError::fromUtf8("<A>タグにHREF値がありません");
        tags.SetLink(makeText(unescapeValue(href->Value)));
        break;
    }
    case TK_A_END:    tags.SetLink(nullptr); break;
    case TK_B:        tags.SetStyleFlag(FS_BOLD, true); break;
    case TK_B_END:    tags.SetStyleFlag(FS_BOLD, false); break;
    case TK_I:        tags.SetStyleFlag(FS_ITALIC, true); break;
    case TK_I_END:    tags.SetStyleFlag(FS_ITALIC, false); break;
    case TK_S:        tags.SetStyleFlag(FS_STRIKEOUT, true); break;
    case TK_S_END:    tags.SetStyleFlag(FS_STRIKEOUT, false); break;
    case TK_U:        tags.SetStyleFlag(FS_UNDERLINE, true); break;
    case TK_U_END:    tags.SetStyleFlag(FS_UNDERLINE, false); break;
    case TK_NOBR:     tags.SetNoBreak(true); break;
    case TK_NOBR_END: tags.SetNoBreak(false); break;
    case TK_RUBY:     tags.SetRuby(makeText(attrValue(tag, "VALUE"))); break;
    case TK_RUBY_END: tags.SetRuby(nullptr); break;
    case TK_FONT: {
        const TMarkupAttr* size = tag.Find("SIZE");
        const TMarkupAttr* name = tag.Find("NAME");
        tags.PushFont(size ? decimalOf(size->Value).value_or(tags.FontSize()) : tags.FontSize(),
                      colorAttr(tag, "COLOR", tags.Color()), colorAttr(tag, "BCOLOR", tags.BorderColor()),
                      colorAttr(tag, "SCOLOR", tags.ShadowColor()), name ? makeText(name->Value) : tags.FontName(),
                      widthAttr(tag, "BORDER", tags.BorderWidth()), widthAttr(tag, "SHADOW", tags.ShadowOffset()));
        break;
    }
    case TK_FONT_END: tags.PopFont(); break;
    case TK_DIV:
        tags.PushAlign(alignOf(attrValue(tag, "ALIGN"), WA_LEFT, false));
        addItem(std::make_unique<TWdOpeAlign>(tags.Align()));
        break;
    case TK_DIV_END:
        tags.PopAlign();
        addItem(std::make_unique<TWdOpeAlign>(tags.Align()));
        break;
    case TK_INDENT:   addItem(std::make_unique<TWdOpeIndent>()); break;
    case TK_UNDENT:   addItem(std::make_unique<TWdOpeUndent>()); break;
    case TK_BR:       addItem(std::make_unique<TWdOpeReturn>(tag.Find("CLEAR") != nullptr)); break;
    case TK_CLEAR:    addItem(std::make_unique<TWdOpeReturn>(true)); break;
    case TK_EVENT: {
        std::string value = unescapeValue(attrValue(tag, "VALUE"));
        if (tag.Find("END"))
            value.insert(value.begin(), kEndMark);
        addItem(std::make_unique<TWdOpeEvent>(std::move(value), tags.Wait()));
        break;
    }
    case TK_WAIT: {
        const TMarkupAttr* value = tag.Find("VALUE");
        tags.PushWait(value ? decimalOf(value->Value).value_or(tags.Wait()) : tags.Wait());
        break;
    }
    case TK_WAIT_END: tags.PopWait(); break;
    case TK_VAR:
        if (const TMarkupAttr* name = tag.Find("NAME"))
            addItem(std::make_unique<TWdOpeVar>(name->Value, tags.Style()));
        break;
    case TK_IMG:
        if (const TMarkupAttr* src = tag.Find("SRC"))
            addItem(std::make_unique<TWdImg>(src->Value, alignOf(attrValue(tag, "ALIGN"), WA_BOTTOM, true),
                                             tags.Style()));
        break;
    case TK_TEXT:
    case TK_OTHER:
        break;
    }
}

/*
================
TKsWord::RefreshVars
================
*/
bool TKsWord::evaluateVar(const TWdOpeVar& var, std::string& value) const {
    const std::string& name = var.Expression;
    for (const std::string& line : VarSnapshot) {
        if (line.size() > name.size() && line.compare(0, name.size(), name) == 0 && line[name.size()] == '=') {
            value = line.substr(name.size() + 1);
            std::replace(value.begin(), value.end(), kEndMark, '\r');
            return true;
        }
    }
    std::string_view text = trimmed(name);
    if (!FFuncs || text.empty())
        return false;
    try {
        std::unique_ptr<TZunoParser> parser = compileExpression(std::string(text));
        parser->Execute(*FFuncs);
        if (!parser->Result())
            return false;
        value = parser->Result()->AsString();
        return true;
    } catch (const EZunoError&) {
        return false;
    }
}

void TKsWord::RefreshVars(int32_t first, int32_t last) {
    int32_t count = ItemCount();
    if (last < 0 || last >= count)
        last = count - 1;
    first = std::max(first, 0);
    if (first > last)
        return;
    // One pass that copies the list, dropping the old insertions of the
    // points in range and inserting their new values.
    std::vector<std::unique_ptr<TWdGlyph>> old;
    old.swap(FItems);
    FItems.reserve(old.size());
    size_t oldKept = 0;         // items of `old` still to come that are not insertions in range
    for (const auto& item : old)
        oldKept += item->IsInserted() ? 0 : 1;
    bool dropping = false;
    for (size_t i = 0; i < old.size(); ++i) {
        auto index = static_cast<int32_t>(i);
        std::unique_ptr<TWdGlyph>& item = old[i];
        if (item->IsInserted() && dropping)
            continue;
        dropping = false;
        if (!item->IsInserted())
            --oldKept;
        bool inRange = index >= first && index <= last;
        TWdGlyph* point = item.get();
        FItems.push_back(std::move(item));
        if (!inRange || point->Kind() != TWdKind::Var)
            continue;
        dropping = true;
        auto& var = static_cast<TWdOpeVar&>(*point);
        var.Value.clear();
        std::string value;
        if (!evaluateVar(var, value))
            continue;
        // Room is kept for every item that follows, so that an insertion
        // never pushes the word's own items out.
        size_t room = static_cast<size_t>(kMaxItems) - std::min<size_t>(kMaxItems, FItems.size() + oldKept);
        for (size_t k = 0; k < value.size() && room > 0;) {
            size_t n = sjisCharLen(value, k);
            uint16_t code = codeAt(value, k, n);
            if (code == '\r') {
                FItems.push_back(std::make_unique<TWdVarReturn>());
                var.Value += '\r';
                --room;
            } else if (code >= 32) {
                FItems.push_back(std::make_unique<TWdVarChar>(code, var.Style));
                var.Value.append(value, k, n);
                --room;
            }
            k += n;
        }
    }
    FDecorations.Build(FItems);
}

void TKsWord::CaptureVars() {
    for (const auto& item : FItems) {
        if (item->Kind() != TWdKind::Var)
            continue;
        const auto& var = static_cast<const TWdOpeVar&>(*item);
        std::string line = var.Expression + '=' + var.Value;
        std::replace(line.begin() + static_cast<std::ptrdiff_t>(var.Expression.size()) + 1, line.end(), '\r', kEndMark);
        auto same = std::find_if(VarSnapshot.begin(), VarSnapshot.end(), [&](const std::string& l) {
            return l.size() > var.Expression.size() && l.compare(0, var.Expression.size(), var.Expression) == 0 &&
                   l[var.Expression.size()] == '=';
        });
        if (same != VarSnapshot.end())
            *same = std::move(line);
        else
            VarSnapshot.push_back(std::move(line));
    }
}

} // namespace zuno
