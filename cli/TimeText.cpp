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

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The number of `count` digits from `at` on (checked to be digits before).
int Number(const std::string& text, std::size_t at, std::size_t count) {
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        value = value * 10 + (text[i] - '0');
    }
    return value;
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

std::optional<DateTimeFields> ParseDateTimeFields(const std::string& text) {
    // Digits exactly where the pattern has them: sscanf's numbers would also take signs,
    // spaces and fewer digits ("2024- 2-29", ".5" as 5 ms).
    static constexpr char kPattern[] = "dddd-dd-dd?dd:dd:dd";
    constexpr std::size_t kLength = sizeof kPattern - 1;
    if (text.size() < kLength) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < kLength; ++i) {
        const char c = text[i];
        const bool fits = kPattern[i] == 'd'   ? IsDigit(c)
                          : kPattern[i] == '?' ? c == ' ' || c == 'T'
                                               : c == kPattern[i];
        if (!fits) {
            return std::nullopt;
        }
    }
    DateTimeFields fields;
    fields.year = Number(text, 0, 4);
    fields.month = Number(text, 5, 2);
    fields.day = Number(text, 8, 2);
    fields.hour = Number(text, 11, 2);
    fields.minute = Number(text, 14, 2);
    fields.second = Number(text, 17, 2);
    std::size_t at = kLength;
    if (at < text.size() && text[at] == '.') {
        std::size_t digits = 0;
        while (at + 1 + digits < text.size() && IsDigit(text[at + 1 + digits])) {
            ++digits;
        }
        if (digits < 1 || digits > 3) {
            return std::nullopt;
        }
        fields.millisecond = Number(text, at + 1, digits) * (digits == 1   ? 100
                                                             : digits == 2 ? 10
                                                                           : 1);
        fields.withFraction = true;
        at += 1 + digits;
    }
    if (at < text.size() && text[at] == 'Z') {
        fields.withZone = true;
        ++at;
    }
    const bool leap = fields.year % 4 == 0 && (fields.year % 100 != 0 || fields.year % 400 == 0);
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (at != text.size() || fields.month < 1 || fields.month > 12 || fields.day < 1 ||
        fields.day > kDays[fields.month - 1] + (fields.month == 2 && leap ? 1 : 0) ||
        fields.hour > 23 || fields.minute > 59 || fields.second > 59) {
        return std::nullopt;
    }
    return fields;
}

std::optional<std::int64_t> ParseDateTime(const std::string& text) {
    const auto fields = ParseDateTimeFields(text);
    if (!fields || fields->year < 1970) {
        return std::nullopt;
    }
    std::tm utc{};
    utc.tm_year = fields->year - 1900;
    utc.tm_mon = fields->month - 1;
    utc.tm_mday = fields->day;
    utc.tm_hour = fields->hour;
    utc.tm_min = fields->minute;
    utc.tm_sec = fields->second;
    return static_cast<std::int64_t>(timegm(&utc)) * 1000 + fields->millisecond;
}

} // namespace tachy::cli
