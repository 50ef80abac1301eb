// What the fuzz targets share: a property that aborts the run when it fails, so libFuzzer keeps the
// input, and the listing's own notion of a digit, spelt out apart from the product's.
#pragma once

#include <cstdlib>

namespace dravik::fuzz {

inline void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

inline bool IsDigit(char16_t unit) {
    return unit >= u'0' && unit <= u'9';
}

}  // namespace dravik::fuzz
