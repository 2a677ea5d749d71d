// Fuzz target: the interpreter record of a game save, loaded into a call
// manager of a tiny game (two pages in memory), then one frame run.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "archive/TVrFileManager.h"
#include "core/EZunoError.h"
#include "expr/TParamCollection.h"
#include "expr/TSysFuncMan.h"
#include "expr/ZunoCalc.h"
#include "objects/TZunoBaseList.h"
#include "objects/TZunoSound.h"
#include "script/ComFlow.h"
#include "script/TCallMan.h"

using namespace zuno;

static void addPage(TVrFileManager& files, const char* name, bool call) {
    TPage page;
    page.SetVersion(113);
    if (call) {
        auto& c = dynamic_cast<TComCall&>(page.AddNew(ctCall));
        c.FPageFile = "sub.zsb";
    }
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
        addPage(*f, "main.zsb", true);
        addPage(*f, "sub.zsb", false);
        return f;
    }();
    TParamCollection params;
    TSysFuncMan funcs(params);
    TZunoBaseList registry;
    registry.Create<TZunoSound>()->SetName("btn");
    TScriptEnv env;
    env.Files = files;
    env.Params = &params;
    env.Funcs = &funcs;
    env.Registry = &registry;
    TCallMan cm(env);
    TKsMemoryStream s(std::vector<uint8_t>(data, data + size));
    try {
        cm.LoadFromStream(s, size > 0 && (data[0] & 1) ? 116 : 115);
        cm.Run();
        cm.Run();
        TKsMemoryStream out;
        cm.SaveToStream(out);
    } catch (const EZunoError&) {
    }
    return 0;
}
