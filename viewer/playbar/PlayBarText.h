#pragma once
// The play bar's two labels: the time "elapsed/length" and the vehicle speed with its unit.

#include <QString>

#include <cstdint>

namespace viewer::playbar {

// What the time label shows before anything plays.
inline constexpr const char* kNoPlayTime = "00:00/00:00";

// "%M:%S/%M:%S": minutes within the hour and seconds, two digits each, of the time elapsed
// since the entry's start and of the entry's length. A time-lapse recording (factor below 1)
// shows real time: both times 15 times longer, the elapsed one counting the current
// millisecond too. A current time before the entry's start shows as 00:00.
QString PlayTimeText(std::int64_t startSecond, std::int64_t endSecond, std::int64_t currentSecond,
                     int currentMillisecond, double timeLapseFactor);

// "%d %s": the speed and the unit text of the language.
QString VehicleSpeedText(int speed, const QString& unit);

} // namespace viewer::playbar
