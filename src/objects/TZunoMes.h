// TZunoMes: the message box. It owns a text engine that parses the marked-up
// text and lays it out into pages, reveals the current page character by
// character against the frame clock, lets the player hover and click links,
// reports play start (101), playing (32), play end (43), link (46) and
// event-mark (33) events, and feeds the read-text list and the backlog when
// TextIns switched its read tracking on. The box itself never waits: the
// text commands read PR_PLAYING, PR_INDEX and PR_COUNT.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "objects/TMesImageMetrics.h"
#include "objects/TZunoControl.h"
#include "objects/TZunoNewMesData.h"
#include "text/TKsWord.h"

namespace zuno {

class TZunoMes : public TZunoControl {
public:
                        TZunoMes();
                        ~TZunoMes() override;
    uint8_t             GetCompoType() const override { return LT_MES; }

    TPropValue          GetProp(int id) override;
    void                SetProp(int id, const TPropValue& value) override;

    // --- text ---
    void                SetText(const std::string& text);
    void                ClearText(bool start);
    void                SetPageIndex(int32_t index);
    bool                IsPlaying() override;
    int32_t             PageIndex() const { return FIndex; }
    int32_t             PageCount() const { return static_cast<int32_t>(FPages.size()); }
    const TWdPage*      CurrentPage() const;
    TKsWord&            Word() { return FWord; }
    // Shows the whole current page at once (a click while it reveals).
    void                ShowWholePage();

    // --- history and read tracking (the text commands) ---
    TZunoNewMesData&    MesData() { return FMesData; }
    int32_t             ReadMode() const { return FReadMode; }
    void                SetReadMode(int32_t mode) { FReadMode = static_cast<uint8_t>(mode); }
    void                SetReadSource(const std::string& source, int32_t position) {
                            FReadSource = source;
                            FReadPosition = position;
                        }
    bool                HistParam1() const { return FHistParam1 != 0; }
    void                SetHistParam1(bool v) { FHistParam1 = v ? 1 : 0; }
    int32_t             HistParam2() const { return FHistParam2; }
    void                SetHistParam2(int32_t v) { FHistParam2 = v; }
    // Page index -1, then PR_INDEX 0 (how a backlog copy and TextIns show their text).
    void                ShowFirstPage();

    // --- life ---
    int                 Update() override;
    void                Draw() override;
    void                DoMouseMove() override;
    void                DoMouseOut(TZunoControl* newHover) override;
    void                DoLBtnDown() override;
    TZunoControl*       HitTest(int32_t x, int32_t y, TIgnoreMouseSet accepted) override;
    void                ReleaseSurfaces() override;
    void                RestoreSurfaces() override;

    void                SaveToStream(TStream& s) override;
    void                LoadFromStream(TStream& s, int32_t version) override;
    // After the whole scene is loaded: the pages again from the text, the
    // page and its reveal state as saved.
    void                RestoreAfterLoad();

private:
    void                syncLayout();
    void                freePages();
    void                startPage();
    void                noteCurrentPage();
    void                prepare(bool firstDisplay);
    void                setHoverPoint(bool none);
    void                clearHover();
    TWdGlyph*           linkItemAt(int32_t x, int32_t y);
    void                fontChanged();
    bool                pending(uint8_t id);
    std::string         pageSnapshot();

    TMesImageMetrics    FImageMetrics;                     // inline images; outlives FWord
    TKsWord             FWord;
    std::vector<std::unique_ptr<TWdPage>> FPages;
    int32_t             FIndex = -1;
    int32_t             FScrollY = 0;
    std::string         FText;
    bool                FPaused = false;
    bool                FTextPaused = false;
    int32_t             FTextDelay = 256;
    int32_t             FDelay = 0;
    uint8_t             FReadMode = 0;
    std::string         FReadSource;
    int32_t             FReadPosition = 0;
    std::string         FOnPlaying, FOnPlayStart, FOnPlayEnd, FOnLink, FOnNotify, FOnIdle;
    std::array<std::string, 3> FReserved;                  // kept and saved only
    int32_t             FCommandInt = 0;                   // kept for the text commands, saved only
    bool                FCaptureLink = false;
    bool                FAntiAlias = true;
    TZunoNewMesData     FMesData;
    uint8_t             FHistParam1 = 0;
    int32_t             FHistParam2 = 0;
    int32_t             FStartDelay = 0;
    bool                FRedraw = false;
    bool                FFirstDisplay = false;
    bool                FEnded = false;                    // the current page reported its end
    std::vector<uint8_t> FLoadedItemState;                 // from a save, until RestoreAfterLoad
    int32_t             FLoadedIndex = -1, FLoadedScroll = 0;
};

} // namespace zuno
