#include "setupfile/TimeSetFile.h"

#include <cstdio>

namespace tachy::setupfile {
namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

bool isLeapYear(std::int64_t year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(std::int64_t year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

// Days from 1970-01-01 to the date (proleptic Gregorian calendar).
std::int64_t daysFromCivil(std::int64_t year, int month, int day) {
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

void civilFromDays(std::int64_t days, std::int64_t& year, int& month, int& day) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
}

} // namespace

std::optional<std::int64_t> TimeSetFile::Compose(int year, int month, int day, int hour, int minute,
                                                 int second) {
    if (year < 1900 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > daysInMonth(year, month) || hour < 0 || hour > 23 || minute < 0 || minute > 59 ||
        second < 0 || second > 59) {
        return std::nullopt;
    }
    return daysFromCivil(year, month, day) * kSecondsPerDay + std::int64_t{hour} * 3600 +
           std::int64_t{minute} * 60 + second;
}

std::string TimeSetFile::Text(std::int64_t time) {
    std::int64_t days = time / kSecondsPerDay;
    std::int64_t rest = time % kSecondsPerDay;
    if (rest < 0) {
        rest += kSecondsPerDay;
        --days;
    }
    std::int64_t year = 0;
    int month = 0;
    int day = 0;
    civilFromDays(days, year, month, day);
    char text[64];
    std::snprintf(text, sizeof text, "%04lld-%02d-%02d %02d:%02d:%02d",
                  static_cast<long long>(year), month, day, static_cast<int>(rest / 3600),
                  static_cast<int>(rest / 60 % 60), static_cast<int>(rest % 60));
    return text;
}

SetupWriteResult TimeSetFile::WriteTimeSet(const SetupFileStore& store,
                                           const std::filesystem::path& settingsFolder,
                                           std::int64_t time) {
    const std::string text = Text(time);
    const auto* data = reinterpret_cast<const std::uint8_t*>(text.data());
    return store.Write(settingsFolder / kTimeSetName, std::span(data, text.size()));
}

SetupWriteResult TimeSetFile::WriteReset(const SetupFileStore& store,
                                         const std::filesystem::path& drive) {
    return store.Write(drive / kResetName, {});
}

} // namespace tachy::setupfile
