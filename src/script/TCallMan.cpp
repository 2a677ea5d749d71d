#include "script/TCallMan.h"

#include <algorithm>
#include <cstdio>

#include "archive/TVrFileManager.h"
#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "expr/TParamCollection.h"
#include "expr/TSysFuncMan.h"
#include "expr/ZunoCalc.h"
#include "objects/TZunoBaseList.h"

namespace zuno {

bool TScriptEnv::fileExists(std::string_view name) const {
    if (FileExists)
        return FileExists(name);
    return !name.empty() && Files && Files->Exists(name);
}

//==============================================================================
// TStackList
//==============================================================================

TStack& TStackList::Push(std::unique_ptr<TStack> frame) {
    FItems.push_back(std::move(frame));
    syncDepth();
    return *FItems.back();
}

TStack& TStackList::Pop() {
    if (FItems.empty())
        throw EZunoError::fromUtf8("スタックエラー");
    FSpare = std::move(FItems.back());
    FItems.pop_back();
    syncDepth();
    return *FSpare;
}

void TStackList::Clear() {
    FItems.clear();
    syncDepth();
}

void TStackList::syncDepth() {
    if (FParams)
        FParams->CurrentDepth = Count();
}

//==============================================================================
// TCallMan
//==============================================================================

TCallMan::TCallMan(TScriptEnv& env) : FEnv(env), FStack(env.Params) {}

TCallMan::~TCallMan() = default;

TTimerList* TCallMan::events() const { return FEnv.Registry ? &FEnv.Registry->Events() : nullptr; }

TPage* TCallMan::Start(const std::string& pageName) {
    TPage* page = GetPage(pageName, true);
    FPage = page;
    FPC = 0;
    FStarted = false;
    FArguments.clear();
    FState = csMain;
    FStack.Clear();
    FSender = nullptr;
    if (TTimerList* q = events())
        q->RemoveLevels(1, FEventLevel);
    FEventLevel = 2;
    return page;
}

// The program counter goes to 0 only when the page is there: a page that
// cannot be loaded must not send the running thread back to its first command.
TPage* TCallMan::GetPage(const std::string& name, bool toFront) {
    for (size_t i = 0; i < FPages.size(); ++i) {
        if (FPages[i]->Name() != name)
            continue;
        TPage* page = FPages[i].get();
        if (toFront && i > 0) {
            std::rotate(FPages.begin(), FPages.begin() + long(i), FPages.begin() + long(i) + 1);
            evict();
        }
        if (toFront)
            FPC = 0;
        return page;
    }
    if (!FEnv.Files)
        throw fileNotFoundError(name);
    auto page = std::make_unique<TPage>();
    TKsMemoryStream data;
    FEnv.Files->ReadFile(data, name);
    if (page->LoadFromStream(data, name) == TPageLoadResult::TooOld)
        throw EZunoError(rebuildMessage(name));
    TPage* result = page.get();
    if (toFront) {
        FPages.insert(FPages.begin(), std::move(page));
        evict();
        FPC = 0;
    } else {
        FPages.push_back(std::move(page));
    }
    return result;
}

void TCallMan::evict() {
    while (static_cast<int>(FPages.size()) > kPageCacheSize && FPages.back().get() != FPage)
        FPages.pop_back();
}

std::string TCallMan::ArgumentAt(int i) const {
    return i >= 0 && i < ArgumentCount() ? FArguments[size_t(i)] : std::string();
}

std::string TCallMan::SenderName() const {
    if (FState == csMain || !FSender || !FEnv.Registry || !FEnv.Registry->IsRegistered(FSender))
        return {};
    return FSender->Name();
}

TCustomParam* TCallMan::ResultHolder() const {
    TStack* top = FStack.Last();
    return top ? top->Result.get() : nullptr;
}

void TCallMan::trace(const std::string& text) {
    if (!FEnv.Trace)
        return;
    char clock[16];
    std::snprintf(clock, sizeof clock, "%.8x", FEnv.GameClock);
    FEnv.Trace(std::string(clock) + " : " + text);
}

//==============================================================================
// One command
//==============================================================================

bool TCallMan::executeCommand(TPage*& page, int32_t& pc) {
    bool waits = false;
    if (!page || pc < 0 || pc >= page->CommandCount()) {
        page = nullptr;
        return false;
    }
    TPage* const oldPage = page;
    const int32_t oldPC = pc;
    TCommand* c = page->Command(pc);
    try {
        if (FEnv.Trace && c != FLastTraced) {
            trace(escapeForPrint(page->Name(), true) + "(" + std::to_string(c->FLine) + ")");
            FLastTraced = c;
        }
        if (!FStarted) {
            if (c->DisabledFlag()) {
                ++pc;
                return false;
            }
            c->Begin(*this);
            FStarted = true;
        }
        FContinue = c->ContinueFlag();
        waits = c->Waits();
        c->Execute(*this, page, pc);
        if (page != oldPage || pc != oldPC)
            FStarted = false;
        FFailures = 0;
    } catch (const EZunoError&) {
        // The error is discarded and the game goes on. A command that fails on
        // every run would hold the thread for ever: after a bound of failures in
        // a row at the same place it is passed over.
        if (page != oldPage || pc != oldPC) {
            FStarted = false;
            FFailures = 0;
        } else {
            if (FFailedCommand == c && FFailedPC == pc)
                ++FFailures;
            else
                FFailures = 1;
            FFailedCommand = c;
            FFailedPC = pc;
            if (FFailures >= kMaxFailures) {
                ++pc;
                FStarted = false;
                FFailures = 0;
            }
        }
    }
    return waits;
}

TStepResult TCallMan::step() {
    if (!FPage)
        return srGoOn;
    TPage* page = FPage;
    const TStepResult r = executeCommand(page, FPC) ? srWaits : srGoOn;
    if (page) {
        FPage = page;
        return r;
    }
    if (FStack.Count() == 0) {
        FContinue = false;
        return r;
    }
    if (FEnv.Params)
        FEnv.Params->DeleteOwned(FStack.Count());
    TStack& frame = FStack.Pop();
    storeResult(frame);
    FPage = GetPage(frame.PageName, true);
    FPC = frame.ProgramCounter;
    FStarted = frame.Started;
    FContinue = frame.Continue;
    FArguments = frame.Arguments;
    FSender = frame.Sender;
    if (frame.State && FPC >= 0 && FPC < FPage->CommandCount()) {
        frame.State->SetPosition(0);
        try {
            FPage->Command(FPC)->LoadState(*frame.State);
        } catch (const EZunoError&) {
        }
    }
    if (frame.EventFrame)
        return srHandlerEnded;
    return srReturned;
}

void TCallMan::storeResult(const TStack& frame) {
    if (frame.ResultVar.empty() || !frame.Result || !FEnv.Params)
        return;
    try {
        if (TParamCollectionItem* item = FEnv.Params->Find(frame.ResultVar)) {
            item->Value()->AssignConverted(*frame.Result);
        } else if (FEnv.Funcs) {
            compileAndRun(frame.ResultVar + " = \"" + frame.Result->AsString() + "\"", *FEnv.Funcs);
        }
    } catch (const EZunoError&) {
    }
}

//==============================================================================
// Events
//==============================================================================

// The label separator ':' of a handler reference: found from the end, after
// the last '.' or '\', never the second byte of a double-byte character.
static size_t labelColon(const std::string& text) {
    size_t colon = std::string::npos;
    for (size_t i = 0; i < text.size(); ++i) {
        const uint8_t b = uint8_t(text[i]);
        if (isLeadByte(b)) {
            ++i;
            continue;
        }
        if (b == '.' || b == '\\')
            colon = std::string::npos;
        else if (b == ':')
            colon = i;
    }
    return colon;
}

bool TCallMan::dispatch(int32_t level) {
    if (FPage && FPC >= 0 && FPC < FPage->CommandCount() && FStarted && FPage->Command(FPC)->LocksEvents())
        return false;
    TTimerList* q = events();
    TTimerData* entry = q ? q->NextWaiting() : nullptr;
    if (!entry)
        return false;
    std::string file = entry->Handler, label;
    if (size_t colon = labelColon(file); colon != std::string::npos) {
        label = file.substr(colon + 1);
        file.resize(colon);
    }
    if (file.size() >= 3)
        file.replace(file.size() - 3, 3, "zsb");
    if (!FEnv.fileExists(file))
        return false;

    // A handler page that cannot be loaded would block every later event:
    // the event is dropped instead.
    try {
        GetPage(file, false);
    } catch (const EZunoError&) {
        q->Remove(entry);
        return false;
    }

    auto frame = std::make_unique<TStack>();
    frame->PageName = FPage ? FPage->Name() : std::string();
    frame->ProgramCounter = FPC;
    frame->Started = FStarted;
    frame->Arguments = FArguments;
    frame->Sender = FSender;
    frame->Continue = FContinue;
    frame->EventFrame = true;
    if (FStarted && FPage && FPC >= 0 && FPC < FPage->CommandCount()) {
        frame->State = std::make_unique<TKsMemoryStream>();
        FPage->Command(FPC)->SaveState(*frame->State);
    }
    FStack.Push(std::move(frame));

    FPage = GetPage(file, true);
    int idx = label.empty() ? 0 : FPage->LabelIndex(label);
    FPC = idx < 0 ? 0 : idx;
    if (FEnv.Trace && FPC < FPage->CommandCount())
        trace("<Event>" + escapeForPrint(file, true) + "(" + std::to_string(FPage->Command(FPC)->FLine) + ")");
    FStarted = false;
    entry->Level = level;
    FArguments = entry->Arguments;
    FSender = entry->Sender;
    FState = csHandler;
    return true;
}

//==============================================================================
// The per-frame loop
//==============================================================================

void TCallMan::Run() {
    do {
        const TPage* beforePage = FPage;
        const int32_t beforePC = FPC;
        bool stepped = false;
        TStepResult r = srGoOn;
        switch (FState) {
        case csMain:
            if (dispatch(1))
                break;
            r = step();
            stepped = true;
            break;
        case csHandler:
            r = step();
            stepped = true;
            if (r == srHandlerEnded) {
                if (TTimerList* q = events())
                    q->RemoveLevel(1);
                FState = csMain;
                FContinue = true;
            } else if (r == srWaits) {
                FEventLevel = 2;
                FState = csHandlerWaits;
                return;
            } else if (FState != csHandler) {
                FContinue = true;
            }
            break;
        case csHandlerWaits:
            if (dispatch(FEventLevel)) {
                ++FEventLevel;
                FState = csNested;
            } else {
                FState = FEventLevel > 2 ? csNested : csHandler;
            }
            break;
        case csNested:
            r = step();
            stepped = true;
            if (r == srHandlerEnded) {
                --FEventLevel;
                if (TTimerList* q = events())
                    q->RemoveLevel(FEventLevel);
                if (FEventLevel <= 2)
                    FState = csHandlerWaits;
            } else if (r == srWaits) {
                FState = csHandlerWaits;
                return;
            }
            break;
        }
        // A command that stays where it is (it waits without saying so, or it
        // fails) must not keep the loop turning inside one frame.
        if (stepped && r != srHandlerEnded && r != srReturned && FPage == beforePage && FPC == beforePC)
            return;
    } while ((FContinue || FState != csMain) && !FEnv.Terminating);
}

} // namespace zuno
