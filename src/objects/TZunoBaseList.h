// The registry of one scene. It owns every display object and its two
// screens, names and finds objects, deletes them at once or at the end of the
// frame, keeps the event queue, the keyboard state and focus, and runs the
// three per-frame passes: the input step (before the interpreter), the object
// update (after it) and the composition of the screens into the output
// surface, repainting only the dirty rectangles.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "imaging/TCustomWipe.h"
#include "objects/TTimerList.h"
#include "objects/TZunoBase.h"
#include "objects/TZunoObject.h"

namespace zuno {

class TZunoMediaSource;
class TSysFuncMan;
class TStoredTextSource;
class TZunoHistoryFormatManager;
class TZunoReadList;

class TZunoBaseList : public TZunoComponent {
public:
    static constexpr int kKeyCount = 256;
    // Largest scene side: sizes from scripts and save data are cut to it.
    static constexpr int32_t kMaxSceneSize = 4096;

                        TZunoBaseList();
                        ~TZunoBaseList() override;

    // Frees the transition, the screens, the queued events and every object;
    // fresh screens of the same size keep the mouse position.
    void                Reset();

    // --- objects ------------------------------------------------------------------------
    // Registers a new object at the end of the list and names it "object" + a
    // number unless the class asks otherwise.
    TZunoObject*        Register(std::unique_ptr<TZunoObject> object);
    template <class T> T* Create() { return static_cast<T*>(Register(std::make_unique<T>())); }
    // The class of a kind (top bit ignored); none for kinds without a class.
    TZunoObject*        CreateByKind(uint8_t kind);
    static std::unique_ptr<TZunoObject> NewByKind(uint8_t kind);

    int                 ObjectCount() const { return static_cast<int>(FObjects.size()); }
    TZunoObject*        Objects(int i) const { return FObjects[size_t(i)].get(); }
    bool                IsRegistered(const TZunoNamedObject* object) const;
    bool                IsAlive(const TZunoObject* object) const;      // registered or a screen
    int                 IndexOfName(const std::string& name) const;    // exact bytes; -1
    std::string         MakeUniqueName(const std::string& base) const; // base + 0, 1, 2 ...
    std::string         NumberedName(const std::string& name) const;   // the "_2", "_3" ... rule
    TZunoComponent*     FindComponent(const std::string& name) const;
    TZunoControl*       FindControl(const std::string& name) const;
    // Names of objects of `kind` (0: any) whose parent is `parent` (the
    // registry itself: any parent); the number added.
    int                 ListNames(std::vector<std::string>& list, uint8_t kind, const TZunoObject* parent) const;

    void                DeleteObject(TZunoObject* object);             // at once, with its children
    void                ScheduleDelete(TZunoObject* object);           // at the end of the update; name cleared
    bool                IsPendingDelete(const TZunoObject* object) const;
    // True while the registry frees all its objects (teardown, Reset): owners
    // of objects must not call back into it then.
    bool                TearingDown() const { return FTearingDown; }
    int                 PendingCount() const { return static_cast<int>(FPending.size()); }

    // Controls that hear right clicks first (menus, map images).
    void                AddRClickScrap(TZunoControl* c);
    void                RemoveRClickScrap(TZunoControl* c);

    // --- screens and size -------------------------------------------------------------
    TZunoBase*          GetScreen(int i) const { return FScreens[size_t(i & 1)].get(); }
    TZunoBase*          ActiveBase() const { return GetScreen(FActiveIndex); }
    int                 ActiveIndex() const { return FActiveIndex; }
    TScreenInput&       Screen(int i) { return GetScreen(i)->Input; }
    TScreenInput&       ActiveScreen() { return ActiveBase()->Input; }
    int32_t             Width() const { return FWidth; }
    int32_t             Height() const { return FHeight; }
    void                SetSize(int32_t width, int32_t height);       // cut to 0 .. kMaxSceneSize

    // The surface the scene is composed into: an external one (the display's
    // back buffer) or the registry's own.
    void                SetOutputSurface(TCustomDIBX* surface);
    TCustomDIBX&        OutputSurface();
    TCustomDIBX*        SurfaceOf(TZunoBase& screen);
    bool                TransitionRunning() const { return FTransition != nullptr; }
    int32_t             TransitionKind() const { return FTransitionKind; }
    TCustomWipe*        Transition() const { return FTransition.get(); }

    // Makes `index` the active screen. When forced, or when a kind is given
    // and no transition runs, the old transition is freed, both screens
    // become entirely dirty and a wipe of the kind is created (none for
    // kind 0 or an unknown kind) from the new active screen to the other one,
    // with the duration and the reverse flag (parameter != 0). Focus moves
    // to the new screen; the progress goes to the transition, which is
    // returned so that the caller can set its parameters and prepare it.
    TCustomWipe*        StartTransition(int index, int32_t kind, int32_t parameter, bool force,
                                        int32_t progress, int32_t duration);
    // The time the last started transition takes (also when it has no wipe:
    // the flip waits it out showing the old picture), and how far it is.
    int32_t             TransitionDuration() const { return FTransitionDuration; }
    int32_t             TransitionProgress() const { return FTransitionProgress; }
    void                SetTransitionProgress(int32_t progress);
    // What wipes need from the player: rule pictures and random numbers.
    TWipeServices       WipeServices;
    // The random source of the effect controls (fire noise, particle
    // placement and speeds): 0 <= r < n. The player hands in its seeded
    // generator; unset, a fixed-seed generator of the registry answers.
    std::function<int32_t(int32_t n)> EffectRandom;
    int32_t             RandomInt(int32_t n);
    double              RandomReal();                                  // 0 <= r < 1

    // --- per-frame passes -----------------------------------------------------------------
    void                InputStep(int32_t elapsedMs);
    using TZunoComponent::Update;                                     // the object's own update stays visible
    void                Update(int32_t elapsedMs);
    int32_t             FrameElapsed() const { return FElapsed; }
    void                Draw();
    // Where the output changed in the last Draw (the active screen's dirty list).
    std::vector<TRect>  PresentRects() const;
    void                ClearDirty();                                  // after each presented frame

    // --- input sources (from the window) -------------------------------------------------
    void                MouseDown(bool left, bool right);
    void                MouseUp();
    void                MouseMove(int32_t x, int32_t y);
    void                Wheel(int32_t delta);                          // > 0 up, < 0 down
    void                KeyDown(int32_t code);                         // codes below 256; the pushed latch too
    void                KeyUp(int32_t code);
    void                KeyChanged(int32_t code, bool down);
    // Typed text and the input method's composition (Shift-JIS), handed to
    // the focused control when it takes keys and is not paused.
    void                TextInput(const std::string& text);
    void                TextComposition(const std::string& text, int32_t caret);

    // --- cursor -------------------------------------------------------------------------------
    std::string         DefaultCursor;                                 // the project's cursor file
    // Installs a cursor file (empty: the default arrow).
    std::function<void(const std::string& file)> OnCursor;

    // --- focus ---------------------------------------------------------------------------------
    TZunoControl*       Focus() const { return FFocus; }
    void                SetFocus(TZunoControl* control);
    void                RequestFocusSearch() { FFocusSearch = true; }
    bool                FocusSearchRequested() const { return FFocusSearch; }
    void                ClearFocusQuietly();                           // no events

    // --- key state -----------------------------------------------------------------------------
    bool                IsKeyDown(int32_t code) const;
    bool                KeyPushed(int32_t code) const;                 // went down since the previous input step
    bool                KeyRepeated(int32_t code) const;               // down or auto-repeated in this step
    void                ClearKeys();
    const std::vector<int32_t>& DownList() const { return FDownList; }
    const std::vector<int32_t>& UpList() const { return FUpList; }
    const std::vector<int32_t>& RepeatList() const { return FRepeatList; }
    bool                DownFlag() const { return FDownFlag; }
    bool                UpFlag() const { return FUpFlag; }
    bool                RepeatFlag() const { return FRepeatFlag; }

    int32_t             KeyRepeatDelay = 500;                          // ms before the first auto-repeat
    int32_t             KeyRepeatInterval = 33;                        // ms between auto-repeats

    // --- sound switch (@SoundON) ----------------------------------------------------------------
    bool                SoundOn() const { return FSoundOn; }
    void                SetSoundOn(bool on);
    std::function<void(bool on)> OnSoundOn;

    // --- media (sounds, movies, the clock of fades and timers); none: silence ---
    TZunoMediaSource*   MediaSource = nullptr;

    // --- message text (not owned; none: boxes keep no backlog or read marks) ---
    TSysFuncMan*        Funcs = nullptr;                                // VAR insertions
    TStoredTextSource*  TextSource = nullptr;                           // TextIns texts by page and index
    TZunoHistoryFormatManager* Histories = nullptr;
    TZunoReadList*      ReadList = nullptr;

    // --- choices ---------------------------------------------------------------------------------
    // Menus and map images report a choice (text, index) here; the script
    // layer stores it into "@SelStr" and "@SelIndex". Unset: nothing is stored.
    std::function<void(const std::string& text, int32_t index)> OnChoice;
    void                ReportChoice(const std::string& text, int32_t index) { if (OnChoice) OnChoice(text, index); }

    // --- event queue ------------------------------------------------------------------------------
    TTimerList&         Events() { return FEvents; }

    // --- save record --------------------------------------------------------------------------------
    void                SaveToStream(TStream& s) override;
    void                LoadFromStream(TStream& s, int32_t version) override;

    void                ReleaseSurfaces() override;
    void                RestoreSurfaces() override;

private:
    void                endTransition();                                // frees it; both screens dirty
    static bool         validKey(int32_t code) { return code >= 0 && code < kKeyCount; }
    std::unique_ptr<TZunoObject> unregister(TZunoObject* object);
    void                freeObject(std::unique_ptr<TZunoObject> object);
    void                makeScreens(int32_t mouseX, int32_t mouseY);
    void                mouseStep(TZunoBase& screen);
    void                postKeys(TZunoControl& c);

    std::array<std::unique_ptr<TZunoBase>, 2> FScreens;
    std::vector<std::unique_ptr<TZunoObject>> FObjects;
    std::vector<TZunoObject*> FPending;
    std::vector<TZunoControl*> FRClickScrap;
    TTimerList          FEvents;
    int32_t             FWidth = 0, FHeight = 0;
    int                 FActiveIndex = 0;
    int32_t             FTransitionKind = 0;
    std::unique_ptr<TCustomWipe> FTransition;   // draws from the screens' surfaces into the output
    TRect               FTransitionRect;        // what the transition changed this frame
    int32_t             FTransitionDuration = 0;
    int32_t             FTransitionProgress = 0;
    int32_t             FElapsed = 0;
    bool                FSoundOn = true;
    bool                FTearingDown = false;
    TZunoControl*       FFocus = nullptr;
    bool                FFocusSearch = false;
    TCustomDIBX*        FExternalOutput = nullptr;
    std::unique_ptr<TDIBX> FOwnOutput;
    uint32_t            FRandomState = 1;                              // the fallback effect generator

    std::array<uint8_t, kKeyCount> FDown{}, FPushLatch{}, FPushed{}, FRepeat{}, FRepeated{};
    std::array<int32_t, kKeyCount> FCountdown{};
    bool                FDownFlag = false, FUpFlag = false, FRepeatFlag = false;
    std::vector<int32_t> FDownList, FUpList, FRepeatList;
};

} // namespace zuno
