#include "wizard/TestPicture.h"

#include <algorithm>

TestPicture::TestPicture(int areaWidth, int areaHeight)
    : m_width(std::max(areaWidth, 0) / 8 * 8), m_height(std::max(areaHeight, 0)) {
    if (IsEmpty()) {
        m_width = 0;
        m_height = 0;
        return;
    }
    // The display reads (height + 1) / 2 chroma rows: an odd height needs the last half row too,
    // which a plane of exactly a quarter of the luma size would not hold.
    const std::size_t chromaBytes =
        static_cast<std::size_t>(m_width / 2) * static_cast<std::size_t>((m_height + 1) / 2);
    m_luma.assign(static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height), kLuma);
    m_first.assign(chromaBytes, kFirstChroma);
    m_second.assign(chromaBytes, kSecondChroma);
    m_planes = {m_luma.data(), m_first.data(), m_second.data()};
    m_strides = {m_width, m_width / 2, m_width / 2};
}
