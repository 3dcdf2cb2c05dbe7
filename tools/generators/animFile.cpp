#include "tools/generators/animFile.h"

#include "tools/generators/engineFiles.h"

namespace kovra::tools {

std::string EncodeAnim(const std::vector<std::string>& bones,
                       const std::vector<BoneCurve>& curves) {
    AnimFile file;
    file.U32(static_cast<std::uint32_t>(bones.size()));
    for (const std::string& bone : bones)
        file.Rest(bone, engine::math::Vector3f(0.0f, 0.0f, 0.0f), 1.0f, 0.0f, 0.0f, 0.0f);
    file.U32(static_cast<std::uint32_t>(curves.size()));
    for (const BoneCurve& c : curves) {
        file.Curve(c.bone, c.curve.channel, c.curve.interpolation, c.curve.extrapolation,
                   static_cast<std::uint32_t>(c.curve.keys.size()));
        for (const CurveKey& k : c.curve.keys)
            file.Key(k.leftX, k.leftY, k.time, k.value, k.rightX, k.rightY);
    }
    return file.bytes;
}

} // namespace kovra::tools
