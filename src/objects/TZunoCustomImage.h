// The image family: controls that show one picture or a list of frames.
//
// TZunoCustomImage     a single picture; also the screen snapshot Flip shows
// TZunoImage           a still picture
// TZunoCustomImages    a picture with frames
// TZunoImages          the image surface of scripts (LT_IMAGES)
// TZunoTile            a picture repeated over the control (LT_TILE)
// TZunoParticleImages  one particle of a particle surface
// TZunoPrevImages      the thumbnails of a preview menu (LT_IMAGES)
// TZunoVideo           a movie surface (LT_VIDEO)
#pragma once

#include "objects/TZunoControl.h"

namespace zuno {

class TZunoCustomImage : public TZunoControl {};

class TZunoImage : public TZunoCustomImage {};

class TZunoCustomImages : public TZunoCustomImage {};

class TZunoImages : public TZunoCustomImages {
public:
    uint8_t             GetCompoType() const override { return LT_IMAGES; }
};

class TZunoTile : public TZunoCustomImages {
public:
    uint8_t             GetCompoType() const override { return LT_TILE; }
};

class TZunoParticleImages : public TZunoCustomImages {};

class TZunoPrevImages : public TZunoImages {};

class TZunoVideo : public TZunoCustomImage {
public:
    uint8_t             GetCompoType() const override { return LT_VIDEO; }
};

} // namespace zuno
