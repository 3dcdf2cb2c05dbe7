#include "effects-runtime/runtimeFixture.h"
#include "support/demoBytes.h"
#include "support/engineFiles.h"
#include "support/recordingQueue.h"
#include "support/steppedClock.h"

#include "engine/gfx/KVRMesh.h"
#include "engine/gfx/animationController.h"
#include "engine/gfx/animationNode.h"
#include "engine/gfx/demoLoader.h"
#include "engine/gfx/geometry.h"
#include "engine/gfx/sceneInfo.h"
#include "engine/platform/recordingDevice.h"

#include <gtest/gtest.h>

using namespace engine::gfx;
using kovra::test::DemoBytes;
using kovra::test::KvrFile;
using kovra::test::RuntimeFixture;

namespace {

const char* const kEffect = R"(float4x4 worldViewProjection : WorldViewProjection;
float glow;

vertexshader plainVS {
    void main() {
        gl_Position = POSITION * worldViewProjection * glow;
    }
}

technique Plain {
    pass P0 {
        VertexShader = compile vs_1_1 plainVS();
        PixelShader = NULL;
    }
}
)";

// Mesh objects read their ".kvr" files from the scene's own folder.
class DemoMeshes : public ::testing::Test {
protected:
    DemoMeshes() : runtime(&device) {
        RuntimeFixture::Write("data/fx/glow.fx", kEffect);
        SceneInfo::Get()->Start();
    }
    ~DemoMeshes() override { delete SceneInfo::mInstance; }

    // A triangle whose effect has the ipo parameter "glow".
    static void WriteMesh(const std::string& name, bool indexed = true) {
        KvrFile file;
        file.Positions({{0, 0, 0}, {0, 1, 0}, {1, 0, 0}});
        if (indexed)
            file.Indices({0, 1, 2});
        const std::string path = "data/scene.demo_scene/" + name + ".kvr";
        RuntimeFixture::Write(path, file.End().bytes);
        RuntimeFixture::Write(path + ".efx",
                              "effect = { { priority = 1, pass = { { priority = 1, fx = \"glow\", "
                              "tec = \"Plain\", params = { { \"ipo\", \"glow\", \"Glow\" } }, "
                              "streams = { \"pos\" } } } } }");
    }

    std::vector<std::string> Warnings() {
        std::vector<std::string> warnings;
        for (const std::string& entry : runtime.TakeLog())
            if (entry.rfind("WARNING|", 0) == 0)
                warnings.push_back(entry);
        return warnings;
    }

    engine::platform::RecordingDevice device;
    RuntimeFixture runtime;
    kovra::test::SteppedClock clock;
    kovra::test::RecordingQueue queue;
};

TEST_F(DemoMeshes, MeshesGetGeometryAndNamedCurvesDriveTheirParameters) {
    WriteMesh("leaf");
    WriteMesh("dots", false);
    DemoBytes file;
    file.Header(3);
    file.Object("Mesh", "tree", "leaf", "", 0, 0, 0, 0, 0, 0, 3);
    file.Curve("glow", "Linear", "Constant", 2).Key(0, 0, 1, 0, 0, 0).Key(0, 0, 11, 10, 0, 0);
    file.Hold("Layer", 1).Hold("shine", 2);
    // Without indices: no geometry, and no effect to bind to.
    file.Object("Mesh", "points", "dots", "", 0, 0, 0, 0, 0, 0, 1).Hold("glow", 1);
    file.Object("Mesh", "Terrain", "leaf", "", 0, 0, 0, 0, 0, 0, 0);
    RuntimeFixture::Write("data/scene.demo", file.bytes);
    DemoLoader* loader = DemoLoader::CreateInstance(L"data/scene.demo");

    auto tree = std::dynamic_pointer_cast<AnimationNode>(loader->GetNode("tree"));
    ASSERT_TRUE(tree);
    ASSERT_EQ(tree->Children().size(), 1u);
    auto* geometry = dynamic_cast<Geometry*>(tree->Children()[0].get());
    ASSERT_NE(geometry, nullptr);
    EXPECT_EQ(geometry->Parent(), tree.get());
    const auto leaf =
        engine::core::ResourceManager::Get()->Get<KVRMesh>(L"data/scene.demo_scene/leaf.kvr");
    EXPECT_EQ(geometry->GetMesh(), leaf);
    EXPECT_TRUE(loader->GetNode("points")->Children().empty());
    EXPECT_TRUE(loader->GetNode("Terrain")->Children().empty());

    const auto& cell = *leaf->GetEffect()->Shaders().at(0)->Description().ipoParams.at(0).value;
    EXPECT_EQ(cell.address, tree->GetController()->GetNamedValue("glow"));
    for (int i = 0; i < 5; ++i) {
        clock.Step(0.04);
        tree->Update(queue);
    }
    ASSERT_NE(cell.address, nullptr);
    EXPECT_FLOAT_EQ(*cell.address, 5.0f);

    const std::vector<std::string> expected = {
        "WARNING|demoFile|IPO type shine not used in any mesh shader",
        "WARNING|demoFile|IPO type glow not used in any mesh shader"};
    EXPECT_EQ(Warnings(), expected);
    loader->DestroyInstance();
}

} // namespace
