#pragma once
// Composes one exported picture (YUV 4:2:0) from the cameras' pictures: each scaled with
// libswscale straight into its place on the canvas; places without a picture stay black.

#include "cli/ExportLayout.h"
#include "cli/LibavHandles.h"

#include <vector>

namespace tachy::cli {

class PictureComposer {
public:
    explicit PictureComposer(const ExportLayout& layout);

    // False when the canvas cannot be made (out of memory).
    bool Ready() const { return m_canvas != nullptr; }
    // Starts a new picture: a canvas of its own (the encoder may still hold the last one), black.
    bool Begin();
    // Draws camera `camera`'s picture (null: leaves its place black).
    bool Draw(int camera, const AVFrame* picture);
    AVFrame& Canvas() { return *m_canvas; }

private:
    void FillBlack(const Region& region);
    void CopyPlanes(const AVFrame& picture, const Region& region);

    ExportLayout m_layout;
    FrameHandle m_canvas;
    std::vector<ScalerHandle> m_scalers;
};

} // namespace tachy::cli
