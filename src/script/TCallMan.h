// The interpreter: runs the commands of the current page once per frame, keeps
// the call stack, the arguments of the running call, a cache of loaded pages,
// and starts the handler pages of queued events as interrupting calls with
// their own nesting level.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/TStream.h"
#include "expr/TCustomParam.h"
#include "objects/TTimerList.h"
#include "objects/TZunoNamedObject.h"
#include "script/TPage.h"
#include "script/TScriptEnv.h"

namespace zuno {

class TParamCollection;
class TZunoBaseList;

// One call frame: where the interrupted or calling thread goes on.
struct TStack {
    std::string         PageName;
    int32_t             ProgramCounter = 0;     // for a call, the index after the Call
    bool                Started = false;
    std::string         ResultVar;              // receives the called page's result; empty: none
    std::vector<std::string> Arguments;         // of the caller
    TZunoNamedObject*   Sender = nullptr;
    bool                Continue = false;
    std::unique_ptr<TKsMemoryStream> State;     // saved state of the interrupted command
    std::unique_ptr<TCustomParam> Result;       // the called page's result value
    bool                EventFrame = false;     // pushed by an event dispatch (not stored)

    void                SaveToStream(TStream& s, const TZunoBaseList* registry) const;
    void                LoadFromStream(TStream& s, const TZunoBaseList* registry);
};

// The call frames, last = innermost, plus one spare frame holding the last
// popped one. Keeps the variable table's CurrentDepth equal to the count.
class TStackList {
public:
    explicit            TStackList(TParamCollection* params) : FParams(params) {}

    int                 Count() const { return static_cast<int>(FItems.size()); }
    TStack&             Items(int i) const { return *FItems[static_cast<size_t>(i)]; }
    TStack*             Last() const { return FItems.empty() ? nullptr : FItems.back().get(); }
    TStack&             Push(std::unique_ptr<TStack> frame);
    TStack&             Pop();                          // the spare frame; "スタックエラー" when empty
    void                Clear();
    TStack&             Spare() { return *FSpare; }

private:
    void                syncDepth();

    TParamCollection*   FParams;
    std::vector<std::unique_ptr<TStack>> FItems;
    std::unique_ptr<TStack> FSpare = std::make_unique<TStack>();
};

// The event scheduler's states; their numbers are stored in game saves.
enum TCallState : int32_t {
    csMain              = 0,    // the main thread runs
    csHandler           = 1,    // a level-1 handler runs
    csHandlerWaits      = 2,    // a handler waits; nested events may start
    csNested            = 3,    // a nested handler runs
};

// What one step of the running thread came to.
enum TStepResult {
    srGoOn              = 0,    // nothing special: the thread goes on or rests
    srHandlerEnded      = 1,    // a handler's page ended and its event frame was popped
    srWaits             = 2,    // the command waits: an event handler yields here
    srReturned          = 3,    // a called page ended and its caller goes on
};

class TCallMan {
public:
    static constexpr int kPageCacheSize = 10;
    static constexpr int kMaxFailures = 60;     // consecutive discarded failures before a command is passed over

    explicit            TCallMan(TScriptEnv& env);
                        ~TCallMan();
                        TCallMan(const TCallMan&) = delete;
    TCallMan&           operator=(const TCallMan&) = delete;

    TPage*              Start(const std::string& pageName);           // raises when the page cannot be loaded
    TPage*              GetPage(const std::string& name, bool toFront);
    void                Run();                                        // one frame

    // --- state read by commands and system variables
    TScriptEnv&         Env() const { return FEnv; }
    TPage*              CurrentPage() const { return FPage; }
    int32_t             ProgramCounter() const { return FPC; }
    bool                Continue() const { return FContinue; }
    void                SetContinue(bool v) { FContinue = v; }
    bool                Started() const { return FStarted; }
    TCallState          State() const { return FState; }
    int32_t             EventLevel() const { return FEventLevel; }
    TStackList&         Stack() { return FStack; }
    std::vector<std::string>& Arguments() { return FArguments; }
    int                 ArgumentCount() const { return static_cast<int>(FArguments.size()); }
    std::string         ArgumentAt(int i) const;
    TZunoNamedObject*   Sender() const { return FSender; }
    std::string         SenderName() const;
    TCustomParam*       ResultHolder() const;
    int                 CachedPageCount() const { return static_cast<int>(FPages.size()); }
    const TPage*        CachedPage(int i) const { return FPages[static_cast<size_t>(i)].get(); }

    // --- saved game state
    void                SaveToStream(TStream& s) const;
    void                LoadFromStream(TStream& s, int32_t saveVersion);
    // After a load: the running position is pushed as a call frame (when
    // there is a current page) and the page runs from `index` (from its
    // start when the index is not above 0); it returns there when it ends.
    void                Divert(const std::string& pageName, int32_t index);

private:
    bool                executeCommand(TPage*& page, int32_t& pc);    // true: the command waits
    TStepResult         step();
    bool                dispatch(int32_t level);                      // true: a handler was started
    void                trace(const std::string& text);
    void                storeResult(const TStack& frame);
    TTimerList*         events() const;
    void                evict();

    TScriptEnv&         FEnv;
    std::vector<std::unique_ptr<TPage>> FPages;         // most recently used first
    TPage*              FPage = nullptr;
    int32_t             FPC = 0;
    bool                FContinue = false;
    TStackList          FStack;
    bool                FStarted = false;
    std::vector<std::string> FArguments;
    TCallState          FState = csMain;
    TZunoNamedObject*   FSender = nullptr;
    int32_t             FEventLevel = 2;

    const TCommand*     FLastTraced = nullptr;
    const TCommand*     FFailedCommand = nullptr;       // the command whose failures are counted
    int32_t             FFailedPC = -1;
    int                 FFailures = 0;
};

} // namespace zuno
