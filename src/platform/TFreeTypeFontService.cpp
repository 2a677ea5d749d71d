#include "platform/TFreeTypeFontService.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SIZES_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <vector>

#include "core/Cp932.h"

namespace zuno {

namespace {

struct TAlias {
    const char* Windows;    // UTF-8
    const char* Target;
};

const TAlias kAliases[] = {
    {"ＭＳ ゴシック", "IPAGothic"},
    {"ＭＳ Ｐゴシック", "IPAPGothic"},
    {"ＭＳ 明朝", "IPAMincho"},
    {"ＭＳ Ｐ明朝", "IPAPMincho"},
};

constexpr const char* kFallbackUtf8 = "ＭＳ ゴシック";

// The first character of a UTF-8 text; U+FFFD when there is none.
uint32_t firstCodePoint(const std::string& s) {
    if (s.empty()) return 0xFFFD;
    auto b = [&](size_t i) { return i < s.size() ? uint8_t(s[i]) : uint8_t(0); };
    uint8_t c = b(0);
    if (c < 0x80) return c;
    if ((c & 0xE0) == 0xC0) return uint32_t(c & 0x1F) << 6 | (b(1) & 0x3F);
    if ((c & 0xF0) == 0xE0) return uint32_t(c & 0x0F) << 12 | uint32_t(b(1) & 0x3F) << 6 | (b(2) & 0x3F);
    if ((c & 0xF8) == 0xF0)
        return uint32_t(c & 0x07) << 18 | uint32_t(b(1) & 0x3F) << 12 | uint32_t(b(2) & 0x3F) << 6 | (b(3) & 0x3F);
    return 0xFFFD;
}

// A character code (one byte, or a double-byte code with the lead byte high)
// as Unicode. Each code is converted once; the table (256 KB) is filled as
// codes are first met (glyphs are made on the window thread only).
uint32_t unicodeOf(uint16_t code) {
    constexpr uint32_t kUnknown = 0xFFFFFFFF;
    static std::vector<uint32_t> table(0x10000, kUnknown);
    uint32_t& u = table[code];
    if (u == kUnknown) {
        std::string bytes;
        if (code > 0xFF) bytes.push_back(char(code >> 8));
        bytes.push_back(char(code & 0xFF));
        u = firstCodePoint(cp932ToUtf8(bytes));
    }
    return u;
}

int32_t roundDiv(int64_t a, int64_t b) {
    if (b == 0) return 0;
    return static_cast<int32_t>(std::llround(double(a) / double(b)));
}

struct TFaceLocation {
    std::string File;
    int Index = 0;
    bool operator<(const TFaceLocation& o) const { return File < o.File || (File == o.File && Index < o.Index); }
};

} // namespace

const std::string& windowsFaceAliases() {
    static const std::string text = [] {
        std::string x = "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n<fontconfig>\n";
        for (const TAlias& a : kAliases)
            x += std::string("  <alias binding=\"same\"><family>") + a.Windows + "</family><prefer><family>" +
                 a.Target + "</family></prefer></alias>\n";
        x += "</fontconfig>\n";
        return x;
    }();
    return text;
}

std::string aliasTarget(const std::string& utf8Name) {
    for (const TAlias& a : kAliases)
        if (utf8Name == a.Windows) return a.Target;
    return {};
}

/*
================
TFreeTypeFontService::TImpl
================
*/
struct TFreeTypeFontService::TImpl {
    FT_Library          Library = nullptr;
    FcConfig*           Config = nullptr;
    std::map<TFaceLocation, FT_Face> Faces;                         // opened once each
    std::map<std::string, std::optional<TFaceLocation>> Resolved;   // by UTF-8 name

    TImpl() {
        if (FT_Init_FreeType(&Library) != 0) Library = nullptr;
        Config = FcInitLoadConfigAndFonts();
        if (Config)
            FcConfigParseAndLoadFromMemory(Config, reinterpret_cast<const FcChar8*>(windowsFaceAliases().c_str()),
                                           FcTrue);
    }
    ~TImpl() {
        for (auto& [loc, face] : Faces) FT_Done_Face(face);
        if (Library) FT_Done_FreeType(Library);
        if (Config) FcConfigDestroy(Config);
    }

    // The installed outline font that carries the name exactly (an aliased
    // Windows name: the face it maps to); with `anyFace`, whatever
    // fontconfig matches best.
    std::optional<TFaceLocation> match(const std::string& utf8, bool anyFace) {
        if (!Config) return std::nullopt;
        FcPattern* pattern = FcPatternCreate();
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(utf8.c_str()));
        FcConfigSubstitute(Config, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern* found = FcFontMatch(Config, pattern, &result);
        FcPatternDestroy(pattern);
        if (!found) return std::nullopt;
        std::optional<TFaceLocation> loc;
        std::string target = aliasTarget(utf8);
        bool named = anyFace;
        FcChar8* family = nullptr;
        for (int i = 0; !named && FcPatternGetString(found, FC_FAMILY, i, &family) == FcResultMatch; ++i) {
            std::string f = reinterpret_cast<const char*>(family);
            named = f == utf8 || (!target.empty() && f == target);
        }
        FcBool outline = FcFalse;
        FcPatternGetBool(found, FC_OUTLINE, 0, &outline);
        FcChar8* file = nullptr;
        int index = 0;
        FcPatternGetInteger(found, FC_INDEX, 0, &index);
        if (named && (outline || anyFace) && FcPatternGetString(found, FC_FILE, 0, &file) == FcResultMatch && file)
            loc = TFaceLocation{reinterpret_cast<const char*>(file), index};
        FcPatternDestroy(found);
        return loc;
    }

    std::optional<TFaceLocation> resolve(const std::string& utf8) {
        auto it = Resolved.find(utf8);
        if (it != Resolved.end()) return it->second;
        auto loc = match(utf8, false);
        Resolved.emplace(utf8, loc);
        return loc;
    }

    // The face for a Shift-JIS name: the name, else the fallback face, else
    // the best face fontconfig has at all.
    FT_Face face(const std::string& sjisName) {
        std::optional<TFaceLocation> loc = resolve(cp932ToUtf8(sjisName));
        if (!loc) loc = resolve(kFallbackUtf8);
        if (!loc) loc = match(kFallbackUtf8, true);
        if (!loc || !Library) return nullptr;
        auto it = Faces.find(*loc);
        if (it != Faces.end()) return it->second;
        FT_Face f = nullptr;
        if (FT_New_Face(Library, loc->File.c_str(), loc->Index, &f) != 0) return nullptr;
        if (!f->charmap) FT_Select_Charmap(f, FT_ENCODING_UNICODE);
        Faces.emplace(*loc, f);
        return f;
    }
};

/*
================
TFreeTypeFace

One face at one size (a FreeType size object of its own, activated before
each use, so several fonts of one face can be open together).
================
*/
namespace {

class TFreeTypeFace : public TFontFace {
public:
    TFreeTypeFace(FT_Face face, FT_Size size, const TFontRequest& request) : FFace(face), FSize(size) {
        FBold = (request.StyleFlags & 1) && !(face->style_flags & FT_STYLE_FLAG_BOLD);
        FItalic = (request.StyleFlags & 2) && !(face->style_flags & FT_STYLE_FLAG_ITALIC);
    }
    ~TFreeTypeFace() override { FT_Done_Size(FSize); }

    // Scales the face like the Windows font service and reads the metrics;
    // false when the size cannot be set.
    bool setHeight(int32_t height) {
        FT_Activate_Size(FSize);
        int64_t upem = FFace->units_per_EM ? FFace->units_per_EM : 1000;
        int64_t winAscent = FFace->ascender, winDescent = -FFace->descender;
        auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(FFace, FT_SFNT_OS2));
        // The cell: the typographic ascent and descent when they make up the
        // em, as in the faces the Windows names map to (the Windows faces
        // they stand for have cells of exactly one em, so a height of 24
        // gives 24-pixel full-width characters there too); else the face's
        // Windows ascent and descent.
        if (os2 && os2->version != 0xFFFF && os2->sTypoAscender > 0 &&
            int64_t(os2->sTypoAscender) - os2->sTypoDescender == upem) {
            winAscent = os2->sTypoAscender;
            winDescent = -int64_t(os2->sTypoDescender);
        } else if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
            winAscent = os2->usWinAscent;
            winDescent = os2->usWinDescent;
        }
        if (winAscent + winDescent <= 0) { winAscent = upem * 7 / 8; winDescent = upem / 8; }
        int32_t h = std::max(1, std::abs(height));
        // em in 1/64 pixel: the cell height spread over ascent plus descent,
        // or the height itself for a negative request.
        int64_t em64 = height > 0 ? (int64_t(h) * 64 * upem + (winAscent + winDescent) / 2) / (winAscent + winDescent)
                                  : int64_t(h) * 64;
        em64 = std::max<int64_t>(em64, 64);
        if (FT_Set_Char_Size(FFace, 0, FT_F26Dot6(em64), 72, 72) != 0) return false;
        auto scale = [&](int64_t units) { return roundDiv(units * em64, upem * 64); };
        if (height > 0) {
            FMetrics.Ascent = roundDiv(int64_t(h) * winAscent, winAscent + winDescent);
            FMetrics.Descent = h - FMetrics.Ascent;
        } else {
            FMetrics.Ascent = scale(winAscent);
            FMetrics.Descent = scale(winDescent);
        }
        int64_t underSize = FFace->underline_thickness, underPos = FFace->underline_position;
        int64_t strikeSize = upem / 20, strikePos = upem * 26 / 100;
        if (os2 && os2->version != 0xFFFF) {
            if (os2->yStrikeoutSize > 0) strikeSize = os2->yStrikeoutSize;
            if (os2->yStrikeoutPosition != 0) strikePos = os2->yStrikeoutPosition;
        }
        if (underSize <= 0) underSize = upem / 20;
        FMetrics.UnderscoreSize = std::max(1, scale(underSize));
        FMetrics.UnderscorePosition = scale(underPos);
        FMetrics.StrikeOutSize = std::max(1, scale(strikeSize));
        FMetrics.StrikeOutPosition = scale(strikePos);
        return true;
    }

    const TOutlineMetrics& Metrics() const override { return FMetrics; }

    bool RenderGlyph(uint16_t code, int32_t level, TGlyphBitmap& out) override {
        // Reset field by field: the bit buffer keeps its memory between glyphs.
        out.BlackBoxWidth = out.BlackBoxHeight = out.OriginX = out.OriginY = out.CellIncX = out.Pitch = 0;
        out.Bits.clear();
        bool mono = level <= kAntiAliasMono;
        FT_GlyphSlot slot = load(code, mono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL);
        if (!slot) return false;
        out.CellIncX = static_cast<int32_t>((slot->advance.x + 32) >> 6);
        if (slot->format == FT_GLYPH_FORMAT_OUTLINE && slot->outline.n_points == 0) {
            out.OriginX = static_cast<int32_t>(slot->metrics.horiBearingX >> 6);
            return true;        // a blank: no bitmap
        }
        if (FT_Render_Glyph(slot, mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0) return false;
        const FT_Bitmap& bm = slot->bitmap;
        out.OriginX = slot->bitmap_left;
        out.OriginY = slot->bitmap_top;
        if (bm.width == 0 || bm.rows == 0) return true;
        int32_t w = static_cast<int32_t>(bm.width), h = static_cast<int32_t>(bm.rows);
        out.BlackBoxWidth = w;
        out.BlackBoxHeight = h;
        out.Pitch = mono ? (w + 31) / 32 * 4 : (w + 3) / 4 * 4;
        out.Bits.assign(size_t(out.Pitch) * size_t(h), 0);
        for (int32_t y = 0; y < h; ++y) {
            const uint8_t* src = bm.buffer + int64_t(y) * bm.pitch;
            uint8_t* dst = out.Bits.data() + int64_t(y) * out.Pitch;
            if (mono) {
                if (bm.pixel_mode == FT_PIXEL_MODE_MONO) {
                    std::copy_n(src, (w + 7) / 8, dst);
                } else {
                    for (int32_t x = 0; x < w; ++x)
                        if (src[x] >= 128) dst[x >> 3] |= uint8_t(0x80 >> (x & 7));
                }
            } else {
                // 0..255 coverage onto the level's grey values 0..N.
                uint32_t top = uint32_t(kGreyLevels[std::min(level, kAntiAliasMax)]);
                if (bm.pixel_mode == FT_PIXEL_MODE_GRAY) {
                    for (int32_t x = 0; x < w; ++x) dst[x] = uint8_t((src[x] * top + 127) / 255);
                } else {
                    for (int32_t x = 0; x < w; ++x) dst[x] = ((src[x >> 3] >> (7 - (x & 7))) & 1) ? uint8_t(top) : 0;
                }
            }
        }
        return true;
    }

    TAbcWidths CharAbc(uint16_t code) override {
        TAbcWidths abc;
        FT_GlyphSlot slot = load(code, FT_LOAD_TARGET_NORMAL);
        if (!slot) return abc;
        int64_t left = slot->metrics.horiBearingX, width = slot->metrics.width;
        int32_t advance = static_cast<int32_t>((slot->advance.x + 32) >> 6);
        abc.A = static_cast<int32_t>(left >> 6);
        abc.B = width > 0 ? static_cast<int32_t>(((left + width + 63) >> 6) - abc.A) : 0;
        abc.C = advance - abc.A - abc.B;
        return abc;
    }

    int32_t TextWidth(uint16_t code) override {
        FT_GlyphSlot slot = load(code, FT_LOAD_TARGET_NORMAL);
        return slot ? static_cast<int32_t>((slot->advance.x + 32) >> 6) : 0;
    }

private:
    FT_GlyphSlot load(uint16_t code, FT_Int32 target) {
        FT_Activate_Size(FSize);
        FT_UInt index = FT_Get_Char_Index(FFace, unicodeOf(code));
        if (FT_Load_Glyph(FFace, index, FT_LOAD_NO_BITMAP | target) != 0) return nullptr;
        FT_GlyphSlot slot = FFace->glyph;
        if (slot->format != FT_GLYPH_FORMAT_OUTLINE) return nullptr;
        if (FBold) FT_GlyphSlot_Embolden(slot);
        if (FItalic) FT_GlyphSlot_Oblique(slot);
        return slot;
    }

    FT_Face             FFace;
    FT_Size             FSize;
    bool                FBold = false;
    bool                FItalic = false;
    TOutlineMetrics     FMetrics;
};

} // namespace

/*
================
TFreeTypeFontService
================
*/
TFreeTypeFontService::TFreeTypeFontService() : FImpl(std::make_unique<TImpl>()) {}

TFreeTypeFontService::~TFreeTypeFontService() = default;

bool TFreeTypeFontService::HasFace(const std::string& name) {
    return FImpl->resolve(cp932ToUtf8(name)).has_value();
}

std::unique_ptr<TFontFace> TFreeTypeFontService::OpenFont(const TFontRequest& request) {
    FT_Face face = FImpl->face(request.Name);
    if (!face) return nullptr;
    FT_Size size = nullptr;
    if (FT_New_Size(face, &size) != 0) return nullptr;
    auto font = std::make_unique<TFreeTypeFace>(face, size, request);
    if (!font->setHeight(request.Height)) return nullptr;
    return font;
}

std::string TFreeTypeFontService::FaceFile(const std::string& name) {
    std::optional<TFaceLocation> loc = FImpl->resolve(cp932ToUtf8(name));
    if (!loc) loc = FImpl->resolve(kFallbackUtf8);
    return loc ? loc->File : std::string();
}

} // namespace zuno
