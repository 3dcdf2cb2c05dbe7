#include "engine/platform/glErrorLog.h"

#include <SDL.h>
#include <epoxy/gl.h>

namespace engine::platform {

namespace {

struct Reporter {
    std::function<void(const std::string&)> report;
    int count = 0;
};

Reporter& TheReporter() {
    static Reporter reporter;
    return reporter;
}

void GLAPIENTRY OnDebugMessage(GLenum, GLenum type, GLuint, GLenum, GLsizei length,
                               const GLchar* message, const void*) {
    Reporter& reporter = TheReporter();
    if (type != GL_DEBUG_TYPE_ERROR || !reporter.report || reporter.count > kMaxReportedGlErrors)
        return;
    // The callback runs inside the driver: nothing may escape from it.
    try {
        if (++reporter.count > kMaxReportedGlErrors)
            reporter.report("further errors are not reported");
        else
            reporter.report(length < 0 ? std::string(message) : std::string(message, length));
    } catch (...) {
    }
}

} // namespace

void ReportGlErrors(std::function<void(const std::string&)> report) {
    if (SDL_GL_GetCurrentContext() == nullptr || epoxy_gl_version() < 43)
        return;
    TheReporter() = {std::move(report), 0};
    glEnable(GL_DEBUG_OUTPUT);
    glEnable(GL_DEBUG_OUTPUT_SYNCHRONOUS);
    glDebugMessageCallback(OnDebugMessage, nullptr);
    glDebugMessageControl(GL_DONT_CARE, GL_DONT_CARE, GL_DONT_CARE, 0, nullptr, GL_FALSE);
    glDebugMessageControl(GL_DONT_CARE, GL_DEBUG_TYPE_ERROR, GL_DONT_CARE, 0, nullptr, GL_TRUE);
}

} // namespace engine::platform
