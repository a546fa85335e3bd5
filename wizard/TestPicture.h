#pragma once
// The wizard's test picture: planar YUV 4:2:0 of one solid colour (luma 76, the chroma planes
// 90 and 236 in the order they are handed to the display), as wide as the test area rounded down
// to a multiple of 8 and as high as the test area. Written once; read by the feeding thread.

#include <array>
#include <cstdint>
#include <vector>

class TestPicture {
public:
    static constexpr std::uint8_t kLuma = 76;
    static constexpr std::uint8_t kFirstChroma = 90;   // the second plane handed over (Cb)
    static constexpr std::uint8_t kSecondChroma = 236; // the third plane handed over (Cr)

    TestPicture(int areaWidth, int areaHeight);

    // False when the test area is too small for a picture (nothing is fed then).
    bool IsEmpty() const { return m_width <= 0 || m_height <= 0; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    const std::uint8_t* const* Planes() const { return m_planes.data(); }
    const int* Strides() const { return m_strides.data(); }

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<std::uint8_t> m_luma;
    std::vector<std::uint8_t> m_first;
    std::vector<std::uint8_t> m_second;
    std::array<const std::uint8_t*, 3> m_planes{};
    std::array<int, 3> m_strides{};
};
