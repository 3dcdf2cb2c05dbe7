#include "engine/platform/sdlWindow.h"
#include "support/logCapture.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>

using namespace engine::platform;

// Video start-up failing, and a driver without OpenGL, both end on "offscreen".
TEST(SdlWindow, FallsBackToTheOffscreenDriver) {
    const std::pair<const char*, const char*> cases[] = {
        {"nosuchdriver", "No display ("},
        {"dummy", "No OpenGL window ("},
    };
    for (const auto& [driver, row] : cases) {
        kovra::test::LogCapture log;
        SDL_ResetHint(SDL_HINT_VIDEODRIVER);
        setenv("SDL_VIDEODRIVER", driver, 1);
        {
            SdlWindow window(WindowDescription{L"fallback", 32, 24});
            EXPECT_EQ(window.VideoDriver(), "offscreen") << driver;
            int width = 0, height = 0;
            SDL_GetWindowSize(window.Handle(), &width, &height);
            EXPECT_EQ(width, 32);
            EXPECT_EQ(height, 24);
        }
        const std::string rows = log.Rows();
        EXPECT_NE(rows.find(row), std::string::npos) << rows;
        EXPECT_NE(rows.find("using the offscreen video driver"), std::string::npos) << rows;
    }
    SDL_ResetHint(SDL_HINT_VIDEODRIVER);
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
}

TEST(SdlWindow, TitlePumpAndDesktopMode) {
    kovra::test::LogCapture log;
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    SdlWindow window(WindowDescription{L"KOVRA \u00e4", 64, 48});
    EXPECT_STREQ(SDL_GetWindowTitle(window.Handle()), "KOVRA \xc3\xa4");
    window.SetTitle(L"Demo");
    EXPECT_STREQ(SDL_GetWindowTitle(window.Handle()), "Demo");

    window.PumpMessages(); // whatever creation queued
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = SDLK_ESCAPE;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
    event = SDL_Event{};
    event.type = SDL_QUIT;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
    const std::vector<WindowMessage> messages = window.PumpMessages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].message, WmKeyDown);
    EXPECT_EQ(messages[0].wParam, 27u);
    EXPECT_EQ(messages[1].message, WmQuit);
    EXPECT_TRUE(window.PumpMessages().empty());

    const DisplayMode mode = SdlWindow::DesktopDisplayMode();
    EXPECT_GT(mode.width, 0);
    EXPECT_GT(mode.height, 0);
    EXPECT_EQ(mode.format, Format::X8R8G8B8);
}
