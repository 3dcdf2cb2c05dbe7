#include "engine/gfx/animReader.h"
#include "engine/core/exception.h"
#include "engine/math/matrixHelpers.h"
#include "support/scratchDir.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>

using namespace engine::gfx;
using engine::core::Exception;
using engine::math::Quaternion;
using engine::math::Vector3f;

namespace {

const std::string kMesh = "data/beast.kvr";

// Little-endian writer for hand-made ".anim" files.
struct AnimBytes {
    std::string bytes;

    AnimBytes& Raw(const std::string& s) {
        bytes += s;
        return *this;
    }
    AnimBytes& U32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes += static_cast<char>((v >> (8 * i)) & 0xff);
        return *this;
    }
    AnimBytes& Float(float f) { return U32(std::bit_cast<std::uint32_t>(f)); }
    AnimBytes& String(const std::string& s) {
        U32(static_cast<std::uint32_t>(s.size()));
        return Raw(s);
    }
    AnimBytes& Rest(const std::string& bone, Vector3f location, float w, float x, float y,
                    float z) {
        String(bone).Float(location.x).Float(location.y).Float(location.z);
        return Float(w).Float(x).Float(y).Float(z);
    }
    AnimBytes& Curve(const std::string& bone, const std::string& channel,
                     const std::string& interpolation, const std::string& extrapolation,
                     std::uint32_t keys) {
        return String(bone).String(channel).String(interpolation).String(extrapolation).U32(keys);
    }
    // left handle, time, value, right handle
    AnimBytes& Key(float lx, float ly, float t, float v, float rx, float ry) {
        return Float(lx).Float(ly).Float(t).Float(v).Float(rx).Float(ry);
    }
};

std::vector<BoneRecord> Skeleton() {
    return {
        {"root", Vector3f(0, 0, 0), Quaternion(), -1},
        {"arm", Vector3f(0, 1, 0), Quaternion(), 0},
        {"hand", Vector3f(0, 0, 0), Quaternion(), 1},
    };
}

const float kHalfRoot = std::sqrt(0.5f);

AnimBytes ValidFile() {
    AnimBytes file;
    file.Raw("ANIM").U32(3);
    file.Rest("root", Vector3f(1, 2, 3), 1, 0, 0, 0);
    // Stored as w, x, y, z and conjugated on reading; w is animated below.
    file.Rest("arm", Vector3f(4, 5, 6), 0.9f, 0, 0, kHalfRoot);
    file.Rest(std::string("hand\0junk", 9), Vector3f(0, 0, 7), 1, 0, 0, 0);
    file.U32(5);
    file.Curve("arm", "LocX", "Linear", "Constant", 2);
    file.Key(-9, -9, 1, 0, -9, -9).Key(-9, -9, 11, 10, -9, -9);
    file.Curve("arm", "QuatW", "Constant", "Cyclic", 1);
    file.Key(0, 0, 1, kHalfRoot, 0, 0);
    file.Curve("hand", "LocZ", "Bezier", "Cyclic_extrapolation", 2);
    file.Key(0, 0, 1, 0, 4, 3).Key(8, 3, 11, 0, 14, 0);
    file.Curve("root", "Scale", "Linear", "Constant", 1).Key(0, 0, 1, 5, 0, 0);
    file.Curve("ghost", "LocY", "Linear", "Constant", 1).Key(0, 0, 1, 5, 0, 0);
    return file;
}

void ExpectNear(const Vector3f& actual, const Vector3f& expected) {
    EXPECT_NEAR(actual.x, expected.x, 1e-5f);
    EXPECT_NEAR(actual.y, expected.y, 1e-5f);
    EXPECT_NEAR(actual.z, expected.z, 1e-5f);
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

class AnimReader : public ::testing::Test {
protected:
    // The log lives in the working directory's "data" folder: a folder of
    // the test's own, so that tests running beside it cannot rewrite it.
    kovra::test::ScratchDir scratch;

    std::wstring ErrorOf(const std::string& bytes,
                         const std::vector<BoneRecord>& bones = Skeleton()) {
        try {
            ParseBoneAnimation(kMesh, bytes, bones);
        } catch (const Exception& e) {
            EXPECT_EQ(e.GetFunction().rfind(L"KVRMesh:", 0), 0u);
            return e.GetText();
        }
        ADD_FAILURE() << "no error";
        return L"";
    }
};

} // namespace

TEST_F(AnimReader, BuildsTheSkeleton) {
    const auto animation = ParseBoneAnimation(kMesh, ValidFile().bytes, Skeleton());
    ASSERT_TRUE(animation);
    std::vector<Bone>& bones = animation->GetBones();
    ASSERT_EQ(bones.size(), 3u);
    EXPECT_EQ(bones[1].GetName(), "arm");
    EXPECT_EQ(bones[0].GetParent(), nullptr);
    EXPECT_EQ(bones[1].GetParent(), &bones[0]);
    EXPECT_EQ(bones[2].GetParent(), &bones[1]);
    EXPECT_EQ(animation->GetFramesPerSecond(), 25.0f);

    // Unknown channels and bones make no pipes.
    EXPECT_TRUE(bones[0].GetController().GetPipes().empty());
    const auto& armPipes = bones[1].GetController().GetPipes();
    ASSERT_EQ(armPipes.size(), 2u);
    EXPECT_EQ(armPipes[0]->GetId(), 1);
    EXPECT_EQ(armPipes[1]->GetId(), 4);
    EXPECT_EQ(armPipes[1]->GetTrack().GetExtrapolation(), AnimationTrack::Cyclic);
    EXPECT_NE(dynamic_cast<QuatPipe*>(armPipes[1].get()), nullptr);
    const auto& handPipes = bones[2].GetController().GetPipes();
    ASSERT_EQ(handPipes.size(), 1u);
    EXPECT_EQ(handPipes[0]->GetId(), 3);
    EXPECT_NE(dynamic_cast<const BezierAnimationTrack*>(&handPipes[0]->GetTrack()), nullptr);

    animation->Advance(0.2f); // 5 frames
    // Handles (4, 3) and (8, 3) at the half-way point: 4.5 - 2.25.
    EXPECT_FLOAT_EQ(handPipes[0]->GetTrack().GetValue(), 2.25f);

    // Arm: rotation (0, 0, -s, s) turns x to -y; location (5, 5, 6) with the
    // rest x replaced by the curve; then the bind offset (0, 1, 0).
    ExpectNear(Vector3f(1, 0, 0) * bones[1].PoseLocal(), Vector3f(5, 5, 6));
    // Root: rest location only, its "Scale" curve plays nothing.
    ExpectNear(Vector3f(0, 0, 0) * bones[0].PoseLocal(), Vector3f(1, 2, 3));
    ExpectNear(Vector3f(1, 0, 0) * bones[1].PoseWorld(), Vector3f(6, 7, 9));
    // Hand: the name was cut at the zero byte; rest z replaced by the curve.
    EXPECT_EQ(bones[2].GetName(), "hand");
    ExpectNear(Vector3f(0, 0, 0) * bones[2].PoseLocal(), Vector3f(0, 0, 2.25f));
}

TEST_F(AnimReader, ReadsTheFileBesideTheMesh) {
    std::filesystem::create_directories("data/animTest");
    WriteFile("data/animTest/beast.anim", ValidFile().bytes);
    const auto animation = ReadBoneAnimation("data/animTest/beast.kvr", Skeleton());
    ASSERT_TRUE(animation);
    EXPECT_EQ(animation->GetBones().size(), 3u);
    EXPECT_EQ(ReadBoneAnimation("data/animTest/missing.kvr", Skeleton()), nullptr);
}

TEST_F(AnimReader, WrongMagicIsReportedAndLogged) {
    AnimBytes file = ValidFile();
    file.bytes[3] = 'X';
    EXPECT_EQ(ErrorOf(file.bytes), L"data/beast.kvr is not an kovra animation");
    EXPECT_EQ(ErrorOf(""), L"data/beast.kvr is not an kovra animation");

    std::ifstream log("data/log.html", std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("<tr class=\"error\"><td>ERROR</td><td>"), std::string::npos);
    EXPECT_NE(text.find("</td><td>KVRMesh</td><td>data/beast.kvr is not an kovra "
                        "animation</td></tr>\r\n"),
              std::string::npos);
}

TEST_F(AnimReader, UnknownInterpolationOrExtrapolation) {
    AnimBytes interpolation;
    interpolation.Raw("ANIM").U32(0).U32(1).Curve("arm", "LocX", "Cubic", "Constant", 0);
    EXPECT_EQ(ErrorOf(interpolation.bytes), L"Cubic interpolation type not supported.");
    AnimBytes extrapolation;
    extrapolation.Raw("ANIM").U32(0).U32(1).Curve("arm", "LocX", "Linear", "Mirror", 0);
    EXPECT_EQ(ErrorOf(extrapolation.bytes), L"Mirror extrapolation type not supported.");
}

TEST_F(AnimReader, TruncationAnywhereIsAnError) {
    const std::string whole = ValidFile().bytes;
    for (std::size_t size = 4; size < whole.size(); ++size)
        ASSERT_EQ(ErrorOf(whole.substr(0, size)), L"data/beast.kvr has a truncated animation")
            << size;
}

TEST_F(AnimReader, AbsurdCountsAreErrorsNotAllocations) {
    const std::wstring truncated = L"data/beast.kvr has a truncated animation";
    AnimBytes rests;
    rests.Raw("ANIM").U32(0xffffffffu).Rest("root", Vector3f(), 1, 0, 0, 0);
    EXPECT_EQ(ErrorOf(rests.bytes), truncated);
    AnimBytes curves;
    curves.Raw("ANIM").U32(0).U32(0x10000000u).Curve("arm", "LocX", "Linear", "Constant", 0);
    EXPECT_EQ(ErrorOf(curves.bytes), truncated);
    AnimBytes keys;
    keys.Raw("ANIM").U32(0).U32(1).Curve("arm", "LocX", "Linear", "Constant", 0xffffffffu);
    keys.Key(0, 0, 1, 0, 0, 0);
    EXPECT_EQ(ErrorOf(keys.bytes), truncated);
    AnimBytes name;
    name.Raw("ANIM").U32(1).U32(0xfffffff0u).Raw(std::string(40, 'a'));
    EXPECT_EQ(ErrorOf(name.bytes), truncated);
}

TEST_F(AnimReader, BrokenHierarchyIsAnError) {
    AnimBytes empty;
    empty.Raw("ANIM").U32(0).U32(0);
    std::vector<BoneRecord> loop = Skeleton();
    loop[0].parent = 2;
    EXPECT_EQ(ErrorOf(empty.bytes, loop), L"data/beast.kvr has an invalid bone hierarchy");
    std::vector<BoneRecord> outside = Skeleton();
    outside[2].parent = 3;
    EXPECT_EQ(ErrorOf(empty.bytes, outside), L"data/beast.kvr has an invalid bone hierarchy");
    std::vector<BoneRecord> self = Skeleton();
    self[1].parent = 1;
    EXPECT_EQ(ErrorOf(empty.bytes, self), L"data/beast.kvr has an invalid bone hierarchy");
}
