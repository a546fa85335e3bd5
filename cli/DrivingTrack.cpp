#include "cli/DrivingTrack.h"

#include "engine/EngineRecords.h"
#include "util/avi/AviErrors.h"
#include "util/avi/ParsedAviFile.h"
#include "viewer/driving/DrivingRecordConversion.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tachy::cli {
namespace {

constexpr std::int32_t kPreambleMarker = 511;
constexpr std::size_t kSecondOffset = 12;      // in the recorder's bytes
constexpr std::size_t kMillisecondOffset = 26; // in the recorder's bytes

template <typename T> T ReadValue(const std::uint8_t* bytes, std::size_t at) {
    T value{};
    std::memcpy(&value, bytes + at, sizeof value);
    return value;
}

// The record's own time, from its preamble; -1 when it has none. Vehicle records share the
// millisecond bytes with a voltage, so only position records are trusted.
std::int64_t PreambleTime(const _DRIVING_RECORD& record) {
    if ((record.nType != driving::kGps && record.nType != driving::kNmea) ||
        ReadValue<std::int32_t>(record.data, 0) != kPreambleMarker) {
        return -1;
    }
    const auto second = ReadValue<std::uint32_t>(record.data, kSecondOffset);
    const auto millisecond = ReadValue<std::uint16_t>(record.data, kMillisecondOffset);
    return second == 0 || millisecond > 999
               ? -1
               : static_cast<std::int64_t>(second) * 1000 + millisecond;
}

} // namespace

const char* DrivingTrack::KindName(std::int32_t typeCode) {
    switch (typeCode) {
    case driving::kGps:
        return "gps";
    case driving::kNmea:
        return "nmea";
    case driving::kVehicle:
        return "vehicle";
    case driving::kGSensorShort:
        return "g-sensor";
    case driving::kGprmcText:
        return "gprmc-text";
    default:
        return "other";
    }
}

double DrivingTrack::Degrees(float nmea) {
    const double magnitude = std::fabs(static_cast<double>(nmea));
    const double degrees = std::floor(magnitude / 100);
    const double value = degrees + (magnitude - degrees * 100) / 60;
    return nmea < 0 ? -value : value;
}

bool DrivingTrack::Read(const std::filesystem::path& file, std::int64_t startMs) {
    m_samples.clear();
    m_kinds.clear();
    util::ParsedAviFile parsed;
    if (parsed.open(file) != util::kAviOk) {
        return false;
    }
    const util::ParsedAviStream* stream = parsed.findStream(tachy::avi::kTxts);
    if (stream == nullptr) {
        return true;
    }
    auto kind = viewer::driving::BlockKind::Unchanged;
    for (std::uint32_t i = 0; i < stream->length(); ++i) {
        const std::int64_t sample = static_cast<std::int64_t>(stream->start()) + i;
        _DRIVING_RECORD record{};
        const std::int64_t length = parsed.readSample(*stream, sample, nullptr, 0);
        if (length < 0 || parsed.readSample(*stream, sample, record.data, sizeof record.data) < 0) {
            continue;
        }
        record.nType = driving::TypeCode(record.data, static_cast<std::uint32_t>(length));
        record.nLength = static_cast<std::int32_t>(length);
        ++m_kinds[KindName(record.nType)];
        const viewer::driving::SourceRecord source(reinterpret_cast<const std::uint8_t*>(&record),
                                                   sizeof record);
        if (i == 0) {
            kind = viewer::driving::KindOfBlock(source);
        }
        const viewer::driving::DrivingDataRecord converted =
            viewer::driving::ConvertRecord(kind, source);
        DrivingSample out;
        const std::int64_t own = PreambleTime(record);
        out.timeMs = own >= 0 ? own : startMs + std::max<std::int64_t>(0, stream->sampleToTime(i));
        const bool converts = kind != viewer::driving::BlockKind::Unchanged;
        out.gx = converted.GSensorX();
        out.gy = converted.GSensorY();
        out.gz = converted.GSensorZ();
        // Damaged bytes give forces that are no numbers and positions off the globe: they are
        // left out rather than written into GPX, KML and CSV as "nan" or 1e30 degrees.
        out.hasGForce =
            converts && std::isfinite(out.gx) && std::isfinite(out.gy) && std::isfinite(out.gz);
        if (!out.hasGForce) {
            out.gx = out.gy = out.gz = 0;
        }
        out.latitude = Degrees(converted.Latitude());
        out.longitude = Degrees(converted.Longitude());
        out.hasPosition = converts && converted.HasPosition() && std::fabs(out.latitude) <= 90 &&
                          std::fabs(out.longitude) <= 180;
        if (out.hasPosition) {
            out.speedKmh = converted.Speed();
        } else {
            out.latitude = out.longitude = 0;
        }
        m_samples.push_back(out);
    }
    return true;
}

} // namespace tachy::cli
