#include "script/ObjectSysFuncs.h"

#include <algorithm>
#include <charconv>

#include "core/Cp932.h"
#include "core/TextHelpers.h"
#include "expr/ParamConvert.h"
#include "expr/TParamCollection.h"
#include "expr/TParamSystem.h"
#include "expr/TSysFuncMan.h"
#include "expr/TZunoParser.h"
#include "objects/PropertyAccess.h"
#include "objects/TZunoBaseList.h"
#include "script/TScriptEnv.h"

namespace zuno {

using namespace sysfunc;

namespace {

// Function numbers of the display-object group.
enum TObjectFunc : int {
    fnGetProp = 2, fnSetProp = 3, fnExists = 19, fnGetCheck = 24, fnSetCheck = 25, fnListCompo = 32,
    fnToClientX = 33, fnToClientY = 34, fnToScreenX = 35, fnToScreenY = 36, fnIndexOfMenu = 47,
    fnGetDisplayMode = 65, fnInPrimary = 69, fnGetEnabled = 131, fnSetEnabled = 132, fnGetVisible = 140,
    fnSetVisible = 141, fnGetGroupIndex = 145, fnGetSelected = 146, fnSetSelected = 147, fnInCabinet = 154,
};

void storeValue(TCustomParam& R, const TCustomParam& v) {
    switch (v.ParamType()) {
    case PT_INT:   R.SetInteger(v.AsInteger()); break;
    case PT_FLOAT: R.SetFloat(v.AsFloat()); break;
    case PT_BOOL:  R.SetBoolean(v.AsBoolean()); break;
    default:       R.SetString(v.AsString()); break;
    }
}

// The item number of argument 2: a preview menu also takes an item name
// (a text that is no integer).
int32_t itemNumber(TZunoObject& o, const TParamArgs& a) {
    if (a[1]->ParamType() == PT_STR && o.GetCompoType() == LT_PREVMENU) {
        const std::string text = a[1]->AsString();
        int32_t n = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
        if (ec == std::errc() && end == text.data() + text.size() && !text.empty())
            return n;
        return o.ItemIndexOfName(text);
    }
    return a[1]->AsInteger();
}

// Lines of a menu's item text, trimmed of control bytes at both ends.
std::vector<std::string> menuItems(TZunoObject& menu) {
    const std::string text = menu.propStr(PR_TEXT);
    return splitLines(trimmedControls(text));
}

} // namespace

std::string fontListText(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    std::string out;
    for (size_t i = 0; i < names.size(); ++i) {
        if (i > 0)
            out += "\r\n";
        out += names[i];
    }
    return out;
}

void installObjectFunctions(TScriptEnv& env) {
    TSysFuncMan* funcs = env.Funcs;
    TParamCollection* params = env.Params;
    TZunoBaseList* reg = env.Registry;
    TScriptEnv* e = &env;
    if (!funcs || !params)
        return;

    // GetProp results take the property's declared type.
    TZunoParser::PropertyType = [](uint8_t id) { return propertyValueType(id); };

    // --- display modes ---------------------------------------------------------------------
    funcs->SetFunction(fnGetDisplayMode, [e](TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
        const auto modes = e->DisplayModes ? e->DisplayModes() : std::vector<TScriptEnv::TModeEntry>();
        const int32_t i = a[0]->AsInteger();
        if (i < 0 || i >= static_cast<int32_t>(modes.size())) {
            R.SetBoolean(false);
            return;
        }
        const TScriptEnv::TModeEntry& m = modes[size_t(i)];
        a[1]->SetInteger(m.Width);
        a[2]->SetInteger(m.Height);
        a[3]->SetInteger(m.Bits);
        a[4]->SetInteger(m.Refresh);
        R.SetBoolean(true);
    });
    params->SetSystemAccess(SV_FULLSCR, {[e] { return TSysValue::ofFlag(e->IsFullScreen && e->IsFullScreen()); },
        [e](const TSysValue& v) {
            if (e->SetFullScreen)
                e->SetFullScreen(v.Flag);
        }, {}, {}});
    params->SetSystemAccess(SV_DISPLAYMODECOUNT, {[e] {
        return TSysValue::ofInt(e->DisplayModes ? static_cast<int32_t>(e->DisplayModes().size()) : 0);
    }, {}, {}, {}});
    params->SetSystemAccess(SV_DISPLAYMODEINDEX, {[e] { return TSysValue::ofInt(e->ChosenMode ? e->ChosenMode() : -1); },
        [e](const TSysValue& v) {
            if (e->ChooseMode)
                e->ChooseMode(v.Int);
        }, {}, {}});
    auto fonts = [e](bool fixed) {
        return TSysValue::ofStr(e->FontNames ? fontListText(e->FontNames(fixed)) : std::string());
    };
    params->SetSystemAccess(SV_FONTS, {[fonts] { return fonts(false); }, {}, {}, {}});
    params->SetSystemAccess(SV_FIXEDFONTS, {[fonts] { return fonts(true); }, {}, {}, {}});

    if (!reg)
        return;

    // --- system variables over the registry --------------------------------------------------
    params->SetSystemAccess(SV_ACTIVECOMPO, {[reg] {
        TZunoControl* f = reg->Focus();
        return TSysValue::ofStr(f ? f->Name() : std::string());
    }, [reg](const TSysValue& v) {
        // Only a control that exists and can take the focus gets it.
        TZunoControl* c = v.Str.empty() ? nullptr : reg->FindControl(v.Str);
        if (c && !c->IsScreen() && c->HandleKey() && !c->Paused())
            reg->SetFocus(c);
    }, {}, {}});
    params->SetSystemAccess(SV_SOUNDON, {[reg] { return TSysValue::ofFlag(reg->SoundOn()); },
        [reg](const TSysValue& v) { reg->SetSoundOn(v.Flag); }, {}, {}});
    auto dither = std::make_shared<bool>(false);
    params->SetSystemAccess(SV_CGDITHER, {[dither] { return TSysValue::ofFlag(*dither); },
        [dither, reg](const TSysValue& v) {
            *dither = v.Flag;
            reg->GetScreen(0)->MarkAllDirty();
            reg->GetScreen(1)->MarkAllDirty();
        }, {}, {}});

    // --- properties -------------------------------------------------------------------------------
    funcs->SetFunction(fnGetProp, [reg](TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
        if (TZunoComponent* o = reg->FindComponent(a[0]->AsString()))
            storeValue(R, *GetPropertyValue(*o, a[1]->AsInteger()));
    });
    funcs->SetFunction(fnSetProp, [reg](TSysFuncMan&, TCustomParam&, const TParamArgs& a) {
        if (TZunoComponent* o = reg->FindComponent(a[0]->AsString()))
            SetPropertyValue(*o, a[1]->AsInteger(), *a[2]);
    });

    // --- lookups --------------------------------------------------------------------------------------
    funcs->SetFunction(fnExists, [reg](TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
        const std::string name = a[0]->AsString();
        R.SetBoolean(!name.empty() && reg->FindComponent(name) != nullptr);
    });
    funcs->SetFunction(fnInPrimary, [reg](TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
        TZunoComponent* o = reg->FindComponent(a[0]->AsString());
        R.SetBoolean(o && o->GetBase() == reg->ActiveBase() && !o->IsInCabinet());
    });
    funcs->SetFunction(fnInCabinet, [reg](TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
        TZunoComponent* o = reg->FindComponent(a[0]->AsString());
        R.SetBoolean(o && o->IsInCabinet());
    });
    funcs->SetFunction(fnListCompo, [reg](TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
        int32_t kind = a.size() > 1 ? a[1]->AsInteger() : 0;
        if (kind < 0 || kind >= ObjectKindCount)
            kind = LT_NONE;                         // every kind
        std::vector<std::string> names;
        if (a.size() > 2) {
            if (TZunoComponent* parent = reg->FindComponent(a[2]->AsString()))
                reg->ListNames(names, static_cast<uint8_t>(kind), parent);
        } else {
            reg->ListNames(names, static_cast<uint8_t>(kind), reg);
        }
        TCustomParam& var = *a[0];
        if (names.empty()) {
            var.SetString({});
        } else {
            var.SetDims({static_cast<int32_t>(names.size())});
            for (size_t i = 0; i < names.size(); ++i)
                var.SetStringAt(static_cast<int>(i), names[i]);
        }
        R.SetInteger(static_cast<int32_t>(names.size()));
    });

    // --- coordinates ---------------------------------------------------------------------------------
    auto convert = [reg](bool toScreen, bool vertical) {
        return [reg, toScreen, vertical](TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
            const int32_t v = a[1]->AsInteger();
            TZunoComponent* o = reg->FindComponent(a[0]->AsString());
            TZunoControl* c = o ? o->AsControl() : nullptr;
            if (!c) {
                R.SetInteger(v);
                return;
            }
            const int32_t origin = vertical ? c->ScreenTop() : c->ScreenLeft();
            R.SetInteger(toScreen ? v + origin : v - origin);
        };
    };
    funcs->SetFunction(fnToClientX, convert(false, false));
    funcs->SetFunction(fnToClientY, convert(false, true));
    funcs->SetFunction(fnToScreenX, convert(true, false));
    funcs->SetFunction(fnToScreenY, convert(true, true));

    funcs->SetFunction(fnIndexOfMenu, [reg](TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
        R.SetInteger(-1);
        TZunoComponent* o = reg->FindComponent(a[0]->AsString());
        if (!o || o->GetCompoType() != LT_MENU)
            return;
        const std::string wanted = a[1]->AsString();
        const std::vector<std::string> items = menuItems(*o);
        for (size_t i = 0; i < items.size(); ++i)
            if (sameTextSjis(items[i], wanted)) {
                R.SetInteger(static_cast<int32_t>(i));
                return;
            }
    });

    // --- items ------------------------------------------------------------------------------------------
    using TItemState = TZunoObject::TItemState;
    auto getItem = [reg](TItemState what, bool asFlag) {
        return [reg, what, asFlag](TSysFuncMan&, TCustomParam& R, const TParamArgs& a) {
            TZunoComponent* o = reg->FindComponent(a[0]->AsString());
            if (!o)
                return;
            const int32_t v = o->GetItemState(what, itemNumber(*o, a));
            if (asFlag)
                R.SetBoolean(v != 0);
            else
                R.SetInteger(v);
        };
    };
    auto setItem = [reg](TItemState what) {
        return [reg, what](TSysFuncMan&, TCustomParam&, const TParamArgs& a) {
            if (TZunoComponent* o = reg->FindComponent(a[0]->AsString()))
                o->SetItemState(what, itemNumber(*o, a), a[2]->AsBoolean() ? 1 : 0);
        };
    };
    funcs->SetFunction(fnGetCheck, getItem(TZunoObject::isCheck, true));
    funcs->SetFunction(fnSetCheck, setItem(TZunoObject::isCheck));
    funcs->SetFunction(fnGetEnabled, getItem(TZunoObject::isEnabled, true));
    funcs->SetFunction(fnSetEnabled, setItem(TZunoObject::isEnabled));
    funcs->SetFunction(fnGetVisible, getItem(TZunoObject::isVisible, true));
    funcs->SetFunction(fnSetVisible, setItem(TZunoObject::isVisible));
    funcs->SetFunction(fnGetGroupIndex, getItem(TZunoObject::isGroupIndex, false));
    funcs->SetFunction(fnGetSelected, getItem(TZunoObject::isSelected, true));
    funcs->SetFunction(fnSetSelected, setItem(TZunoObject::isSelected));
}

} // namespace zuno
