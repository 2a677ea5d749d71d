// Blind-roll ("sudare") wipes: the old picture's edge column is pulled
// across the screen until it covers it, then the new picture's column rolls
// back and uncovers the new picture. The rubber wipes pull a band of
// columns instead of one, narrowing towards the middle of the transition
// and widening again. The V forms do the same with rows.
#pragma once

#include <vector>

#include "imaging/TCustomWipe.h"

namespace zuno {

class TWipeSudareH : public TCustomWipe {
public:
    using TCustomWipe::TCustomWipe;

protected:
    void                DrawFrame() override;
    // Width of the pulled band for position k along an axis of n.
    virtual int64_t     bandWidth(int64_t k) const { (void)k; return 1; }
    virtual bool        vertical() const { return false; }

private:
    std::vector<int32_t> FIndex;
};

class TWipeSudareV : public TWipeSudareH {
public:
    using TWipeSudareH::TWipeSudareH;

protected:
    bool                vertical() const override { return true; }
};

class TWipeRubberH : public TWipeSudareH {
public:
    using TWipeSudareH::TWipeSudareH;

protected:
    int64_t             bandWidth(int64_t k) const override;
};

class TWipeRubberV : public TWipeRubberH {
public:
    using TWipeRubberH::TWipeRubberH;

protected:
    bool                vertical() const override { return true; }
};

} // namespace zuno
