#include "viewer/playbar/PlayBarText.h"

#include <algorithm>

namespace viewer::playbar {
namespace {

// The recorder takes one time-lapse picture for every 15 seconds of real time.
constexpr std::int64_t kTimeLapseStretch = 15;

QString MinutesSeconds(std::int64_t seconds) {
    seconds = std::max<std::int64_t>(seconds, 0);
    const int minutes = static_cast<int>(seconds / 60 % 60);
    const int rest = static_cast<int>(seconds % 60);
    return QStringLiteral("%1:%2").arg(minutes, 2, 10, QLatin1Char('0')).arg(rest, 2, 10, QLatin1Char('0'));
}

} // namespace

QString PlayTimeText(std::int64_t startSecond, std::int64_t endSecond, std::int64_t currentSecond,
                     int currentMillisecond, double timeLapseFactor) {
    std::int64_t elapsed = currentSecond - startSecond;
    std::int64_t length = endSecond - startSecond;
    if (elapsed < 0) {
        elapsed = 0;
        currentMillisecond = 0;
    }
    if (timeLapseFactor < 1.0) {
        elapsed = elapsed * kTimeLapseStretch + currentMillisecond * kTimeLapseStretch / 1000;
        length *= kTimeLapseStretch;
    }
    return MinutesSeconds(elapsed) + QLatin1Char('/') + MinutesSeconds(length);
}

QString VehicleSpeedText(int speed, const QString& unit) {
    return QStringLiteral("%1 %2").arg(speed).arg(unit);
}

} // namespace viewer::playbar
