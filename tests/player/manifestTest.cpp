// A show folder's manifest: every field read into its place, and every
// missing or wrong field refused with a text naming the manifest and field.
#include "engine/core/exception.h"
#include "engine/core/stringConversion.h"
#include "engine/gfx/showManifest.h"
#include "support/scratchDir.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

using namespace kovra::test;
using engine::gfx::ShowEmitter;

namespace {

// Files the manifests below name; their contents do not matter here.
void WriteShowFiles() {
    for (const char* file : {"data/scene.demo", "data/camera.txt", "data/music.mp3", "data/a.efx"})
        WriteFile(file, "x");
}

// A manifest of the base fields with some replaced ("nil" leaves one out).
std::string Manifest(const std::map<std::string, std::string>& changes = {}) {
    std::map<std::string, std::string> fields = {{"title", "\"A show\""},
                                                 {"scene", "\"data/scene.demo\""},
                                                 {"cameras", "\"data/camera.txt\""},
                                                 {"music", "\"data/music.mp3\""},
                                                 {"length", "8"}};
    for (const auto& [name, value] : changes)
        fields[name] = value;
    std::string text = "show = {\n";
    for (const auto& [name, value] : fields)
        text += "  " + name + " = " + value + ",\n";
    return text + "}\n";
}

std::string Emitters(const std::string& fields) {
    return "{ { node = \"N\", kind = \"curve\", effect = \"data/a.efx\", " + fields + " } }";
}

TEST(ShowManifest, ReadsEveryField) {
    ScratchDir dir;
    WriteShowFiles();
    WriteFile(
        "show.lua",
        Manifest(
            {{"targets", "{ { name = \"glow\", size = 256 }, { name = \"x\", size = 1 } }"},
             {"emitters", "{ { node = \"A\", kind = \"plane\", effect = \"data/a.efx\","
                          " color = { 1, 0.5, 0.25, 0 }, velocity = { 0, 2, 0 },"
                          " width = 3, depth = 4, capacity = 50, initialCount = 7,"
                          " interval = 0.5 },"
                          " { node = \"B\", kind = \"particles\", effect = \"data/a.efx\" } }"}}));
    const engine::gfx::ShowManifest manifest = engine::gfx::ReadShowManifest("show.lua");
    EXPECT_EQ(manifest.title, "A show");
    EXPECT_EQ(manifest.scene, "data/scene.demo");
    EXPECT_EQ(manifest.cameras, "data/camera.txt");
    EXPECT_EQ(manifest.music, "data/music.mp3");
    EXPECT_EQ(manifest.length, 8.0);
    ASSERT_EQ(manifest.targets.size(), 2u);
    EXPECT_EQ(manifest.targets[0].name, "glow");
    EXPECT_EQ(manifest.targets[0].size, 256);
    ASSERT_EQ(manifest.emitters.size(), 2u);
    const ShowEmitter& plane = manifest.emitters[0];
    EXPECT_EQ(plane.kind, ShowEmitter::Kind::Plane);
    EXPECT_EQ(plane.node, "A");
    EXPECT_EQ(plane.effect, "data/a.efx");
    EXPECT_EQ(plane.info.color.z, 0.25f);
    EXPECT_EQ(plane.info.color.w, 0.0f);
    EXPECT_EQ(plane.info.velocity.y, 2.0f);
    EXPECT_EQ(plane.info.width, 3.0f);
    EXPECT_EQ(plane.info.depth, 4.0f);
    EXPECT_EQ(plane.info.capacity, 50);
    EXPECT_EQ(plane.info.initialCount, 7);
    EXPECT_EQ(plane.info.interval, 0.5f);
    // Fields left out keep the engine's defaults.
    const ShowEmitter& particles = manifest.emitters[1];
    EXPECT_EQ(particles.kind, ShowEmitter::Kind::Particles);
    EXPECT_EQ(particles.info.capacity, engine::gfx::EmitterInfo().capacity);
    EXPECT_EQ(particles.info.color.x, 1.0f);
}

TEST(ShowManifest, EveryMistakeNamesTheManifestAndTheField) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "show.lua: show is missing"},
        {"show = 3", "show.lua: show must be a table"},
        {"show = {", "Error in lua script: show.lua:1: unexpected symbol near '<eof>'"},
        {Manifest({{"title", "nil"}}), "show.lua: title is missing"},
        {Manifest({{"title", "5"}}), "show.lua: title must be a text that is not empty"},
        {Manifest({{"scene", "\"data/no.demo\""}}),
         "show.lua: scene names data/no.demo, which does not exist"},
        {Manifest({{"cameras", "\"\""}}), "show.lua: cameras must be a text that is not empty"},
        {Manifest({{"cameras", "\"data\""}}), "show.lua: cameras names data, which does not exist"},
        {Manifest({{"music", "nil"}}), "show.lua: music is missing"},
        {Manifest({{"length", "0"}}), "show.lua: length must be a number of seconds above 0"},
        {Manifest({{"length", "\"8\""}}), "show.lua: length must be a number of seconds above 0"},
        {Manifest({{"targets", "3"}}), "show.lua: targets must be a list"},
        {Manifest({{"targets", "{ { size = 64 } }"}}), "show.lua: targets[1].name is missing"},
        {Manifest({{"targets", "{ { name = \"a\", size = 64 }, { name = \"b\", size = 0 } }"}}),
         "show.lua: targets[2].size must be a whole number of pixels from 1 to 16384"},
        {Manifest({{"emitters", "{ 5 }"}}), "show.lua: emitters[1] must be a table"},
        {Manifest({{"emitters", Emitters("kind = \"fog\"")}}),
         "show.lua: emitters[1].kind must be \"particles\", \"plane\" or \"curve\""},
        {Manifest({{"emitters", Emitters("node = 1")}}),
         "show.lua: emitters[1].node must be a text that is not empty"},
        {Manifest({{"emitters", Emitters("effect = \"data/no.efx\"")}}),
         "show.lua: emitters[1].effect names data/no.efx, which does not exist"},
        {Manifest({{"emitters", Emitters("color = { 1, 2, 3 }")}}),
         "show.lua: emitters[1].color must be a list of 4 numbers"},
        {Manifest({{"emitters", Emitters("velocity = { 1, 2, \"3\" }")}}),
         "show.lua: emitters[1].velocity must be a list of 3 numbers"},
        {Manifest({{"emitters", Emitters("interval = \"fast\"")}}),
         "show.lua: emitters[1].interval must be a number"},
        {Manifest({{"emitters", Emitters("capacity = 1.5")}}),
         "show.lua: emitters[1].capacity must be a whole number of particles from 0 to 1048576"},
    };
    for (const auto& [text, error] : cases) {
        ScratchDir dir;
        WriteShowFiles();
        WriteFile("show.lua", text);
        try {
            engine::gfx::ReadShowManifest("show.lua");
            ADD_FAILURE() << "accepted: " << text;
        } catch (const engine::core::Exception& e) {
            EXPECT_EQ(engine::core::Narrow(e.GetText()), error) << text;
        }
    }
}

} // namespace
