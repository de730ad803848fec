#pragma once
#include <cstddef>

// The largest single allocation through operator new since the last reset, so that a test can
// show that a length field alone never sizes one. The test program replaces operator new for it.
std::size_t LargestAllocation();
void ResetLargestAllocation();
