#include "engine/platform/recordingDevice.h"
#include "engine/math/matrixHelpers.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace engine::platform;
using Call = RecordingDevice::Call;

namespace {

const VertexElement kElements[] = {{0, DeclType::Float3, DeclUsage::Position, 0},
                                   {12, DeclType::Float2, DeclUsage::TexCoord, 0}};

} // namespace

TEST(RecordingDevice, SceneBracketsBehaveLikeDirect3D) {
    RecordingDevice device;
    EXPECT_EQ(device.EndScene(), Result::Failed);
    EXPECT_EQ(device.DrawPrimitive(PrimitiveType::TriangleList, 0, 1), Result::Failed);
    ASSERT_EQ(device.BeginScene(), Result::Ok);
    EXPECT_EQ(device.BeginScene(), Result::Failed);
    EXPECT_TRUE(device.InScene());
    EXPECT_EQ(device.DrawIndexedPrimitive(PrimitiveType::TriangleList, 0, 0, 3, 0, 1), Result::Ok);
    EXPECT_EQ(device.EndScene(), Result::Ok);
    EXPECT_EQ(device.EndScene(), Result::Failed);
}

TEST(RecordingDevice, RecordsCallsWithTheirArguments) {
    RecordingDevice device;
    device.Clear(ClearTarget | ClearZBuffer, 0xFF0000FF, 1.0f, 0);
    device.BeginScene();
    device.DrawIndexedPrimitive(PrimitiveType::TriangleList, 2, 0, 24, 6, 12);
    device.SetSamplerState(1, SamplerState{TextureFilter::Linear, TextureFilter::Linear,
                                           TextureFilter::Point, TextureAddress::Clamp,
                                           TextureAddress::Mirror, TextureAddress::Wrap});
    const auto& calls = device.Calls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(RecordingDevice::Describe(calls[0]), "Clear(3, 4278190335, 1, 0)");
    EXPECT_EQ(RecordingDevice::Describe(calls[1]), "BeginScene()");
    EXPECT_EQ(RecordingDevice::Describe(calls[2]), "DrawIndexedPrimitive(4, 2, 0, 24, 6, 12)");
    EXPECT_EQ(RecordingDevice::Describe(calls[3]), "SetSamplerState(1, 2, 2, 1, 3, 2)");
    EXPECT_EQ(device.Count(Call::Clear), 1u);

    device.ClearCalls();
    device.SetRecording(false);
    device.Present();
    EXPECT_TRUE(device.Calls().empty());
}

// Rectangles are checked against the surface they lie on, as the OpenGL
// device checks them, so that the renderer's mistakes show without a GPU.
TEST(RecordingDevice, ViewportAndCopyRectanglesMustLieOnTheirSurface) {
    RecordingDevice device;
    PresentParameters parameters;
    parameters.width = 640;
    parameters.height = 480;
    ASSERT_EQ(device.Reset(parameters), Result::Ok);
    auto texture = device.CreateTexture(256, 256, 1, Format::X8R8G8B8, TextureUsage::RenderTarget);
    ASSERT_NE(texture, nullptr);
    Surface* level = texture->GetSurfaceLevel(0);
    device.ClearCalls();

    EXPECT_EQ(device.SetViewport({0, 0, 256, 256}), Result::Ok);
    EXPECT_EQ(device.SetViewport({0, 0, 640, 481}), Result::Failed);
    EXPECT_EQ(device.SetViewport({10, 0, 10, 20}), Result::Failed);
    const Rect corner{0, 0, 256, 256}, outside{600, 0, 700, 100};
    EXPECT_EQ(device.StretchRect(device.GetBackBuffer(), &corner, level), Result::Ok);
    EXPECT_EQ(device.StretchRect(device.GetBackBuffer(), &outside, level), Result::Failed);
    EXPECT_EQ(device.StretchRect(device.GetBackBuffer(), nullptr, level), Result::Ok);

    std::vector<std::string> described;
    for (const auto& call : device.Calls())
        if (call.call == Call::SetViewport || call.call == Call::StretchRect)
            described.push_back(RecordingDevice::Describe(call));
    EXPECT_EQ(described, (std::vector<std::string>{
                             "SetViewport(0, 0, 256, 256)", "SetViewport(0, 0, 640, 481)",
                             "SetViewport(10, 0, 10, 20)", "StretchRect(0, 0, 256, 256)",
                             "StretchRect(600, 0, 700, 100)", "StretchRect(0, 0, 0, 0)"}));
}

TEST(RecordingDevice, InjectedFailures) {
    RecordingDevice device;
    device.SetFailure(Call::CreateVertexBuffer);
    device.SetFailure(Call::CreateIndexBuffer);
    device.SetFailure(Call::CreateTexture);
    EXPECT_EQ(device.CreateVertexBuffer(64, BufferUsage::Static), nullptr);
    EXPECT_EQ(device.CreateIndexBuffer(64, IndexFormat::Index16, BufferUsage::Static), nullptr);
    EXPECT_EQ(device.CreateTexture(64, 64, 1, Format::X8R8G8B8, TextureUsage::RenderTarget),
              nullptr);
    device.ClearFailure(Call::CreateTexture);
    auto texture = device.CreateTexture(64, 64, 1, Format::X8R8G8B8, TextureUsage::RenderTarget);
    ASSERT_NE(texture, nullptr);

    device.SetFailure(Call::GetSurfaceLevel);
    EXPECT_EQ(texture->GetSurfaceLevel(0), nullptr);
    device.ClearFailure(Call::GetSurfaceLevel);
    Surface* level = texture->GetSurfaceLevel(0);
    ASSERT_NE(level, nullptr);

    device.SetFailure(Call::StretchRect);
    EXPECT_EQ(device.StretchRect(device.GetBackBuffer(), nullptr, level), Result::Failed);
    device.ClearFailure(Call::StretchRect);
    EXPECT_EQ(device.StretchRect(device.GetBackBuffer(), nullptr, level), Result::Ok);

    device.SetFailure(Call::Lock);
    EXPECT_EQ(texture->Lock(0).bits, nullptr);

    device.SetFailure(Call::GetBackBuffer);
    EXPECT_EQ(device.GetBackBuffer(), nullptr);

    device.SetFailure(Call::SaveSurfaceToPng);
    EXPECT_EQ(device.SaveSurfaceToPng(level, "screenshots/screenshot0.png"), Result::Failed);
    device.ClearFailure(Call::SaveSurfaceToPng);
    EXPECT_EQ(device.SaveSurfaceToPng(level, "screenshots/screenshot0.png"), Result::Ok);
    EXPECT_EQ(device.SavedPaths(), std::vector<std::string>{"screenshots/screenshot0.png"});

    device.SetFailure(Call::CreateProgram);
    ProgramResult program = device.CreateProgram({});
    EXPECT_EQ(program.program, nullptr);
    EXPECT_FALSE(program.log.empty());

    device.SetFailure(Call::Present, Result::DeviceLost);
    EXPECT_EQ(device.Present(), Result::DeviceLost);
}

TEST(RecordingDevice, LostThenNotResetThenReset) {
    RecordingDevice device;
    EXPECT_EQ(device.Present(), Result::Ok);
    device.SetCooperativeLevel(Result::DeviceLost);
    EXPECT_EQ(device.Present(), Result::DeviceLost);
    EXPECT_EQ(device.TestCooperativeLevel(), Result::DeviceLost);
    PresentParameters parameters;
    parameters.width = 800;
    parameters.height = 600;
    parameters.backBufferFormat = Format::R5G6B5;
    EXPECT_EQ(device.Reset(parameters), Result::DeviceLost);

    device.SetCooperativeLevel(Result::DeviceNotReset);
    EXPECT_EQ(device.TestCooperativeLevel(), Result::DeviceNotReset);
    EXPECT_EQ(device.Present(), Result::DeviceLost);
    ASSERT_EQ(device.Reset(parameters), Result::Ok);
    EXPECT_EQ(device.TestCooperativeLevel(), Result::Ok);
    EXPECT_EQ(device.Present(), Result::Ok);
    EXPECT_EQ(device.GetBackBuffer()->Width(), 800);
    EXPECT_EQ(device.GetBackBuffer()->GetFormat(), Format::R5G6B5);
    EXPECT_EQ(device.GetRenderTarget(0), device.GetBackBuffer());
    EXPECT_EQ(RecordingDevice::Describe(device.Calls()[6]), "Reset(800, 600, 23, 1, 0)");
}

TEST(RecordingDevice, LockHandsOutMemoryThatKeepsItsContents) {
    RecordingDevice device;
    auto indices = device.CreateIndexBuffer(12, IndexFormat::Index16, BufferUsage::Static);
    ASSERT_NE(indices, nullptr);
    const std::uint16_t values[] = {0, 1, 2, 2, 1, 3};
    void* bytes = indices->Lock(0, 0, LockNone);
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(indices->Lock(0, 0, LockNone), nullptr) << "locked twice";
    std::memcpy(bytes, values, sizeof(values));
    EXPECT_EQ(indices->Unlock(), Result::Ok);
    EXPECT_EQ(indices->Unlock(), Result::Failed);
    auto* again = static_cast<std::uint16_t*>(indices->Lock(4, 8, LockReadOnly));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again[0], 2);
    EXPECT_EQ(again[3], 3);
    indices->Unlock();
    EXPECT_EQ(indices->Lock(8, 8, LockNone), nullptr) << "past the end";

    auto dxt = device.CreateTexture(256, 128, 0, Format::DXT1, TextureUsage::Static);
    ASSERT_NE(dxt, nullptr);
    EXPECT_EQ(dxt->LevelCount(), 9);
    EXPECT_EQ(dxt->Lock(0).pitch, 64u * 8u);
    EXPECT_EQ(dxt->GetSurfaceLevel(8)->Width(), 1);
    auto cube = device.CreateCubeTexture(64, 0, Format::A8R8G8B8);
    ASSERT_NE(cube, nullptr);
    EXPECT_EQ(cube->LevelCount(), 7);
    EXPECT_EQ(cube->Lock(CubeFace::NegativeZ, 1).pitch, 32u * 4u);
    auto declaration = device.CreateVertexDeclaration(kElements);
    ASSERT_NE(declaration, nullptr);
    EXPECT_EQ(declaration->Elements().size(), 2u);
    EXPECT_EQ(declaration->Elements()[1].usage, DeclUsage::TexCoord);
}

TEST(RecordingDevice, AnswersCapabilityQuestionsAsTold) {
    RecordingDevice device;
    EXPECT_EQ(device.GetCaps().pixelShaderVersion, 0xFFFF0300u);
    device.Caps().pixelShaderVersion = 0xFFFF0200;
    EXPECT_EQ(device.GetCaps().pixelShaderVersion, 0xFFFF0200u);
    EXPECT_TRUE(device.CheckMultiSample(Format::X8R8G8B8, true, 4));
    EXPECT_FALSE(device.CheckMultiSample(Format::X8R8G8B8, true, 6));
    device.SetMultiSampleLimit(Format::X8R8G8B8, 2);
    EXPECT_FALSE(device.CheckMultiSample(Format::X8R8G8B8, true, 4));
    EXPECT_TRUE(device.CheckMultiSample(Format::X8R8G8B8, true, 2));
    EXPECT_TRUE(device.CheckMultiSample(Format::X8R8G8B8, true, 0));
}

TEST(RecordingDevice, ProgramsListTheirUniformsAndKeepValues) {
    RecordingDevice device;
    ProgramSource source;
    source.vertex = "#version 330 core\nuniform mat4 WorldViewProjection;\nuniform vec4 Light[4];\n"
                    "in vec3 position;\nvoid main() { gl_Position = vec4(position, 1.0); }\n";
    source.fragment =
        "#version 330 core\nuniform sampler2D diffuse;\nuniform vec4 Light[4];\n"
        "uniform float Time;\nout vec4 colour;\nvoid main() { colour = vec4(Time); }\n";
    ProgramResult result = device.CreateProgram(source);
    ASSERT_NE(result.program, nullptr);
    const auto& uniforms = result.program->Uniforms();
    ASSERT_EQ(uniforms.size(), 4u);
    EXPECT_EQ(uniforms[0].name, "WorldViewProjection");
    EXPECT_EQ(uniforms[0].type, UniformType::Float4x4);
    EXPECT_EQ(uniforms[1].name, "Light");
    EXPECT_EQ(uniforms[1].arraySize, 4);
    EXPECT_EQ(uniforms[2].type, UniformType::Sampler2D);
    EXPECT_EQ(uniforms[2].location, 5);
    const UniformInfo* time = result.program->FindUniform("Time");
    ASSERT_NE(time, nullptr);
    EXPECT_EQ(time->type, UniformType::Float);

    const float light[8] = {1, 2, 3, 1, 4, 5, 6, 1};
    device.SetUniform(result.program.get(), uniforms[1].location, UniformType::Float4, light, 2);
    EXPECT_EQ(device.UniformFloats(result.program.get(), uniforms[1].location),
              std::vector<float>(light, light + 8));
    EXPECT_EQ(RecordingDevice::Describe(device.Calls().back()), "SetUniform(1, 3, 2, 1, 2, 3)");
}

TEST(RecordingDevice, KeepsTransformsPerState) {
    RecordingDevice device;
    const auto view = engine::math::MatrixTranslation(1, 2, 3);
    const auto projection = engine::math::MatrixScaling(2, 2, 2);
    device.SetTransform(TransformState::View, view);
    device.SetTransform(TransformState::Projection, projection);
    engine::math::Matrix4x4 stored;
    device.GetTransform(TransformState::View, stored);
    EXPECT_EQ(stored.m[12], 1.0f);
    EXPECT_EQ(stored.m[14], 3.0f);
    device.GetTransform(TransformState::Projection, stored);
    EXPECT_EQ(stored.m[0], 2.0f);
    EXPECT_EQ(stored.m[12], 0.0f);
    device.GetTransform(TransformState::World, stored);
    EXPECT_EQ(stored.m[0], 1.0f);
    EXPECT_EQ(RecordingDevice::Describe(device.Calls()[1]), "SetTransform(3)");
}
