#pragma once
// An engine stand-in whose channels show pictures the test made: a 32-bit picture or the three
// planes of a YUV 4:2:0 picture, with row padding so that strides matter.

#include "engine/IIntrReplayEx.h"

#include <array>
#include <cstdint>
#include <vector>

namespace tachy::test {

class SnapshotFakeEngine : public IIntrReplayEx {
public:
    static constexpr int kPadding = 16;

    // Every pixel the same colour, blue first in memory.
    void ShowBgra(int channel, int width, int height, std::uint32_t argb) {
        Picture& picture = m_pictures.at(static_cast<std::size_t>(channel));
        picture = {};
        picture.width = width;
        picture.height = height;
        picture.format = 4;
        picture.strides[0] = width * 4 + kPadding;
        picture.planes[0].assign(static_cast<std::size_t>(picture.strides[0] * height), 0xEE);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                std::uint8_t* pixel = picture.planes[0].data() + y * picture.strides[0] + x * 4;
                pixel[0] = static_cast<std::uint8_t>(argb);
                pixel[1] = static_cast<std::uint8_t>(argb >> 8);
                pixel[2] = static_cast<std::uint8_t>(argb >> 16);
                pixel[3] = 0; // decoders leave anything here
            }
        }
    }

    // Every pixel the same Y, U and V.
    void ShowYuv(int channel, int width, int height, int luma, int blue, int red) {
        Picture& picture = m_pictures.at(static_cast<std::size_t>(channel));
        picture = {};
        picture.width = width;
        picture.height = height;
        picture.format = 6;
        const int chromaWidth = (width + 1) / 2;
        const int chromaHeight = (height + 1) / 2;
        picture.strides = {width + kPadding, chromaWidth + kPadding, chromaWidth + kPadding};
        picture.planes[0].assign(static_cast<std::size_t>(picture.strides[0] * height),
                                 static_cast<std::uint8_t>(luma));
        picture.planes[1].assign(static_cast<std::size_t>(picture.strides[1] * chromaHeight),
                                 static_cast<std::uint8_t>(blue));
        picture.planes[2].assign(static_cast<std::size_t>(picture.strides[2] * chromaHeight),
                                 static_cast<std::uint8_t>(red));
    }

    void Clear(int channel) { m_pictures.at(static_cast<std::size_t>(channel)) = {}; }

    int GetLastVideoImage2(int channel, int* width, int* height, int* sizeCode,
                           _AV_DATA* data) override {
        if (channel < 0 || channel > 2) {
            return 0;
        }
        const Picture& picture = m_pictures[static_cast<std::size_t>(channel)];
        if (picture.format == 0) {
            return 0;
        }
        *width = picture.width;
        *height = picture.height;
        *sizeCode = picture.format;
        *data = {};
        for (std::size_t plane = 0; plane < 3; ++plane) {
            data->value[plane] =
                picture.planes[plane].empty()
                    ? 0
                    : reinterpret_cast<std::intptr_t>(picture.planes[plane].data());
            data->value[8 + plane] = picture.strides[plane];
        }
        return 1;
    }

private:
    struct Picture {
        int width = 0;
        int height = 0;
        int format = 0; // 0: no picture
        std::array<std::vector<std::uint8_t>, 3> planes;
        std::array<int, 3> strides{};
    };
    std::array<Picture, 3> m_pictures;
};

} // namespace tachy::test
