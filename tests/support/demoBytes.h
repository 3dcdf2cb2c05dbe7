#pragma once

// The tests write their scene files with the data tools' writer.
#include "tools/generators/demoBytes.h"

namespace kovra::test {
using kovra::tools::DemoBytes;
} // namespace kovra::test
