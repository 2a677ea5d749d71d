#include "objects/FilmMotion.h"

#include "archive/TVrFileManager.h"
#include "core/EZunoError.h"
#include "objects/TDrelCollection.h"
#include "objects/TFilmManager.h"
#include "objects/TZunoControl.h"

namespace zuno {

TFilmMotionFrames::TFilmMotionFrames(std::unique_ptr<TFilmManager> film) : FFilm(std::move(film)) {
    FFilm->MotionMode = true;
}

TFilmMotionFrames::~TFilmMotionFrames() = default;

int32_t TFilmMotionFrames::FrameCount() const { return FFilm->Length(); }

int32_t TFilmMotionFrames::LoopStart() const { return FFilm->LoopStart; }

void TFilmMotionFrames::Apply(TZunoControl& control, int32_t frame, bool first) {
    FFilm->Target = &control;
    FFilm->SetRegistry(control.Owner());
    // The base is taken once per start: a repeat that wraps to frame 0 keeps
    // it, or the priority the tracks add to it would add up with every loop.
    if (first) {
        FFilm->BaseX = FFilm->RelativeOrigin ? control.Left() : 0;
        FFilm->BaseY = FFilm->RelativeOrigin ? control.Top() : 0;
        FFilm->BasePriority = control.Priority();
    } else if (FFilm->RelativeOrigin && (control.Left() != FFilm->BaseX || control.Top() != FFilm->BaseY)) {
        FFilm->BaseX = control.Left();
        FFilm->BaseY = control.Top();
    }
    FFilm->Seek(frame);
}

void installFilmMotions() {
    TZunoMotion::Loader = [](const std::string& name) -> std::unique_ptr<TMotionFrames> {
        TVrFileManager* files = TDrelCollection::Instance().FileManager();
        if (!files || !files->Exists(name))
            return nullptr;
        auto film = std::make_unique<TFilmManager>();
        film->MotionMode = true;
        try {
            film->LoadFromFile(*files, name);
        } catch (const EZunoError&) {
            return nullptr;
        }
        return std::make_unique<TFilmMotionFrames>(std::move(film));
    };
}

} // namespace zuno
