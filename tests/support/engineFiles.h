#pragma once

// The tests write their mesh and animation files with the data tools' writers.
#include "tools/generators/engineFiles.h"

namespace kovra::test {
using kovra::tools::AnimFile;
using kovra::tools::EngineFile;
using kovra::tools::KvrBone;
using kovra::tools::KvrFile;
using kovra::tools::KvrSkin;
} // namespace kovra::test
