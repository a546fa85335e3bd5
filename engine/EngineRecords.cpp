#include "engine/EngineRecords.h"

#include "picturedec/DecodedPicture.h"

#include <cstring>

namespace driving {

std::int32_t TypeCode(const std::uint8_t* record, std::uint32_t length) {
    switch (length) {
    case 13:
    case 15:
    case 22:
        return kGSensorShort;
    case 57:
        return kVehicle;
    case 72:
    case 80:
        return kGps;
    case 400:
        return kNmea;
    default:
        break;
    }
    if (record != nullptr && length >= 6 && std::memcmp(record, "G$GPRM", 6) == 0) {
        return kGprmcText;
    }
    return kOther;
}

} // namespace driving

PictureRecord::PictureRecord() = default;
PictureRecord::~PictureRecord() = default;
