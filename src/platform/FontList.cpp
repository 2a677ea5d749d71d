#include "platform/FontList.h"

#include <fontconfig/fontconfig.h>

#include <cstring>

namespace zuno {

std::vector<TInstalledFont> listInstalledFonts() {
    std::vector<TInstalledFont> fonts;
    if (!FcInit())
        return fonts;
    FcPattern* pattern = FcPatternCreate();
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_SPACING, FC_LANG, FC_FONTFORMAT, FC_OUTLINE, nullptr);
    FcFontSet* set = FcFontList(nullptr, pattern, objects);
    if (set) {
        for (int i = 0; i < set->nfont; ++i) {
            FcPattern* p = set->fonts[i];
            FcChar8* family = nullptr;
            if (FcPatternGetString(p, FC_FAMILY, 0, &family) != FcResultMatch || !family)
                continue;
            TInstalledFont f;
            f.Family = reinterpret_cast<const char*>(family);
            FcChar8* format = nullptr;
            FcBool outline = FcFalse;
            FcPatternGetBool(p, FC_OUTLINE, 0, &outline);
            if (FcPatternGetString(p, FC_FONTFORMAT, 0, &format) == FcResultMatch && format) {
                const char* fmt = reinterpret_cast<const char*>(format);
                f.Outline = outline && (std::strcmp(fmt, "TrueType") == 0 || std::strcmp(fmt, "CFF") == 0);
            }
            int spacing = FC_PROPORTIONAL;
            if (FcPatternGetInteger(p, FC_SPACING, 0, &spacing) == FcResultMatch)
                f.FixedPitch = spacing == FC_MONO || spacing == FC_CHARCELL;
            FcLangSet* langs = nullptr;
            if (FcPatternGetLangSet(p, FC_LANG, 0, &langs) == FcResultMatch && langs)
                f.Japanese = FcLangSetHasLang(langs, reinterpret_cast<const FcChar8*>("ja")) != FcLangDifferentLang;
            fonts.push_back(std::move(f));
        }
        FcFontSetDestroy(set);
    }
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return fonts;
}

} // namespace zuno
