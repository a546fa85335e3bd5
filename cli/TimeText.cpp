#include "cli/TimeText.h"

#include <cstdio>
#include <ctime>

namespace tachy::cli {
namespace {

std::tm Broken(std::int64_t utcMs) {
    const auto seconds = static_cast<std::time_t>(utcMs >= 0 ? utcMs / 1000 : (utcMs - 999) / 1000);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    return utc;
}

int Millisecond(std::int64_t utcMs) {
    return static_cast<int>(((utcMs % 1000) + 1000) % 1000);
}

} // namespace

std::string DateTimeText(std::int64_t utcMs) {
    const std::tm utc = Broken(utcMs);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec);
    return text;
}

std::string IsoTimeText(std::int64_t utcMs) {
    const std::tm utc = Broken(utcMs);
    char text[80];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec,
                  Millisecond(utcMs));
    return text;
}

std::optional<std::int64_t> ParseDateTime(const std::string& text) {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    char separator = 0;
    int consumed = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d%c%2d:%2d:%2d%n", &year, &month, &day, &separator,
                    &hour, &minute, &second, &consumed) != 7 ||
        (separator != ' ' && separator != 'T')) {
        return std::nullopt;
    }
    std::string rest = text.substr(static_cast<std::size_t>(consumed));
    int millisecond = 0;
    if (rest.size() >= 4 && rest[0] == '.' &&
        std::sscanf(rest.c_str() + 1, "%3d", &millisecond) == 1) {
        rest = rest.substr(4);
    }
    if (!(rest.empty() || rest == "Z")) {
        return std::nullopt;
    }
    static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1970 || month < 1 || month > 12 || day < 1 || day > kDays[month - 1] || hour > 23 ||
        minute > 59 || second > 59 || hour < 0 || minute < 0 || second < 0) {
        return std::nullopt;
    }
    std::tm utc{};
    utc.tm_year = year - 1900;
    utc.tm_mon = month - 1;
    utc.tm_mday = day;
    utc.tm_hour = hour;
    utc.tm_min = minute;
    utc.tm_sec = second;
    const std::time_t seconds = timegm(&utc);
    if (utc.tm_mday != day) {
        return std::nullopt; // 29 February of a common year
    }
    return static_cast<std::int64_t>(seconds) * 1000 + millisecond;
}

} // namespace tachy::cli
