#include "app/MadeWithLogo.h"

#include "archive/TVrFileCollection.h"
#include "archive/TVrFileManager.h"
#include "core/TStream.h"
#include "objects/TZunoBase.h"
#include "objects/TZunoBaseList.h"
#include "objects/TZunoCinema.h"

namespace zuno {

const char* const TMadeWithLogo::kLink = ZUNO_ABOUT_URL;

TMadeWithLogo::TMadeWithLogo(TVrFileManager& files, TZunoBaseList& registry,
                             std::function<void(const std::string&)> openLink)
    : FFiles(files), FRegistry(registry), FOpenLink(std::move(openLink)) {}

void TMadeWithLogo::start() {
    // The film comes from an archive held in memory while the logo runs.
    // (a name no disk file has: the collection stays in memory).
    FArchive = FFiles.AddArchive("\x01MadeWithZunoplay");
    if (FArchive >= 0) {
        TVrFile* entry = FFiles.Archive(FArchive)->AddMemoryEntry(kFilmName);
        entry->Data->WriteBuffer(kMadeWithLogoFilm, int64_t(kMadeWithLogoFilm_size));
    }
    FCinema = FRegistry.Create<TZunoCinema>();
    FCinema->SetParent(FRegistry.ActiveBase());
    FCinema->SetProp(PR_SOURCE, TPropValue::ofStr(kFilmName));
    FCinema->SetProp(PR_IGNOREMOUSE, TPropValue::ofInt(IM_ALL));
    FCinema->SetProp(PR_AUTOSCRAP, TPropValue::ofBool(true));
    FCinema->SetProp(PR_REPEAT, TPropValue::ofBool(false));
    FCinema->SetLeft((FRegistry.Width() - FCinema->Width()) / 2);
    FCinema->SetTop((FRegistry.Height() - FCinema->Height()) / 2);
}

void TMadeWithLogo::finish() {
    FDone = true;
    FCinema = nullptr;
    if (FArchive >= 0)
        FFiles.RemoveArchive(FArchive);
    FArchive = -1;
}

bool TMadeWithLogo::step() {
    if (FDone)
        return true;
    if (!FCinema) {
        start();
        return false;
    }
    if (!FRegistry.IsRegistered(FCinema) || FRegistry.IsPendingDelete(FCinema)) {
        finish();
        return true;
    }
    // The film's shapes let the mouse through: a left press on them would
    // otherwise be taken by them, so that neither a click on the panel ends
    // the logo nor a click on the caption (which lets left presses pass to
    // what lies below it) reaches the link.
    for (int i = 0; i < FCinema->ChildCount(); ++i) {
        TZunoControl* shape = FCinema->GetChild(i);
        if (shape->GetCompoType() != LT_LABEL && shape->IgnoreMouse() != IM_ALL)
            shape->SetProp(PR_IGNOREMOUSE, TPropValue::ofInt(IM_ALL));
    }
    // The caption the film made: a name of its own, and left clicks reach it.
    for (int i = 0; i < FRegistry.ObjectCount(); ++i) {
        TZunoObject* o = FRegistry.Objects(i);
        if (o->GetCompoType() != LT_LABEL)
            continue;
        if (o->IsSystemName()) {
            o->SetName("Label");
            o->SetProp(PR_IGNOREMOUSE, TPropValue::ofInt(IM_LCLICK));
            return false;
        }
        break;
    }
    TScreenInput& input = FRegistry.ActiveScreen();
    if (input.LPushed) {
        TZunoControl* hit = FRegistry.ActiveBase()->HitTest(input.MouseX, input.MouseY, 0xFF & ~imBit(IM_ALL));
        if (hit && hit->GetCompoType() == LT_LABEL) {
            if (FOpenLink)
                FOpenLink(kLink);
            return false;
        }
    }
    if (input.LPushed || FRegistry.KeyPushed(32) || FRegistry.KeyPushed(13))
        FRegistry.DeleteObject(FCinema);    // the logo is skipped; the next step ends it
    return false;
}

} // namespace zuno
