#include "viewer/driving/DrivingRecordConversion.h"

#include "viewer/driving/RmcSentence.h"

#include <cmath>
#include <cstring>

namespace viewer::driving {
namespace {

constexpr std::uint16_t kGpsType = 1;
constexpr std::uint16_t kNmeaType = 5;

// The recorder's fields, as byte offsets into the engine record (8 bytes of header first).
namespace gps {
constexpr std::size_t kGSensorX = 48;  // float32, g
constexpr std::size_t kGSensorY = 52;
constexpr std::size_t kGSensorZ = 56;
constexpr std::size_t kSpeed = 64;     // float32, km/h
constexpr std::size_t kLatitude = 68;  // float32, NMEA form
constexpr std::size_t kLongitude = 72;
} // namespace gps

namespace nmea {
constexpr std::size_t kText = 42;      // ANSI text, NUL-terminated when shorter than the field
constexpr std::size_t kTextSize = 256;
constexpr std::size_t kGSensorX = 298; // int32, thousandths of g
constexpr std::size_t kGSensorY = 302;
constexpr std::size_t kGSensorZ = 306;
} // namespace nmea

static_assert(gps::kLongitude + sizeof(float) <= kRecordSize);
static_assert(nmea::kText + nmea::kTextSize <= nmea::kGSensorX);
static_assert(nmea::kGSensorZ + sizeof(std::int32_t) <= kRecordSize);

template <typename T> T Read(SourceRecord record, std::size_t at) {
    static_assert(sizeof(T) <= kRecordSize);
    T value{};
    std::memcpy(&value, record.data() + at, sizeof value);
    return value;
}

float Thousandths(SourceRecord record, std::size_t at) {
    return static_cast<float>(Read<std::int32_t>(record, at)) / 1000.0f;
}

DrivingDataRecord WithType(SourceRecord record) {
    DrivingDataRecord converted;
    converted.SetType(TypeOfRecord(record));
    return converted;
}

} // namespace

std::uint16_t TypeOfRecord(SourceRecord record) {
    return static_cast<std::uint16_t>(Read<std::uint32_t>(record, 0) & 0xFFFFu);
}

BlockKind KindOfBlock(SourceRecord first) {
    switch (TypeOfRecord(first)) {
    case kGpsType:
        return BlockKind::Gps;
    case kNmeaType:
        return BlockKind::Nmea;
    default:
        return BlockKind::Unchanged;
    }
}

DrivingDataRecord ConvertRecord(BlockKind kind, SourceRecord record) {
    switch (kind) {
    case BlockKind::Gps:
        return ConvertGpsRecord(record);
    case BlockKind::Nmea:
        return ConvertNmeaRecord(record);
    case BlockKind::Unchanged:
        break;
    }
    return CopyRecord(record);
}

DrivingDataRecord ConvertGpsRecord(SourceRecord record) {
    DrivingDataRecord converted = WithType(record);
    converted.SetGSensor(Read<float>(record, gps::kGSensorX), Read<float>(record, gps::kGSensorY),
                         Read<float>(record, gps::kGSensorZ));
    const float latitude = Read<float>(record, gps::kLatitude);
    const float longitude = Read<float>(record, gps::kLongitude);
    converted.SetLatitude(latitude);
    converted.SetLongitude(longitude);
    converted.SetSpeed(SpeedByte(Read<float>(record, gps::kSpeed)));
    converted.SetFlags(latitude != 0.0f && longitude != 0.0f ? kPositionValid : 0);
    return converted;
}

DrivingDataRecord ConvertNmeaRecord(SourceRecord record) {
    DrivingDataRecord converted = WithType(record);
    converted.SetGSensor(Thousandths(record, nmea::kGSensorX), Thousandths(record, nmea::kGSensorY),
                         Thousandths(record, nmea::kGSensorZ));
    const auto* text = reinterpret_cast<const char*>(record.data() + nmea::kText);
    const RmcFix fix = ParseRmcSentence(BoundedText(text, nmea::kTextSize));
    if (fix.valid) {
        converted.SetLatitude(fix.latitude);
        converted.SetLongitude(fix.longitude);
        converted.SetSpeed(SpeedByte(fix.speedKnots * 1.852f));
        converted.SetFlags(kPositionValid);
    }
    return converted;
}

DrivingDataRecord CopyRecord(SourceRecord record) {
    DrivingDataRecord copy;
    std::memcpy(copy.bytes.data(), record.data(), kRecordSize);
    return copy;
}

std::uint8_t SpeedByte(float kmh) {
    if (!(kmh > 0.0f)) {
        return 0;
    }
    if (kmh >= 255.0f) {
        return 255;
    }
    return static_cast<std::uint8_t>(kmh);
}

} // namespace viewer::driving
