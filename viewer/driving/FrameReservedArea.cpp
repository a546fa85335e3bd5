#include "viewer/driving/FrameReservedArea.h"

#include <cstring>

namespace viewer::driving {
namespace {

template <std::size_t byteOffset> void Put(_FRAME_INFO& frame, float value) {
    std::memcpy(&frame.reserved1[ReservedSlot<byteOffset>()], &value, sizeof value);
}

template <std::size_t byteOffset> float Take(const _FRAME_INFO& frame) {
    float value = 0;
    std::memcpy(&value, &frame.reserved1[ReservedSlot<byteOffset>()], sizeof value);
    return value;
}

} // namespace

void WriteReservedArea(_FRAME_INFO& frame, const FrameDrivingFields& fields) {
    Put<frame_offsets::kSpeed>(frame, fields.speed);
    Put<frame_offsets::kLongitude>(frame, fields.longitude);
    Put<frame_offsets::kLatitude>(frame, fields.latitude);
    Put<frame_offsets::kGSensorX>(frame, fields.gSensorX);
    Put<frame_offsets::kGSensorY>(frame, fields.gSensorY);
    Put<frame_offsets::kGSensorZ>(frame, fields.gSensorZ);
}

FrameDrivingFields ReadReservedArea(const _FRAME_INFO& frame) {
    FrameDrivingFields fields;
    fields.speed = Take<frame_offsets::kSpeed>(frame);
    fields.longitude = Take<frame_offsets::kLongitude>(frame);
    fields.latitude = Take<frame_offsets::kLatitude>(frame);
    fields.gSensorX = Take<frame_offsets::kGSensorX>(frame);
    fields.gSensorY = Take<frame_offsets::kGSensorY>(frame);
    fields.gSensorZ = Take<frame_offsets::kGSensorZ>(frame);
    return fields;
}

} // namespace viewer::driving
