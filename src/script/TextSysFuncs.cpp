#include "script/TextSysFuncs.h"

#include "expr/TParamCollection.h"
#include "expr/TParamSystem.h"
#include "expr/TSysFuncMan.h"
#include "objects/TZunoHistoryFormatManager.h"
#include "script/TScriptEnv.h"

namespace zuno {

namespace {
enum TTextFunc : int { fnGetHistoryCount = 142, fnGetHistoryMaxCount = 143, fnSetHistoryMaxCount = 144 };
}

void installTextFunctions(TScriptEnv& env, TZunoHistoryFormatManager& formats) {
    TZunoHistoryFormatManager* f = &formats;
    if (TParamCollection* params = env.Params) {
        params->SetSystemAccess(SV_HISTORYCOUNT, {[f] { return TSysValue::ofInt(f->Default().History.Size()); },
                                                  {}, {}, {}});
        params->SetSystemAccess(SV_HISTORYMAXCOUNT,
            {[f] { return TSysValue::ofInt(f->Default().History.EntryLimit); },
             [f](const TSysValue& v) { f->Default().History.EntryLimit = v.Int; }, {}, {}});
        // Saves of versions 113 to 134 carry the default format's six settings
        // with the variables.
        params->OnLegacyHistorySettings = [f](const std::array<int32_t, 6>& settings) {
            f->Default().Settings = settings;
        };
    }
    TSysFuncMan* funcs = env.Funcs;
    if (!funcs)
        return;
    funcs->SetFunction(fnGetHistoryCount, [f](TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
        TZunoHistoryFormat* format = f->Find(sysfunc::strArg(a, 0));
        R.SetInteger(format ? format->History.Size() : -1);
    });
    funcs->SetFunction(fnGetHistoryMaxCount, [f](TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
        TZunoHistoryFormat* format = f->Find(sysfunc::strArg(a, 0));
        R.SetInteger(format ? format->History.EntryLimit : -1);
    });
    funcs->SetFunction(fnSetHistoryMaxCount, [f](TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
        TZunoHistoryFormat* format = f->Find(sysfunc::strArg(a, 0));
        if (format)
            format->History.EntryLimit = sysfunc::intArg(a, 1);
        R.SetBoolean(format != nullptr);
    });
}

} // namespace zuno
