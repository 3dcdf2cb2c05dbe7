#pragma once

#include "tools/generators/sceneCurve.h"

#include "engine/math/vector3f.h"

#include <functional>
#include <string>
#include <vector>

namespace kovra::tools {

// Where a camera stands and what it looks at, at a time of the show.
struct CameraAim {
    engine::math::Vector3f eye;
    engine::math::Vector3f target;
};

// The rotation curve value (tens of degrees) of an angle in radians.
float CurveDegrees(float radians);

// Rotation about x (pitch, positive looks down) and about y (yaw, 0 looks
// along +z, positive turns towards +x) that turn the view axis (+z) of an
// unrolled camera towards the direction; radians.
void LookAngles(const engine::math::Vector3f& direction, float& pitch, float& yaw);

// The curves below sample a function of the show's time (seconds) every
// `step` seconds, from 0 to the show's end, into smooth Bezier curves.

SceneCurve SampledCurve(const std::string& channel, const std::function<float(float)>& value,
                        float step);
// A rotation channel from an angle in radians; the angle is unwound so that
// it never jumps by a whole turn between keys.
SceneCurve TurnCurve(const std::string& channel, const std::function<float(float)>& radians,
                     float step);
// "LocX", "LocY", "LocZ".
std::vector<SceneCurve> LocationCurves(const std::function<engine::math::Vector3f(float)>& at,
                                       float step);
// Location and "RotX", "RotY", "RotZ" curves of a camera following `aim`.
std::vector<SceneCurve> CameraCurves(const std::function<CameraAim(float)>& aim, float step);

} // namespace kovra::tools
