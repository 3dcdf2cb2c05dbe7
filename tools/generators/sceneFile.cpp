#include "tools/generators/sceneFile.h"

#include "tools/generators/demoBytes.h"

namespace kovra::tools {

std::string EncodeScene(const std::vector<SceneObject>& objects, std::uint32_t length) {
    DemoBytes out;
    out.Header(static_cast<std::uint32_t>(objects.size()), length);
    for (const SceneObject& o : objects) {
        out.Object(o.kind, o.name, o.data, o.parent, o.location[0], o.location[1], o.location[2],
                   o.rotation[0], o.rotation[1], o.rotation[2],
                   static_cast<std::uint32_t>(o.curves.size()));
        for (const SceneCurve& curve : o.curves) {
            out.Curve(curve.channel, curve.interpolation, curve.extrapolation,
                      static_cast<std::uint32_t>(curve.keys.size()));
            for (const CurveKey& k : curve.keys)
                out.Key(k.leftX, k.leftY, k.time, k.value, k.rightX, k.rightY);
        }
    }
    return out.bytes;
}

} // namespace kovra::tools
