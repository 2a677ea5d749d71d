#include <gtest/gtest.h>

#include <SDL_keycode.h>

#include "platform/sdl/SdlKeyMap.h"

namespace zuno {
namespace {

TEST(SdlKeyMap, MapsToWindowsVirtualKeys) {
    struct Case {
        SDL_Keycode sdl;
        int32_t vk;
    } cases[] = {
        {SDLK_a, 'A'},          {SDLK_z, 'Z'},          {SDLK_0, '0'},         {SDLK_9, '9'},
        {SDLK_RETURN, 13},      {SDLK_KP_ENTER, 13},    {SDLK_ESCAPE, 27},     {SDLK_SPACE, 32},
        {SDLK_LEFT, 37},        {SDLK_UP, 38},          {SDLK_RIGHT, 39},      {SDLK_DOWN, 40},
        {SDLK_LSHIFT, 16},      {SDLK_RSHIFT, 16},      {SDLK_LCTRL, 17},      {SDLK_RCTRL, 17},
        {SDLK_LALT, 18},        {SDLK_TAB, 9},          {SDLK_BACKSPACE, 8},   {SDLK_DELETE, 0x2E},
        {SDLK_PAGEUP, 0x21},    {SDLK_PAGEDOWN, 0x22},  {SDLK_HOME, 0x24},     {SDLK_END, 0x23},
        {SDLK_F1, 0x70},        {SDLK_F12, 0x7B},       {SDLK_F13, 0x7C},      {SDLK_F24, 0x87},
        {SDLK_KP_0, 0x60},      {SDLK_KP_9, 0x69},      {SDLK_KP_PLUS, 0x6B},  {SDLK_MINUS, 0xBD},
        {SDLK_UNKNOWN, 0},      {SDLK_MUTE, 0},         {SDLK_AC_BACK, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(sdlKeyToVirtualKey(c.sdl), c.vk) << "SDL key " << c.sdl;
}

} // namespace
} // namespace zuno
