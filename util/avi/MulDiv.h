#pragma once
// a x b / c for the time arithmetic of recording headers: the header's figures (scale, rate,
// length, positions) come from the file and can be anything, so the product is formed in 128
// bits and the result held within 64, where a 64-bit product would overflow.

#include <cstdint>
#include <limits>

namespace tachy::avi {

// a x b / c rounded toward zero, saturated to the int64 range; 0 when c is 0.
inline std::int64_t mulDiv(std::int64_t a, std::int64_t b, std::int64_t c) {
    if (c == 0) {
        return 0;
    }
    const __int128 result = static_cast<__int128>(a) * b / c;
    if (result > std::numeric_limits<std::int64_t>::max()) {
        return std::numeric_limits<std::int64_t>::max();
    }
    if (result < std::numeric_limits<std::int64_t>::min()) {
        return std::numeric_limits<std::int64_t>::min();
    }
    return static_cast<std::int64_t>(result);
}

} // namespace tachy::avi
