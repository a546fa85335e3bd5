#pragma once
// Engine driving-data records for the viewer's driving tests: built from the recorder's bytes
// with the engine's own type codes, as the channel-0 worker stores them.

#include "engine/EngineRecords.h"
#include "viewer/driving/DrivingRecordConversion.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace tachy::test {

inline _DRIVING_RECORD EngineRecord(const std::string& bytes) {
    _DRIVING_RECORD record{};
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    record.nType = driving::TypeCode(data, static_cast<std::uint32_t>(bytes.size()));
    record.nLength = static_cast<std::int32_t>(bytes.size());
    std::memcpy(record.data, bytes.data(), std::min(bytes.size(), sizeof record.data));
    return record;
}

inline viewer::driving::SourceRecord BytesOf(const _DRIVING_RECORD& record) {
    return viewer::driving::SourceRecord(reinterpret_cast<const std::uint8_t*>(&record),
                                         sizeof record);
}

template <typename T> void Put(std::string& bytes, std::size_t at, T value) {
    std::memcpy(bytes.data() + at, &value, sizeof value);
}

// A 72-byte binary GPS record with the recorder's fields.
inline std::string GpsBytes(float gx, float gy, float gz, float speed, float latitude,
                            float longitude) {
    std::string bytes(72, '\0');
    Put(bytes, 40, gx);
    Put(bytes, 44, gy);
    Put(bytes, 48, gz);
    Put(bytes, 56, speed);
    Put(bytes, 60, latitude);
    Put(bytes, 64, longitude);
    return bytes;
}

// A 400-byte NMEA record: the sentence at 34 (cut to 256 bytes) and G-sensor thousandths.
inline std::string NmeaBytes(const std::string& sentence, std::int32_t gx = 0, std::int32_t gy = 0,
                             std::int32_t gz = 1000) {
    std::string bytes(400, '\0');
    std::memcpy(bytes.data() + 34, sentence.data(), std::min<std::size_t>(sentence.size(), 256));
    Put(bytes, 290, gx);
    Put(bytes, 294, gy);
    Put(bytes, 298, gz);
    return bytes;
}

} // namespace tachy::test
