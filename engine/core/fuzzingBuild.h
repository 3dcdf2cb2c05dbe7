#pragma once

namespace engine::core {

// True in the libFuzzer build, which runs thousands of inputs a second: the
// limits on scripts and images there are small enough to be reached quickly,
// and still refuse what lies beyond them through the same code.
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
inline constexpr bool kFuzzingBuild = true;
#else
inline constexpr bool kFuzzingBuild = false;
#endif

} // namespace engine::core
