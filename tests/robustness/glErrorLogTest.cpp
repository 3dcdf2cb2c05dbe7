// OpenGL errors raised by anything on the engine window's context end up in
// the log as WARNING rows, a bounded number of them.
#include "engine/platform/glErrorLog.h"
#include "engine/wrapper/wrapper.h"
#include "support/logCapture.h"

#include <gtest/gtest.h>

#include <epoxy/gl.h>

#include <cstdlib>
#include <string>

using namespace kovra::test;

namespace {

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

TEST(GlErrorLog, ErrorsOfTheWindowsContextBecomeWarningRowsUpToTheLimit) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    LogCapture log;
    engine::WindowSettings settings;
    settings.width = 32;
    settings.height = 32;
    engine::CreateKOVRAWindow(settings);
    // Names that glGenTextures never gave out may not be bound in a core
    // profile: GL_INVALID_OPERATION, once per call.
    for (int i = 0; i < engine::platform::kMaxReportedGlErrors + 20; ++i)
        glBindTexture(GL_TEXTURE_2D, 0x7654321);
    EXPECT_EQ(glGetError(), GLenum(GL_INVALID_OPERATION));
    engine::QuitApplication();
    engine::StartApplication();

    const std::string rows = log.Rows();
    EXPECT_EQ(Count(rows, "<tr class=\"warning\"><td>WARNING</td><td>40</td><td>.\\Window.cpp</td>"
                          "<td>OpenGL error: "),
              std::size_t(engine::platform::kMaxReportedGlErrors + 1));
    EXPECT_EQ(Count(rows, "<td>OpenGL error: further errors are not reported</td>"), 1u);
    EXPECT_NE(
        rows.find("<td>.\\Window.cpp</td><td>OpenGL error: GL_INVALID_OPERATION in glBindTexture"),
        std::string::npos)
        << rows;
}

} // namespace
