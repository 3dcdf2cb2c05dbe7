#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace engine::core {

// No mesh, animation or scene file of the show comes near this.
inline constexpr std::uint64_t kMaxDataFileBytes = std::uint64_t{1} << 30;

// The whole of a data file, or nothing when it does not open. It is read in
// pieces, so that a file of more than `limit` bytes, or one that never ends
// (a link to a device), raises "<path> is larger than <limit> bytes" through
// the log instead of taking all memory.
std::optional<std::string> ReadFileBytes(const std::string& path,
                                         std::uint64_t limit = kMaxDataFileBytes);

} // namespace engine::core
