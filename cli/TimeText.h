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

// A time as written, no time zone applied.
struct DateTimeFields {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
    bool withFraction = false; // ".5", ".50" or ".500" after the seconds
    bool withZone = false;     // "Z" at the end
};
// "YYYY-MM-DD HH:MM:SS" or "YYYY-MM-DDTHH:MM:SS" (digits exactly so), optionally a fraction of
// a second of one to three digits and "Z"; nothing when the text is not such a time of a real
// day (no 30 February, no 29 February of a common year).
std::optional<DateTimeFields> ParseDateTimeFields(const std::string& text);
// Such a time as UTC milliseconds since 1970 (from 1970 on); nothing when it is not one.
std::optional<std::int64_t> ParseDateTime(const std::string& text);

} // namespace tachy::cli
