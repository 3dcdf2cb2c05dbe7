#include "tools/generators/beast.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kovra::tools {

using engine::math::Vector3f;

namespace {

constexpr int kSides = 10;            // vertices round a tube (one more for the seam)
constexpr float kRingSpacing = 0.06f; // between rings along a tube, at unit scale

struct TubePoint {
    Vector3f at;
    float radius;
};

// Where along a tube (point index plus fraction) a bone takes over fully;
// between two anchors the weights blend linearly, so that joints bend
// smoothly.
struct Anchor {
    float along;
    const char* bone;
};

struct Tube {
    std::vector<TubePoint> points;
    std::vector<Anchor> anchors;
    float height = 1.0f; // cross-section height over width
};

KvrSkin SkinAt(const std::vector<Anchor>& anchors, float along) {
    if (along <= anchors.front().along)
        return {{anchors.front().bone, 1.0f}};
    for (std::size_t i = 1; i < anchors.size(); ++i)
        if (along <= anchors[i].along) {
            const float f =
                (along - anchors[i - 1].along) / (anchors[i].along - anchors[i - 1].along);
            if (std::string(anchors[i - 1].bone) == anchors[i].bone || f >= 1.0f)
                return {{anchors[i].bone, 1.0f}};
            if (f <= 0.0f)
                return {{anchors[i - 1].bone, 1.0f}};
            return {{anchors[i - 1].bone, 1.0f - f}, {anchors[i].bone, f}};
        }
    return {{anchors.back().bone, 1.0f}};
}

// Two axes across the direction d.
void CrossAxes(const Vector3f& d, Vector3f& side, Vector3f& up) {
    const Vector3f reference = std::abs(d.y) < 0.9f ? Vector3f(0, 1, 0) : Vector3f(0, 0, 1);
    side = reference ^ d;
    side.Normalize();
    up = d ^ side;
}

void AddTube(MeshModel& mesh, const Tube& tube) {
    const float pi = std::numbers::pi_v<float>;
    const auto firstRing = mesh.VertexCount();
    int rings = 0;
    Vector3f startDirection, endDirection;
    const std::size_t segments = tube.points.size() - 1;
    for (std::size_t s = 0; s < segments; ++s) {
        const TubePoint& a = tube.points[s];
        const TubePoint& b = tube.points[s + 1];
        Vector3f d = b.at - a.at;
        const float length = std::sqrt(d * d);
        d.Normalize();
        if (s == 0)
            startDirection = d;
        endDirection = d;
        Vector3f side, up;
        CrossAxes(d, side, up);
        const int steps = std::max(1, static_cast<int>(std::ceil(length / kRingSpacing)));
        const int last = s + 1 == segments ? steps : steps - 1;
        for (int k = 0; k <= last; ++k, ++rings) {
            const float f = static_cast<float>(k) / steps;
            // Tubes are designed at unit scale.
            const Vector3f centre = (a.at + (b.at - a.at) * f) * kBeastScale;
            const float radius = (a.radius + (b.radius - a.radius) * f) * kBeastScale;
            const KvrSkin skin = SkinAt(tube.anchors, static_cast<float>(s) + f);
            for (int i = 0; i <= kSides; ++i) {
                // The seam runs along the underside.
                const float angle = static_cast<float>(i) / kSides * 2.0f * pi;
                const Vector3f out = side * std::sin(angle) - up * std::cos(angle) * tube.height;
                mesh.positions.push_back(centre + out * radius);
                mesh.normals.push_back(out);
                mesh.texCoords.emplace_back(static_cast<float>(i) / kSides,
                                            static_cast<float>(rings) * 0.1f);
                mesh.skin.push_back(skin);
            }
        }
    }
    const std::uint32_t row = kSides + 1;
    for (int r = 0; r + 1 < rings; ++r)
        for (std::uint32_t i = 0; i < kSides; ++i) {
            const std::uint32_t a = firstRing + static_cast<std::uint32_t>(r) * row + i;
            mesh.Quad(a, a + 1, a + row + 1, a + row,
                      mesh.normals[a] + mesh.normals[a + 1] + mesh.normals[a + row] +
                          mesh.normals[a + row + 1]);
        }
    // Rounded ends: a tip a little beyond each end ring.
    const auto cap = [&](std::uint32_t ring, const TubePoint& end, const Vector3f& outwards) {
        const std::uint32_t tip = mesh.VertexCount();
        mesh.positions.push_back((end.at + outwards * (end.radius * 0.6f)) * kBeastScale);
        mesh.normals.push_back(outwards);
        mesh.texCoords.emplace_back(0.5f, 0.0f);
        mesh.skin.push_back(mesh.skin[ring]);
        for (std::uint32_t i = 0; i < kSides; ++i)
            mesh.Triangle(tip, ring + i, ring + i + 1, outwards);
    };
    cap(firstRing, tube.points.front(), startDirection * -1.0f);
    cap(firstRing + static_cast<std::uint32_t>(rings - 1) * row, tube.points.back(), endDirection);
}

Tube Leg(float x, float z, const char* body, const char* upper, const char* lower) {
    return {{{Vector3f(x, 0.76f, z), 0.085f},
             {Vector3f(x, 0.62f, z), 0.075f},
             {Vector3f(x, 0.33f, z), 0.055f},
             {Vector3f(x, 0.05f, z), 0.045f},
             {Vector3f(x, 0.03f, z + 0.07f), 0.04f}},
            {{0.0f, body}, {0.8f, upper}, {1.8f, upper}, {2.2f, lower}, {4.0f, lower}}};
}

} // namespace

MeshModel BeastModel() {
    MeshModel mesh;
    for (const BeastJoint& joint : BeastJoints()) {
        KvrBone bone;
        bone.name = joint.name;
        bone.parent = joint.parent;
        bone.translation = joint.at;
        // Bind translations are relative to the parent joint.
        for (const BeastJoint& parent : BeastJoints())
            if (parent.name == joint.parent)
                bone.translation = joint.at - parent.at;
        mesh.bones.push_back(bone);
    }
    const Tube body{{{Vector3f(0, 0.72f, -0.68f), 0.13f},
                     {Vector3f(0, 0.70f, -0.42f), 0.21f},
                     {Vector3f(0, 0.70f, 0.0f), 0.24f},
                     {Vector3f(0, 0.73f, 0.40f), 0.22f},
                     {Vector3f(0, 0.78f, 0.64f), 0.14f}},
                    {{1.3f, "Hips"}, {1.75f, "Root"}, {2.25f, "Root"}, {2.75f, "Chest"}},
                    1.15f};
    const Tube neck{{{Vector3f(0, 0.74f, 0.52f), 0.11f},
                     {Vector3f(0, 0.80f, 0.60f), 0.10f},
                     {Vector3f(0, 1.02f, 0.79f), 0.085f},
                     {Vector3f(0, 1.06f, 0.86f), 0.08f}},
                    {{0.6f, "Chest"}, {1.3f, "Neck"}, {2.0f, "Neck"}, {2.6f, "Head"}}};
    const Tube head{{{Vector3f(0, 1.05f, 0.74f), 0.10f},
                     {Vector3f(0, 1.07f, 0.86f), 0.13f},
                     {Vector3f(0, 1.02f, 1.00f), 0.10f},
                     {Vector3f(0, 0.97f, 1.12f), 0.06f}},
                    {{0.0f, "Head"}}};
    const Tube tail{{{Vector3f(0, 0.74f, -0.60f), 0.07f},
                     {Vector3f(0, 0.70f, -0.88f), 0.055f},
                     {Vector3f(0, 0.62f, -1.12f), 0.04f},
                     {Vector3f(0, 0.55f, -1.34f), 0.02f}},
                    {{0.0f, "Hips"},
                     {0.3f, "Tail1"},
                     {0.9f, "Tail1"},
                     {1.1f, "Tail2"},
                     {1.9f, "Tail2"},
                     {2.1f, "Tail3"}}};
    for (const Tube& tube :
         {body, neck, head, tail, Leg(-0.17f, 0.42f, "Chest", "FrontLeftUpper", "FrontLeftLower"),
          Leg(0.17f, 0.42f, "Chest", "FrontRightUpper", "FrontRightLower"),
          Leg(-0.17f, -0.42f, "Hips", "BackLeftUpper", "BackLeftLower"),
          Leg(0.17f, -0.42f, "Hips", "BackRightUpper", "BackRightLower")})
        AddTube(mesh, tube);
    return mesh;
}

} // namespace kovra::tools
