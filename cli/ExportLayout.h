#pragma once
// Where each camera's picture lies on the exported picture: the front camera alone, the
// cameras next to each other, a 2x2 grid, or the rear camera small in the front's corner.
// Every place has even corners and sizes, as 4:2:0 pictures need.

#include <optional>
#include <string>
#include <vector>

namespace tachy::cli {

struct Region {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

class ExportLayout {
public:
    enum class Kind { Front, SideBySide, Grid, PictureInPicture };

    static std::optional<Kind> KindNamed(const std::string& name);

    // `cameras` cameras of `cameraWidth` x `cameraHeight` (the front camera's size); each
    // camera's place `cellHeight` high (0: the camera's own height).
    ExportLayout(Kind kind, int cameras, int cameraWidth, int cameraHeight, int cellHeight);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // One place per camera shown, in camera order (front first).
    const std::vector<Region>& Regions() const { return m_regions; }

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<Region> m_regions;
};

} // namespace tachy::cli
