#include "tools/generators/beast.h"

namespace kovra::tools {

const std::vector<BeastJoint>& BeastJoints() {
    // Designed at unit scale.
    const auto V = [](float x, float y, float z) {
        return engine::math::Vector3f(x, y, z) * kBeastScale;
    };
    static const std::vector<BeastJoint> joints = {
        {"Root", "", V(0.0f, 0.70f, 0.0f)},
        {"Hips", "Root", V(0.0f, 0.70f, -0.40f)},
        {"Chest", "Root", V(0.0f, 0.72f, 0.40f)},
        {"Neck", "Chest", V(0.0f, 0.80f, 0.60f)},
        {"Head", "Neck", V(0.0f, 1.04f, 0.80f)},
        {"Tail1", "Hips", V(0.0f, 0.74f, -0.62f)},
        {"Tail2", "Tail1", V(0.0f, 0.70f, -0.88f)},
        {"Tail3", "Tail2", V(0.0f, 0.62f, -1.12f)},
        {"FrontLeftUpper", "Chest", V(-0.17f, 0.62f, 0.42f)},
        {"FrontLeftLower", "FrontLeftUpper", V(-0.17f, 0.33f, 0.42f)},
        {"FrontRightUpper", "Chest", V(0.17f, 0.62f, 0.42f)},
        {"FrontRightLower", "FrontRightUpper", V(0.17f, 0.33f, 0.42f)},
        {"BackLeftUpper", "Hips", V(-0.17f, 0.62f, -0.42f)},
        {"BackLeftLower", "BackLeftUpper", V(-0.17f, 0.33f, -0.42f)},
        {"BackRightUpper", "Hips", V(0.17f, 0.62f, -0.42f)},
        {"BackRightLower", "BackRightUpper", V(0.17f, 0.33f, -0.42f)},
    };
    return joints;
}

} // namespace kovra::tools
