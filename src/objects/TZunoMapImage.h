// TZunoMapImage: a picture with a hit map whose areas are choices ("選択画像").
//
// The map file (TMapRegions.h) divides the picture into named regions. The
// region under the mouse shows the hover picture inside it and the normal
// picture elsewhere, and posts PR_ONMAPIN / PR_ONMAPOUT; a click, or Enter
// after choosing with the arrow keys, reports the region through "@SelStr" /
// "@SelIndex" and PR_ONSELECT. With AutoScrap a choice, and with
// RClickScrap a right click or Escape, closes the map image: events stop at
// once and it is deleted two frames later.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "imaging/TDIBX.h"
#include "objects/TMapRegions.h"
#include "objects/TZunoControl.h"
#include "objects/TZunoImageList.h"

namespace zuno {

class TZunoMapImage : public TZunoControl {
public:
                        TZunoMapImage();
                        ~TZunoMapImage() override;

    uint8_t             GetCompoType() const override { return LT_MAPIMG; }

    void                SetSource(const std::string& text);
    void                SetHoverSource(const std::string& text);
    void                SetMapSource(const std::string& text);
    const std::vector<TMapRegion>& Regions() const { return FRegions; }
    int32_t             Region() const { return FRegion; }
    void                SetRegion(int32_t i);
    void                Select();
    int32_t             Closing() const { return FClosing; }
    bool                EventsSuppressed() override { return FEventsSuppressed; }

    bool                ImplementsProperty(int id) const override;
    TPropValue          GetProp(int id) override;
    void                SetProp(int id, const TPropValue& value) override;

    int                 Update() override;
    void                Draw() override;
    void                DoLBtnDown() override;
    void                DoMouseMove() override;
    void                DoMouseOut(TZunoControl* newHover) override;
    void                DoKeys() override;
    bool                DoRClickScrap() override;

    void                SaveToStream(TStream& s) override;
    void                LoadFromStream(TStream& s, int32_t version) override;

private:
    // One picture list and, per frame, the mask made for the current region.
    struct TLayer {
        std::string     Source;
        TZunoImageList  Frames;
        std::vector<std::unique_ptr<TDIBX>> Masks;
        std::vector<int32_t> MaskRegion;                              // region each mask was made for; -2 none
    };
    void                loadLayer(TLayer& layer, const std::string& text);
    TDIBX*              layerMask(TLayer& layer, bool hover);
    void                drawLayer(TCustomDIBX& s, TLayer& layer, bool hover);
    void                invalidateRegion(int32_t i);
    int32_t             regionAtMouse();
    void                scrap();
    void                reportChoice(const std::string& text, int32_t index);

    TLayer              FBase, FHover;
    std::string         FMapSource;
    std::vector<TMapRegion> FRegions;
    int32_t             FRegion = -1;
    int32_t             FAlpha = 0;
    int32_t             FBrightness = 0;
    bool                FAutoScrap = false, FRClickScrap = false, FPaused = false;
    std::string         FOnMapIn, FOnMapOut, FOnSelect, FOnIdle;
    int32_t             FClosing = 0;
    bool                FEventsSuppressed = false;
};

} // namespace zuno
