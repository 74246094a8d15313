#pragma once

#include <cstddef>

// The largest single block the program asked operator new for since the last Reset: proves
// that lying files never make a reader allocate what they claim.
namespace pictavo::testing {

void ResetLargestAllocation();
std::size_t LargestAllocation();

} // namespace pictavo::testing
