#include "engine/platform/glDevice.h"
#include "engine/core/exception.h"
#include "engine/math/matrixHelpers.h"
#include "engine/platform/sdlWindow.h"
#include "support/logCapture.h"

#include <gtest/gtest.h>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

#include <cstdlib>
#include <cstring>
#include <vector>

using namespace engine::platform;

namespace {

constexpr int kSize = 64;
constexpr std::uint32_t kRed = 0xFF0000FF;   // RGBA as loaded from PNG, little-endian word
constexpr std::uint32_t kBlue = 0xFFFF0000;  //
constexpr std::uint32_t kGreen = 0xFF00FF00; //
constexpr std::uint32_t kBlack = 0xFF000000; //

struct Vertex {
    float x, y, z, u, v;
};

const VertexElement kElements[] = {{0, DeclType::Float3, DeclUsage::Position, 0},
                                   {12, DeclType::Float2, DeclUsage::TexCoord, 0}};

const char* const kVertexShader = R"(#version 330 core
in vec3 position;
in vec2 texcoord;
uniform mat4 transform;
out vec2 uv;
void main()
{
    gl_Position = vec4(position, 1.0) * transform;
    uv = texcoord;
}
)";

const char* const kColourShader = R"(#version 330 core
uniform vec4 colour;
out vec4 result;
void main() { result = colour; }
)";

const char* const kTextureShader = R"(#version 330 core
uniform sampler2D image;
in vec2 uv;
out vec4 result;
void main() { result = texture(image, uv); }
)";

const float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// A triangle wound clockwise on screen, filling the corner of the top-left quadrant.
std::vector<Vertex> TopLeftTriangle(float z = 0.5f) {
    return {{-0.9f, 0.9f, z, 0, 0}, {-0.1f, 0.9f, z, 0, 0}, {-0.9f, 0.1f, z, 0, 0}};
}

// The whole target, texture coordinates the Direct3D way (v = 0 on top).
std::vector<Vertex> FullScreenQuad() {
    return {{-1, 1, 0.5f, 0, 0},  {1, 1, 0.5f, 1, 0}, {-1, -1, 0.5f, 0, 1},
            {-1, -1, 0.5f, 0, 1}, {1, 1, 0.5f, 1, 0}, {1, -1, 0.5f, 1, 1}};
}

class GlDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        OpenDevice(PresentParameters{});
    }

    void OpenDevice(PresentParameters parameters) {
        CloseDevice();
        mWindow = std::make_unique<SdlWindow>(WindowDescription{L"device test", kSize, kSize});
        mDevice = GlDevice::Create(mWindow->Handle(), parameters);
        mDeclaration = mDevice->CreateVertexDeclaration(kElements);
        mColour = Link(kColourShader);
        mTexture = Link(kTextureShader);
    }

    void TearDown() override { CloseDevice(); }

    // Device objects go before their device, the device before its window.
    void CloseDevice() {
        mBuffers.clear();
        mIndices.clear();
        mDeclaration.reset();
        mPrograms.clear();
        mDevice.reset();
        mWindow.reset();
    }

    Program* Link(const char* fragment) {
        ProgramSource source{
            kVertexShader,
            fragment,
            {{"position", DeclUsage::Position, 0}, {"texcoord", DeclUsage::TexCoord, 0}}};
        ProgramResult result = mDevice->CreateProgram(source);
        EXPECT_NE(result.program, nullptr) << result.log;
        mPrograms.push_back(std::move(result.program));
        Program* program = mPrograms.back().get();
        SetTransform(program, kIdentity);
        return program;
    }

    void SetTransform(Program* program, const float* matrix) {
        mDevice->SetUniform(program, program->FindUniform("transform")->location,
                            UniformType::Float4x4, matrix);
    }

    void DrawColoured(const std::vector<Vertex>& vertices, const float (&rgba)[4]) {
        mDevice->SetProgram(mColour);
        mDevice->SetUniform(mColour, mColour->FindUniform("colour")->location, UniformType::Float4,
                            rgba);
        Draw(vertices);
    }

    void DrawTextured(const std::vector<Vertex>& vertices, BaseTexture* texture,
                      const SamplerState& sampler = {}) {
        mDevice->SetProgram(mTexture);
        const int unit = 2;
        mDevice->SetUniform(mTexture, mTexture->FindUniform("image")->location,
                            UniformType::Sampler2D, &unit);
        mDevice->SetTexture(unit, texture);
        mDevice->SetSamplerState(unit, sampler);
        Draw(vertices);
    }

    // Indexed, through 16-bit indices, as meshes draw.
    void Draw(const std::vector<Vertex>& vertices) {
        const auto bytes = static_cast<std::uint32_t>(vertices.size() * sizeof(Vertex));
        mBuffers.push_back(mDevice->CreateVertexBuffer(bytes, BufferUsage::Static));
        std::memcpy(mBuffers.back()->Lock(0, 0, LockNone), vertices.data(), bytes);
        ASSERT_EQ(mBuffers.back()->Unlock(), Result::Ok);
        std::vector<std::uint16_t> indices(vertices.size());
        for (std::size_t i = 0; i < indices.size(); ++i) {
            indices[i] = static_cast<std::uint16_t>(i);
        }
        const auto indexBytes = static_cast<std::uint32_t>(indices.size() * 2);
        mIndices.push_back(
            mDevice->CreateIndexBuffer(indexBytes, IndexFormat::Index16, BufferUsage::Static));
        std::memcpy(mIndices.back()->Lock(0, 0, LockNone), indices.data(), indexBytes);
        ASSERT_EQ(mIndices.back()->Unlock(), Result::Ok);
        mDevice->SetVertexDeclaration(mDeclaration.get());
        mDevice->SetStreamSource(mBuffers.back().get(), 0, sizeof(Vertex));
        mDevice->SetIndices(mIndices.back().get());
        const auto triangles = static_cast<std::uint32_t>(vertices.size() / 3);
        ASSERT_EQ(mDevice->DrawIndexedPrimitive(PrimitiveType::TriangleList, 0, 0,
                                                static_cast<std::uint32_t>(vertices.size()), 0,
                                                triangles),
                  Result::Ok);
    }

    // The back buffer saved as PNG and read back, pixel (x, y) with y = 0 on top.
    std::vector<std::uint32_t> Screenshot(Surface* surface = nullptr) {
        const std::string path = (mLog.Dir().Path() / "shot.png").string();
        EXPECT_EQ(mDevice->SaveSurfaceToPng(surface ? surface : mDevice->GetBackBuffer(), path),
                  Result::Ok);
        int width = 0, height = 0, channels = 0;
        stbi_uc* pixels = stbi_load(path.c_str(), &width, &height, &channels, 4);
        EXPECT_NE(pixels, nullptr);
        std::vector<std::uint32_t> words(static_cast<std::size_t>(width) * height);
        if (pixels != nullptr) {
            std::memcpy(words.data(), pixels, words.size() * 4);
            stbi_image_free(pixels);
        }
        mShotWidth = width;
        return words;
    }

    std::uint32_t At(const std::vector<std::uint32_t>& shot, int x, int y) const {
        return shot.at(static_cast<std::size_t>(y) * mShotWidth + x);
    }

    // Top-left, top-right, bottom-left, bottom-right quadrant samples.
    void ExpectQuadrants(const std::vector<std::uint32_t>& shot, std::uint32_t topLeft,
                         std::uint32_t others) {
        const int a = mShotWidth / 8, b = mShotWidth - 1 - mShotWidth / 8;
        EXPECT_EQ(At(shot, a, a), topLeft);
        EXPECT_EQ(At(shot, b, a), others);
        EXPECT_EQ(At(shot, a, b), others);
        EXPECT_EQ(At(shot, b, b), others);
    }

    static constexpr float kRedRgba[4] = {1, 0, 0, 1};
    static constexpr float kGreenRgba[4] = {0, 1, 0, 1};

    kovra::test::LogCapture mLog;
    std::unique_ptr<SdlWindow> mWindow;
    std::unique_ptr<GlDevice> mDevice;
    std::unique_ptr<VertexDeclaration> mDeclaration;
    std::vector<std::unique_ptr<Program>> mPrograms;
    std::vector<std::unique_ptr<VertexBuffer>> mBuffers;
    std::vector<std::unique_ptr<IndexBuffer>> mIndices;
    Program* mColour = nullptr;
    Program* mTexture = nullptr;
    int mShotWidth = 0;
};

} // namespace

TEST_F(GlDeviceTest, ReportsShaderModelThreeFromTheContext) {
    EXPECT_EQ(mWindow->VideoDriver(), "offscreen");
    EXPECT_EQ(mDevice->GetCaps().pixelShaderVersion, 0xFFFF0300u);
    EXPECT_EQ(mDevice->GetCaps().vertexShaderVersion, 0xFFFF0300u);
    EXPECT_NE(mDevice->GetCaps().vertexProcessingCaps, 0u);
    EXPECT_EQ(mDevice->GetCaps().driver.rfind("OpenGL ", 0), 0u);
    EXPECT_EQ(mDevice->GetBackBuffer()->Width(), kSize);
    EXPECT_EQ(mDevice->GetBackBuffer()->Height(), kSize);
    EXPECT_TRUE(mDevice->CheckMultiSample(Format::X8R8G8B8, true, 0));
    EXPECT_FALSE(mDevice->CheckMultiSample(Format::X8R8G8B8, true, 64));
}

TEST_F(GlDeviceTest, ScreenshotShowsTheTopLeftTriangleTopLeft) {
    ASSERT_EQ(mDevice->BeginScene(), Result::Ok);
    EXPECT_EQ(mDevice->BeginScene(), Result::Failed);
    ASSERT_EQ(mDevice->Clear(ClearTarget | ClearZBuffer, 0xFF0000FF, 1.0f, 0), Result::Ok);
    DrawColoured(TopLeftTriangle(), kRedRgba);
    ASSERT_EQ(mDevice->EndScene(), Result::Ok);
    ASSERT_EQ(mDevice->Present(), Result::Ok);
    const auto shot = Screenshot();
    ASSERT_EQ(shot.size(), std::size_t(kSize * kSize));
    ExpectQuadrants(shot, kRed, kBlue);
    EXPECT_EQ(At(shot, 4, 4), kRed);
    EXPECT_EQ(At(shot, 28, 30), kBlue) << "beyond the diagonal";
}

TEST_F(GlDeviceTest, CullModesFollowDirect3DWinding) {
    std::vector<Vertex> counterClockwise = TopLeftTriangle();
    std::swap(counterClockwise[1], counterClockwise[2]);
    mDevice->BeginScene();
    mDevice->Clear(ClearTarget | ClearZBuffer, 0xFF000000, 1.0f, 0);
    DrawColoured(counterClockwise, kRedRgba); // culled by the default CCW mode
    mDevice->EndScene();
    ExpectQuadrants(Screenshot(), kBlack, kBlack);

    mDevice->BeginScene();
    mDevice->SetCullMode(CullMode::Clockwise);
    DrawColoured(TopLeftTriangle(), kRedRgba);
    mDevice->EndScene();
    ExpectQuadrants(Screenshot(), kBlack, kBlack);

    mDevice->BeginScene();
    mDevice->SetCullMode(CullMode::None);
    DrawColoured(counterClockwise, kRedRgba);
    mDevice->EndScene();
    ExpectQuadrants(Screenshot(), kRed, kBlack);
}

TEST_F(GlDeviceTest, MatricesApplyToRowVectors) {
    // Translation in the last row moves the triangle one unit right.
    const float translate[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 0, 0, 1};
    SetTransform(mColour, translate);
    mDevice->BeginScene();
    mDevice->Clear(ClearTarget | ClearZBuffer, 0xFF000000, 1.0f, 0);
    DrawColoured(TopLeftTriangle(), kRedRgba);
    mDevice->EndScene();
    const auto shot = Screenshot();
    EXPECT_EQ(At(shot, 36, 4), kRed);
    EXPECT_EQ(At(shot, 4, 4), kBlack);
}

TEST_F(GlDeviceTest, DepthRangeIsZeroToOne) {
    RenderStates states;
    states.zFunc = CompareFunc::Less;
    mDevice->ApplyRenderStates(states);
    mDevice->BeginScene();
    mDevice->Clear(ClearTarget | ClearZBuffer, 0xFF000000, 1.0f, 0);
    DrawColoured(TopLeftTriangle(0.0f), kRedRgba);
    mDevice->EndScene();
    ExpectQuadrants(Screenshot(), kRed, kBlack);

    // Nearer wins; z below 0 is clipped (OpenGL's own range would keep it).
    mDevice->BeginScene();
    mDevice->Clear(ClearTarget | ClearZBuffer, 0xFF000000, 1.0f, 0);
    DrawColoured(TopLeftTriangle(0.5f), kGreenRgba);
    DrawColoured(TopLeftTriangle(0.7f), kRedRgba);
    DrawColoured(TopLeftTriangle(-0.1f), kRedRgba);
    mDevice->EndScene();
    ExpectQuadrants(Screenshot(), kGreen, kBlack);
}

TEST_F(GlDeviceTest, RenderTargetSampledWithDirect3DCoordinatesIsUpright) {
    auto target =
        mDevice->CreateTexture(kSize, kSize, 1, Format::X8R8G8B8, TextureUsage::RenderTarget);
    ASSERT_NE(target, nullptr);
    Surface* backBuffer = mDevice->GetRenderTarget(0);
    ASSERT_EQ(backBuffer, mDevice->GetBackBuffer());
    mDevice->BeginScene();
    ASSERT_EQ(mDevice->SetRenderTarget(0, target->GetSurfaceLevel(0)), Result::Ok);
    mDevice->Clear(ClearTarget | ClearZBuffer, 0xFF000000, 1.0f, 0);
    DrawColoured(TopLeftTriangle(), kRedRgba);
    ASSERT_EQ(mDevice->SetRenderTarget(0, backBuffer), Result::Ok);
    mDevice->Clear(ClearTarget | ClearZBuffer, 0xFF0000FF, 1.0f, 0);
    DrawTextured(FullScreenQuad(), target.get());
    mDevice->EndScene();
    ExpectQuadrants(Screenshot(), kRed, kBlack);
}

TEST_F(GlDeviceTest, StretchRectCopiesTheBackBufferUpright) {
    auto copy = mDevice->CreateTexture(32, 32, 1, Format::X8R8G8B8, TextureUsage::RenderTarget);
    ASSERT_NE(copy, nullptr);
    mDevice->BeginScene();
    mDevice->Clear(ClearTarget | ClearZBuffer, 0xFF000000, 1.0f, 0);
    DrawColoured(TopLeftTriangle(), kRedRgba);
    ASSERT_EQ(mDevice->StretchRect(mDevice->GetBackBuffer(), nullptr, copy->GetSurfaceLevel(0)),
              Result::Ok);
    mDevice->Clear(ClearTarget, 0xFF00FF00, 1.0f, 0);
    DrawTextured(FullScreenQuad(), copy.get());
    mDevice->EndScene();
    ExpectQuadrants(Screenshot(), kRed, kBlack);

    const auto half = Screenshot(copy->GetSurfaceLevel(0));
    EXPECT_EQ(mShotWidth, 32);
    ExpectQuadrants(half, kRed, kBlack);
    EXPECT_EQ(mDevice->StretchRect(mDevice->GetBackBuffer(), nullptr, nullptr), Result::Failed);
}

TEST_F(GlDeviceTest, AViewportHoldsDrawingAndClearingToItsCornerAndTheCopyTakesIt) {
    constexpr int kHalf = kSize / 2;
    auto copy =
        mDevice->CreateTexture(kHalf, kHalf, 1, Format::X8R8G8B8, TextureUsage::RenderTarget);
    ASSERT_NE(copy, nullptr);
    const Rect corner{0, 0, kHalf, kHalf};
    mDevice->BeginScene();
    mDevice->Clear(ClearTarget | ClearZBuffer, 0xFF000000, 1.0f, 0);
    ASSERT_EQ(mDevice->SetViewport(corner), Result::Ok);
    mDevice->Clear(ClearTarget | ClearZBuffer, 0xFF00FF00, 1.0f, 0);
    DrawColoured(TopLeftTriangle(), kRedRgba);
    mDevice->EndScene();
    // The triangle fills the corner of the viewport's top-left quadrant.
    const auto shot = Screenshot();
    EXPECT_EQ(At(shot, 3, 3), kRed);
    EXPECT_EQ(At(shot, kHalf - 4, kHalf - 4), kGreen);
    EXPECT_EQ(At(shot, kHalf + 4, 3), kBlack);
    EXPECT_EQ(At(shot, 3, kHalf + 4), kBlack);
    EXPECT_EQ(At(shot, kSize - 4, kSize - 4), kBlack);

    ASSERT_EQ(mDevice->StretchRect(mDevice->GetBackBuffer(), &corner, copy->GetSurfaceLevel(0)),
              Result::Ok);
    ExpectQuadrants(Screenshot(copy->GetSurfaceLevel(0)), kRed, kGreen);

    // Rectangles that are empty or leave the surface are refused.
    EXPECT_EQ(mDevice->SetViewport({0, 0, kSize + 1, kSize}), Result::Failed);
    EXPECT_EQ(mDevice->SetViewport({8, 8, 8, 16}), Result::Failed);
    EXPECT_EQ(mDevice->SetViewport({-1, 0, 8, 8}), Result::Failed);
    const Rect outside{kHalf, kHalf, kSize + 1, kSize};
    EXPECT_EQ(mDevice->StretchRect(mDevice->GetBackBuffer(), &outside, copy->GetSurfaceLevel(0)),
              Result::Failed);

    // Setting a target gives it back its whole surface.
    mDevice->BeginScene();
    ASSERT_EQ(mDevice->SetRenderTarget(0, mDevice->GetBackBuffer()), Result::Ok);
    mDevice->Clear(ClearTarget | ClearZBuffer, 0xFF0000FF, 1.0f, 0);
    mDevice->EndScene();
    ExpectQuadrants(Screenshot(), kBlue, kBlue);
}

TEST_F(GlDeviceTest, UploadedTexturesKeepRowZeroOnTop) {
    auto texture = mDevice->CreateTexture(2, 2, 1, Format::A8R8G8B8, TextureUsage::Static);
    ASSERT_NE(texture, nullptr);
    LockedRect rect = texture->Lock(0);
    ASSERT_NE(rect.bits, nullptr);
    ASSERT_EQ(rect.pitch, 8u);
    const std::uint32_t argb[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
    std::memcpy(rect.bits, argb, sizeof(argb));
    ASSERT_EQ(texture->Unlock(0), Result::Ok);
    mDevice->BeginScene();
    mDevice->Clear(ClearTarget | ClearZBuffer, 0xFF000000, 1.0f, 0);
    DrawTextured(FullScreenQuad(), texture.get());
    mDevice->EndScene();
    const auto shot = Screenshot();
    EXPECT_EQ(At(shot, 8, 8), kRed);
    EXPECT_EQ(At(shot, 56, 8), kGreen);
    EXPECT_EQ(At(shot, 8, 56), kBlue);
    EXPECT_EQ(At(shot, 56, 56), 0xFFFFFFFFu);
}

TEST_F(GlDeviceTest, BorderAndMirrorOnceAddressingOutsideTheTexture) {
    // Left column red, right column green; the quad reads u and v from -1 to 2.
    auto texture = mDevice->CreateTexture(2, 2, 1, Format::A8R8G8B8, TextureUsage::Static);
    ASSERT_NE(texture, nullptr);
    LockedRect rect = texture->Lock(0);
    ASSERT_NE(rect.bits, nullptr);
    const std::uint32_t argb[4] = {0xFFFF0000, 0xFF00FF00, 0xFFFF0000, 0xFF00FF00};
    std::memcpy(rect.bits, argb, sizeof(argb));
    ASSERT_EQ(texture->Unlock(0), Result::Ok);
    std::vector<Vertex> quad = FullScreenQuad();
    for (Vertex& vertex : quad) {
        vertex.u = vertex.u * 3 - 1;
        vertex.v = vertex.v * 3 - 1;
    }
    const auto rgb = [&](const std::vector<std::uint32_t>& shot, int x, int y) {
        return At(shot, x, y) & 0x00FFFFFFu;
    };

    SamplerState border;
    border.addressU = border.addressV = TextureAddress::Border;
    mDevice->BeginScene();
    mDevice->Clear(ClearTarget | ClearZBuffer, 0xFF0000FF, 1.0f, 0);
    DrawTextured(quad, texture.get(), border);
    mDevice->EndScene();
    auto shot = Screenshot();
    EXPECT_EQ(rgb(shot, 32, 32), kGreen & 0x00FFFFFFu); // u, v about 0.52: inside
    EXPECT_EQ(rgb(shot, 4, 32), 0u);                    // u below 0
    EXPECT_EQ(rgb(shot, 60, 32), 0u);                   // u above 1
    EXPECT_EQ(rgb(shot, 32, 4), 0u);                    // v below 0

    // Mirror-once mirrors u = -0.04 onto the red column and clamps u = 1.84 to
    // the green one, where repeated mirroring would read red.
    SamplerState mirrorOnce;
    mirrorOnce.addressU = TextureAddress::MirrorOnce;
    mirrorOnce.addressV = TextureAddress::Clamp;
    mDevice->BeginScene();
    mDevice->Clear(ClearTarget | ClearZBuffer, 0xFF0000FF, 1.0f, 0);
    DrawTextured(quad, texture.get(), mirrorOnce);
    mDevice->EndScene();
    shot = Screenshot();
    EXPECT_EQ(At(shot, 20, 32), kRed);
    EXPECT_EQ(At(shot, 4, 32), kGreen);
    EXPECT_EQ(At(shot, 60, 32), kGreen);
}

TEST_F(GlDeviceTest, MultisampledBackBufferResolvesUpright) {
    PresentParameters parameters;
    parameters.multiSample = 4;
    ASSERT_TRUE(mDevice->CheckMultiSample(Format::X8R8G8B8, true, 4));
    OpenDevice(parameters);
    auto copy =
        mDevice->CreateTexture(kSize, kSize, 1, Format::X8R8G8B8, TextureUsage::RenderTarget);
    mDevice->BeginScene();
    mDevice->Clear(ClearTarget | ClearZBuffer, 0xFF0000FF, 1.0f, 0);
    DrawColoured(TopLeftTriangle(), kRedRgba);
    ASSERT_EQ(mDevice->StretchRect(mDevice->GetBackBuffer(), nullptr, copy->GetSurfaceLevel(0)),
              Result::Ok);
    mDevice->EndScene();
    EXPECT_EQ(mDevice->Present(), Result::Ok);
    ExpectQuadrants(Screenshot(), kRed, kBlue);
    ExpectQuadrants(Screenshot(copy->GetSurfaceLevel(0)), kRed, kBlue);
}

TEST_F(GlDeviceTest, FullScreenDeviceIsLostWhileTheWindowIsAway) {
    PresentParameters fullScreen;
    fullScreen.windowed = false;
    fullScreen.width = 32;
    fullScreen.height = 16;
    OpenDevice(fullScreen);
    EXPECT_EQ(mDevice->GetBackBuffer()->Width(), 32);
    mDevice->OnWindowMessage({WmKillFocus, 0, 0, 0});
    EXPECT_EQ(mDevice->Present(), Result::DeviceLost);
    EXPECT_EQ(mDevice->TestCooperativeLevel(), Result::DeviceLost);
    EXPECT_EQ(mDevice->Reset(fullScreen), Result::DeviceLost);
    mDevice->OnWindowMessage({WmSetFocus, 0, 0, 0});
    mDevice->OnWindowMessage({WmSize, kSizeMinimized, 0, 0});
    EXPECT_EQ(mDevice->TestCooperativeLevel(), Result::DeviceLost);
    mDevice->OnWindowMessage({WmSize, kSizeRestored, 0, 0});
    EXPECT_EQ(mDevice->TestCooperativeLevel(), Result::DeviceNotReset);
    EXPECT_EQ(mDevice->Present(), Result::DeviceLost);
    fullScreen.width = 48;
    Surface* backBuffer = mDevice->GetRenderTarget(0);
    ASSERT_EQ(mDevice->Reset(fullScreen), Result::Ok);
    EXPECT_EQ(mDevice->GetBackBuffer(), backBuffer) << "held across Reset, as the renderer does";
    EXPECT_EQ(mDevice->TestCooperativeLevel(), Result::Ok);
    EXPECT_EQ(mDevice->GetBackBuffer()->Width(), 48);

    mDevice->BeginScene();
    mDevice->Clear(ClearTarget | ClearZBuffer, 0xFF00FF00, 1.0f, 0);
    mDevice->EndScene();
    EXPECT_EQ(mDevice->Present(), Result::Ok);
    const auto shot = Screenshot();
    EXPECT_EQ(mShotWidth, 48);
    EXPECT_EQ(At(shot, 47, 15), kGreen);
}

TEST_F(GlDeviceTest, WindowedDeviceSurvivesFocusLoss) {
    mDevice->OnWindowMessage({WmKillFocus, 0, 0, 0});
    mDevice->OnWindowMessage({WmSize, kSizeMinimized, 0, 0});
    EXPECT_EQ(mDevice->TestCooperativeLevel(), Result::Ok);
    EXPECT_EQ(mDevice->Present(), Result::Ok);
}

TEST_F(GlDeviceTest, ProgramsReportErrorsAndUniforms) {
    ProgramResult broken = mDevice->CreateProgram(
        {kVertexShader, "#version 330 core\nvoid main() { undeclared = 1.0; }\n", {}});
    EXPECT_EQ(broken.program, nullptr);
    EXPECT_NE(broken.log.find("undeclared"), std::string::npos) << broken.log;

    ProgramResult program = mDevice->CreateProgram(
        {kVertexShader,
         "#version 330 core\nuniform vec4 lights[3];\nuniform samplerCube sky;\nin vec2 uv;\n"
         "out vec4 result;\nvoid main() { result = lights[2] + texture(sky, vec3(uv, 1.0)); }\n",
         {{"position", DeclUsage::Position, 0}}});
    ASSERT_NE(program.program, nullptr) << program.log;
    const UniformInfo* lights = program.program->FindUniform("lights");
    ASSERT_NE(lights, nullptr);
    EXPECT_EQ(lights->type, UniformType::Float4);
    EXPECT_EQ(lights->arraySize, 3);
    ASSERT_NE(program.program->FindUniform("sky"), nullptr);
    EXPECT_EQ(program.program->FindUniform("sky")->type, UniformType::SamplerCube);
    EXPECT_EQ(program.program->FindUniform("transform")->type, UniformType::Float4x4);
}

TEST_F(GlDeviceTest, AlphaTestDiscardsThroughTheProgram) {
    const std::string fragment = std::string("#version 330 core\n") + kAlphaTestGlsl +
                                 "out vec4 result;\nvoid main() { KovraAlphaTest(0.25); "
                                 "result = vec4(1.0, 0.0, 0.0, 0.25); }\n";
    Program* program = Link(fragment.c_str());
    RenderStates states;
    states.alphaTestEnable = true;
    states.alphaFunc = CompareFunc::Greater;
    states.alphaRef = 128;
    mDevice->ApplyRenderStates(states);
    mDevice->BeginScene();
    mDevice->Clear(ClearTarget | ClearZBuffer, 0xFF000000, 1.0f, 0);
    mDevice->SetProgram(program);
    Draw(TopLeftTriangle());
    mDevice->EndScene();
    ExpectQuadrants(Screenshot(), kBlack, kBlack);

    states.alphaRef = 32;
    mDevice->ApplyRenderStates(states);
    mDevice->BeginScene();
    Draw(TopLeftTriangle());
    mDevice->EndScene();
    ExpectQuadrants(Screenshot(), kRed, kBlack);
}

TEST_F(GlDeviceTest, DynamicBufferRefilledWithDiscard) {
    auto buffer = mDevice->CreateVertexBuffer(3 * sizeof(Vertex), BufferUsage::Dynamic);
    const auto first = TopLeftTriangle();
    std::vector<Vertex> moved = first;
    for (Vertex& vertex : moved) {
        vertex.y -= 1.0f; // into the bottom-left quadrant
    }
    std::memcpy(buffer->Lock(0, 0, LockDiscard), first.data(), 3 * sizeof(Vertex));
    buffer->Unlock();
    mDevice->BeginScene();
    mDevice->Clear(ClearTarget | ClearZBuffer, 0xFF000000, 1.0f, 0);
    mDevice->SetProgram(mColour);
    mDevice->SetUniform(mColour, mColour->FindUniform("colour")->location, UniformType::Float4,
                        kRedRgba);
    mDevice->SetVertexDeclaration(mDeclaration.get());
    mDevice->SetStreamSource(buffer.get(), 0, sizeof(Vertex));
    ASSERT_EQ(mDevice->DrawPrimitive(PrimitiveType::TriangleList, 0, 1), Result::Ok);
    std::memcpy(buffer->Lock(0, 0, LockDiscard), moved.data(), 3 * sizeof(Vertex));
    buffer->Unlock();
    ASSERT_EQ(mDevice->DrawPrimitive(PrimitiveType::TriangleList, 0, 1), Result::Ok);
    mDevice->EndScene();
    const auto shot = Screenshot();
    EXPECT_EQ(At(shot, 8, 8), kRed);
    EXPECT_EQ(At(shot, 8, 40), kRed);
    EXPECT_EQ(At(shot, 40, 40), kBlack);
}

// Shutdown releases the window and its device before the resource manager.
TEST_F(GlDeviceTest, ObjectsMayOutliveTheirDevice) {
    auto texture = mDevice->CreateTexture(16, 16, 0, Format::DXT5, TextureUsage::Static);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->LevelCount(), 5);
    auto cube = mDevice->CreateCubeTexture(8, 1, Format::X8R8G8B8);
    auto depth = mDevice->CreateDepthStencilSurface(16, 16, Format::D24S8, 0);
    auto buffer = mDevice->CreateVertexBuffer(64, BufferUsage::Dynamic);
    ASSERT_NE(cube, nullptr);
    ASSERT_NE(depth, nullptr);
    ASSERT_NE(buffer, nullptr);
    std::unique_ptr<Program> program = std::move(mPrograms.back());
    CloseDevice();
    program.reset();
    buffer.reset();
    depth.reset();
    cube.reset();
    texture.reset();
}

// The engine's own matrices: left-handed perspective, world then projection.
TEST_F(GlDeviceTest, EngineProjectionShowsWhatLiesAheadUpright) {
    using engine::math::Matrix4x4;
    const Matrix4x4 projection =
        engine::math::MatrixPerspectiveFovLH(0.7853982f, 1.0f, 0.5f, 400.0f);
    const std::vector<Vertex> upperLeft = {
        {-3.7f, 3.7f, 0, 0, 0}, {-0.4f, 3.7f, 0, 0, 0}, {-3.7f, 0.4f, 0, 0, 0}};
    mDevice->SetTransform(TransformState::Projection, projection);
    Matrix4x4 stored;
    mDevice->GetTransform(TransformState::Projection, stored);
    EXPECT_EQ(stored.m[11], 1.0f);

    mDevice->BeginScene();
    mDevice->Clear(ClearTarget | ClearZBuffer, 0xFF000000, 1.0f, 0);
    const Matrix4x4 ahead = engine::math::MatrixTranslation(0, 0, 10) * projection;
    SetTransform(mColour, ahead.m);
    DrawColoured(upperLeft, kRedRgba);
    const Matrix4x4 beyondFar = engine::math::MatrixTranslation(0, 0, 500) * projection;
    SetTransform(mColour, beyondFar.m);
    const std::vector<Vertex> everywhere = {
        {-400, 400, 0, 0, 0}, {400, 400, 0, 0, 0}, {-400, -400, 0, 0, 0}};
    DrawColoured(everywhere, kGreenRgba);
    mDevice->EndScene();
    ExpectQuadrants(Screenshot(), kRed, kBlack);
}

// A depth target (one float channel) larger than the back buffer still depth-tests.
TEST_F(GlDeviceTest, FloatTargetLargerThanTheBackBufferDepthTests) {
    auto target = mDevice->CreateTexture(128, 128, 1, Format::R32F, TextureUsage::RenderTarget);
    ASSERT_NE(target, nullptr);
    const auto upperLeftHalf = [](float z) {
        return std::vector<Vertex>{{-1, 1, z, 0, 0}, {1, 1, z, 0, 0}, {-1, -1, z, 0, 0}};
    };
    const float quarter[4] = {0.25f, 0, 0, 1};
    mDevice->BeginScene();
    ASSERT_EQ(mDevice->SetRenderTarget(0, target->GetSurfaceLevel(0)), Result::Ok);
    mDevice->Clear(ClearTarget | ClearZBuffer, 0xFF000000, 1.0f, 0);
    DrawColoured(upperLeftHalf(0.5f), quarter);
    DrawColoured(upperLeftHalf(0.7f), kRedRgba);
    mDevice->EndScene();
    const auto shot = Screenshot(target->GetSurfaceLevel(0));
    ASSERT_EQ(mShotWidth, 128);
    EXPECT_EQ(At(shot, 16, 16), 0xFF404040u) << "saved as grey";
    EXPECT_EQ(At(shot, 100, 10), 0xFF404040u) << "beyond the back buffer's size";
    EXPECT_EQ(At(shot, 10, 100), 0xFF404040u);
    EXPECT_EQ(At(shot, 120, 120), kBlack);
}

TEST_F(GlDeviceTest, BlendAndColourWriteStates) {
    RenderStates states;
    states.alphaBlendEnable = true;
    states.srcBlend = Blend::SrcAlpha;
    states.destBlend = Blend::InvSrcAlpha;
    mDevice->ApplyRenderStates(states);
    const float halfRed[4] = {1, 0, 0, 0.5f};
    mDevice->BeginScene();
    mDevice->Clear(ClearTarget | ClearZBuffer, 0xFF0000FF, 1.0f, 0);
    DrawColoured(TopLeftTriangle(), halfRed);
    mDevice->EndScene();
    const std::uint32_t mixed = At(Screenshot(), 8, 8);
    EXPECT_NEAR(static_cast<int>(mixed & 0xFF), 128, 1);
    EXPECT_EQ((mixed >> 8) & 0xFF, 0u);
    EXPECT_NEAR(static_cast<int>((mixed >> 16) & 0xFF), 127, 1);

    states = RenderStates{};
    states.colorWriteEnable = ColorWriteGreen;
    mDevice->ApplyRenderStates(states);
    const float white[4] = {1, 1, 1, 1};
    mDevice->BeginScene();
    mDevice->Clear(ClearTarget | ClearZBuffer, 0xFF0000FF, 1.0f, 0); // masks do not limit Clear
    DrawColoured(TopLeftTriangle(), white);
    mDevice->EndScene();
    ExpectQuadrants(Screenshot(), 0xFFFFFF00u, kBlue);
}

TEST(GlDeviceVersion, TooOldAnOpenGLIsAnErrorNamingTheVersion) {
    kovra::test::LogCapture log;
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("MESA_GL_VERSION_OVERRIDE", "3.0", 1);
    {
        SdlWindow window(WindowDescription{L"old", 16, 16});
        EXPECT_THROW(GlDevice::Create(window.Handle(), PresentParameters{}),
                     engine::core::Exception);
    }
    unsetenv("MESA_GL_VERSION_OVERRIDE");
    const std::string rows = log.Rows();
    EXPECT_NE(rows.find("<td>ERROR</td>"), std::string::npos) << rows;
    EXPECT_NE(rows.find("OpenGL 3.3 core with clip control is required, found OpenGL 3.0"),
              std::string::npos)
        << rows;
}

// A buffer made after another was freed may sit at the same address.
TEST_F(GlDeviceTest, ReplacedVertexBufferIsBoundAfresh) {
    mDevice->BeginScene();
    mDevice->Clear(ClearTarget | ClearZBuffer, 0xFF000000, 1.0f, 0);
    DrawColoured(TopLeftTriangle(), kRedRgba);
    const void* first = mBuffers.back().get();
    mBuffers.clear();
    std::vector<Vertex> lower = TopLeftTriangle();
    for (Vertex& vertex : lower) {
        vertex.y -= 1.0f;
    }
    mBuffers.push_back(mDevice->CreateVertexBuffer(3 * sizeof(Vertex), BufferUsage::Static));
    std::memcpy(mBuffers.back()->Lock(0, 0, LockNone), lower.data(), 3 * sizeof(Vertex));
    mBuffers.back()->Unlock();
    mDevice->SetStreamSource(mBuffers.back().get(), 0, sizeof(Vertex));
    ASSERT_EQ(mDevice->DrawIndexedPrimitive(PrimitiveType::TriangleList, 0, 0, 3, 0, 1),
              Result::Ok);
    mDevice->EndScene();
    const auto shot = Screenshot();
    EXPECT_EQ(At(shot, 8, 40), kRed) << (first == mBuffers.back().get() ? "same address" : "");
}

// The device skips what the context holds already; these objects replaced
// at the same address, and values written around the skipped ones, must
// still reach the context.
TEST_F(GlDeviceTest, ReplacedIndexBufferIsBoundAfresh) {
    mDevice->BeginScene();
    mDevice->Clear(ClearTarget | ClearZBuffer, 0xFF000000, 1.0f, 0);
    DrawColoured(TopLeftTriangle(), kRedRgba);
    const void* first = mIndices.back().get();
    mIndices.clear();
    const std::uint16_t indices[3] = {0, 1, 2};
    mIndices.push_back(mDevice->CreateIndexBuffer(6, IndexFormat::Index16, BufferUsage::Static));
    std::memcpy(mIndices.back()->Lock(0, 0, LockNone), indices, sizeof indices);
    mIndices.back()->Unlock();
    mDevice->SetIndices(mIndices.back().get());
    mDevice->SetUniform(mColour, mColour->FindUniform("colour")->location, UniformType::Float4,
                        kGreenRgba);
    ASSERT_EQ(mDevice->DrawIndexedPrimitive(PrimitiveType::TriangleList, 0, 0, 3, 0, 1),
              Result::Ok);
    mDevice->EndScene();
    EXPECT_EQ(At(Screenshot(), 8, 8), kGreen)
        << (first == mIndices.back().get() ? "same address" : "");
}

// Filling a texture binds it to the active unit, where another one was.
TEST_F(GlDeviceTest, TextureFilledWhileAnotherIsBoundLeavesTheUnitAsSet) {
    auto solid = [&](std::unique_ptr<Texture>& texture, std::uint32_t argb) {
        if (!texture) {
            texture = mDevice->CreateTexture(2, 2, 1, Format::A8R8G8B8, TextureUsage::Static);
        }
        const LockedRect rect = texture->Lock(0);
        for (int texel = 0; texel < 4; ++texel) {
            std::memcpy(static_cast<std::uint8_t*>(rect.bits) + texel * 4, &argb, 4);
        }
        texture->Unlock(0);
    };
    std::unique_ptr<Texture> red, green;
    solid(red, 0xFFFF0000);
    solid(green, 0xFF00FF00);
    mDevice->BeginScene();
    mDevice->Clear(ClearTarget | ClearZBuffer, 0xFF000000, 1.0f, 0);
    DrawTextured(FullScreenQuad(), red.get());
    solid(green, 0xFF00FF00);
    DrawTextured(FullScreenQuad(), red.get());
    mDevice->EndScene();
    EXPECT_EQ(At(Screenshot(), 8, 8), kRed);
}

TEST_F(GlDeviceTest, ArrayWrittenWholeAfterOneElementReachesTheProgram) {
    Program* pick = Link("#version 330 core\nuniform vec4 colours[2];\nout vec4 result;\n"
                         "void main() { result = colours[1]; }\n");
    const int location = pick->FindUniform("colours")->location;
    const float redThenBlue[8] = {1, 0, 0, 1, 0, 0, 1, 1};
    mDevice->SetProgram(pick);
    mDevice->SetUniform(pick, location, UniformType::Float4, redThenBlue, 2);
    mDevice->SetUniform(pick, location + 1, UniformType::Float4, kGreenRgba);
    mDevice->SetUniform(pick, location, UniformType::Float4, redThenBlue, 2);
    mDevice->BeginScene();
    mDevice->Clear(ClearTarget | ClearZBuffer, 0xFF000000, 1.0f, 0);
    Draw(TopLeftTriangle());
    mDevice->EndScene();
    EXPECT_EQ(At(Screenshot(), 8, 8), kBlue);
}

TEST_F(GlDeviceTest, UniformChangedBackAndForthIsDrawnEachTime) {
    for (const auto* rgba : {&kRedRgba, &kGreenRgba, &kRedRgba}) {
        mDevice->BeginScene();
        mDevice->Clear(ClearTarget | ClearZBuffer, 0xFF000000, 1.0f, 0);
        DrawColoured(TopLeftTriangle(), *rgba);
        mDevice->EndScene();
        EXPECT_EQ(At(Screenshot(), 8, 8), rgba == &kGreenRgba ? kGreen : kRed);
    }
}

TEST_F(GlDeviceTest, CullModeSetAloneIsUndoneByTheNextStates) {
    RenderStates none;
    none.cullMode = CullMode::None;
    mDevice->ApplyRenderStates(none);
    mDevice->SetCullMode(CullMode::Clockwise); // culls the clockwise triangle
    mDevice->ApplyRenderStates(none);
    mDevice->BeginScene();
    mDevice->Clear(ClearTarget | ClearZBuffer, 0xFF000000, 1.0f, 0);
    DrawColoured(TopLeftTriangle(), kRedRgba);
    mDevice->EndScene();
    EXPECT_EQ(At(Screenshot(), 8, 8), kRed);
}
