#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace kovra::tools {

// Writes the whole file, replacing it; false (with a message on stderr) when
// it cannot be written.
bool WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

} // namespace kovra::tools
