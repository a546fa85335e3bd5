#pragma once
// The texts of a recording-list row and the list's look per recorder model: date, time,
// duration and file-name columns, and how many rows show and whether the list scrolls
// sideways.

#include <QString>

#include <array>
#include <cstdint>
#include <string>

class CTimeList;

namespace tachy::viewer {

// The model code whose list shows dashed dates, colon-separated times and no file names.
inline constexpr int kModelDashedDates = 401;

// Whole seconds from start to end, rounded up when the millisecond remainder exceeds 500
// (exactly 500 stays down). A negative length counts as 0.
std::int64_t RoundedDurationSeconds(const CTimeList& entry);

// UTC calendar texts of a time value: "%Y%m%d" and "%H%M%S", or "%Y-%m-%d" and "%H:%M:%S"
// for model 401. Empty for a time the calendar cannot express.
QString StartDateText(std::int64_t seconds, int modelCode);
QString StartTimeText(std::int64_t seconds, int modelCode);

// A time span as "%M:%S": minutes within the hour and seconds, two digits each.
QString DurationText(std::int64_t seconds);

// The part of a path after its last separator; empty for model 401.
QString FileNameText(const std::string& path, int modelCode);

// Columns 1 to 5 of an entry's row: mode text, start date, start time, duration, file name.
using RowTexts = std::array<QString, 5>;
RowTexts MakeRowTexts(const CTimeList& entry, const QString& modeText, int modelCode);

// Whether recordings of the record mode are incidents (event, parking, park event), which the
// list shows in its warning colour.
bool IsIncidentMode(int recordMode);

// Rows the list shows at once and whether it scrolls horizontally, by model code.
int VisibleRowsForModel(int modelCode);
bool HorizontalScrollForModel(int modelCode);

} // namespace tachy::viewer
