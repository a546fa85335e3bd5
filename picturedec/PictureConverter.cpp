#include "picturedec/PictureConverter.h"

#include <memory>

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

namespace picturedec {
namespace {

struct ScalerCloser {
    void operator()(SwsContext* context) const { sws_freeContext(context); }
};
struct FilterCloser {
    void operator()(SwsFilter* filter) const { sws_freeFilter(filter); }
};

} // namespace

bool ConvertPicture(const AVFrame& source, int target, int scalerFlags, float lumaBlur,
                    const PictureControls& controls, unsigned char* picture, ConvertedPicture& out) {
    AVPixelFormat destination = AV_PIX_FMT_NONE;
    if (target == IVideoDecoder::kFormatBgra) {
        destination = AV_PIX_FMT_BGRA;
        out.reportedFormat = IVideoDecoder::kFormatBgra;
    } else if (target >= IVideoDecoder::kFormatYuv && target <= 7) {
        destination = AV_PIX_FMT_YUV420P;
        out.reportedFormat = IVideoDecoder::kFormatYuvPlanar;
    } else {
        return false;
    }
    const int width = source.width;
    const int height = source.height;
    std::uint8_t* planes[4] = {};
    int strides[4] = {};
    if (picture == nullptr ||
        av_image_fill_arrays(planes, strides, picture, destination, width, height, 1) < 0) {
        return false;
    }
    std::unique_ptr<SwsFilter, FilterCloser> filter;
    if (lumaBlur > 0) {
        filter.reset(sws_getDefaultFilter(lumaBlur, 0, 0, 0, 0, 0, 0));
    }
    std::unique_ptr<SwsContext, ScalerCloser> scaler(
        sws_getContext(width, height, static_cast<AVPixelFormat>(source.format), width, height, destination,
                       scalerFlags, filter.get(), nullptr, nullptr));
    if (!scaler) {
        return false;
    }
    if (controls.apply) {
        int* sourceTable = nullptr;
        int* destinationTable = nullptr;
        int sourceRange = 0;
        int destinationRange = 0;
        int brightness = 0;
        int contrast = 0;
        int saturation = 0;
        if (sws_getColorspaceDetails(scaler.get(), &sourceTable, &sourceRange, &destinationTable,
                                     &destinationRange, &brightness, &contrast, &saturation) >= 0) {
            if (controls.bt709Target && destination == AV_PIX_FMT_YUV420P) {
                destinationTable = const_cast<int*>(sws_getCoefficients(SWS_CS_ITU709));
                destinationRange = 0;
            }
            sws_setColorspaceDetails(scaler.get(), sourceTable, sourceRange, destinationTable, destinationRange,
                                     controls.brightness, controls.contrast, controls.saturation);
        }
    }
    sws_scale(scaler.get(), source.data, source.linesize, 0, height, planes, strides);
    out.width = width;
    out.height = height;
    for (int plane = 0; plane < 3; ++plane) {
        out.planes.value[plane] = reinterpret_cast<std::intptr_t>(planes[plane]);
        out.planes.value[8 + plane] = strides[plane];
    }
    return true;
}

void Publish(const ConvertedPicture& picture, _AV_DATA* planes, int* width, int* height, int* format) {
    if (planes != nullptr) {
        for (const int value : {0, 1, 2, 8, 9, 10}) {
            planes->value[value] = picture.planes.value[value];
        }
    }
    if (width != nullptr) {
        *width = picture.width;
    }
    if (height != nullptr) {
        *height = picture.height;
    }
    if (format != nullptr) {
        *format = picture.reportedFormat;
    }
}

} // namespace picturedec
