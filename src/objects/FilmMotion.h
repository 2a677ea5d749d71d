// Motions of controls from frame-list files: image and box controls with a
// ".zmt" source play the file as their motion, every active track writing
// into the control itself.
#pragma once

#include <memory>
#include <string>

#include "objects/TZunoMotion.h"

namespace zuno {

class TFilmManager;

class TFilmMotionFrames : public TMotionFrames {
public:
    explicit            TFilmMotionFrames(std::unique_ptr<TFilmManager> film);
                        ~TFilmMotionFrames() override;
    int32_t             FrameCount() const override;
    int32_t             LoopStart() const override;
    // Shows `frame` on the control. The base point follows the control's
    // position when the file asks for relative positions.
    void                Apply(TZunoControl& control, int32_t frame, bool first) override;
    TFilmManager&       Film() { return *FFilm; }

private:
    std::unique_ptr<TFilmManager> FFilm;
};

// Installs the reader of motion files (through the image cache's file
// manager) as the controls' motion loader.
void installFilmMotions();

} // namespace zuno
