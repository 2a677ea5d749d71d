// Fuzz target: a cinema or motion film read from arbitrary bytes. What was
// read is written at version 108, read back and must give the same text form;
// then every frame of the film (cut to a few hundred) is shown in a registry
// of its own, in cinema mode and in motion mode.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/EZunoError.h"
#include "core/TStream.h"
#include "objects/FilmText.h"
#include "objects/TFilmManager.h"
#include "objects/TZunoBaseList.h"
#include "objects/TZunoBox.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zuno;
    TZunoBaseList reg;                              // outlives the films whose objects it holds
    reg.SetSize(64, 48);
    TKsMemoryStream in;
    in.WriteBuffer(data, int64_t(size));
    in.SetPosition(0);
    TFilmManager film;
    film.NoPrepare = true;
    try {
        film.LoadFromStream(in, "anim\\film.zcm");
    } catch (const EZunoError&) {
        return 0;                                   // a version that is no number
    }
    TKsMemoryStream out;
    film.SaveToStream(out);
    out.SetPosition(0);
    TFilmManager back;
    back.NoPrepare = true;
    back.LoadFromStream(out, "anim\\film.zcm");
    if (filmToText(film) != filmToText(back) && film.Version() == TFilmManager::kVersion)
        std::abort();

    film.SetRegistry(&reg);
    film.ApplySetup();
    const int32_t last = std::min(film.Length(), 300);
    for (int32_t f = 0; f <= last; f += 7)
        film.Seek(f);
    film.Seek(0);

    TZunoBox* target = reg.Create<TZunoBox>();
    target->SetParent(reg.GetScreen(0));
    back.SetRegistry(&reg);
    back.MotionMode = true;
    back.Target = target;
    for (int32_t f = 0; f <= last; f += 7)
        back.Seek(f);
    return 0;
}
