#pragma once
// What "equal" means for two lines. Set by the engine's entry before every
// comparison and read by every line operation.
#include <cstdint>

struct ComparisonOptions {
    std::int32_t ignoreWhitespace = 0;  // spaces, tabs and CRs anywhere do not count
    std::int32_t ignoreCase = 0;        // ASCII letters compare without regard to case
};

extern ComparisonOptions g_comparisonOptions;
