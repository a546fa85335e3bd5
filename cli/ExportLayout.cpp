#include "cli/ExportLayout.h"

#include <algorithm>

namespace tachy::cli {
namespace {

int Even(int value) {
    return std::max(2, value / 2 * 2);
}

} // namespace

std::optional<ExportLayout::Kind> ExportLayout::KindNamed(const std::string& name) {
    if (name == "front") {
        return Kind::Front;
    }
    if (name == "side-by-side") {
        return Kind::SideBySide;
    }
    if (name == "grid") {
        return Kind::Grid;
    }
    if (name == "pip") {
        return Kind::PictureInPicture;
    }
    return std::nullopt;
}

ExportLayout::ExportLayout(Kind kind, int cameras, int cameraWidth, int cameraHeight,
                           int cellHeight) {
    const int height = Even(cellHeight > 0 ? cellHeight : cameraHeight);
    const int width = Even(
        static_cast<int>(static_cast<long long>(cameraWidth) * height / std::max(1, cameraHeight)));
    switch (kind) {
    case Kind::Front:
        m_regions = {{0, 0, width, height}};
        break;
    case Kind::SideBySide:
        for (int camera = 0; camera < cameras; ++camera) {
            m_regions.push_back({camera * width, 0, width, height});
        }
        break;
    case Kind::Grid:
        for (int camera = 0; camera < std::min(cameras, 4); ++camera) {
            m_regions.push_back({camera % 2 * width, camera / 2 * height, width, height});
        }
        m_width = 2 * width;
        m_height = 2 * height;
        return;
    case Kind::PictureInPicture: {
        m_regions = {{0, 0, width, height}};
        if (cameras > 1) {
            // The rear camera a third of the size in the bottom right corner, a margin apart.
            const int smallWidth = Even(width / 3);
            const int smallHeight = Even(height / 3);
            const int margin = Even(height / 24);
            m_regions.push_back({Even(width - smallWidth - margin),
                                 Even(height - smallHeight - margin), smallWidth, smallHeight});
        }
        break;
    }
    }
    m_width = std::max(width, m_regions.back().x + m_regions.back().width);
    m_height = height;
}

} // namespace tachy::cli
