// GetSaveCaption and ListSaveCaption: the captions of the game saves in save.dat.
#include "expr/TSysFuncMan.h"
#include "script/ProjectSysFuncs.h"
#include "script/TProject.h"

namespace zuno {

namespace {
constexpr int fnGetSaveCaption = 27;
constexpr int fnListSaveCaption = 134;
} // namespace

void installSaveFunctions(TScriptEnv& env, TProject& project) {
    if (!env.Funcs)
        return;
    TProject* p = &project;
    env.Funcs->SetFunction(fnGetSaveCaption, [p](TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
        R.SetString(p->SaveCaption(sysfunc::intArg(a, 0)));
    });
    env.Funcs->SetFunction(fnListSaveCaption, [p](TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
        const auto& list = p->SaveCaptions();
        const int32_t count = static_cast<int32_t>(list.size());
        R.SetInteger(count);
        if (a.size() >= 1) {
            a[0]->SetDims({count});
            for (int32_t i = 0; i < count; ++i)
                a[0]->SetStringAt(i, list[static_cast<size_t>(i)].Caption);
        }
        if (a.size() >= 2) {
            a[1]->SetDims({count});
            for (int32_t i = 0; i < count; ++i)
                a[1]->SetIntegerAt(i, list[static_cast<size_t>(i)].Slot);
        }
    });
}

} // namespace zuno
