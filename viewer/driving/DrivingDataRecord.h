#pragma once
// The viewer's 512-byte driving-data record, the form that the G-sensor graph, the map and the
// OBD page read. Byte-exact and little-endian; the fields sit at unaligned offsets, so they are
// read and written through memcpy rather than through a packed struct.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace viewer::driving {

constexpr std::size_t kRecordSize = 512;

// Byte offsets of the fields the viewer reads.
constexpr std::size_t kTypeOffset = 0;       // uint16: low 16 bits of the type code
constexpr std::size_t kFlagsOffset = 13;     // uint8
constexpr std::size_t kGSensorXOffset = 22;  // float32, g
constexpr std::size_t kGSensorYOffset = 26;
constexpr std::size_t kGSensorZOffset = 30;
constexpr std::size_t kLatitudeOffset = 37;  // float32, NMEA ddmm.mmmm, negative = south
constexpr std::size_t kLongitudeOffset = 41; // float32, NMEA dddmm.mmmm, negative = west
constexpr std::size_t kSpeedOffset = 45;     // uint8, km/h

constexpr std::uint8_t kPositionValid = 4;

struct DrivingDataRecord {
    std::array<std::uint8_t, kRecordSize> bytes{};

    std::uint16_t Type() const { return Get<std::uint16_t>(kTypeOffset); }
    std::uint8_t Flags() const { return bytes[kFlagsOffset]; }
    float GSensorX() const { return Get<float>(kGSensorXOffset); }
    float GSensorY() const { return Get<float>(kGSensorYOffset); }
    float GSensorZ() const { return Get<float>(kGSensorZOffset); }
    float Latitude() const { return Get<float>(kLatitudeOffset); }
    float Longitude() const { return Get<float>(kLongitudeOffset); }
    std::uint8_t Speed() const { return bytes[kSpeedOffset]; }
    bool HasPosition() const { return (Flags() & kPositionValid) != 0; }

    void SetType(std::uint16_t type) { Set(kTypeOffset, type); }
    void SetFlags(std::uint8_t flags) { bytes[kFlagsOffset] = flags; }
    void SetGSensor(float x, float y, float z) {
        Set(kGSensorXOffset, x);
        Set(kGSensorYOffset, y);
        Set(kGSensorZOffset, z);
    }
    void SetLatitude(float value) { Set(kLatitudeOffset, value); }
    void SetLongitude(float value) { Set(kLongitudeOffset, value); }
    void SetSpeed(std::uint8_t kmh) { bytes[kSpeedOffset] = kmh; }

private:
    template <typename T> T Get(std::size_t at) const {
        T value{};
        std::memcpy(&value, bytes.data() + at, sizeof value);
        return value;
    }
    template <typename T> void Set(std::size_t at, T value) {
        std::memcpy(bytes.data() + at, &value, sizeof value);
    }
};

static_assert(sizeof(DrivingDataRecord) == kRecordSize);
static_assert(sizeof(float) == 4);
static_assert(kSpeedOffset < kRecordSize);

} // namespace viewer::driving
