#pragma once

#include "tools/generators/sceneCurve.h"

#include <string>
#include <vector>

namespace kovra::tools {

// A curve of one bone's channel ("LocX" ... "QuatZ").
struct BoneCurve {
    std::string bone;
    SceneCurve curve;
};

// The bytes of a ".anim" file: every named bone at rest (no offset, no
// turn), then the curves.
std::string EncodeAnim(const std::vector<std::string>& bones, const std::vector<BoneCurve>& curves);

} // namespace kovra::tools
