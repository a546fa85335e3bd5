#pragma once
// A video stream's FourCC as the codec's common name: the recorders' H.264 tags ("H264",
// "X264", "AVC1", ...) as "H264", the HEVC tags as "HEVC", anything else as its FourCC text.

#include "platform/avi/AviStructures.h"

#include <string>

namespace tachy::cli {

std::string FourCCText(tachy::avi::FourCC code);
std::string CodecName(tachy::avi::FourCC code);

} // namespace tachy::cli
