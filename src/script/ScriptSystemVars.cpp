#include "script/ScriptSystemVars.h"

#include "archive/TVrFileManager.h"
#include "core/EZunoError.h"
#include "expr/TParamCollection.h"
#include "expr/TSysFuncMan.h"
#include "objects/TZunoBaseList.h"
#include "script/ObjectSysFuncs.h"
#include "script/ProjectSysFuncs.h"
#include "script/TProject.h"
#include "script/TextSysFuncs.h"

namespace zuno {

// Lines of a text: CR LF, LF or CR end a line; a last line without an end counts.
static std::vector<std::string> textLines(const std::vector<uint8_t>& bytes) {
    std::vector<std::string> lines;
    std::string line;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const char c = static_cast<char>(bytes[i]);
        if (c == '\r' || c == '\n') {
            lines.push_back(std::move(line));
            line.clear();
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
        } else {
            line += c;
        }
    }
    if (!line.empty())
        lines.push_back(std::move(line));
    return lines;
}

void installScriptSystemVariables(TScriptEnv& env, TProject& project) {
    TParamCollection& params = *env.Params;
    TProject* p = &project;
    TScriptEnv* e = &env;

    params.ResultProvider = [p]() -> TCustomParam* { return p->CallMan() ? p->CallMan()->ResultHolder() : nullptr; };
    params.FrameClock = [e] { return static_cast<int32_t>(e->GameClock); };

    params.SetSystemAccess(SV_PARAMCOUNT, {[p] {
        return TSysValue::ofInt(p->CallMan() ? p->CallMan()->ArgumentCount() : 0);
    }, {}, {}, {}});
    params.SetSystemAccess(SV_PARAMSTR, {[] { return TSysValue::ofStr({}); }, {},
        [p] { return p->CallMan() ? p->CallMan()->ArgumentCount() : 0; },
        [p](int i) { return TSysValue::ofStr(p->CallMan() ? p->CallMan()->ArgumentAt(i) : std::string()); }});
    params.SetSystemAccess(SV_SENDER, {[p] {
        return TSysValue::ofStr(p->CallMan() ? p->CallMan()->SenderName() : std::string());
    }, {}, {}, {}});
    params.SetSystemAccess(SV_SCRWIDTH, {[p] { return TSysValue::ofInt(p->Setting().FScreenWidth); }, {}, {}, {}});
    params.SetSystemAccess(SV_SCRHEIGHT, {[p] { return TSysValue::ofInt(p->Setting().FScreenHeight); }, {}, {}, {}});
    params.SetSystemAccess(SV_TICKCOUNT, {[e] { return TSysValue::ofInt(static_cast<int32_t>(e->GameClock)); }, {}, {}, {}});
    params.SetSystemAccess(SV_UPDATECOUNT, {[e] { return TSysValue::ofInt(e->UpdateCount); }, {}, {}, {}});
    params.SetSystemAccess(SV_TITLE, {[p] { return TSysValue::ofStr(p->Title()); }, {}, {}, {}});

    if (TZunoBaseList* reg = env.Registry) {
        // Choices of menus and map images land in "@SelStr" and "@SelIndex".
        TParamCollection* table = &params;
        reg->OnChoice = [table](const std::string& text, int32_t index) {
            table->SelStr = text;
            table->SelIndex = index;
        };
        auto flag = [&params, reg](int id, bool TScreenInput::*field, bool writable) {
            TSystemVarAccess a;
            a.get = [reg, field] { return TSysValue::ofFlag(reg->ActiveScreen().*field); };
            if (writable)
                a.set = [reg, field](const TSysValue& v) { reg->ActiveScreen().*field = v.Flag; };
            params.SetSystemAccess(id, std::move(a));
        };
        flag(SV_LCLICK, &TScreenInput::LPushed, true);
        flag(SV_RCLICK, &TScreenInput::RPushed, true);
        flag(SV_LPUSH, &TScreenInput::LHeld, false);
        flag(SV_RPUSH, &TScreenInput::RHeld, false);
        flag(SV_WHEELDOWN, &TScreenInput::WheelDown, false);
        flag(SV_WHEELUP, &TScreenInput::WheelUp, false);
        params.SetSystemAccess(SV_MOUSEX, {[reg] { return TSysValue::ofInt(reg->ActiveScreen().MouseX); },
            [reg, e](const TSysValue& v) {
                if (e->WarpMouse)
                    e->WarpMouse(v.Int, reg->ActiveScreen().MouseY);
            }, {}, {}});
        params.SetSystemAccess(SV_MOUSEY, {[reg] { return TSysValue::ofInt(reg->ActiveScreen().MouseY); },
            [reg, e](const TSysValue& v) {
                if (e->WarpMouse)
                    e->WarpMouse(reg->ActiveScreen().MouseX, v.Int);
            }, {}, {}});
        // 258 elements: the keys, then the wheel-down and wheel-up flags.
        auto keys = [&params, reg](int id, bool (TZunoBaseList::*query)(int32_t) const) {
            params.SetSystemAccess(id, {[] { return TSysValue::ofFlag(false); }, {}, [] { return 258; },
                [reg, query](int i) {
                    if (i == 256)
                        return TSysValue::ofFlag(reg->ActiveScreen().WheelDown);
                    if (i == 257)
                        return TSysValue::ofFlag(reg->ActiveScreen().WheelUp);
                    return TSysValue::ofFlag((reg->*query)(i));
                }});
        };
        keys(SV_KEYPUSH, &TZunoBaseList::IsKeyDown);
        keys(SV_KEYCLICK, &TZunoBaseList::KeyPushed);
        keys(SV_KEYREPEAT, &TZunoBaseList::KeyRepeated);
    }

    installObjectFunctions(env);
    installTextFunctions(env, project.Histories());
    installSaveFunctions(env, project);
    installFileFunctions(env, project);
    installScreenFunctions(env, project);

    if (env.Funcs && env.Files) {
        TVrFileManager* files = env.Files;
        env.Funcs->SetFunction(72, [p, files](TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
            R.SetBoolean(false);
            const std::string name = sysfunc::strArg(a, 1);
            if (!p->FileExists(name))
                return;
            TKsMemoryStream data;
            files->ReadFile(data, name);
            std::vector<std::string> lines = textLines(data.Data());
            if (lines.empty())
                return;
            TCustomParam& var = *a[0];
            var.SetDims({static_cast<int32_t>(lines.size())});
            for (size_t i = 0; i < lines.size(); ++i)
                var.SetStringAt(static_cast<int>(i), lines[i]);
            R.SetBoolean(true);
        });
        // DBLoadTsvFile reads game files under the same availability rule.
        env.Funcs->ReadGameFile = [p, files](const std::string& name, std::string& bytes) {
            if (!p->FileExists(name))
                return false;
            TKsMemoryStream data;
            try {
                files->ReadFile(data, name);
            } catch (const EZunoError&) {
                return false;   // no DB function raises: an unreadable file is an unavailable one
            }
            bytes.assign(data.Data().begin(), data.Data().end());
            return true;
        };
    }
}

} // namespace zuno
