#pragma once
// The recorder's times (UTC milliseconds since 1970) as text and back.

#include <cstdint>
#include <optional>
#include <string>

namespace tachy::cli {

// "2024-02-29 13:05:09" (UTC).
std::string DateTimeText(std::int64_t utcMs);
// "2024-02-29T13:05:09.000Z", as GPX, KML and GeoJSON carry times.
std::string IsoTimeText(std::int64_t utcMs);
// "YYYY-MM-DD HH:MM:SS", "YYYY-MM-DDTHH:MM:SS" (an optional ".mmm" and "Z" accepted) as UTC
// milliseconds; nothing when the text is not such a time.
std::optional<std::int64_t> ParseDateTime(const std::string& text);

} // namespace tachy::cli
