#include "engine/platform/virtualKey.h"
#include "engine/platform/sdlWindow.h"

#include <SDL.h>
#include <gtest/gtest.h>

using namespace engine::platform;

TEST(VirtualKey, SdlKeysMapToWin32Codes) {
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_ESCAPE), 27u);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_RIGHT), 0x27u);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_LEFT), 0x25u);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_UP), 0x26u);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_DOWN), 0x28u);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_a), 0x41u);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_q), 0x51u);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_z), 0x5Au);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_0), 0x30u);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_9), 0x39u);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_F1), 0x70u);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_F9), 0x78u);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_F11), 0x7Au);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_F12), 0x7Bu);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_SPACE), 0x20u);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_RETURN), 0x0Du);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_LSHIFT), 0x10u);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_RCTRL), 0x11u);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_CAPSLOCK), 0x14u);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_F13), 0u);
}

TEST(VirtualKey, EventsBecomeWin32Messages) {
    SDL_Event event{};
    WindowMessage message;

    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = SDLK_F11;
    ASSERT_TRUE(TranslateEvent(event, message));
    EXPECT_EQ(message.message, 0x0100u);
    EXPECT_EQ(message.wParam, 0x7Au);
    event.type = SDL_KEYUP;
    event.key.keysym.sym = SDLK_w;
    ASSERT_TRUE(TranslateEvent(event, message));
    EXPECT_EQ(message.message, 0x0101u);
    EXPECT_EQ(message.wParam, 0x57u);
    event.key.keysym.sym = SDLK_F13;
    EXPECT_FALSE(TranslateEvent(event, message)) << "a key without a code is dropped";

    event = SDL_Event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.x = -5;
    event.motion.y = 300;
    ASSERT_TRUE(TranslateEvent(event, message));
    EXPECT_EQ(message.message, 0x0200u);
    EXPECT_EQ(message.x, -5);
    EXPECT_EQ(message.y, 300);

    event = SDL_Event{};
    event.type = SDL_MOUSEBUTTONDOWN;
    event.button.button = SDL_BUTTON_RIGHT;
    ASSERT_TRUE(TranslateEvent(event, message));
    EXPECT_EQ(message.message, 0x0204u);
    event.type = SDL_MOUSEBUTTONUP;
    event.button.button = SDL_BUTTON_LEFT;
    ASSERT_TRUE(TranslateEvent(event, message));
    EXPECT_EQ(message.message, 0x0202u);
    event.button.button = SDL_BUTTON_MIDDLE;
    EXPECT_FALSE(TranslateEvent(event, message));

    event = SDL_Event{};
    event.type = SDL_QUIT;
    ASSERT_TRUE(TranslateEvent(event, message));
    EXPECT_EQ(message.message, 0x0012u);

    event = SDL_Event{};
    event.type = SDL_WINDOWEVENT;
    const std::pair<Uint8, WindowMessage> windowEvents[] = {
        {SDL_WINDOWEVENT_CLOSE, {0x0010, 0, 0, 0}},
        {SDL_WINDOWEVENT_FOCUS_LOST, {0x0008, 0, 0, 0}},
        {SDL_WINDOWEVENT_FOCUS_GAINED, {0x0007, 0, 0, 0}},
        {SDL_WINDOWEVENT_MINIMIZED, {0x0005, 1, 0, 0}},
        {SDL_WINDOWEVENT_RESTORED, {0x0005, 0, 0, 0}},
    };
    for (const auto& [sdl, expected] : windowEvents) {
        event.window.event = sdl;
        ASSERT_TRUE(TranslateEvent(event, message)) << int(sdl);
        EXPECT_EQ(message.message, expected.message) << int(sdl);
        EXPECT_EQ(message.wParam, expected.wParam) << int(sdl);
    }
    event.window.event = SDL_WINDOWEVENT_MOVED;
    EXPECT_FALSE(TranslateEvent(event, message));
}
