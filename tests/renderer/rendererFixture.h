#pragma once

#include "support/engineSingletons.h"
#include "support/logCapture.h"
#include "timer/scriptedMusic.h"

#include "engine/core/Window.h"
#include "engine/core/input.h"
#include "engine/core/kernel.h"
#include "engine/core/resourceManager.h"
#include "engine/core/resourceTypes.h"
#include "engine/core/screen.h"
#include "engine/core/timer.h"
#include "engine/gfx/effect.h"
#include "engine/gfx/effectPool.h"
#include "engine/gfx/renderObject.h"
#include "engine/gfx/renderer.h"
#include "engine/gfx/sceneInfo.h"
#include "engine/gfx/shader.h"
#include "engine/gfx/spatial.h"
#include "engine/platform/messageBox.h"
#include "engine/platform/recordingDevice.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace kovra::test {

// A leaf that submits its objects when the renderer walks the scene.
class Submitter : public engine::gfx::Spatial {
public:
    Submitter() : Spatial(nullptr) {}
    void Update(engine::gfx::RenderQueue& queue) override {
        for (const auto& object : objects)
            queue.Submit(object);
    }
    std::vector<std::shared_ptr<engine::gfx::RenderObject>> objects;
};

// The screen quad's material: one pass of Other at priority 7.
inline const char* const kQuadMaterial =
    R"(effect = { { priority = 1, pass = { { priority = 7, fx = "test", tec = "Other", params = {}, streams = { "pos" } } } } })";

// One technique per pass count; the programs are trivial, the renderer only
// cares about which pass of which technique is current.
inline const char* const kTestEffect = R"(float4x4 worldViewProjection : WorldViewProjection;

vertexshader plainVS {
    void main() {
        gl_Position = POSITION * worldViewProjection;
    }
}

technique One {
    pass P0 {
        VertexShader = compile vs_1_1 plainVS();
        PixelShader = NULL;
    }
}

technique Other {
    pass P0 {
        VertexShader = compile vs_1_1 plainVS();
        PixelShader = NULL;
    }
}

technique Quad < bool quad = true; string material = "material"; > {
    pass P0 {
        VertexShader = compile vs_1_1 plainVS();
        PixelShader = NULL;
    }
}

technique Two {
    pass P0 {
        VertexShader = compile vs_1_1 plainVS();
        PixelShader = NULL;
    }
    pass P1 {
        VertexShader = compile vs_1_1 plainVS();
        PixelShader = NULL;
    }
}
)";

// A window on a recording device, a scripted music clock and a started
// renderer whose scene is one Submitter, in a scratch folder.
class RendererTest : public ::testing::Test {
protected:
    RendererTest() {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        engine::core::CWin32Window::SetDeviceFactory(
            [this](SDL_Window*, const engine::platform::PresentParameters& parameters) {
                auto device = std::make_unique<engine::platform::RecordingDevice>();
                device->Reset(parameters);
                device_ = device.get();
                return device;
            });
        engine::platform::SetMusicOpener(
            [this](const std::string&) { return std::make_unique<ScriptedMusic>(music); });
        screen.Create(engine::WindowSettings{});
        engine::core::Input::Get()->Clear();
        std::filesystem::create_directories("data/fx");
        std::ofstream("data/fx/test.fx") << kTestEffect;
        std::ofstream("data/fx/material.efx") << kQuadMaterial;
        engine::core::Timer::Get()->Start();
        renderer = std::make_unique<engine::gfx::Renderer>();
        renderer->SetSleepFunction(
            [this](std::chrono::milliseconds wait) { sleeps.push_back(wait.count()); });
        renderer->Start();
        renderer->SetRootNode(scene);
    }

    ~RendererTest() override {
        scene.reset();
        renderer.reset();
        DeleteEngineSingletons();
        engine::core::CWin32Window::SetDeviceFactory({});
        engine::platform::SetMusicOpener({});
        engine::platform::SetMessageBoxHandler({});
    }

    engine::platform::RecordingDevice& Device() { return *device_; }

    // An effect of one pass of test.fx; the target names a colour target,
    // or a depth target when it starts with "depth".
    std::shared_ptr<engine::gfx::Effect> Pass(const std::string& technique, int priority,
                                              const std::string& target = "",
                                              bool doNotClear = false) {
        engine::gfx::PassDescription pass;
        pass.priority = priority;
        pass.effectFile = "test.fx";
        pass.technique = technique;
        pass.clearSuppressed = doNotClear;
        if (target.rfind("depth", 0) == 0) {
            pass.hasDepthTarget = true;
            pass.depthTarget = target;
        } else if (!target.empty()) {
            pass.hasColorTarget = true;
            pass.colorTarget = target;
        }
        auto effect = std::make_shared<engine::gfx::Effect>();
        effect->AddShader(std::make_shared<engine::gfx::Shader>(pass, "data/fx/test.fx"));
        effect->Bind();
        return effect;
    }

    // An object drawn by `effect`; its vertex count tells its draws apart.
    std::shared_ptr<engine::gfx::RenderObject> Object(std::shared_ptr<engine::gfx::Effect> effect,
                                                      int id) {
        auto object = std::make_shared<engine::gfx::RenderObject>();
        object->effect = std::move(effect);
        object->vertexCount = id;
        object->primitiveCount = 1;
        return object;
    }

    // Advances the music by dt, runs the timer and the renderer, ends the
    // input pass.
    void Frame(double dt = 0.01) {
        music->position += dt;
        engine::core::Timer::Get()->Update();
        renderer->Update();
        engine::core::Input::Get()->EndPass();
    }

    engine::platform::Surface* TargetSurface(const std::wstring& name) {
        return engine::core::ResourceManager::Get()
            ->Get<engine::core::resources::RenderTargetTexture>(name)
            ->GetSurface();
    }

    // The frame's device work in short words: "Begin", "Clear", "Pass" (a
    // pass put on the device), "Draw<id>", "Copy<source>><destination>",
    // "Target<surface>", "Save", "End", "Present". Surfaces are named by
    // `names`; the back buffer is "bb".
    std::string Trace(std::map<const void*, std::string> names = {}) {
        using Call = engine::platform::RecordingDevice::Call;
        names[Device().GetBackBuffer()] = "bb";
        auto name = [&names](const void* surface) {
            auto it = names.find(surface);
            return it == names.end() ? std::string("?") : it->second;
        };
        std::string trace;
        for (const auto& call : Device().Calls()) {
            std::string word;
            switch (call.call) {
            case Call::BeginScene:
                word = "Begin";
                break;
            case Call::Clear:
                word = "Clear";
                break;
            case Call::SetProgram:
                word = "Pass";
                break;
            case Call::DrawIndexedPrimitive:
                word = "Draw" + std::to_string(static_cast<int>(call.args[3]));
                break;
            case Call::StretchRect:
                word = "Copy" + name(call.object) + ">" + name(call.other);
                break;
            case Call::SetRenderTarget:
                word = "Target" + name(call.object);
                break;
            case Call::SaveSurfaceToPng:
                word = "Save";
                break;
            case Call::EndScene:
                word = "End";
                break;
            case Call::Present:
                word = "Present";
                break;
            default:
                continue;
            }
            trace += (trace.empty() ? "" : " ") + word;
        }
        return trace;
    }

    LogCapture log;
    std::shared_ptr<MusicScript> music = std::make_shared<MusicScript>();
    engine::core::CScreen screen;
    std::unique_ptr<engine::gfx::Renderer> renderer;
    std::shared_ptr<Submitter> scene = std::make_shared<Submitter>();
    std::vector<long long> sleeps;

private:
    engine::platform::RecordingDevice* device_ = nullptr;
};

} // namespace kovra::test
