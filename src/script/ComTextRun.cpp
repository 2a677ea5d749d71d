// What the text and history commands do when they run: TextIns puts the
// text of its record into a message box (by reference: the box reads it
// from this page) and may wait until the box is cleared; TextClr clears a
// box; CallHist copies a range of a backlog into a box; FormatHist defines
// a backlog format; ClrHist empties every backlog; ClrRead forgets which
// text was read.
#include "expr/TSysFuncMan.h"
#include "expr/TZunoParser.h"
#include "objects/TZunoBaseList.h"
#include "objects/TZunoHistoryFormatManager.h"
#include "objects/TZunoMes.h"
#include "objects/TZunoReadList.h"
#include "script/ComMedia.h"
#include "script/TCallMan.h"
#include "script/TPage.h"

namespace zuno {

namespace {

TCustomParam* evaluate(TCallMan& cm, const TExprPtr& e) {
    TSysFuncMan* funcs = cm.Env().Funcs;
    if (!e || e->Empty() || !funcs)
        return nullptr;
    e->Execute(*funcs);
    return e->Result();
}

std::string textOf(TCallMan& cm, const TExprPtr& e) {
    TCustomParam* v = evaluate(cm, e);
    return v ? v->AsString() : std::string();
}

TZunoMes* boxNamed(TCallMan& cm, const std::string& name) {
    TZunoBaseList* reg = cm.Env().Registry;
    if (!reg || name.empty())
        return nullptr;
    return dynamic_cast<TZunoMes*>(reg->FindControl(name));
}

TZunoHistoryFormatManager* histories(TCallMan& cm) {
    TZunoBaseList* reg = cm.Env().Registry;
    return reg ? reg->Histories : nullptr;
}

} // namespace

//==============================================================================
// TextIns
//==============================================================================

void TComTextIns::Begin(TCallMan& cm) {
    FTargetName.clear();
    TCustomParam* lock = evaluate(cm, FEventLock);
    FLocked = lock ? lock->AsBoolean() : false;
    FWaiting = false;
    TZunoMes* box = FText.empty() ? nullptr : boxNamed(cm, textOf(cm, FBoxName));
    if (box) {
        FTargetName = box->Name();
        box->SetReadMode(0);
        box->SetHistParam2(0);
        TCustomParam* tracking = evaluate(cm, FReadTracking);
        const std::string pageName = FPage ? FPage->Name() : std::string();
        const int32_t index = FPage ? FPage->IndexOf(this) : 0;
        if (tracking && tracking->AsBoolean()) {
            box->SetReadMode(1);
            box->SetReadSource(pageName, index);
        }
        TZunoNewMesData& data = box->MesData();
        data.ClearPieces();
        data.Pieces.Add({pageName, index, 0, -1, 0, {}});
        box->SetHistParam1(false);
        box->ClearText(false);
        if (box->PageCount() > 0)
            box->SetProp(PR_INDEX, TPropValue::ofInt(0));
    }
    if (TCustomParam* wait = evaluate(cm, FWaitFlag))
        FWaiting = wait->AsBoolean();
}

void TComTextIns::Execute(TCallMan& cm, TPage*&, int32_t& pc) {
    TZunoMes* box = boxNamed(cm, FTargetName);
    if (box && FWaiting && box->PageCount() != 0) {
        cm.SetContinue(false);
        return;
    }
    ++pc;
}

//==============================================================================
// TextClr
//==============================================================================

void TComTextClr::Execute(TCallMan& cm, TPage*&, int32_t& pc) {
    ++pc;
    if (TZunoMes* box = boxNamed(cm, textOf(cm, FBoxName))) {
        box->SetReadMode(0);
        box->SetProp(PR_TEXT, TPropValue::ofStr(std::string()));
    }
}

//==============================================================================
// History
//==============================================================================

void TComCallHist::Execute(TCallMan& cm, TPage*&, int32_t& pc) {
    ++pc;
    TZunoMes* box = boxNamed(cm, textOf(cm, FBoxName));
    TZunoHistoryFormatManager* formats = histories(cm);
    TCustomParam* firstValue = box ? evaluate(cm, FFirst) : nullptr;
    if (!box || !formats || !firstValue)
        return;
    int32_t first = firstValue->AsInteger();
    TCustomParam* countValue = evaluate(cm, FCount);
    int32_t count = countValue ? countValue->AsInteger() : 1;
    const std::string formatName = FPage && FPage->Version() > 110 ? textOf(cm, FFormatName) : std::string();
    TZunoHistoryFormat* format = formats->Find(formatName);
    if (!format)
        return;
    TCustomParam* flagValue = evaluate(cm, FFlag);
    const bool flag = flagValue ? flagValue->AsBoolean() : false;
    first = std::max(first, 0);
    const int32_t size = format->History.Size();
    if (int64_t(first) + count > size)
        count = size - first;
    if (count <= 0)
        return;
    box->SetHistParam1(flag);
    format->History.CopyToBox(first, count, *box);
}

void TComEntryHist::Execute(TCallMan& cm, TPage*&, int32_t& pc) {
    ++pc;
    TZunoHistoryFormatManager* formats = histories(cm);
    if (!formats)
        return;
    TZunoBaseList* reg = cm.Env().Registry;
    const std::string templateName = textOf(cm, FTemplateName);
    TZunoComponent* templ = templateName.empty() || !reg ? nullptr : reg->FindComponent(templateName);
    const std::string formatName = FPage && FPage->Version() > 110 ? textOf(cm, FFormatName) : std::string();
    TZunoHistoryFormat& format = formats->GetOrCreate(formatName);
    if (templ) {
        int i = 0;
        for (int id : {PR_FONTHEIGHT, PR_FONTBORDER, PR_FONTSHADOW, PR_WIDTH, PR_HEIGHT, PR_LINESPACE})
            format.Settings[static_cast<size_t>(i++)] = templ->propInt(id);
    } else {
        format.Settings = {};
    }
}

void TComClrHist::Execute(TCallMan& cm, TPage*&, int32_t& pc) {
    ++pc;
    if (TZunoHistoryFormatManager* formats = histories(cm))
        formats->ClearAll();
}

void TComClrRead::Execute(TCallMan& cm, TPage*&, int32_t& pc) {
    ++pc;
    if (TZunoBaseList* reg = cm.Env().Registry; reg && reg->ReadList)
        reg->ReadList->Clear();
}

} // namespace zuno
