// TZunoBox: the rectangle surface (LT_BOX): a rectangle filled with the
// control's colour and framed by a border, drawn with the same opacity rule
// as images (1 .. 254 blend, 255 opaque, 256 .. 511 additive with the
// colours scaled by (Alpha - 256) / 256). A negative colour draws no fill, a
// negative border colour or a border width of 0 no border. Its source is a
// motion file only.
#pragma once

#include <string>

#include "objects/TZunoControl.h"

namespace zuno {

class TZunoBox : public TZunoControl {
public:
    uint8_t             GetCompoType() const override { return LT_BOX; }

    int32_t             BorderWidth() const { return FBorderWidth; }
    void                SetBorderWidth(int32_t v);
    int32_t             BorderColor() const { return FBorderColor; }
    void                SetBorderColor(int32_t v);
    int32_t             Alpha() const { return FAlpha; }
    void                SetAlpha(int32_t v);
    const std::string&  Source() const { return FSource; }
    void                SetSource(const std::string& text);          // ".zmt": the control's motion
    void                SetRepeat(bool v);                            // true restarts a finished motion

    TPropValue          GetProp(int id) override;
    void                SetProp(int id, const TPropValue& value) override;
    void                Draw() override;
    void                SaveToStream(TStream& s) override;
    void                LoadFromStream(TStream& s, int32_t version) override;

private:
    int32_t             FBorderWidth = 0;
    int32_t             FBorderColor = 0;
    int32_t             FAlpha = 255;
    std::string         FOnIdle;
    std::string         FSource;
    bool                FRepeat = false;
    bool                FAutoScrap = false;
    bool                FPaused = false;
    std::string         FOnPlayEnd;
};

} // namespace zuno
