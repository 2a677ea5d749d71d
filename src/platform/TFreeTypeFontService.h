// The font service over fontconfig and FreeType. fontconfig finds the face
// by family name, with alias rules the player ships for the Japanese
// Windows face names (ＭＳ ゴシック → IPAGothic, ＭＳ Ｐゴシック → IPAPGothic,
// ＭＳ 明朝 → IPAMincho, ＭＳ Ｐ明朝 → IPAPMincho); FreeType scales it the
// way the Windows font service did (a positive height is the cell height,
// ascent plus descent, a negative one the em; faces whose typographic ascent
// and descent make up the em have cells of one em, like the Windows faces
// they stand for) and renders coverage in the grey formats of the
// anti-alias levels.
// Bold and italic are synthesised when the face has no such style.
//
// Fonts opened from the service must not outlive it.
#pragma once

#include <memory>
#include <string>

#include "text/TFontService.h"

namespace zuno {

// The alias rules, as fontconfig configuration text (UTF-8).
const std::string& windowsFaceAliases();
// The face a Windows face name maps to (UTF-8), or the empty text.
std::string aliasTarget(const std::string& utf8Name);

class TFreeTypeFontService : public TFontService {
public:
                        TFreeTypeFontService();
                        ~TFreeTypeFontService() override;

    bool                HasFace(const std::string& name) override;
    std::unique_ptr<TFontFace> OpenFont(const TFontRequest& request) override;

    // The file a face name resolves to (after the fallback), for traces and tests.
    std::string         FaceFile(const std::string& name);

    struct TImpl;

private:
    std::unique_ptr<TImpl> FImpl;
};

} // namespace zuno
