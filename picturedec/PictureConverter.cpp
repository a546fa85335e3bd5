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


// The destination pixel format and the format reported for a decoder target format.
bool destinationOf(int target, AVPixelFormat& destination, int& reported) {
    if (target == IVideoDecoder::kFormatBgra) {
        destination = AV_PIX_FMT_BGRA;
        reported = IVideoDecoder::kFormatBgra;
        return true;
    }
    if (target >= IVideoDecoder::kFormatYuv && target <= 7) {
        destination = AV_PIX_FMT_YUV420P;
        reported = IVideoDecoder::kFormatYuvPlanar;
        return true;
    }
    return false;
}

void applyControls(SwsContext* scaler, AVPixelFormat destination, const PictureControls& controls) {
    int* sourceTable = nullptr;
    int* destinationTable = nullptr;
    int sourceRange = 0;
    int destinationRange = 0;
    int brightness = 0;
    int contrast = 0;
    int saturation = 0;
    if (sws_getColorspaceDetails(scaler, &sourceTable, &sourceRange, &destinationTable, &destinationRange,
                                 &brightness, &contrast, &saturation) < 0) {
        return;
    }
    if (controls.bt709Target && destination == AV_PIX_FMT_YUV420P) {
        destinationTable = const_cast<int*>(sws_getCoefficients(SWS_CS_ITU709));
        destinationRange = 0;
    }
    sws_setColorspaceDetails(scaler, sourceTable, sourceRange, destinationTable, destinationRange,
                             controls.brightness, controls.contrast, controls.saturation);
}

void scale(SwsContext* scaler, const AVFrame& source, AVPixelFormat destination, const PictureControls& controls,
           std::uint8_t* const planes[4], const int strides[4]) {
    if (controls.apply) {
        applyControls(scaler, destination, controls);
    }
    sws_scale(scaler, source.data, source.linesize, 0, source.height, planes, strides);
}

} // namespace

bool ConvertPicture(const AVFrame& source, int target, int scalerFlags, float lumaBlur,
                    const PictureControls& controls, unsigned char* picture, ConvertedPicture& out) {
    AVPixelFormat destination = AV_PIX_FMT_NONE;
    if (!destinationOf(target, destination, out.reportedFormat)) {
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
    scale(scaler.get(), source, destination, controls, planes, strides);
    out.width = width;
    out.height = height;
    for (int plane = 0; plane < 3; ++plane) {
        out.planes.value[plane] = reinterpret_cast<std::intptr_t>(planes[plane]);
        out.planes.value[8 + plane] = strides[plane];
    }
    return true;
}

bool PictureScaler::Convert(const AVFrame& source, int target, int scalerFlags, const PictureControls& controls,
                            AVFrame& destination) {
    AVPixelFormat format = AV_PIX_FMT_NONE;
    int reported = 0;
    if (!destinationOf(target, format, reported) || destination.format != format ||
        destination.width != source.width || destination.height != source.height) {
        return false;
    }
    m_scaler = sws_getCachedContext(m_scaler, source.width, source.height, static_cast<AVPixelFormat>(source.format),
                                    source.width, source.height, format, scalerFlags, nullptr, nullptr, nullptr);
    if (m_scaler == nullptr) {
        return false;
    }
    scale(m_scaler, source, format, controls, destination.data, destination.linesize);
    return true;
}

PictureScaler::~PictureScaler() {
    sws_freeContext(m_scaler);
}

int PictureScaler::DestinationFormat(int target) {
    AVPixelFormat format = AV_PIX_FMT_NONE;
    int reported = 0;
    return destinationOf(target, format, reported) ? format : -1;
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
