#pragma once
// FFmpeg's codec identifier for a decoder codec type (0 Motion JPEG, 1 MPEG-4, 3 HEVC, any
// other H.264).

#include "picturedec/IVideoDecoder.h"

extern "C" {
#include <libavcodec/codec_id.h>
}

namespace picturedec {

inline AVCodecID CodecId(int type) {
    switch (type) {
    case IVideoDecoder::kMotionJpeg:
        return AV_CODEC_ID_MJPEG;
    case IVideoDecoder::kMpeg4:
        return AV_CODEC_ID_MPEG4;
    case IVideoDecoder::kHevc:
        return AV_CODEC_ID_HEVC;
    default:
        return AV_CODEC_ID_H264;
    }
}

} // namespace picturedec
