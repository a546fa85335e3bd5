#pragma once
// A square, tiling texture of fine and coarse grain (asphalt, plaster, paint) with its mip
// levels, built from a seed: the camera scene samples it at the level that matches how many
// texels one pixel covers, so that far surfaces show their coarse structure instead of
// flickering single texels.

#include <array>
#include <cstdint>
#include <vector>

namespace mkcard {

// Spreads the bits of `value` over the whole word (splitmix64's finaliser): a hash for seeds
// and picture noise that gives the same numbers on every machine.
inline std::uint64_t scrambleBits(std::uint64_t value) {
    value += 0x9E3779B97F4A7C15ULL;
    value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9ULL;
    value = (value ^ (value >> 27)) * 0x94D049BB133111EBULL;
    return value ^ (value >> 31);
}

class GrainTexture {
public:
    static constexpr int kSizeLog2 = 9;
    static constexpr int kSize = 1 << kSizeLog2;
    static constexpr int kLevels = 6;

    explicit GrainTexture(std::uint64_t seed);

    // The grain (about -48..48) at texel (u, v), given in finest-level texels, of mip level
    // `level` (0: finest). Coordinates wrap around.
    int at(int level, std::int64_t u, std::int64_t v) const {
        const std::int64_t mask = (kSize >> level) - 1;
        const std::int64_t row = (v >> level) & mask;
        const std::int64_t column = (u >> level) & mask;
        return m_levels[static_cast<std::size_t>(level)]
                       [static_cast<std::size_t>((row << (kSizeLog2 - level)) + column)];
    }

private:
    std::array<std::vector<std::int8_t>, kLevels> m_levels;
};

} // namespace mkcard
