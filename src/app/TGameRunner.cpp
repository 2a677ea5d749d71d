#include "app/TGameRunner.h"

#include <cstdio>

#include "app/MediaSystemVars.h"
#include "app/ScreenshotWriter.h"
#include "app/StartupRules.h"
#include "core/Cp932.h"
#include "core/EZunoError.h"
#include "expr/VariableDump.h"
#include "expr/ZunoCalc.h"
#include "media/TAudioDump.h"
#include "media/TMediaSystem.h"
#include "objects/FilmMotion.h"
#include "objects/TDrelCollection.h"
#include "objects/TZunoCustomImage.h"
#include "objects/TZunoParticle.h"
#include "platform/FontList.h"
#include "platform/TFreeTypeFontService.h"
#include "text/TFontPixelManager.h"
#include "platform/headless/HeadlessPlatform.h"
#include "platform/posix/AtomicFile.h"
#include "script/ScriptSystemVars.h"

namespace zuno {

namespace {

// The text controls copy and paste through the platform's clipboard, which
// holds UTF-8.
class TPlatformClipboard : public TZunoClipboard {
public:
    explicit TPlatformClipboard(TPlatform& platform) : FPlatform(platform) {}
    std::string GetText() override { return utf8ToCp932(FPlatform.clipboardText()); }
    void SetText(const std::string& text) override { FPlatform.setClipboardText(cp932ToUtf8(text)); }

private:
    TPlatform& FPlatform;
};

} // namespace

TGameRunner::TGameRunner(TPlatform& platform, const TPlayerOptions& options, TProjectStartInfo info)
    : FPlatform(platform), FOptions(options), FFuncs(FParams) {
    installCalc(FFuncs);
    if (FOptions.Seed)
        FFuncs.SetRandomSeed(*FOptions.Seed);
    else if (FOptions.Headless)
        FFuncs.SetRandomSeed(0);

    FFiles.SetTempFolder(FPlatform.temporaryFolder());
    FFiles.OnPrompt = [this](const std::string& text, const std::string& caption) {
        return FPlatform.messageBox(cp932ToUtf8(caption), cp932ToUtf8(text), TMessageButtons::yesNo,
                                    TMessageIcon::information, TMessageAnswer::no) == TMessageAnswer::yes;
    };
    FFiles.OnQuit = [this] { FEnv.Terminating = true; };

    FEnv.Files = &FFiles;
    FEnv.Params = &FParams;
    FEnv.Funcs = &FFuncs;
    FEnv.Registry = &FRegistry;
    FEnv.RequestClose = [this] { FClosed = true; };
    FEnv.WarpMouse = [this](int32_t x, int32_t y) { FPlatform.warpMouse(x, y); };
    FEnv.ShellOpen = [this](const std::string& target) { return FPlatform.shellOpen(target); };
    // The platform's message boxes ask Yes or No; Yes is the default answer.
    FEnv.AskOverwrite = [this](const std::string& text, bool) {
        const TMessageAnswer a = FPlatform.messageBox(cp932ToUtf8(FProject->Title()), cp932ToUtf8(text),
            TMessageButtons::yesNo, TMessageIcon::question, TMessageAnswer::yes);
        return a == TMessageAnswer::no ? TScriptEnv::TOverwriteAnswer::no : TScriptEnv::TOverwriteAnswer::yes;
    };
    FEnv.Warning = [this](const std::string& caption, const std::string& text) {
        FPlatform.messageBox(cp932ToUtf8(caption), cp932ToUtf8(text), TMessageButtons::ok,
                             TMessageIcon::warning, TMessageAnswer::ok);
    };
    if (!FOptions.TraceFile.empty()) {
        FTrace.open(FOptions.TraceFile, std::ios::binary | std::ios::trunc);
        FEnv.Trace = [this](const std::string& line) { FTrace << line << '\n'; };
    }

    installDisplayAccess();

    // The glyph cache every drawn text uses, over fontconfig and FreeType.
    if (!TFontPixelManager::Instance())
        TFontPixelManager::SetInstance(std::make_unique<TFontPixelManager>(std::make_unique<TFreeTypeFontService>()));

    // Image files come through the file layer; loop waits of animated
    // images are expressions over the game's variables.
    TDrelCollection::Instance().SetFileManager(&FFiles);
    installFilmMotions();                           // ".zmt" sources of images and boxes
    TZunoCustomImages::LoopWaitEvaluator = [this](TZunoParser& expression) {
        expression.Execute(FFuncs);
        const TCustomParam* r = expression.Result();
        return r ? r->AsInteger() : 0;
    };

    FProject = std::make_unique<TProject>(FEnv, std::move(info));
    installScriptSystemVariables(FEnv, *FProject);

    // Transitions read rule pictures through the file layer and draw random
    // numbers from the run's generator, so a seeded run repeats.
    FRegistry.WipeServices.LoadRule = [this](const std::string& name, TDIBX& picture) {
        if (!FEnv.fileExists(name))
            return false;
        TKsMemoryStream data;
        FFiles.ReadFile(data, name);
        picture.LoadFromStream(data, FProject->Setting().FIdentCode);
        return !picture.IsEmpty();
    };
    FRegistry.WipeServices.Random = [this](int32_t n) { return FFuncs.Random(n); };
    FClipboard = std::make_unique<TPlatformClipboard>(FPlatform);
    TZunoClipboard::SetInstance(FClipboard.get());
    // Fire noise and particles draw from the same seeded generator.
    FRegistry.EffectRandom = [this](int32_t n) { return FFuncs.Random(n); };
    TZunoParticle::Evaluator = [this](TZunoParser& expression) -> std::optional<int32_t> {
        expression.Execute(FFuncs);
        const TCustomParam* r = expression.Result();
        if (!r)
            return std::nullopt;
        return r->AsInteger();
    };
}

TGameRunner::~TGameRunner() {
    try {
        finish();
    } catch (...) {
    }
    TZunoClipboard::SetInstance(nullptr);
    TDrelCollection::Instance().SetFileManager(nullptr);
    TZunoCustomImages::LoopWaitEvaluator = nullptr;
    TZunoParticle::Evaluator = nullptr;
}

bool TGameRunner::start() {
    if (!FOptions.TraceFile.empty() && !FTrace) {
        FFailReason = FOptions.TraceFile + ": cannot write the trace";
        return false;
    }
    if (!FProject->Create()) {
        FFailReason = cp932ToUtf8(FProject->FailReason());
        if (FFailReason.empty())
            FFailReason = "the game could not start";
        return false;
    }
    const TProjectSetting& s = FProject->Setting();
    TDrelCollection::Instance().IdCode = s.FIdentCode;        // protected Drel images
    const int w = s.FScreenWidth > 0 ? s.FScreenWidth : 640;
    const int h = s.FScreenHeight > 0 ? s.FScreenHeight : 480;
    FRegistry.SetSize(w, h);
    if (!FPlatform.openWindow(cp932ToUtf8(FProject->Title()), w, h)) {
        FFailReason = "cannot open the window";
        return false;
    }
    FScene.resize(w, h);
    // The registry composes straight into the scene: 32-bit pixels 0x00RRGGBB.
    FSceneSurface.SetExternalPixels(reinterpret_cast<uint8_t*>(FScene.data()), FScene.width(), FScene.height(), 32,
                                    FScene.pitchBytes());
    FRegistry.SetOutputSurface(&FSceneSurface);
    if (!FOptions.NoLogo)
        FLogo = std::make_unique<TMadeWithLogo>(FFiles, FRegistry, [this](const std::string& link) {
            // Headless runs never open anything: the address goes to standard error.
            if (FOptions.Headless)
                std::fprintf(stderr, "%s\n", link.c_str());
            else
                FPlatform.shellOpen(link);
        });
    FModes = chooseDisplayModes(FPlatform.displayModes(), w, h, s.FFullScreenWidth > 0 ? s.FFullScreenWidth : w,
                                s.FFullScreenHeight > 0 ? s.FFullScreenHeight : h, FPlatform.desktopDepth());
    return startMedia();
}

// The display as scripts see it: full screen, the usable modes, the chosen
// one, and the installed fonts.
void TGameRunner::installDisplayAccess() {
    FEnv.IsFullScreen = [this] { return FPlatform.isFullScreen(); };
    FEnv.SetFullScreen = [this](bool on) { FPlatform.setFullScreen(on); };
    FEnv.DisplayModes = [this] {
        std::vector<TScriptEnv::TModeEntry> modes;
        for (const TDisplayMode& m : FModes.modes)
            modes.push_back({m.width, m.height, m.bitsPerPixel, m.refreshRate});
        return modes;
    };
    FEnv.ChosenMode = [this] { return FModes.chosen; };
    // The display scales the game to the screen, so the chosen mode is recorded only.
    FEnv.ChooseMode = [this](int32_t index) { FModes.chosen = index; };
    FEnv.FontNames = [](bool fixedPitchOnly) {
        const bool japanese = userLanguageIsJapanese();
        std::vector<std::string> names;
        for (const TInstalledFont& f : listInstalledFonts()) {
            if (!f.Outline || f.Family.empty() || f.Family[0] == '@')
                continue;
            if ((japanese && !f.Japanese) || (fixedPitchOnly && !f.FixedPitch))
                continue;
            names.push_back(sjis(f.Family));
        }
        return names;
    };
}

// The media layer after the project; the sound output pulls its mix (in
// headless runs once per frame step, by the virtual clock).
bool TGameRunner::startMedia() {
    if (!FOptions.AudioDumpFile.empty()) {
        FDump = std::make_unique<TAudioDump>();
        if (!FDump->open(FOptions.AudioDumpFile)) {
            FFailReason = FOptions.AudioDumpFile + ": cannot write the audio dump";
            return false;
        }
    }
    TMediaSettings media;
    media.UseDirectSound = FSettings.useDirectSound;
    media.SoundDelay = FSettings.soundDelay;
    media.UseWmp = FSettings.useWmp;
    media.SoundFont = FSettings.soundFont;
    FMedia = std::make_unique<TMediaSystem>(FFiles, media, [this] { return FPlatform.ticks(); });
    FEnv.Media = FMedia.get();
    FMediaSource = std::make_unique<TZunoMediaSystemSource>(*FMedia, FFiles, [this] { return FPlatform.ticks(); });
    FRegistry.MediaSource = FMediaSource.get();
    installMediaSystemVariables(FParams, *FMedia);
    FPlatform.openAudio([this](int16_t* samples, int frames) {
        FMedia->Mixer().pull(samples, frames);
        if (FDump)
            FDump->write(samples, frames);
    });
    return true;
}

void TGameRunner::stopMedia() {
    FPlatform.closeAudio();
    // The game is over: its objects go first, so that sounds and movies give
    // their items back to the managers that made them.
    FRegistry.Reset();
    FParams.SetSystemAccess(SV_SOUNDON, {});
    FParams.SetSystemAccess(SV_MIDIPORT, {});
    FParams.SetSystemAccess(SV_MIDIPORTS, {});
    FEnv.Media = nullptr;
    FRegistry.MediaSource = nullptr;
    FMediaSource.reset();
    FMedia.reset();
    if (FDump)
        FDump->close();
}

//==============================================================================
// The frame step
//==============================================================================

void TGameRunner::frameStep(const std::vector<TInputEvent>& events) {
    FEnv.GameClock = static_cast<uint32_t>(FClock.gameClock());
    FEnv.LastFrameDuration = FClock.lastFrameDuration();

    route(events);                                  // the window's input handlers set latches
    FRegistry.InputStep(FEnv.LastFrameDuration);    // input step
    if (!FLogo)
        FProject->RunFrame();                       // interpreter
    else if (FLogo->step())                         // the made-with logo instead, until it is over
        FLogo.reset();
    updateObjects();                                // object update
    if (FProject->ApplyPending())                   // game load and save requests
        return;                                     // a loaded game draws from the next frame on
    compose();                                      // composition into the scene
    present();                                      // presentation
}

void TGameRunner::route(const std::vector<TInputEvent>& events) {
    for (const TInputEvent& e : events) {
        switch (e.kind) {
        case TInputKind::mouseMove:
            FRegistry.MouseMove(e.x, e.y);
            break;
        case TInputKind::mouseDown:
            FRegistry.MouseMove(e.x, e.y);
            if (FActive)
                FRegistry.MouseDown(e.button == TMouseButton::left, e.button == TMouseButton::right);
            break;
        case TInputKind::mouseUp:
            FRegistry.MouseMove(e.x, e.y);
            FRegistry.MouseUp();
            break;
        case TInputKind::wheel:
            FRegistry.Wheel(e.delta);
            break;
        case TInputKind::keyDown:
            if (FActive)
                FRegistry.KeyDown(e.key);
            break;
        case TInputKind::keyUp:
            FRegistry.KeyUp(e.key);
            break;
        case TInputKind::textInput:
            if (FActive)
                FRegistry.TextInput(utf8ToCp932(e.text));
            break;
        case TInputKind::textComposition:
            if (FActive)
                FRegistry.TextComposition(utf8ToCp932(e.text), e.x);
            break;
        case TInputKind::activate:
            if (!FActive && FMedia && FProject->Setting().FPauseWhenInactive)
                FMedia->Resume();
            FActive = true;
            FClock.setLastTick(FPlatform.ticks());
            break;
        case TInputKind::deactivate:
            if (FActive && FMedia && FProject->Setting().FPauseWhenInactive)
                FMedia->Suspend();
            FActive = false;
            FRegistry.ClearKeys();
            break;
        case TInputKind::quit:
            FClosed = true;
            break;
        case TInputKind::requestQuit: {
            const std::string title = FProject->Title();
            const bool was = FEnv.Terminating;
            FEnv.Terminating = true;
            TMessageAnswer a = FPlatform.messageBox(cp932ToUtf8(title),
                cp932ToUtf8(quitQuestionText(title, userLanguageIsJapanese())), TMessageButtons::yesNo,
                TMessageIcon::question, TMessageAnswer::no);
            if (a == TMessageAnswer::yes)
                FClosed = true;
            else
                FEnv.Terminating = was;
            break;
        }
        case TInputKind::toggleFullScreen:
            FPlatform.setFullScreen(!FPlatform.isFullScreen());
            break;
        }
    }
}

void TGameRunner::updateObjects() {
    FRegistry.Update(FEnv.LastFrameDuration);
    ++FEnv.UpdateCount;
}

void TGameRunner::compose() {
    // Only the dirty rectangles of the screens are repainted.
    FRegistry.Draw();
}

void TGameRunner::present() {
    std::vector<TPresentRect> changed;
    for (const TRect& r : FRegistry.PresentRects())
        changed.push_back({r.Left, r.Top, r.Right, r.Bottom});
    FPlatform.present(FScene, changed);
    FRegistry.ClearDirty();
}

void TGameRunner::writeScreenshots(int64_t step) {
    for (const TScreenshotRequest& r : FOptions.Screenshots)
        if (r.Frame == step)
            writeScreenshotPng(FScene, r.File);
}

//==============================================================================
// Runs
//==============================================================================

void TGameRunner::runHeadless(THeadlessPlatform& headless, int64_t frames) {
    FClock.start(headless.ticks());
    std::vector<TInputEvent> events;
    for (int64_t step = 1; step <= frames && !Ended(); ++step) {
        headless.advanceFrame();
        FClock.onWake(headless.ticks());
        events.clear();
        headless.pollInput(events);
        frameStep(events);
        writeScreenshots(step);
    }
    finish();
}

void TGameRunner::runWindow(std::optional<int64_t> frames) {
    FClock.start(FPlatform.ticks());
    std::vector<TInputEvent> events;
    int64_t step = 0;
    for (int wait = 1; !Ended() && (!frames || step < *frames);) {
        FPlatform.sleep(wait);
        TFrameTick t = FClock.onWake(FPlatform.ticks());
        wait = t.nextWaitMs;
        events.clear();
        FPlatform.pollInput(events);
        const bool paused = !FActive && FProject->Setting().FPauseWhenInactive;
        if (t.runFrame && !paused) {
            frameStep(events);
            writeScreenshots(++step);
        } else {
            route(events);
        }
    }
    finish();
}

void TGameRunner::finish() {
    if (FFinished)
        return;
    FFinished = true;
    FProject->Destroy();
    stopMedia();
    if (FTrace.is_open())
        FTrace.flush();
    if (!FOptions.DumpVarsFile.empty()) {
        const std::string text = dumpVariables(FParams);
        writeFileAtomically(FOptions.DumpVarsFile, text);
    }
}

} // namespace zuno
