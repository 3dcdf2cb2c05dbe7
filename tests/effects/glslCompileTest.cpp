// Proves that the generated sources are valid GLSL 330 by compiling and
// linking every pass of the example on whatever OpenGL the machine offers
// (Mesa's llvmpipe on SDL's offscreen driver without a display).
#include "engine/gfx/effectFileGlsl.h"
#include "engine/gfx/effectFileParser.h"
#include "engine/platform/libraryPin.h"
#include "support/logCapture.h"

#include <SDL.h>
#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using namespace engine::gfx;

class GlslCompileTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!SDL_getenv("DISPLAY") && !SDL_getenv("WAYLAND_DISPLAY"))
            SDL_setenv("SDL_VIDEODRIVER", "offscreen", 1);
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
            GTEST_SKIP() << "no video: " << SDL_GetError();
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
        mWindow = SDL_CreateWindow("glsl", 0, 0, 16, 16, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        if (mWindow)
            mContext = SDL_GL_CreateContext(mWindow);
        if (!mContext)
            GTEST_SKIP() << "no OpenGL 3.3 context: " << SDL_GetError();
        // The driver must outlive SDL's video shutdown, or the leak checker
        // finds its allocations in an unloaded module.
        engine::platform::PinLoadedLibraries();
    }

    void TearDown() override {
        if (mContext)
            SDL_GL_DeleteContext(mContext);
        if (mWindow)
            SDL_DestroyWindow(mWindow);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    // Compiles one stage; on failure returns the log with the first reported
    // line translated back to the effect file.
    static std::string Compile(GLenum type, const GlslSource& source, GLuint& shader) {
        shader = glCreateShader(type);
        const char* text = source.text.c_str();
        glShaderSource(shader, 1, &text, nullptr);
        glCompileShader(shader);
        GLint ok = 0;
        glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
        if (ok)
            return {};
        char log[4096] = {};
        glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        return log;
    }

    kovra::test::LogCapture mLog;
    SDL_Window* mWindow = nullptr;
    SDL_GLContext mContext = nullptr;
};

TEST_F(GlslCompileTest, EveryPassOfTheExampleCompilesAndLinks) {
    const EffectDescription effect =
        ParseEffectFile(KOVRA_SOURCE_DIR "/tests/effects/data/example.fx");
    int passes = 0;
    for (const EffectTechnique& technique : effect.techniques) {
        for (const EffectPass& pass : technique.passes) {
            const GlslProgram program = GenerateGlsl(effect, pass);
            GLuint vertex = 0, fragment = 0;
            EXPECT_EQ(Compile(GL_VERTEX_SHADER, program.vertex, vertex), "")
                << technique.name << "." << pass.name << "\n"
                << program.vertex.text;
            EXPECT_EQ(Compile(GL_FRAGMENT_SHADER, program.fragment, fragment), "")
                << technique.name << "." << pass.name << "\n"
                << program.fragment.text;
            const GLuint linked = glCreateProgram();
            glAttachShader(linked, vertex);
            glAttachShader(linked, fragment);
            glLinkProgram(linked);
            GLint ok = 0;
            glGetProgramiv(linked, GL_LINK_STATUS, &ok);
            EXPECT_TRUE(ok) << technique.name << "." << pass.name;
            // Uniforms the compiler finds dead have no location; this one
            // always feeds gl_Position.
            EXPECT_GE(glGetUniformLocation(linked, "worldViewProjection"), 0);
            if (pass.vertexShader == "skinnedVS") {
                EXPECT_EQ(glGetAttribLocation(linked, "TEXCOORD2"), 6);
            }
            glDeleteProgram(linked);
            glDeleteShader(vertex);
            glDeleteShader(fragment);
            ++passes;
        }
    }
    EXPECT_EQ(passes, 4);
}

TEST_F(GlslCompileTest, CompileErrorsMapToEffectFileLines) {
    const EffectDescription effect = ParseEffectText("test.fx", "float4 tint;\n"
                                                                "vertexshader v {\n"
                                                                "  void main() {\n"
                                                                "    gl_Position = tint;\n"
                                                                "    undefinedName = 1.0;\n"
                                                                "  }\n"
                                                                "}\n"
                                                                "technique T { pass { VertexShader "
                                                                "= compile vs_2_0 v(); } }\n");
    const GlslProgram program = GenerateGlsl(effect, effect.techniques[0].passes[0]);
    GLuint vertex = 0;
    const std::string log = Compile(GL_VERTEX_SHADER, program.vertex, vertex);
    glDeleteShader(vertex);
    // Mesa reports "0:LINE(COLUMN): error: ...", others "0(LINE) : error ...".
    ASSERT_TRUE(log.rfind("0:", 0) == 0 || log.rfind("0(", 0) == 0) << log;
    const int glslLine = std::atoi(log.c_str() + 2);
    EXPECT_EQ(program.vertex.FxLine(glslLine), 5) << log;
}

} // namespace
