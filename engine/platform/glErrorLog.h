#pragma once

#include <functional>
#include <string>

namespace engine::platform {

// Asks the current OpenGL context to report every API error it raises
// (KHR_debug, synchronously, on the calling thread) to `report`, as the
// driver's message. The first kMaxReportedGlErrors are reported; after them
// one last report says that the rest go unreported, so a fault repeated
// every frame cannot flood the log. Does nothing without a current context.
constexpr int kMaxReportedGlErrors = 100;
void ReportGlErrors(std::function<void(const std::string&)> report);

} // namespace engine::platform
