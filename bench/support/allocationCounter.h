#pragma once

// Every benchmark program replaces the global allocation functions with
// counting ones, so a benchmark can report heap allocations per iteration.
namespace kovra::bench {

long AllocationCount();

} // namespace kovra::bench
