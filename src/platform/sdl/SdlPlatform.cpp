#include "platform/sdl/SdlPlatform.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>

#include "core/EZunoError.h"
#include "platform/GameViewport.h"
#include "platform/TopStrip.h"
#include "platform/sdl/SdlKeyMap.h"
#include "platform/sdl/X11FullScreen.h"

namespace zuno {

namespace {

class TSdlPlatform : public TPlatform {
public:
                            TSdlPlatform();
                            ~TSdlPlatform() override;

    bool                    openWindow(const std::string& title, int gameWidth, int gameHeight) override;
    void                    setTitle(const std::string& title) override;
    bool                    present(const TSceneBuffer& scene, const std::vector<TPresentRect>& changed) override;
    void                    setFullScreen(bool on) override;
    bool                    isFullScreen() const override { return FFullScreen; }
    void                    setScaleMode(TScaleMode mode) override;
    void                    warpMouse(int gameX, int gameY) override;
    void                    setCursorImage(const uint32_t* argb, int width, int height, int hotX, int hotY) override;
    void                    showCursor(bool visible) override { SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE); }

    void                    pollInput(std::vector<TInputEvent>& out) override;
    uint32_t                ticks() const override { return SDL_GetTicks(); }
    void                    sleep(int milliseconds) override { SDL_Delay(static_cast<Uint32>(std::max(milliseconds, 0))); }

    TMessageAnswer          messageBox(const std::string& caption, const std::string& text, TMessageButtons buttons,
                                       TMessageIcon icon, TMessageAnswer defaultAnswer) override;

    std::vector<TDisplayMode> displayModes() const override;
    int32_t                 desktopDepth() const override;
    std::string             clipboardText() override;
    void                    setClipboardText(const std::string& text) override;

    bool                    openAudio(TAudioCallback callback) override;
    void                    closeAudio() override;
    void                    lockAudio() override { if (FAudio) SDL_LockAudioDevice(FAudio); }
    void                    unlockAudio() override { if (FAudio) SDL_UnlockAudioDevice(FAudio); }

private:
    TWindowLayout           layout() const;
    void                    toOutput(int32_t wx, int32_t wy, int32_t& ox, int32_t& oy) const;
    void                    mapMouse(int32_t wx, int32_t wy, TInputEvent& ev) const;
    bool                    createGameTexture(int width, int height);
    void                    redraw();
    static void SDLCALL     audioTrampoline(void* self, Uint8* stream, int bytes);

    SDL_Window*             FWindow = nullptr;
    SDL_Renderer*           FRenderer = nullptr;
    SDL_Texture*            FGame = nullptr;
    SDL_Texture*            FStrip = nullptr;
    int32_t                 FStripTextureWidth = 0;
    int32_t                 FGameWidth = 0;
    int32_t                 FGameHeight = 0;
    TScaleMode              FScaleMode = TScaleMode::fit;
    bool                    FFullScreen = false;
    // Full screen done by the player itself (no window manager to do it): the
    // window is placed over the display, and its windowed place comes back.
    bool                    FOwnFullScreen = false;
    SDL_Rect                FWindowedRect{0, 0, 0, 0};
    TTopStrip               FTopStrip;
    bool                    FNeedsRedraw = true;
    SDL_Cursor*             FCursor = nullptr;
    SDL_AudioDeviceID       FAudio = 0;
    bool                    FAudioStarted = false;
    TAudioCallback          FAudioCallback;
};

// ---------------------------------------------------------------- TSdlPlatform

TSdlPlatform::TSdlPlatform() {
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0)
        throw EZunoError::fromUtf8(std::string("SDL: ") + SDL_GetError());
}

TSdlPlatform::~TSdlPlatform() {
    closeAudio();
    releaseInstanceLock();
    if (FCursor) {
        SDL_SetCursor(SDL_GetDefaultCursor());
        SDL_FreeCursor(FCursor);
    }
    if (FStrip)
        SDL_DestroyTexture(FStrip);
    if (FGame)
        SDL_DestroyTexture(FGame);
    if (FRenderer)
        SDL_DestroyRenderer(FRenderer);
    if (FWindow)
        SDL_DestroyWindow(FWindow);
    if (FAudioStarted)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    SDL_Quit();
}

bool TSdlPlatform::openWindow(const std::string& title, int gameWidth, int gameHeight) {
    if (FWindow)
        return true;
    FGameWidth = std::max(gameWidth, 1);
    FGameHeight = std::max(gameHeight, 1);
    FWindow = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, FGameWidth,
                               FGameHeight + kStripHeight, SDL_WINDOW_RESIZABLE);
    if (!FWindow)
        return false;
    SDL_SetWindowMinimumSize(FWindow, 2 * kStripButtonWidth, kStripHeight + 1);
    FRenderer = SDL_CreateRenderer(FWindow, -1, SDL_RENDERER_ACCELERATED);
    if (!FRenderer)
        FRenderer = SDL_CreateRenderer(FWindow, -1, SDL_RENDERER_SOFTWARE);
    if (!FRenderer || !createGameTexture(FGameWidth, FGameHeight)) {
        if (FRenderer)
            SDL_DestroyRenderer(FRenderer);
        SDL_DestroyWindow(FWindow);
        FRenderer = nullptr;
        FWindow = nullptr;
        return false;
    }
    FNeedsRedraw = true;
    // Typed text and the input method's composition arrive as text events.
    SDL_StartTextInput();
    return true;
}

std::string TSdlPlatform::clipboardText() {
    char* text = SDL_GetClipboardText();
    std::string out = text ? text : "";
    SDL_free(text);
    return out;
}

void TSdlPlatform::setClipboardText(const std::string& text) { SDL_SetClipboardText(text.c_str()); }

bool TSdlPlatform::createGameTexture(int width, int height) {
    if (FGame)
        SDL_DestroyTexture(FGame);
    FGame = SDL_CreateTexture(FRenderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, width, height);
    if (!FGame)
        return false;
    FGameWidth = width;
    FGameHeight = height;
    SDL_SetTextureScaleMode(FGame, FScaleMode == TScaleMode::integer ? SDL_ScaleModeNearest : SDL_ScaleModeLinear);
    // A new texture holds undefined pixels until the first scene arrives.
    void* pixels = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(FGame, nullptr, &pixels, &pitch) == 0) {
        for (int y = 0; y < height; ++y)
            std::fill_n(static_cast<uint8_t*>(pixels) + static_cast<size_t>(y) * pitch, static_cast<size_t>(width) * 4, 0);
        SDL_UnlockTexture(FGame);
    }
    return true;
}

void TSdlPlatform::setTitle(const std::string& title) {
    if (FWindow)
        SDL_SetWindowTitle(FWindow, title.c_str());
}

void TSdlPlatform::setScaleMode(TScaleMode mode) {
    FScaleMode = mode;
    if (FGame)
        SDL_SetTextureScaleMode(FGame, mode == TScaleMode::integer ? SDL_ScaleModeNearest : SDL_ScaleModeLinear);
    FNeedsRedraw = true;
}

void TSdlPlatform::setFullScreen(bool on) {
    if (!FWindow || on == FFullScreen)
        return;
    if (on && !windowSystemDoesFullScreen(FWindow)) {
        // Without a window manager the desktop full-screen request would only
        // make SDL believe the window covers the display while the server
        // keeps its old size; the window is moved and sized over it instead.
        // (There are no frames to take off: nothing would draw them.)
        int display = std::max(SDL_GetWindowDisplayIndex(FWindow), 0);
        SDL_Rect bounds;
        if (SDL_GetDisplayBounds(display, &bounds) != 0 || bounds.w <= 0 || bounds.h <= 0) {
            std::fprintf(stderr, "zunoplay: full screen: %s\n", SDL_GetError());
            return;
        }
        SDL_GetWindowPosition(FWindow, &FWindowedRect.x, &FWindowedRect.y);
        SDL_GetWindowSize(FWindow, &FWindowedRect.w, &FWindowedRect.h);
        SDL_SetWindowPosition(FWindow, bounds.x, bounds.y);
        SDL_SetWindowSize(FWindow, bounds.w, bounds.h);
        SDL_RaiseWindow(FWindow);
        FOwnFullScreen = true;
    } else if (!on && FOwnFullScreen) {
        SDL_SetWindowSize(FWindow, FWindowedRect.w, FWindowedRect.h);
        SDL_SetWindowPosition(FWindow, FWindowedRect.x, FWindowedRect.y);
        FOwnFullScreen = false;
    } else if (SDL_SetWindowFullscreen(FWindow, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
        std::fprintf(stderr, "zunoplay: full screen: %s\n", SDL_GetError());
        return;
    }
    FFullScreen = on;
    FTopStrip.setFullScreen(on);
    FNeedsRedraw = true;
}

TWindowLayout TSdlPlatform::layout() const {
    int w = 0;
    int h = 0;
    SDL_GetRendererOutputSize(FRenderer, &w, &h);
    int ww = 0;
    int wh = 0;
    SDL_GetWindowSize(FWindow, &ww, &wh);
    // The strip keeps its size in window units on high-density outputs.
    int32_t stripH = wh > 0 ? static_cast<int32_t>(int64_t(kStripHeight) * h / wh) : kStripHeight;
    return layoutWindow(w, h, stripH, FFullScreen, FTopStrip.shownInFullScreen(), FGameWidth, FGameHeight, FScaleMode);
}

void TSdlPlatform::toOutput(int32_t wx, int32_t wy, int32_t& ox, int32_t& oy) const {
    int w = 0, h = 0, ww = 0, wh = 0;
    SDL_GetRendererOutputSize(FRenderer, &w, &h);
    SDL_GetWindowSize(FWindow, &ww, &wh);
    ox = ww > 0 ? static_cast<int32_t>(int64_t(wx) * w / ww) : wx;
    oy = wh > 0 ? static_cast<int32_t>(int64_t(wy) * h / wh) : wy;
}

void TSdlPlatform::mapMouse(int32_t wx, int32_t wy, TInputEvent& ev) const {
    int32_t ox = 0, oy = 0;
    toOutput(wx, wy, ox, oy);
    windowToGame(layout().game, FGameWidth, FGameHeight, ox, oy, ev.x, ev.y);
}

void TSdlPlatform::warpMouse(int gameX, int gameY) {
    if (!FWindow)
        return;
    int32_t ox = 0, oy = 0;
    gameToWindow(layout().game, FGameWidth, FGameHeight, gameX, gameY, ox, oy);
    int w = 0, h = 0, ww = 0, wh = 0;
    SDL_GetRendererOutputSize(FRenderer, &w, &h);
    SDL_GetWindowSize(FWindow, &ww, &wh);
    int32_t wx = w > 0 ? static_cast<int32_t>(int64_t(ox) * ww / w) : ox;
    int32_t wy = h > 0 ? static_cast<int32_t>(int64_t(oy) * wh / h) : oy;
    SDL_WarpMouseInWindow(FWindow, wx, wy);
}

void TSdlPlatform::setCursorImage(const uint32_t* argb, int width, int height, int hotX, int hotY) {
    SDL_Cursor* cursor = nullptr;
    if (argb && width > 0 && height > 0) {
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(argb), width, height, 32,
                                                                  width * 4, SDL_PIXELFORMAT_ARGB8888);
        if (surface) {
            cursor = SDL_CreateColorCursor(surface, std::clamp(hotX, 0, width - 1), std::clamp(hotY, 0, height - 1));
            SDL_FreeSurface(surface);
        }
    }
    SDL_SetCursor(cursor ? cursor : SDL_GetDefaultCursor());
    if (FCursor)
        SDL_FreeCursor(FCursor);
    FCursor = cursor;
}

bool TSdlPlatform::present(const TSceneBuffer& scene, const std::vector<TPresentRect>& changed) {
    if (!FWindow)
        return false;
    if (scene.width() > 0 && scene.height() > 0 && (scene.width() != FGameWidth || scene.height() != FGameHeight)) {
        if (!createGameTexture(scene.width(), scene.height()))
            return false;
        FNeedsRedraw = true;
    }
    bool counted = false;
    for (const TPresentRect& r : changed) {
        TPresentRect c = scene.clip(r);
        if (c.empty())
            continue;
        SDL_Rect rect{c.left, c.top, c.right - c.left, c.bottom - c.top};
        SDL_UpdateTexture(FGame, &rect, scene.row(c.top) + c.left, scene.pitchBytes());
        counted = true;
    }
    if (counted || FNeedsRedraw)
        redraw();
    return counted;
}

void TSdlPlatform::redraw() {
    TWindowLayout l = layout();
    SDL_SetRenderDrawColor(FRenderer, 0, 0, 0, 255);
    SDL_RenderClear(FRenderer);
    SDL_Rect dst{l.game.x, l.game.y, l.game.w, l.game.h};
    SDL_RenderCopy(FRenderer, FGame, nullptr, &dst);
    if (l.strip.w > 0 && l.strip.h > 0) {
        // The strip is drawn at its natural size and stretched on dense outputs.
        int ww = 0, wh = 0;
        SDL_GetWindowSize(FWindow, &ww, &wh);
        if (!FStrip || FStripTextureWidth != ww) {
            if (FStrip)
                SDL_DestroyTexture(FStrip);
            FStripTextureWidth = std::max(ww, 1);
            FStrip = SDL_CreateTexture(FRenderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                                       FStripTextureWidth, kStripHeight);
        }
        if (FStrip) {
            std::vector<uint32_t> pixels(static_cast<size_t>(FStripTextureWidth) * kStripHeight);
            drawStrip(pixels.data(), FStripTextureWidth, FStripTextureWidth, FTopStrip.pressed());
            SDL_UpdateTexture(FStrip, nullptr, pixels.data(), FStripTextureWidth * 4);
            SDL_Rect sdst{l.strip.x, l.strip.y, l.strip.w, l.strip.h};
            SDL_RenderCopy(FRenderer, FStrip, nullptr, &sdst);
        }
    }
    SDL_RenderPresent(FRenderer);
    FNeedsRedraw = false;
}

void TSdlPlatform::pollInput(std::vector<TInputEvent>& out) {
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        TInputEvent ev;
        switch (e.type) {
        case SDL_QUIT:
            ev.kind = TInputKind::quit;
            out.push_back(ev);
            break;
        case SDL_WINDOWEVENT:
            if (e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
                ev.kind = TInputKind::activate;
                out.push_back(ev);
            } else if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
                ev.kind = TInputKind::deactivate;
                out.push_back(ev);
            } else if (e.window.event == SDL_WINDOWEVENT_EXPOSED || e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED
                       || e.window.event == SDL_WINDOWEVENT_RESIZED || e.window.event == SDL_WINDOWEVENT_RESTORED) {
                FNeedsRedraw = true;
            }
            break;
        case SDL_MOUSEMOTION: {
            if (!FWindow)
                break;
            if (FTopStrip.pointerMoved(e.motion.y))
                FNeedsRedraw = true;
            ev.kind = TInputKind::mouseMove;
            mapMouse(e.motion.x, e.motion.y, ev);
            out.push_back(ev);
            break;
        }
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            if (!FWindow || (e.button.button != SDL_BUTTON_LEFT && e.button.button != SDL_BUTTON_RIGHT))
                break;
            bool down = e.type == SDL_MOUSEBUTTONDOWN;
            TWindowLayout l = layout();
            int32_t ox = 0, oy = 0;
            toOutput(e.button.x, e.button.y, ox, oy);
            TStripButton under = l.strip.w > 0 && l.strip.contains(ox, oy) ? stripButtonAt(e.button.x, e.button.y)
                                                                               : TStripButton::none;
            TStripButton clicked = TStripButton::none;
            if (e.button.button == SDL_BUTTON_LEFT
                && (down ? FTopStrip.leftDown(under) : FTopStrip.leftUp(under, clicked))) {
                if (clicked != TStripButton::none) {
                    ev.kind = clicked == TStripButton::quit ? TInputKind::requestQuit : TInputKind::toggleFullScreen;
                    out.push_back(ev);
                }
                FNeedsRedraw = true;
                break;
            }
            // A press counts only on the game picture; a release always does,
            // so a held button is never left down.
            if (down && (!l.game.contains(ox, oy) || (l.strip.w > 0 && l.strip.contains(ox, oy))))
                break;
            ev.kind = down ? TInputKind::mouseDown : TInputKind::mouseUp;
            ev.button = e.button.button == SDL_BUTTON_LEFT ? TMouseButton::left : TMouseButton::right;
            mapMouse(e.button.x, e.button.y, ev);
            out.push_back(ev);
            break;
        }
        case SDL_MOUSEWHEEL: {
            int32_t notches = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
            if (notches == 0)
                break;
            ev.kind = TInputKind::wheel;
            ev.delta = notches > 0 ? 1 : -1;
            out.push_back(ev);
            break;
        }
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            SDL_Keycode sym = e.key.keysym.sym;
            bool alt = (e.key.keysym.mod & KMOD_ALT) != 0;
            bool toggle = sym == SDLK_F11 || (alt && (sym == SDLK_RETURN || sym == SDLK_KP_ENTER));
            if (toggle) {
                if (e.type == SDL_KEYDOWN && !e.key.repeat) {
                    ev.kind = TInputKind::toggleFullScreen;
                    out.push_back(ev);
                }
                break;
            }
            if (e.type == SDL_KEYDOWN && e.key.repeat)
                break;
            ev.key = sdlKeyToVirtualKey(sym);
            if (ev.key == 0)
                break;
            ev.kind = e.type == SDL_KEYDOWN ? TInputKind::keyDown : TInputKind::keyUp;
            out.push_back(ev);
            break;
        }
        case SDL_TEXTINPUT:
            ev.kind = TInputKind::textInput;
            ev.text = e.text.text;
            out.push_back(ev);
            break;
        case SDL_TEXTEDITING:
            ev.kind = TInputKind::textComposition;
            ev.text = e.edit.text;
            ev.x = e.edit.start;
            out.push_back(ev);
            break;
        default:
            break;
        }
    }
}

TMessageAnswer TSdlPlatform::messageBox(const std::string& caption, const std::string& text, TMessageButtons buttons,
                                        TMessageIcon icon, TMessageAnswer defaultAnswer) {
    SDL_MessageBoxButtonData data[2];
    int count = 0;
    auto add = [&](TMessageAnswer answer, const char* label, bool escape) {
        Uint32 flags = 0;
        if (answer == defaultAnswer)
            flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
        if (escape)
            flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
        data[count++] = {flags, static_cast<int>(answer), label};
    };
    if (buttons == TMessageButtons::yesNo) {
        add(TMessageAnswer::yes, "はい", false);
        add(TMessageAnswer::no, "いいえ", true);
    } else {
        add(TMessageAnswer::ok, "OK", true);
    }
    Uint32 flags = icon == TMessageIcon::warning ? SDL_MESSAGEBOX_WARNING : SDL_MESSAGEBOX_INFORMATION;
    SDL_MessageBoxData box{flags, FWindow, caption.c_str(), text.c_str(), count, data, nullptr};
    int pressed = -1;
    if (SDL_ShowMessageBox(&box, &pressed) != 0 || pressed < 0) {
        std::fprintf(stderr, "zunoplay: %s: %s\n", caption.c_str(), text.c_str());
        return defaultAnswer;
    }
    return static_cast<TMessageAnswer>(pressed);
}

std::vector<TDisplayMode> TSdlPlatform::displayModes() const {
    std::vector<TDisplayMode> modes;
    int display = FWindow ? std::max(SDL_GetWindowDisplayIndex(FWindow), 0) : 0;
    int n = SDL_GetNumDisplayModes(display);
    for (int i = 0; i < n; ++i) {
        SDL_DisplayMode m;
        if (SDL_GetDisplayMode(display, i, &m) != 0)
            continue;
        // Four-byte pixels count as 32 bits, as the game expects.
        int bits = SDL_BYTESPERPIXEL(m.format) == 4 ? 32 : static_cast<int>(SDL_BITSPERPIXEL(m.format));
        modes.push_back({m.w, m.h, bits, m.refresh_rate});
    }
    return modes;
}

int32_t TSdlPlatform::desktopDepth() const {
    int display = FWindow ? std::max(SDL_GetWindowDisplayIndex(FWindow), 0) : 0;
    SDL_DisplayMode m;
    if (SDL_GetDesktopDisplayMode(display, &m) != 0)
        return 24;
    return SDL_BYTESPERPIXEL(m.format) == 4 ? 32 : static_cast<int32_t>(SDL_BITSPERPIXEL(m.format));
}

bool TSdlPlatform::openAudio(TAudioCallback callback) {
    closeAudio();
    if (!FAudioStarted) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            std::fprintf(stderr, "zunoplay: no sound device (%s); playing silently\n", SDL_GetError());
            return false;
        }
        FAudioStarted = true;
    }
    FAudioCallback = std::move(callback);
    SDL_AudioSpec want{};
    want.freq = kAudioRate;
    want.format = AUDIO_S16SYS;
    want.channels = kAudioChannels;
    want.samples = 1024;
    want.callback = &TSdlPlatform::audioTrampoline;
    want.userdata = this;
    SDL_AudioSpec have{};
    FAudio = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (FAudio == 0) {
        std::fprintf(stderr, "zunoplay: no sound device (%s); playing silently\n", SDL_GetError());
        FAudioCallback = nullptr;
        return false;
    }
    SDL_PauseAudioDevice(FAudio, 0);
    return true;
}

void TSdlPlatform::closeAudio() {
    if (FAudio) {
        SDL_CloseAudioDevice(FAudio);
        FAudio = 0;
    }
    FAudioCallback = nullptr;
}

void SDLCALL TSdlPlatform::audioTrampoline(void* self, Uint8* stream, int bytes) {
    auto* p = static_cast<TSdlPlatform*>(self);
    int frames = bytes / (2 * kAudioChannels);
    auto* samples = reinterpret_cast<int16_t*>(stream);
    std::fill_n(samples, static_cast<size_t>(frames) * kAudioChannels, int16_t(0));
    if (p->FAudioCallback)
        p->FAudioCallback(samples, frames);
}

} // namespace

std::unique_ptr<TPlatform> createSdlPlatform() {
    return std::make_unique<TSdlPlatform>();
}

} // namespace zuno
