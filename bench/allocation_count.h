#pragma once
// Counts every allocation made through operator new in the program this is linked into,
// so a benchmark can report the allocations per message.
#include <cstdint>

namespace kavex::bench {

std::uint64_t allocationsSoFar();

} // namespace kavex::bench
