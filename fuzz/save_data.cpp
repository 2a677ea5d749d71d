// Fuzz target: a whole save.dat as the game reads it: the archive, the
// caption of every game save, the status data with its parts, and every game
// save loaded into a tiny running game (two pages in memory), which then
// runs a frame and is saved again.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "archive/TKsBigStream.h"
#include "archive/TVrFileCollection.h"
#include "archive/TVrFileManager.h"
#include "core/EZunoError.h"
#include "expr/TParamCollection.h"
#include "expr/TSysFuncMan.h"
#include "expr/ZunoCalc.h"
#include "objects/TZunoBaseList.h"
#include "script/ComFlow.h"
#include "script/TCallMan.h"
#include "script/TGameSave.h"
#include "script/TStatusData.h"

using namespace zuno;

static void addPage(TVrFileManager& files, const char* name) {
    TPage page;
    page.SetVersion(113);
    auto& w = dynamic_cast<TComWait&>(page.AddNew(ctWait));
    w.FTime = compileExpr("100");
    page.AddNew(ctLabel);
    page.SaveToStream(*files.Archive(0)->AddMemoryEntry(name)->Data);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static TVrFileManager* files = [] {
        auto* f = new TVrFileManager();
        f->SetBaseFolder("/nonexistent-zuno-fuzz/");
        f->AddArchive("");
        addPage(*f, "main.zsb");
        addPage(*f, "resume.zsb");
        return f;
    }();
    TVrFileCollection save;
    try {
        save.OpenStream(std::make_unique<TKsBigMemoryStream>(std::vector<uint8_t>(data, data + size)), "save.dat");
    } catch (const EZunoError&) {
        return 0;
    }
    TParamCollection params;
    TSysFuncMan funcs(params);
    TZunoBaseList registry;
    registry.SetSize(64, 48);
    TScriptEnv env;
    env.Files = files;
    env.Params = &params;
    env.Funcs = &funcs;
    env.Registry = &registry;
    TCallMan cm(env);
    try {
        cm.Start("main.zsb");
    } catch (const EZunoError&) {
        return 0;
    }
    for (int i = 0; i < save.Count() && i < 16; ++i) {
        const std::string name = save.Entry(i)->Name();
        try {
            TKsMemoryStream entry;
            save.ReadEntry(name, entry);
            entry.SetPosition(0);
            if (name == StatusEntryName) {
                TStatusData status;
                status.LoadFromStream(entry);
                TKsMemoryStream body(status.FBody);
                TGameSave::LoadStatusBody(env, body, status.FVersion);
            } else if (gameSaveSlotOf(name) >= 0) {
                readGameSaveHeader(entry);
                entry.SetPosition(0);
                TGameSave game(env, cm);
                game.Load(entry);
                cm.Run();
                TKsMemoryStream out;
                game.Save(out, "again", "", 0);
            }
        } catch (const EZunoError&) {
        }
    }
    return 0;
}
