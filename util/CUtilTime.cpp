#include "util/CUtilTime.h"

#include "util/UtcFields.h"

#include <clocale>
#include <ctime>
#include <locale.h>

namespace {

// strftime under the "C" locale, whatever the user's locale: "%p" is always AM or PM.
locale_t cLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", nullptr);
    return locale;
}

} // namespace

int CUtilTime::GetYear(std::int64_t t) const {
    std::tm fields{};
    return util::utcFields(t, fields) ? fields.tm_year + 1900 : -1;
}

int CUtilTime::GetMonth(std::int64_t t) const {
    std::tm fields{};
    return util::utcFields(t, fields) ? fields.tm_mon + 1 : -1;
}

int CUtilTime::GetDay(std::int64_t t) const {
    std::tm fields{};
    return util::utcFields(t, fields) ? fields.tm_mday : -1;
}

int CUtilTime::GetHour(std::int64_t t) const {
    std::tm fields{};
    return util::utcFields(t, fields) ? fields.tm_hour : -1;
}

int CUtilTime::GetMinute(std::int64_t t) const {
    std::tm fields{};
    return util::utcFields(t, fields) ? fields.tm_min : -1;
}

int CUtilTime::GetSecond(std::int64_t t) const {
    std::tm fields{};
    return util::utcFields(t, fields) ? fields.tm_sec : -1;
}

std::int64_t CUtilTime::Rebuild(int year, int month, int day, int hour, int minute, int second) {
    std::tm fields{};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_sec = second;
    fields.tm_isdst = -1;
    return static_cast<std::int64_t>(std::mktime(&fields));
}

std::int64_t CUtilTime::GetDate(std::int64_t t) const {
    std::tm f{};
    if (!util::utcFields(t, f)) {
        return -1;
    }
    return Rebuild(f.tm_year + 1900, f.tm_mon + 1, f.tm_mday, 0, 0, 0);
}

std::int64_t CUtilTime::GetDateNext(std::int64_t t) const {
    std::tm f{};
    if (!util::utcFields(t, f)) {
        return -1;
    }
    return Rebuild(f.tm_year + 1900, f.tm_mon + 1, f.tm_mday + 1, 0, 0, 0);
}

std::int64_t CUtilTime::GetNextMinute(std::int64_t t) const {
    std::tm f{};
    if (!util::utcFields(t, f)) {
        return -1;
    }
    return Rebuild(f.tm_year + 1900, f.tm_mon + 1, f.tm_mday, f.tm_hour, f.tm_min + 1, 0);
}

std::int64_t CUtilTime::MakeTime(int year, int month, int day, int hour, int minute,
                                 int second) const {
    return Rebuild(year, month, day, hour, minute, second);
}

bool CUtilTime::Format(std::int64_t t, const char* format, std::string& out) {
    out.clear();
    std::tm fields{};
    if (!util::utcFields(t, fields)) {
        return false;
    }
    char text[kTextBufferChars];
    const std::size_t length = strftime_l(text, sizeof text, format, &fields, cLocale());
    if (length == 0) {
        return false;
    }
    out.assign(text, length);
    return true;
}

int CUtilTime::GetDateTimeString(std::int64_t t, std::string& buf) const {
    return Format(t, "%Y-%m-%d %H:%M:%S", buf) ? 1 : 0;
}

int CUtilTime::GetDateString(std::int64_t t, std::string& buf) const {
    return Format(t, "%Y-%m-%d", buf) ? 1 : 0;
}

int CUtilTime::GetTimeString(std::int64_t t, std::string& buf) const {
    return Format(t, "%H:%M:%S", buf) ? 1 : 0;
}

int CUtilTime::GetTimeString2(std::int64_t t, std::string& buf) const {
    return Format(t, "%p %I:%M:%S", buf) ? 1 : 0;
}

int CUtilTime::GetHourString(std::int64_t t, std::string& buf) const {
    return Format(t, "%H", buf) ? 1 : 0;
}

int CUtilTime::GetEndMinuteTimeString(std::int64_t t, std::string& buf) const {
    return Format(t, "%H:%M:59", buf) ? 1 : 0;
}
