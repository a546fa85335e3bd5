#pragma once
// The viewer's values in the reserved area of its copy of a frame record (code 133), read back
// by snapshot and print. The byte offsets are those of the 204-byte frame record of the
// recorder's 32-bit layout; our `_FRAME_INFO` keeps the reserved area as 13 int32 slots but
// widens the fields before it, so the offsets are mapped onto slots here.

#include "engine/EngineRecords.h"

#include <cstddef>
#include <cstdint>
#include <iterator>

namespace viewer::driving {

namespace frame_offsets {
// Bytes before the reserved area in the 204-byte layout: channel, width, height (3 x int32),
// second (int64), millisecond (int32), time (int64), frame flag, format (2 x int32), the
// decoder's values 8 to 15 and 0 to 2 (11 x int32).
constexpr std::size_t kReservedArea = 3 * 4 + 8 + 4 + 8 + 2 * 4 + 11 * 4;
constexpr std::size_t kSpeed = 104;
constexpr std::size_t kLongitude = 108;
constexpr std::size_t kLatitude = 112;
constexpr std::size_t kGSensorX = 124;
constexpr std::size_t kGSensorY = 128;
constexpr std::size_t kGSensorZ = 132;
static_assert(kReservedArea == 84);
} // namespace frame_offsets

constexpr std::size_t kReservedSlots = std::size(_FRAME_INFO{}.reserved1);
static_assert(kReservedSlots == 13);
static_assert(sizeof(_FRAME_INFO{}.reserved1[0]) == sizeof(float));

// The slot of the reserved area that holds the 4 bytes at `byteOffset` of the 204-byte layout.
template <std::size_t byteOffset> constexpr std::size_t ReservedSlot() {
    static_assert(byteOffset >= frame_offsets::kReservedArea);
    static_assert((byteOffset - frame_offsets::kReservedArea) % 4 == 0);
    constexpr std::size_t slot = (byteOffset - frame_offsets::kReservedArea) / 4;
    static_assert(slot < kReservedSlots);
    return slot;
}

// The values the viewer stores in a frame record.
struct FrameDrivingFields {
    float speed = 0;  // km/h
    float longitude = 0;
    float latitude = 0;
    float gSensorX = 0;
    float gSensorY = 0;
    float gSensorZ = 0;
};

void WriteReservedArea(_FRAME_INFO& frame, const FrameDrivingFields& fields);
FrameDrivingFields ReadReservedArea(const _FRAME_INFO& frame);

} // namespace viewer::driving
