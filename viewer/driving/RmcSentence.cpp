#include "viewer/driving/RmcSentence.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <optional>

namespace viewer::driving {
namespace {

// Fields 0 (talker and type) to 7 (speed over ground) are the ones read.
constexpr std::size_t kFieldsRead = 8;
constexpr std::size_t kStatusField = 2;
constexpr std::size_t kLatitudeField = 3;
constexpr std::size_t kNorthSouthField = 4;
constexpr std::size_t kLongitudeField = 5;
constexpr std::size_t kEastWestField = 6;
constexpr std::size_t kSpeedField = 7;

struct Fields {
    std::array<std::string_view, kFieldsRead> text{};
    std::size_t count = 0;
};

Fields SplitFields(std::string_view sentence) {
    Fields fields;
    while (fields.count < kFieldsRead) {
        const std::size_t comma = sentence.find(',');
        fields.text[fields.count++] = sentence.substr(0, comma);
        if (comma == std::string_view::npos) {
            break;
        }
        sentence.remove_prefix(comma + 1);
    }
    return fields;
}

// A field's number; the checksum ("*hh") that may follow the last field is not part of it.
// Empty, partly numeric and non-finite fields have no number.
std::optional<float> FieldNumber(std::string_view field) {
    field = field.substr(0, field.find('*'));
    if (field.empty()) {
        return std::nullopt;
    }
    float value = 0;
    const char* end = field.data() + field.size();
    const auto [stop, error] = std::from_chars(field.data(), end, value);
    if (error != std::errc() || stop != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

bool IsRmc(std::string_view sentence) {
    return sentence.starts_with("$GPRMC") || sentence.starts_with("$GNRMC");
}

} // namespace

RmcFix ParseRmcSentence(std::string_view sentence) {
    if (!IsRmc(sentence)) {
        return {};
    }
    const Fields fields = SplitFields(sentence);
    if (fields.count <= kEastWestField || fields.text[kStatusField] != "A") {
        return {};
    }
    const std::optional<float> latitude = FieldNumber(fields.text[kLatitudeField]);
    const std::optional<float> longitude = FieldNumber(fields.text[kLongitudeField]);
    if (!latitude || !longitude) {
        return {};
    }
    RmcFix fix;
    fix.valid = true;
    fix.latitude = fields.text[kNorthSouthField] == "S" ? -*latitude : *latitude;
    fix.longitude = fields.text[kEastWestField] == "W" ? -*longitude : *longitude;
    if (fields.count > kSpeedField) {
        fix.speedKnots = FieldNumber(fields.text[kSpeedField]).value_or(0.0f);
    }
    return fix;
}

std::string_view BoundedText(const char* field, std::size_t size) {
    const void* nul = std::memchr(field, '\0', size);
    const std::size_t length =
        nul != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nul) - field) : size;
    return {field, length};
}

} // namespace viewer::driving
