// The settings dialog's window: the view of platform/SettingsDialog.cpp in a
// small fixed-size SDL window titled "動作設定".
#include "platform/sdl/SdlSettingsDialog.h"

#include <SDL.h>

#include <cstdio>
#include <vector>

#include "platform/sdl/SdlKeyMap.h"

namespace zuno {

bool runSettingsDialog(TSettingsDialogState& state) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        std::fprintf(stderr, "zunoplay: %s\n", SDL_GetError());
        return false;
    }
    const int w = TSettingsDialogView::kWidth;
    const int h = TSettingsDialogView::kHeight;
    SDL_Window* window = SDL_CreateWindow("動作設定", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, w, h, 0);
    SDL_Renderer* renderer = window ? SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE) : nullptr;
    SDL_Texture* texture =
        renderer ? SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, w, h) : nullptr;
    TDialogResult result = TDialogResult::cancel;
    if (texture) {
        TSettingsDialogView view(state);
        std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
        result = TDialogResult::open;
        bool dirty = true;
        while (result == TDialogResult::open) {
            if (dirty) {
                view.draw(pixels.data(), w);
                SDL_UpdateTexture(texture, nullptr, pixels.data(), w * 4);
                SDL_RenderClear(renderer);
                SDL_RenderCopy(renderer, texture, nullptr, nullptr);
                SDL_RenderPresent(renderer);
                dirty = false;
            }
            SDL_Event e;
            if (!SDL_WaitEventTimeout(&e, 200))
                continue;
            dirty = true;
            switch (e.type) {
            case SDL_QUIT:
                result = TDialogResult::cancel;
                break;
            case SDL_WINDOWEVENT:
                if (e.window.event == SDL_WINDOWEVENT_CLOSE)
                    result = TDialogResult::cancel;
                break;
            case SDL_MOUSEBUTTONDOWN:
                if (e.button.button == SDL_BUTTON_LEFT)
                    result = view.mouseDown(e.button.x, e.button.y);
                break;
            case SDL_MOUSEMOTION:
                result = view.mouseMove(e.motion.x, e.motion.y);
                break;
            case SDL_MOUSEBUTTONUP:
                if (e.button.button == SDL_BUTTON_LEFT)
                    result = view.mouseUp(e.button.x, e.button.y);
                break;
            case SDL_KEYDOWN:
                result = view.key(sdlKeyToVirtualKey(e.key.keysym.sym), (e.key.keysym.mod & KMOD_ALT) != 0);
                break;
            default:
                dirty = false;
                break;
            }
        }
        if (result == TDialogResult::ok)
            state = view.state();
    } else {
        std::fprintf(stderr, "zunoplay: %s\n", SDL_GetError());
    }
    if (texture)
        SDL_DestroyTexture(texture);
    if (renderer)
        SDL_DestroyRenderer(renderer);
    if (window)
        SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    return result == TDialogResult::ok;
}

} // namespace zuno
