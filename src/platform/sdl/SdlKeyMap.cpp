// SDL key codes to Windows virtual-key codes. Letters, digits and the function
// keys are ranges; everything else is one table.
#include "platform/sdl/SdlKeyMap.h"

#include <SDL.h>

#include <algorithm>
#include <iterator>

#include "platform/VirtualKeys.h"

namespace zuno {

namespace {

struct TKeyPair {
    SDL_Keycode         sdl;
    int32_t             vk;
};

constexpr TKeyPair kKeyTable[] = {
    {SDLK_BACKSPACE, vk::Back},     {SDLK_TAB, vk::Tab},           {SDLK_CLEAR, vk::Clear},
    {SDLK_RETURN, vk::Return},      {SDLK_KP_ENTER, vk::Return},   {SDLK_RETURN2, vk::Return},
    {SDLK_LSHIFT, vk::Shift},       {SDLK_RSHIFT, vk::Shift},      {SDLK_LCTRL, vk::Control},
    {SDLK_RCTRL, vk::Control},      {SDLK_LALT, vk::Menu},         {SDLK_RALT, vk::Menu},
    {SDLK_PAUSE, vk::Pause},        {SDLK_CAPSLOCK, vk::Capital},  {SDLK_ESCAPE, vk::Escape},
    {SDLK_SPACE, vk::Space},        {SDLK_PAGEUP, vk::Prior},      {SDLK_PAGEDOWN, vk::Next},
    {SDLK_END, vk::End},            {SDLK_HOME, vk::Home},         {SDLK_LEFT, vk::Left},
    {SDLK_UP, vk::Up},              {SDLK_RIGHT, vk::Right},       {SDLK_DOWN, vk::Down},
    {SDLK_PRINTSCREEN, vk::Snapshot}, {SDLK_INSERT, vk::Insert},   {SDLK_DELETE, vk::Delete},
    {SDLK_LGUI, vk::LWin},          {SDLK_RGUI, vk::RWin},         {SDLK_APPLICATION, vk::Apps},
    {SDLK_KP_0, vk::Numpad0 + 0},   {SDLK_KP_1, vk::Numpad0 + 1},  {SDLK_KP_2, vk::Numpad0 + 2},
    {SDLK_KP_3, vk::Numpad0 + 3},   {SDLK_KP_4, vk::Numpad0 + 4},  {SDLK_KP_5, vk::Numpad0 + 5},
    {SDLK_KP_6, vk::Numpad0 + 6},   {SDLK_KP_7, vk::Numpad0 + 7},  {SDLK_KP_8, vk::Numpad0 + 8},
    {SDLK_KP_9, vk::Numpad0 + 9},   {SDLK_KP_MULTIPLY, vk::Multiply}, {SDLK_KP_PLUS, vk::Add},
    {SDLK_KP_MINUS, vk::Subtract},  {SDLK_KP_PERIOD, vk::Decimal}, {SDLK_KP_DIVIDE, vk::Divide},
    {SDLK_NUMLOCKCLEAR, vk::NumLock}, {SDLK_SCROLLLOCK, vk::Scroll},
    {SDLK_SEMICOLON, vk::Oem1},     {SDLK_EQUALS, vk::OemPlus},    {SDLK_COMMA, vk::OemComma},
    {SDLK_MINUS, vk::OemMinus},     {SDLK_PERIOD, vk::OemPeriod},  {SDLK_SLASH, vk::Oem2},
    {SDLK_BACKQUOTE, vk::Oem3},     {SDLK_LEFTBRACKET, vk::Oem4},  {SDLK_BACKSLASH, vk::Oem5},
    {SDLK_RIGHTBRACKET, vk::Oem6},  {SDLK_QUOTE, vk::Oem7},
};

} // namespace

int32_t sdlKeyToVirtualKey(int32_t sdlKeycode) {
    if (sdlKeycode >= SDLK_a && sdlKeycode <= SDLK_z)
        return vk::KeyA + (sdlKeycode - SDLK_a);
    if (sdlKeycode >= SDLK_0 && sdlKeycode <= SDLK_9)
        return vk::Key0 + (sdlKeycode - SDLK_0);
    if (sdlKeycode >= SDLK_F1 && sdlKeycode <= SDLK_F12)
        return vk::F1 + (sdlKeycode - SDLK_F1);
    if (sdlKeycode >= SDLK_F13 && sdlKeycode <= SDLK_F24)
        return vk::F1 + 12 + (sdlKeycode - SDLK_F13);
    auto it = std::find_if(std::begin(kKeyTable), std::end(kKeyTable),
                           [&](const TKeyPair& p) { return p.sdl == sdlKeycode; });
    return it == std::end(kKeyTable) ? 0 : it->vk;
}

} // namespace zuno
