#include "viewer/list/ListFormats.h"

#include "engine/CTimeList.h"
#include "viewer/list/TimeInterval.h"

#include <ctime>

namespace tachy::viewer {

namespace {

constexpr char kPathSeparator = '/';

QString formatUtc(std::int64_t seconds, const char* format) {
    const auto time = static_cast<std::time_t>(seconds);
    std::tm parts{};
    if (gmtime_r(&time, &parts) == nullptr) {
        return {};
    }
    char text[32] = {};
    const std::size_t length = std::strftime(text, sizeof text, format, &parts);
    return QString::fromLatin1(text, static_cast<qsizetype>(length));
}

} // namespace

std::int64_t RoundedDurationSeconds(const CTimeList& entry) {
    // Whole milliseconds first, so that an end millisecond below the start millisecond
    // borrows a second instead of being rounded up as a large remainder.
    const TimeInterval interval = TimeInterval::of(entry);
    const std::int64_t length = interval.end - interval.start;
    if (length <= 0) {
        return 0;
    }
    return length / 1000 + (length % 1000 > 500 ? 1 : 0);
}

QString StartDateText(std::int64_t seconds, int modelCode) {
    return formatUtc(seconds, modelCode == kModelDashedDates ? "%Y-%m-%d" : "%Y%m%d");
}

QString StartTimeText(std::int64_t seconds, int modelCode) {
    return formatUtc(seconds, modelCode == kModelDashedDates ? "%H:%M:%S" : "%H%M%S");
}

QString DurationText(std::int64_t seconds) {
    const std::int64_t minutes = (seconds / 60) % 60;
    const std::int64_t rest = seconds % 60;
    return QStringLiteral("%1:%2")
        .arg(minutes, 2, 10, QLatin1Char('0'))
        .arg(rest, 2, 10, QLatin1Char('0'));
}

QString FileNameText(const std::string& path, int modelCode) {
    if (modelCode == kModelDashedDates) {
        return {};
    }
    const std::size_t separator = path.rfind(kPathSeparator);
    const std::string name = separator == std::string::npos ? path : path.substr(separator + 1);
    return QString::fromStdString(name);
}

RowTexts MakeRowTexts(const CTimeList& entry, const QString& modeText, int modelCode) {
    const std::int64_t start = entry.m_llStartSecond[0];
    return {modeText, StartDateText(start, modelCode), StartTimeText(start, modelCode),
            DurationText(RoundedDurationSeconds(entry)),
            FileNameText(entry.CurrentPath(0), modelCode)};
}

int VisibleRowsForModel(int modelCode) {
    switch (modelCode) {
    case 7:
    case 400:
        return 12;
    case 401:
        return 11;
    default:
        return 13;
    }
}

bool HorizontalScrollForModel(int modelCode) {
    switch (modelCode) {
    case 1:
    case 5:
    case 6:
    case 7:
    case 400:
    case 401:
        return true;
    default:
        return false;
    }
}

bool IsIncidentMode(int recordMode) {
    return recordMode == 1 || recordMode == 2 || recordMode == 4;
}

} // namespace tachy::viewer
