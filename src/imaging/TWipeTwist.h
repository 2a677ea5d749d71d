// Twists: the rows (TWipeTwistH, top to bottom) or columns (TWipeTwistV,
// left to right) turn over like slats, one after another: a turning row is
// drawn squeezed to W * |cos angle| on black, showing the old row while its
// angle is below a quarter turn and the new row after. Reversed, the turn
// starts at the bottom (or the right).
#pragma once

#include <vector>

#include "imaging/TCustomWipe.h"

namespace zuno {

class TLockedSurface;

class TWipeTwistH : public TCustomWipe {
public:
    using TCustomWipe::TCustomWipe;

protected:
    void                DrawFrame() override;
    virtual bool        vertical() const { return false; }

    // The state of slat i of n: kind 0 old, 1 squeezed, 2 new; the squeezed
    // length and which picture it shows.
    struct TSlat {
        uint8_t         Kind = 0;
        int32_t         Length = 0;
        bool            ShowsNew = false;
    };
    TSlat               slat(int32_t i, int32_t n, int32_t length) const;

private:
    // TWipeTwistV: the columns of one frame.
    struct TRun {
        uint8_t         Kind;
        int32_t         Begin, End;
    };
    struct TColumn {
        int32_t         Top = 0, Bottom = 0;    // the rows the squeezed column covers
        const uint8_t*  Source = nullptr;       // the picture it shows: first row, pitch
        int64_t         Pitch = 0;
    };
    void                prepareColumns(TLockedSurface& from, TLockedSurface& to);
    void                drawColumnsRow(uint32_t* o, const uint32_t* f, const uint32_t* nw);
    void                drawSqueezedColumns(TLockedSurface& target);

    std::vector<TSlat>  FSlats;
    std::vector<TRun>   FRuns;
    std::vector<TColumn> FColumns;
};

class TWipeTwistV : public TWipeTwistH {
public:
    using TWipeTwistH::TWipeTwistH;

protected:
    bool                vertical() const override { return true; }
};

} // namespace zuno
