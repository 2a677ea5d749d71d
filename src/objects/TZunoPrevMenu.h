// TZunoPrevMenu: the preview menu ("プレビューメニュー"), a choice among
// thumbnails that play.
//
// Source names a frame-list film (".zmt" or ".zcm"). Each image track that
// does not continue another image track is one item; its followers belong to
// the same item. Every item gets a thumbnail (TZunoPrevImages, a part of the
// menu named as a system object) that the film drives in motion mode, so the
// film's positions are relative to the menu, and the menu takes the film's
// screen size. Other kinds of track are not played.
//
// An item is named after its image file (without folder and extension);
// Text lists the names one per line and, when set, renames the items line by
// line. The item under the mouse is lit and posts PR_ONMAPIN / PR_ONMAPOUT;
// a click, or Enter / Space after walking the items with the arrow keys,
// reports the item through "@SelStr" / "@SelIndex" and PR_ONSELECT. With
// AutoScrap a choice, and with RClickScrap a right click or Escape (choice
// -1), closes the menu: events stop at once and it is deleted two frames
// later. The film plays once (its time runs while the menu is not paused);
// its end posts PR_ONPLAYEND once and the last frame stays.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "objects/TZunoControl.h"

namespace zuno {

class TFilmManager;
class TImageFrameList;
class TZunoPrevImages;

class TZunoPrevMenu : public TZunoControl {
public:
                        TZunoPrevMenu();
                        ~TZunoPrevMenu() override;

    uint8_t             GetCompoType() const override { return LT_PREVMENU; }

    void                SetSource(const std::string& text);
    TFilmManager*       Film() const { return FFilm.get(); }
    int32_t             ItemCount() const { return static_cast<int32_t>(FItems.size()); }
    std::string         ItemName(int32_t item) const;
    TZunoPrevImages*    Thumbnail(int32_t item);                   // none when out of range or gone
    int32_t             Hover() const { return FHover; }
    void                SetHover(int32_t item);                    // -1: none
    void                Select();                                  // the hovered item
    int32_t             FilmFrame() const { return FFrame; }
    bool                Ended() const { return FEnded; }
    int32_t             Closing() const { return FClosing; }
    bool                EventsSuppressed() override { return FEventsSuppressed; }

    bool                ImplementsProperty(int id) const override;
    TPropValue          GetProp(int id) override;
    void                SetProp(int id, const TPropValue& value) override;

    int32_t             GetItemState(TItemState what, int32_t item) override;
    void                SetItemState(TItemState what, int32_t item, int32_t value) override;
    int32_t             ItemIndexOfName(const std::string& name) override;

    int                 Update() override;
    void                DoLBtnDown() override;
    void                DoMouseMove() override;
    void                DoMouseOut(TZunoControl* newHover) override;
    void                DoKeys() override;
    bool                DoRClickScrap() override;

    void                SaveToStream(TStream& s) override;
    void                LoadFromStream(TStream& s, int32_t version) override;

    // Light added to the hovered item's thumbnail, per colour channel.
    static constexpr int32_t kHoverLight = 0x40;
    // Light taken from a disabled item's thumbnail.
    static constexpr int32_t kDisabledDim = 0x60;

private:
    struct TItem {
        std::string     Name;
        std::vector<TImageFrameList*> Tracks;                       // owned by the film
        TZunoPrevImages* Thumb = nullptr;                            // owned by the registry
        bool            Enabled = true, Visible = true, Checked = false, Selected = false;
    };
    std::vector<TZunoPrevImages*> liveThumbnails();
    void                clearItems();
    void                buildItems();
    void                showFrame(int32_t frame);
    void                refreshLight(int32_t item);
    bool                choosable(int32_t item);
    int32_t             itemAtMouse();
    int32_t             stepItem(int32_t from, int32_t step);
    std::string         itemText() const;
    void                setItemText(const std::string& text);
    void                scrap();
    void                reportChoice(const std::string& text, int32_t index);

    std::string         FSource;
    std::unique_ptr<TFilmManager> FFilm;
    std::vector<TItem>  FItems;
    int32_t             FHover = -1;
    int64_t             FElapsed = 0;
    int32_t             FFrame = -1;                                // shown; -1 none yet
    bool                FEnded = false;
    bool                FAutoScrap = false, FRClickScrap = false, FPaused = false;
    std::string         FOnPlayEnd, FOnSelect, FOnMapIn, FOnMapOut, FOnIdle;
    int32_t             FClosing = 0;
    bool                FEventsSuppressed = false;
};

} // namespace zuno
