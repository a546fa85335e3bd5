#pragma once
// libswscale contexts for the software backend, kept by their sizes and formats: a frame that
// draws the picture and the overview uses two, and neither is rebuilt while the sizes stay.
// Studio-range BT.709 YCbCr or 32-bit B, G, R, X in; full-range B, G, R, X out, bilinear.
// Where the picture shrinks to half its width or less, rows are scaled with libswscale's fast
// two-tap bilinear filter: what a GPU's bilinear texture sampling (the OpenGL backend) does
// too, at a third of the CPU time of the wide filter for a 1080p picture in a 640 x 360 box.
// The caller serialises use (the renderer's lock).

#include <array>
#include <cstdint>

struct SwsContext;

namespace tachy::video {

class SoftwareScaler {
public:
    SoftwareScaler() = default;
    ~SoftwareScaler();
    SoftwareScaler(const SoftwareScaler&) = delete;
    SoftwareScaler& operator=(const SoftwareScaler&) = delete;

    // A context for these sizes, made on first use; null when libswscale refuses them.
    SwsContext* context(int sourceWidth, int sourceHeight, bool yuv, int destWidth, int destHeight);

private:
    struct Entry {
        int sourceWidth = 0;
        int sourceHeight = 0;
        bool yuv = false;
        int destWidth = 0;
        int destHeight = 0;
        SwsContext* context = nullptr; // owned
        std::uint64_t lastUse = 0;
    };

    static SwsContext* make(int sourceWidth, int sourceHeight, bool yuv, int destWidth,
                            int destHeight);

    std::array<Entry, 2> m_entries;
    std::uint64_t m_uses = 0;
};

} // namespace tachy::video
