#include "engine/gfx/demoFile.h"
#include "engine/core/exception.h"
#include "engine/gfx/animationTrack.h"
#include "support/demoBytes.h"
#include "support/logCapture.h"

#include <gtest/gtest.h>

using namespace engine::gfx;
using engine::core::Exception;
using kovra::test::DemoBytes;

namespace {

const std::string kScene = "data/scene.demo";

// One of everything: a camera, an empty parented to it with a Bezier curve,
// a lamp, and a mesh whose parent comes later in the file.
DemoBytes ValidFile() {
    DemoBytes file;
    file.Header(4, 3000);
    file.Object("Camera", "cam", "", "", 0, 0, -10, 0, 0, 0, 1).Hold("LocX", 2);
    file.Object("Empty", "empty", "", "cam", 1, 2, 3, 0.1f, 0.2f, 0.3f, 2);
    file.Curve("LocZ", "Bezier", "Cyclic", 2).Key(0, 0, 1, 0, 4, 3).Key(8, 3, 11, 0, 14, 0);
    file.Curve("Glow", "Linear", "Cyclic_extrapolation", 1).Key(0, 0, 1, 5, 0, 0);
    file.Object("Mesh", "leaf", "leafData", "lamp", 0, 0, 0, 0, 0, 0, 0);
    file.Object("Lamp", "lamp", "", "", 0, 5, 0, 0, 0, 0, 0);
    return file;
}

class DemoFileTest : public ::testing::Test {
protected:
    std::wstring ErrorOf(const std::string& bytes) {
        try {
            ParseDemoFile(bytes, kScene);
        } catch (const Exception& e) {
            EXPECT_EQ(e.GetFunction().rfind(L"demoFile:", 0), 0u);
            return e.GetText();
        }
        ADD_FAILURE() << "no error";
        return L"";
    }

    kovra::test::LogCapture log;
};

} // namespace

TEST_F(DemoFileTest, ReadsEveryField) {
    const DemoFile file = ParseDemoFile(ValidFile().bytes, kScene);
    EXPECT_EQ(file.length, 3000);
    ASSERT_EQ(file.objects.size(), 4u);
    const DemoObject& empty = file.objects[1];
    EXPECT_EQ(empty.kind, "Empty");
    EXPECT_EQ(empty.name, "empty");
    EXPECT_EQ(empty.parentName, "cam");
    EXPECT_EQ(empty.location, engine::math::Vector3f(1, 2, 3));
    EXPECT_EQ(empty.rotation, engine::math::Vector3f(0.1f, 0.2f, 0.3f));
    ASSERT_EQ(empty.curves.size(), 2u);
    const DemoCurve& locZ = empty.curves[0];
    EXPECT_EQ(locZ.channel, "LocZ");
    EXPECT_EQ(locZ.interpolation, DemoCurve::Bezier);
    EXPECT_EQ(locZ.extrapolation, AnimationTrack::Cyclic);
    ASSERT_EQ(locZ.keys.size(), 2u);
    EXPECT_EQ(locZ.keys[1].left.x, 8.0f);
    EXPECT_EQ(locZ.keys[1].left.y, 3.0f);
    EXPECT_EQ(locZ.keys[1].time, 11.0f);
    EXPECT_EQ(locZ.keys[1].right.x, 14.0f);
    EXPECT_EQ(empty.curves[1].interpolation, DemoCurve::Linear);
    EXPECT_EQ(empty.curves[1].extrapolation, AnimationTrack::CyclicExtrapolation);
    EXPECT_EQ(file.objects[2].dataName, "leafData");
}

TEST_F(DemoFileTest, WrongMagicFailsBeforeAnyObject) {
    DemoBytes file = ValidFile();
    file.bytes[0] = 'M';
    EXPECT_EQ(ErrorOf(file.bytes), L"Not KOVRA Demo file format");
    EXPECT_EQ(ErrorOf("DEM"), L"Not KOVRA Demo file format");
    // The magic is checked before the count, however absurd.
    EXPECT_EQ(ErrorOf("DEMX\xff\xff\xff\xff"), L"Not KOVRA Demo file format");
    const std::string row = kovra::test::ErrorRow(141, "demoFile", "Not KOVRA Demo file format");
    EXPECT_EQ(log.Rows(), row + row + row);
}

TEST_F(DemoFileTest, TruncationAnywhereIsAnErrorNamingTheFile) {
    const std::string whole = ValidFile().bytes;
    for (std::size_t size = 4; size < whole.size(); ++size)
        ASSERT_EQ(ErrorOf(whole.substr(0, size)), L"data/scene.demo is a truncated demo file")
            << size;
}

TEST_F(DemoFileTest, CountsBeyondTheFileAreErrorsNotAllocations) {
    const std::wstring truncated = L"data/scene.demo is a truncated demo file";
    DemoBytes objects;
    objects.Header(0xffffffffu).Object("Empty", "a", "", "", 0, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(ErrorOf(objects.bytes), truncated);
    DemoBytes curves;
    curves.Header(1).Object("Empty", "a", "", "", 0, 0, 0, 0, 0, 0, 0x20000000u);
    curves.Curve("LocX", "Linear", "Constant", 0);
    EXPECT_EQ(ErrorOf(curves.bytes), truncated);
    DemoBytes keys;
    keys.Header(1).Object("Empty", "a", "", "", 0, 0, 0, 0, 0, 0, 1);
    keys.Curve("LocX", "Linear", "Constant", 0xffffffffu).Key(0, 0, 1, 0, 0, 0);
    EXPECT_EQ(ErrorOf(keys.bytes), truncated);
    DemoBytes name;
    name.Header(1).U32(0xfffffff0u).Raw(std::string(60, 'a'));
    EXPECT_EQ(ErrorOf(name.bytes), truncated);
}

TEST_F(DemoFileTest, UnknownInterpolationOrExtrapolation) {
    DemoBytes interpolation;
    interpolation.Header(1).Object("Empty", "a", "", "", 0, 0, 0, 0, 0, 0, 1);
    interpolation.Curve("LocX", "Cubic", "Constant", 0);
    EXPECT_EQ(ErrorOf(interpolation.bytes), L"Cubic interpolation type not supported.");
    DemoBytes extrapolation;
    extrapolation.Header(1).Object("Empty", "a", "", "", 0, 0, 0, 0, 0, 0, 1);
    extrapolation.Curve("LocX", "Linear", "Mirror", 0);
    EXPECT_EQ(ErrorOf(extrapolation.bytes), L"Mirror extrapolation type not supported.");
}

TEST_F(DemoFileTest, ParentsMustNameOtherObjectsWithoutLoops) {
    DemoBytes missing;
    missing.Header(1).Object("Empty", "a", "", "ghost", 0, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(ErrorOf(missing.bytes), L"Parent ghost of a not found in data/scene.demo");
    DemoBytes twice;
    twice.Header(2).Object("Empty", "a", "", "", 0, 0, 0, 0, 0, 0, 0);
    twice.Object("Camera", "a", "", "", 0, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(ErrorOf(twice.bytes), L"Object a appears twice in data/scene.demo");
    DemoBytes self;
    self.Header(1).Object("Empty", "a", "", "a", 0, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(ErrorOf(self.bytes), L"Parent loop through a in data/scene.demo");
    DemoBytes loop;
    loop.Header(4).Object("Empty", "root", "", "", 0, 0, 0, 0, 0, 0, 0);
    loop.Object("Empty", "a", "", "c", 0, 0, 0, 0, 0, 0, 0);
    loop.Object("Empty", "b", "", "a", 0, 0, 0, 0, 0, 0, 0);
    loop.Object("Empty", "c", "", "b", 0, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(ErrorOf(loop.bytes), L"Parent loop through a in data/scene.demo");
}

TEST_F(DemoFileTest, NestingIsLimitedForTheRecursiveSceneWalk) {
    auto chain = [](std::uint32_t count) {
        DemoBytes file;
        file.Header(count);
        // Children first: every parent is resolved after all records.
        for (std::uint32_t i = count; i-- > 0;)
            file.Object("Empty", "o" + std::to_string(i), "", i ? "o" + std::to_string(i - 1) : "",
                        0, 0, 0, 0, 0, 0, 0);
        return file.bytes;
    };
    EXPECT_EQ(ParseDemoFile(chain(1000), kScene).objects.size(), 1000u);
    EXPECT_EQ(ErrorOf(chain(1001)), L"data/scene.demo nests objects deeper than 1000 levels");
}
