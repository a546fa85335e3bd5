#include "tools/mkcard/GrainTexture.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

namespace mkcard {
namespace {

constexpr std::size_t kTexels = static_cast<std::size_t>(GrainTexture::kSize) * GrainTexture::kSize;

// Averages each texel with its neighbours up to `radius` away along rows (step 1) or along
// columns (step kSize), wrapping around the edges.
void boxBlur(std::vector<float>& texels, int radius, bool alongRows) {
    const int size = GrainTexture::kSize;
    std::vector<float> line(static_cast<std::size_t>(size));
    for (int other = 0; other < size; ++other) {
        const auto at = [&](int i) -> float& {
            const int wrapped = (i % size + size) % size;
            return texels[static_cast<std::size_t>(alongRows ? other * size + wrapped
                                                             : wrapped * size + other)];
        };
        float sum = 0;
        for (int i = -radius; i <= radius; ++i) {
            sum += at(i);
        }
        for (int i = 0; i < size; ++i) {
            line[static_cast<std::size_t>(i)] = sum / static_cast<float>(2 * radius + 1);
            sum += at(i + radius + 1) - at(i - radius);
        }
        for (int i = 0; i < size; ++i) {
            at(i) = line[static_cast<std::size_t>(i)];
        }
    }
}

// White noise smoothed over `radius` texels, scaled to a standard deviation of `amplitude`.
std::vector<float> octave(std::uint64_t seed, int radius, float amplitude) {
    std::vector<float> texels(kTexels);
    for (std::size_t i = 0; i < kTexels; ++i) {
        const std::uint64_t bits = scrambleBits(seed + i);
        texels[i] = static_cast<float>(bits >> 40) / static_cast<float>(1 << 24) - 0.5F;
    }
    for (int pass = 0; pass < 2 && radius > 0; ++pass) {
        boxBlur(texels, radius, true);
        boxBlur(texels, radius, false);
    }
    double power = 0;
    for (const float texel : texels) {
        power += static_cast<double>(texel) * texel;
    }
    const auto scale = static_cast<float>(amplitude / std::sqrt(power / kTexels));
    for (float& texel : texels) {
        texel *= scale;
    }
    return texels;
}

} // namespace

GrainTexture::GrainTexture(std::uint64_t seed) {
    // Sharp grit, small stones, patches and broad shading, as on a worn road surface.
    struct Octave {
        int radius;
        float amplitude;
    };
    constexpr Octave kOctaves[] = {{0, 9}, {1, 9}, {4, 8}, {24, 9}};
    std::vector<float> sum(kTexels, 0.0F);
    std::uint64_t octaveSeed = scrambleBits(seed);
    for (const Octave& part : kOctaves) {
        const std::vector<float> layer = octave(octaveSeed, part.radius, part.amplitude);
        for (std::size_t i = 0; i < kTexels; ++i) {
            sum[i] += layer[i];
        }
        octaveSeed = scrambleBits(octaveSeed);
    }
    for (int level = 0; level < kLevels; ++level) {
        const int size = kSize >> level;
        auto& texels = m_levels[static_cast<std::size_t>(level)];
        texels.resize(static_cast<std::size_t>(size) * size);
        for (std::size_t i = 0; i < texels.size(); ++i) {
            texels[i] = static_cast<std::int8_t>(std::clamp(std::lround(sum[i]), -48L, 48L));
        }
        if (level + 1 == kLevels) {
            break;
        }
        // The next level: each texel the mean of a 2 x 2 block of this one.
        const int half = size / 2;
        std::vector<float> next(static_cast<std::size_t>(half) * half);
        for (int v = 0; v < half; ++v) {
            for (int u = 0; u < half; ++u) {
                const auto at = [&](int du, int dv) {
                    return sum[static_cast<std::size_t>((2 * v + dv) * size + 2 * u + du)];
                };
                next[static_cast<std::size_t>(v * half + u)] =
                    (at(0, 0) + at(1, 0) + at(0, 1) + at(1, 1)) / 4;
            }
        }
        sum = std::move(next);
    }
}

} // namespace mkcard
