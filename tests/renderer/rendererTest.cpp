#include "rendererFixture.h"

#include "engine/core/exception.h"
#include "engine/core/graphicsDevice.h"
#include "engine/gfx/compiledEffect.h"
#include "engine/gfx/effectScript.h"
#include "engine/gfx/mesh.h"
#include "engine/gfx/meshData.h"
#include "engine/wrapper/wrapper.h"

#include <cmath>
#include <filesystem>
#include <fstream>

using engine::core::Exception;
using engine::core::Input;
using engine::platform::Result;
using Call = engine::platform::RecordingDevice::Call;
namespace vk = engine::core::vk;
using namespace kovra::test;

namespace {

bool Logged(const std::string& rows, const std::string& level, const std::string& text) {
    return rows.find("<td>" + level + "</td>") != std::string::npos &&
           rows.find("<td>.\\renderer.cpp</td><td>" + text + "</td>") != std::string::npos;
}

TEST_F(RendererTest, IsTheModuleRendererAtPriority12000) {
    EXPECT_EQ(renderer->Name(), L"Renderer");
    EXPECT_EQ(renderer->Priority(), 12000);
    EXPECT_EQ(scene->Parent(), renderer->GetTopCamera());
    ASSERT_EQ(renderer->GetTopCamera()->Children().size(), 1u);
    EXPECT_EQ(renderer->GetTopCamera()->Children()[0], scene);
    renderer.reset();
    EXPECT_EQ(scene->Parent(), nullptr) << "the root outlives the renderer's camera";
}

TEST_F(RendererTest, SamePassOnSameTargetIsOneBatchWithoutCopyOrClear) {
    auto first = Pass("One", 1, "rtA");
    auto sameFileAndTechnique = Pass("One", 1, "rtA");
    auto other = Pass("Other", 2, "rtA");
    scene->objects = {Object(other, 3), Object(first, 1), Object(sameFileAndTechnique, 2)};
    Device().ClearCalls();
    Frame();
    const std::map<const void*, std::string> names{{TargetSurface(L"rtA"), "A"}};
    // Clear of the frame, clear on entering rtA; objects 1 and 2 share one
    // pass; the technique change begins another pass on the same target.
    EXPECT_EQ(Trace(names), "Begin Clear Clear Pass Draw1 Draw2 Pass Draw3 End Present");

    // The frame ended on a colour target: the next frame's first change
    // copies the (freshly cleared) back buffer into it.
    scene->objects = {Object(Pass("One", 0), 4)};
    Device().ClearCalls();
    Frame();
    EXPECT_EQ(Trace(names), "Begin Clear Copybb>A Clear Pass Draw4 End Present");
    EXPECT_TRUE(renderer->Queue().empty());
}

TEST_F(RendererTest, ColourToDepthCopiesThenBindsTheDepthSurface) {
    scene->objects = {Object(Pass("One", 3), 3), Object(Pass("One", 2, "depthB"), 2),
                      Object(Pass("One", 1, "rtA"), 1)};
    Device().ClearCalls();
    Frame();
    const std::map<const void*, std::string> names{
        {TargetSurface(L"rtA"), "A"},
        {engine::core::ResourceManager::Get()
             ->Get<engine::core::resources::DepthTexture>(L"depthB")
             ->GetSurface(),
         "B"}};
    EXPECT_EQ(Trace(names), "Begin Clear Clear Pass Draw1 Copybb>A TargetB Clear Pass Draw2 "
                            "Targetbb Clear Pass Draw3 End Present");
}

// The viewport, clear and copy calls of the frame, as the device describes them.
std::vector<std::string> TargetWork(const engine::platform::RecordingDevice& device) {
    std::vector<std::string> work;
    for (const auto& call : device.Calls())
        if (call.call == Call::SetViewport || call.call == Call::StretchRect ||
            call.call == Call::Clear)
            work.push_back(engine::platform::RecordingDevice::Describe(call));
    return work;
}

TEST_F(RendererTest, AColourTargetSmallerThanTheBackBufferIsDrawnAndCopiedFromItsCorner) {
    engine::CreateRenderTarget(L"rtBig", 2048);
    scene->objects = {Object(Pass("One", 3), 3), Object(Pass("One", 2, "rtBig"), 2),
                      Object(Pass("One", 1, "rtA"), 1)};
    Device().ClearCalls();
    Frame(0.001);
    const std::string clear =
        "Clear(3, " + std::to_string(engine::core::CWin32Window::Get()->ClearColor()) + ", 1, 0)";
    // rtA (256) is drawn in the top-left 256 x 256 of the 1024 x 768 back
    // buffer and only that is copied; rtBig is larger, so it takes the whole
    // back buffer, as does the screen after it.
    EXPECT_EQ(TargetWork(Device()), (std::vector<std::string>{clear, "SetViewport(0, 0, 256, 256)",
                                                              clear, "StretchRect(0, 0, 256, 256)",
                                                              "SetViewport(0, 0, 1024, 768)", clear,
                                                              "StretchRect(0, 0, 0, 0)", clear}));

    // A frame that ends in rtA goes on there after a device reset, which
    // gave the device its whole back buffer again.
    scene->objects = {Object(Pass("One", 1, "rtA"), 1)};
    Frame(0.001);
    Device().SetCooperativeLevel(Result::DeviceLost);
    Frame(0.001);
    Device().SetCooperativeLevel(Result::DeviceNotReset);
    Device().ClearCalls();
    Frame(0.001);
    EXPECT_EQ(Device().Count(Call::Reset), 1u);
    EXPECT_EQ(TargetWork(Device()),
              (std::vector<std::string>{"SetViewport(0, 0, 256, 256)", clear}));
}

TEST_F(RendererTest, DoNotClearSkipsTheClearOfATargetSwitch) {
    scene->objects = {Object(Pass("One", 2, "depthB", true), 2), Object(Pass("One", 1, "rtA"), 1)};
    Device().ClearCalls();
    Frame();
    const std::string trace = Trace();
    EXPECT_NE(trace.find("Copybb>? Target? Pass Draw2"), std::string::npos) << trace;
}

TEST_F(RendererTest, ABatchDrawsEachObjectWithItsOwnScriptValues) {
    // Two scripts on one file and technique batch together, yet each object
    // keeps the tint its own script gave it.
    std::ofstream("data/fx/tinted.fx") << "float4x4 worldViewProjection : WorldViewProjection;\n"
                                          "float4 tint;\n"
                                          "vertexshader tintVS {\n"
                                          "    void main() { gl_Position = POSITION * "
                                          "worldViewProjection * tint.x; }\n"
                                          "}\n"
                                          "technique Tint { pass P0 { VertexShader = compile "
                                          "vs_1_1 tintVS(); PixelShader = NULL; } }\n";
    const auto tinted = [](float red) {
        engine::gfx::PassDescription pass;
        pass.effectFile = "tinted.fx";
        pass.technique = "Tint";
        auto value = std::make_shared<engine::gfx::ShaderParameters::param128>();
        value->value[0] = red;
        pass.float4Params.push_back({"tint", value, std::make_shared<std::uint8_t>(1)});
        auto effect = std::make_shared<engine::gfx::Effect>();
        effect->AddShader(std::make_shared<engine::gfx::Shader>(pass, "data/fx/tinted.fx"));
        effect->Bind();
        return effect;
    };
    scene->objects = {Object(tinted(0.25f), 1), Object(tinted(0.75f), 2)};
    Device().ClearCalls();
    Frame();
    EXPECT_EQ(Trace(), "Begin Clear Pass Draw1 Draw2 End Present");
    // The tint uploaded last before each draw.
    std::vector<double> tints;
    double tint = -1.0;
    for (const auto& call : Device().Calls()) {
        if (call.call == Call::SetUniform &&
            call.args[1] == static_cast<int>(engine::platform::UniformType::Float4))
            tint = call.args[3];
        if (call.call == Call::DrawIndexedPrimitive || call.call == Call::DrawPrimitive)
            tints.push_back(tint);
    }
    EXPECT_EQ(tints, (std::vector<double>{0.25, 0.75}));
}

TEST_F(RendererTest, TwoPassTechniqueDrawsTheBatchOncePerPass) {
    auto effect = Pass("Two", 0);
    scene->objects = {Object(effect, 1), Object(effect, 2)};
    Device().ClearCalls();
    Frame();
    EXPECT_EQ(Trace(), "Begin Clear Pass Draw1 Draw2 Pass Draw1 Draw2 End Present");
}

TEST_F(RendererTest, SortIsStableByPriorityThenGroupsTargetsAndTechniques) {
    auto one = Pass("One", 5);
    auto other = Pass("Other", 5);
    scene->objects = {Object(one, 1), Object(other, 2), Object(one, 3), Object(Pass("One", -1), 4),
                      Object(other, 5)};
    Device().ClearCalls();
    Frame();
    const std::string trace = Trace();
    // Priority -1 first; then each technique once, objects in submission order.
    // Object 4 shares file and technique with 1 and 3: one batch across priorities.
    EXPECT_TRUE(trace == "Begin Clear Pass Draw4 Draw1 Draw3 Pass Draw2 Draw5 End Present" ||
                trace == "Begin Clear Pass Draw4 Pass Draw2 Draw5 Pass Draw1 Draw3 End Present")
        << trace;
}

TEST_F(RendererTest, EachQuadShaderSubmitsItsQuadOnceAndItIsSortedIn) {
    auto quadPass = Pass("Quad", 1);
    engine::gfx::Shader& shader = *quadPass->Shaders()[0];
    ASSERT_TRUE(shader.IsQuad());
    ASSERT_NE(shader.QuadMaterial(), nullptr);
    scene->objects = {Object(Pass("One", 8), 3), Object(quadPass, 1), Object(quadPass, 2)};
    Device().ClearCalls();
    Frame();
    EXPECT_EQ(Trace(), "Begin Clear Pass Draw1 Draw2 Pass Draw4 Pass Draw3 End Present");
}

TEST_F(RendererTest, F11SavesToTheFirstFreeScreenshotNumber) {
    Input::Get()->KeyDown(vk::kF11);
    Frame();
    Input::Get()->KeyUp(vk::kF11);
    Frame();
    ASSERT_EQ(Device().SavedPaths(), std::vector<std::string>{"screenshots/screenshot0.png"});
    EXPECT_TRUE(std::filesystem::is_directory("screenshots"));
    // The recording device writes nothing: stand in for the saved file.
    std::ofstream("screenshots/screenshot0.png") << "png";
    Input::Get()->KeyDown(vk::kF11);
    Frame();
    EXPECT_EQ(Device().SavedPaths().back(), "screenshots/screenshot1.png");
    EXPECT_EQ(Device().SavedPaths().size(), 2u);
    const std::string rows = log.Rows();
    EXPECT_TRUE(Logged(rows, "MESSAGE", "Trying path screenshots/screenshot0.png"));
    EXPECT_TRUE(Logged(rows, "MESSAGE", "Saved screenshot to screenshots/screenshot0.png"));
    EXPECT_TRUE(Logged(rows, "MESSAGE", "Saved screenshot to screenshots/screenshot1.png"));
    EXPECT_FALSE(Logged(rows, "MESSAGE", "Trying path screenshots/screenshot1.png"));
}

TEST_F(RendererTest, FailedScreenshotSaveRaisesWithoutTheSavedRow) {
    Device().SetFailure(Call::SaveSurfaceToPng);
    Input::Get()->KeyDown(vk::kF11);
    EXPECT_THROW(Frame(), Exception);
    const std::string rows = log.Rows();
    EXPECT_TRUE(Logged(rows, "ERROR", "Failed to save screenshot"));
    EXPECT_EQ(rows.find("Saved screenshot to"), std::string::npos);
}

TEST_F(RendererTest, LastFrameIsCopiedOncePerFrameAndKeepsTheRemainder) {
    const std::map<const void*, std::string> names{{TargetSurface(L"lastFrame"), "last"}};
    Device().ClearCalls();
    Frame(0.1);
    EXPECT_EQ(Trace(names), "Begin Clear Copybb>last End Present");
    EXPECT_NEAR(renderer->LastFrameAccumulator(), 0.02, 1e-9);
    Device().ClearCalls();
    Frame(0.015); // 0.035: not yet
    EXPECT_EQ(Device().Count(Call::StretchRect), 0u);
    Frame(0.01); // 0.045: copied, 0.005 left
    EXPECT_EQ(Device().Count(Call::StretchRect), 1u);
    EXPECT_NEAR(renderer->LastFrameAccumulator(), 0.005, 1e-9);
}

TEST_F(RendererTest, LastFrameCopyFailureRaises) {
    Device().SetFailure(Call::StretchRect);
    EXPECT_THROW(Frame(0.05), Exception);
    EXPECT_TRUE(Logged(log.Rows(), "ERROR", "Last frame StretchRect failed"));
}

TEST_F(RendererTest, LostDeviceSkipsFramesUntilItCanBeReset) {
    auto object = Object(Pass("One", 0), 1);
    scene->objects = {object};
    Device().SetCooperativeLevel(Result::DeviceLost);
    Frame();
    EXPECT_TRUE(renderer->DeviceLost());
    EXPECT_TRUE(renderer->Queue().empty());

    // Cannot be reset yet: no drawing, one 200 ms wait, submitted work waits.
    renderer->Submit(object);
    Device().ClearCalls();
    Frame();
    EXPECT_EQ(Trace(), "");
    EXPECT_EQ(Device().Count(Call::TestCooperativeLevel), 1u);
    EXPECT_EQ(sleeps, std::vector<long long>{200});
    EXPECT_EQ(renderer->Queue().size(), 1u);

    Device().SetCooperativeLevel(Result::DeviceNotReset);
    Device().ClearCalls();
    Frame();
    EXPECT_FALSE(renderer->DeviceLost());
    EXPECT_EQ(Device().Count(Call::Reset), 1u);
    // Drawing resumes in the same frame, the waiting object included.
    EXPECT_EQ(Trace(), "Begin Clear Pass Draw1 Draw1 End Present");
    EXPECT_EQ(sleeps.size(), 1u);
    EXPECT_NE(TargetSurface(L"lastFrame"), nullptr);
    const std::string rows = log.Rows();
    EXPECT_TRUE(Logged(rows, "WARNING", "D3DDevice lost"));
    EXPECT_TRUE(Logged(rows, "MESSAGE", "D3DDevice reseting"));
}

// Objects of a mesh queued while the device is lost are drawn in the frame
// that resets it: the mesh's buffers they point at must still be the mesh's.
TEST_F(RendererTest, QueuedMeshObjectsAreDrawnWithLiveBuffersAfterAReset) {
    using engine::gfx::MeshData;
    using engine::math::Vector3f;
    Vector3f positions[] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    int indices[] = {0, 1, 2};
    auto mesh =
        engine::CreateMesh({{MeshData::Position, positions}}, indices, 3, 3, 4, Pass("One", 0));
    auto* vertexBuffer = mesh->GetVertexBuffer();
    auto* indexBuffer = mesh->GetIndexBuffer();
    scene->objects = {mesh->GetRenderObject()};
    Device().SetCooperativeLevel(Result::DeviceLost);
    Frame();
    ASSERT_TRUE(renderer->DeviceLost());

    // Submitted between frames, as the program's scene module does; the
    // frames that cannot reset keep them queued.
    scene->objects.clear();
    renderer->Submit(mesh->GetRenderObject());
    Frame();
    renderer->Submit(mesh->GetRenderObject());
    ASSERT_EQ(renderer->Queue().size(), 2u);

    Device().SetCooperativeLevel(Result::DeviceNotReset);
    Device().ClearCalls();
    Frame();
    EXPECT_FALSE(renderer->DeviceLost());
    EXPECT_EQ(Device().Count(Call::CreateVertexBuffer), 0u);
    EXPECT_EQ(Device().Count(Call::CreateIndexBuffer), 0u);
    EXPECT_EQ(mesh->GetVertexBuffer(), vertexBuffer);
    EXPECT_EQ(mesh->GetIndexBuffer(), indexBuffer);
    EXPECT_EQ(Trace(), "Begin Clear Pass Draw3 Draw3 End Present");
    for (const auto& call : Device().Calls()) {
        if (call.call == Call::SetStreamSource) {
            EXPECT_EQ(call.object, mesh->GetVertexBuffer());
        }
        if (call.call == Call::SetIndices) {
            EXPECT_EQ(call.object, mesh->GetIndexBuffer());
        }
    }
}

TEST_F(RendererTest, NullRootWarnsAndChangesNothing) {
    renderer->SetRootNode(nullptr);
    EXPECT_EQ(renderer->Root(), scene);
    ASSERT_EQ(renderer->GetTopCamera()->Children().size(), 1u);
    EXPECT_EQ(renderer->GetTopCamera()->Children()[0], scene);
    EXPECT_TRUE(Logged(log.Rows(), "WARNING", "Setting NULL root node. Not Allowed."));
}

TEST_F(RendererTest, FailureMidFrameKeepsTheQueueAndTheNextFrameOnlyPresents) {
    scene->objects = {Object(Pass("One", 1, "depthB"), 1)};
    Device().SetFailure(Call::SetRenderTarget);
    EXPECT_THROW(Frame(), Exception);
    EXPECT_EQ(renderer->Queue().size(), 1u);
    EXPECT_EQ(Device().Count(Call::Present), 0u);
    EXPECT_TRUE(Logged(log.Rows(), "ERROR", "Failed to switch to depth render target"));

    // The scene is still begun: BeginScene fails, the frame only ends and presents.
    Device().ClearFailure(Call::SetRenderTarget);
    Device().ClearCalls();
    Frame();
    EXPECT_EQ(Trace(), "Begin End Present");
    EXPECT_TRUE(renderer->Queue().empty());
}

TEST_F(RendererTest, ColourTargetCopyFailureReportsStretchRect) {
    scene->objects = {Object(Pass("One", 2), 2), Object(Pass("One", 1, "rtA"), 1)};
    Device().SetFailure(Call::StretchRect);
    EXPECT_THROW(Frame(), Exception);
    const std::string rows = log.Rows();
    EXPECT_TRUE(Logged(rows, "ERROR", "StretchRect failed"));
    EXPECT_EQ(rows.find("Last frame"), std::string::npos);
}

TEST_F(RendererTest, ClearFailureOnTargetSwitchRaises) {
    scene->objects = {Object(Pass("One", 1, "rtA"), 1)};
    Device().SetFailure(Call::Clear);
    EXPECT_THROW(Frame(), Exception);
    EXPECT_TRUE(Logged(log.Rows(), "ERROR", "Failed to clear backbuffer"));
}

TEST_F(RendererTest, QTogglesTheFreeCameraOnRelease) {
    Input::Get()->KeyDown('Q');
    Frame();
    EXPECT_FALSE(renderer->FreeCamera());
    Frame();
    EXPECT_FALSE(renderer->FreeCamera());
    Input::Get()->KeyUp('Q');
    Frame();
    EXPECT_TRUE(renderer->FreeCamera());
    Input::Get()->KeyDown('Q');
    Frame();
    Input::Get()->KeyUp('Q');
    Frame();
    EXPECT_FALSE(renderer->FreeCamera());
}

TEST_F(RendererTest, FreeCameraMovesFortyUnitsPerSecondAlongItsOwnAxes) {
    engine::gfx::Camera* camera = renderer->GetTopCamera();
    Input::Get()->KeyDown('W');
    Frame(0.1);
    Frame(0.1);
    EXPECT_TRUE(camera->GetLocalTransformation().IsIdentity()) << "W moves only a free camera";
    Input::Get()->KeyUp('W');
    Input::Get()->KeyDown('Q');
    Frame(0.1);
    Input::Get()->KeyUp('Q');
    Frame(0.1); // Q released: free from the next frame
    ASSERT_TRUE(renderer->FreeCamera());

    Input::Get()->KeyDown('W');
    Input::Get()->KeyDown('A');
    Frame(0.25); // W: -10 along Z, A: +10 along X, in the pass the keys went down
    engine::math::Vector3f moved = camera->GetLocalTransformation().Translate();
    EXPECT_NEAR(moved.x, 10.0f, 1e-4);
    EXPECT_NEAR(moved.z, -10.0f, 1e-4);
    Input::Get()->KeyUp('W');
    Input::Get()->KeyUp('A');
    Input::Get()->KeyDown('S');
    Input::Get()->KeyDown('D');
    Frame(0.05);
    moved = camera->GetLocalTransformation().Translate();
    EXPECT_NEAR(moved.x, 8.0f, 1e-4);
    EXPECT_NEAR(moved.z, -8.0f, 1e-4);
    EXPECT_NEAR(moved.y, 0.0f, 1e-6);
}

TEST_F(RendererTest, FreeCameraTurnsByMouseVelocity) {
    Input::Get()->KeyDown('Q');
    Frame(0.1);
    Input::Get()->KeyUp('Q');
    Frame(0.1);
    Input::Get()->MouseMove(0, 0);
    Input::Get()->MouseMove(10, 0);
    Frame(0.1); // yaw 10 - 7 = 3: a turn of 3 x 0.0014 about Y
    const engine::math::Quaternion q = renderer->GetTopCamera()->Orientation();
    EXPECT_NEAR(q.y, std::sin(3.0f * 0.0014f / 2.0f), 1e-6);
    EXPECT_NEAR(q.w, std::cos(3.0f * 0.0014f / 2.0f), 1e-6);
    EXPECT_NEAR(q.x, 0.0f, 1e-7);
}

TEST_F(RendererTest, MouseVelocityDecaysBySevenDtAndStopsBelowOneHundredth) {
    Input::Get()->MouseMove(100, 100);
    Input::Get()->MouseMove(101, 98);
    Frame(0.1); // 1 - 0.7 and -2 + 1.4
    EXPECT_NEAR(renderer->YawVelocity(), 0.3f, 1e-6);
    EXPECT_NEAR(renderer->PitchVelocity(), -0.6f, 1e-6);
    Frame(0.1);
    EXPECT_NEAR(renderer->YawVelocity(), 0.09f, 1e-6);
    Frame(0.1);
    EXPECT_NEAR(renderer->YawVelocity(), 0.027f, 1e-6);
    Frame(0.1); // 0.027 is above 0.01: it still decays
    EXPECT_NEAR(renderer->YawVelocity(), 0.0081f, 1e-7);
    EXPECT_NEAR(renderer->PitchVelocity(), -0.0162f, 1e-7);
    Frame(0.1); // 0.0081 is below 0.01: stopped at once
    EXPECT_EQ(renderer->YawVelocity(), 0.0f);
    EXPECT_NEAR(renderer->PitchVelocity(), -0.00486f, 1e-7);
    Frame(0.1);
    EXPECT_EQ(renderer->PitchVelocity(), 0.0f);
}

TEST_F(RendererTest, RightArrowSeeksByThePreviousFrameDuration) {
    Frame(0.02);
    Input::Get()->KeyDown(vk::kRight);
    Frame(0.03); // down since this pass: at 0.05, seeks by the previous 0.02
    ASSERT_EQ(music->seeks.size(), 1u);
    EXPECT_NEAR(music->seeks[0], 0.07, 1e-6);
    Frame(0.01); // at 0.08, 0.03 since last: seeks by 0.03
    ASSERT_EQ(music->seeks.size(), 2u);
    EXPECT_NEAR(music->seeks[1], 0.11, 1e-6);
    Input::Get()->KeyUp(vk::kRight);
    Frame(0.01);
    EXPECT_EQ(music->seeks.size(), 2u);
}

TEST_F(RendererTest, F9ReloadsResourcesOnPressOnly) {
    // A changed effect file is recompiled by the reload: its program is made again.
    Pass("One", 0); // the effect file is known to the resource manager
    Frame();
    std::filesystem::last_write_time(
        "data/fx/test.fx", std::filesystem::file_time_type::clock::now() + std::chrono::seconds(5));
    Device().ClearCalls();
    Input::Get()->KeyDown(vk::kF9);
    Frame();
    const auto programs = Device().Count(Call::CreateProgram);
    EXPECT_GT(programs, 0u);
    Frame(); // still held: no second reload
    EXPECT_EQ(Device().Count(Call::CreateProgram), programs);
}

TEST(RendererWithoutDevice, DrawsNothingAndEmptiesTheQueue) {
    LogCapture log;
    Input::Get()->Clear();
    // A shader needs its effect file, compiled on the engine's device: made
    // on a recording device that is gone again before the renderer runs.
    engine::platform::RecordingDevice device;
    engine::core::SetGraphicsDevice(&device);
    std::filesystem::create_directories("data/fx");
    std::ofstream("data/fx/test.fx") << kTestEffect;
    engine::gfx::PassDescription pass;
    pass.effectFile = "test.fx";
    pass.technique = "One";
    auto object = std::make_shared<engine::gfx::RenderObject>();
    object->effect = std::make_shared<engine::gfx::Effect>();
    object->effect->AddShader(std::make_shared<engine::gfx::Shader>(pass, "data/fx/test.fx"));
    engine::core::SetGraphicsDevice(nullptr);
    device.ClearCalls();
    {
        engine::gfx::Renderer renderer;
        auto scene = std::make_shared<Submitter>();
        scene->objects = {object};
        renderer.SetRootNode(scene);
        renderer.Submit(object);
        ASSERT_EQ(renderer.Queue().size(), 1u);
        renderer.Update();
        EXPECT_TRUE(renderer.Queue().empty());
        EXPECT_EQ(engine::core::CWin32Window::Get()->Device(), nullptr);
    }
    EXPECT_TRUE(device.Calls().empty()) << "nothing is drawn without a device";
    object.reset();
    delete engine::gfx::EffectPool::mInstance;
    delete engine::core::ResourceManager::mInstance;
    delete engine::core::CWin32Window::mInstance;
    delete engine::core::Timer::mInstance;
    delete Input::mInstance;
    engine::gfx::SharedParameterPool::Instance().Clear();
}

TEST_F(RendererTest, SubmitAddsOneEntryPerShaderInPassOrder) {
    auto effect = Pass("One", 3);
    effect->AddShader(Pass("Other", 1)->Shaders()[0]);
    renderer->Submit(Object(effect, 1));
    renderer->Submit(Object(std::make_shared<engine::gfx::Effect>(), 2));
    ASSERT_EQ(renderer->Queue().size(), 2u);
    EXPECT_EQ(renderer->Queue()[0].pass, 0);
    EXPECT_EQ(renderer->Queue()[1].pass, 1);
    EXPECT_EQ(renderer->Queue()[1].shader, effect->Shaders()[1].get());
}

TEST_F(RendererTest, EngineFunctionsReachTheRendererUnderKeyTen) {
    engine::core::Kernel::Get()->AddModule(renderer.get(), 10);
    auto other = std::make_shared<Submitter>();
    engine::SetRootNode(nullptr);
    EXPECT_EQ(renderer->Root(), scene);
    engine::SetRootNode(other);
    EXPECT_EQ(renderer->Root(), other);
    EXPECT_EQ(other->Parent(), renderer->GetTopCamera());
    ASSERT_EQ(renderer->GetTopCamera()->Children().size(), 1u);
    EXPECT_EQ(renderer->GetTopCamera()->Children()[0], other);
    engine::Render(Object(Pass("One", 0), 1));
    EXPECT_EQ(renderer->Queue().size(), 1u);
    const std::string rows = log.Rows();
    const std::string warning =
        WarningRow(87, ".\\wrapper.cpp", "Setting NULL root node. Not Allowed.");
    const auto at = rows.find(warning);
    EXPECT_NE(at, std::string::npos);
    EXPECT_EQ(rows.find(warning, at + 1), std::string::npos);
}

} // namespace
