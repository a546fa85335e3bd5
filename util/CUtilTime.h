#pragma once
// Calendar fields, rounding and text of the suite's time value (signed 64-bit seconds since
// 1970-01-01 00:00:00). Fields are always taken from the UTC breakdown, with no time-zone
// adjustment; values rebuilt from fields use the local-time conversion, so in a zone other than
// UTC they are the instant at which the local clock shows those fields.

#include <cstdint>
#include <string>

class CUtilTime {
public:
    // Longest text, terminator included, that a string operation writes.
    static constexpr std::size_t kTextBufferChars = 64;

    CUtilTime() = default;
    ~CUtilTime() = default;

    // Each getter answers -1 when the value has no calendar breakdown.
    int GetYear(std::int64_t t) const;
    int GetMonth(std::int64_t t) const;
    int GetDay(std::int64_t t) const;
    int GetHour(std::int64_t t) const;
    int GetMinute(std::int64_t t) const;
    int GetSecond(std::int64_t t) const;

    // Rebuilt time values; -1 when the fields cannot be converted.
    std::int64_t GetDate(std::int64_t t) const;
    std::int64_t GetDateNext(std::int64_t t) const;
    std::int64_t GetNextMinute(std::int64_t t) const;
    std::int64_t MakeTime(int year, int month, int day, int hour, int minute, int second) const;

    // Each writes the text into `buf` (at most 63 characters; empty when t cannot be broken
    // down) and answers 1, or 0 on failure.
    int GetDateTimeString(std::int64_t t, std::string& buf) const;
    int GetDateString(std::int64_t t, std::string& buf) const;
    int GetTimeString(std::int64_t t, std::string& buf) const;
    int GetTimeString2(std::int64_t t, std::string& buf) const;
    int GetHourString(std::int64_t t, std::string& buf) const;
    int GetEndMinuteTimeString(std::int64_t t, std::string& buf) const;

    // The C-locale strftime text of t's UTC fields; shared with CUtilString.
    static bool Format(std::int64_t t, const char* format, std::string& out);

private:
    static std::int64_t Rebuild(int year, int month, int day, int hour, int minute, int second);
};
