#include "viewer/trip/TripTexts.h"

#include "skinres/CExLangManager.h"

#include <QDateTime>
#include <QTimeZone>

#include <algorithm>
#include <array>

namespace viewer::trip {

using tachy::cli::Incident;

QString TripText(const CExLangManager* language, const char* key, const char* fallback) {
    const QString text =
        language != nullptr ? language->GetText(QString::fromLatin1(key)) : QString();
    return text.isEmpty() ? QString::fromUtf8(fallback) : text;
}

QString IncidentKindText(const CExLangManager* language, Incident::Kind kind) {
    switch (kind) {
    case Incident::Kind::HardBraking:
        return TripText(language, "trip hard braking", "Hard braking");
    case Incident::Kind::Impact:
        return TripText(language, "trip impact", "Impact");
    case Incident::Kind::SharpTurn:
        return TripText(language, "trip sharp turn", "Sharp turn");
    }
    return {};
}

QString IncidentMarkTip(const CExLangManager* language, const Incident& incident,
                        std::int64_t recordingStartMs) {
    const std::int64_t into = std::max<std::int64_t>(incident.startMs - recordingStartMs, 0) / 1000;
    const QString offset = QStringLiteral("%1:%2")
                               .arg(into / 60, 2, 10, QLatin1Char('0'))
                               .arg(into % 60, 2, 10, QLatin1Char('0'));
    const QString clock = QDateTime::fromMSecsSinceEpoch(incident.startMs, QTimeZone::utc())
                              .toString(QStringLiteral("HH:mm:ss"));
    // "%1 at %2 (%3 UTC), %4 g"
    return TripText(language, "trip mark tip", "%1 at %2 (%3 UTC), %4 g")
        .arg(IncidentKindText(language, incident.kind), offset, clock,
             QString::number(incident.peakG, 'f', 2));
}

QString IncidentCountsTip(const CExLangManager* language, const std::vector<Incident>& incidents) {
    constexpr std::array kinds{Incident::Kind::HardBraking, Incident::Kind::Impact,
                               Incident::Kind::SharpTurn};
    QStringList lines;
    for (const Incident::Kind kind : kinds) {
        const auto count = std::count_if(incidents.begin(), incidents.end(),
                                         [kind](const Incident& i) { return i.kind == kind; });
        if (count > 0) {
            lines << QStringLiteral("%1: %2").arg(IncidentKindText(language, kind)).arg(count);
        }
    }
    if (lines.isEmpty()) {
        return {};
    }
    return TripText(language, "trip incidents", "Incidents") + QLatin1Char('\n') +
           lines.join(QLatin1Char('\n'));
}

QString DistanceText(double kilometres) {
    return QStringLiteral("%1 km").arg(kilometres, 0, 'f', 2);
}

QString DurationText(std::int64_t milliseconds) {
    const std::int64_t seconds = std::max<std::int64_t>(milliseconds, 0) / 1000;
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QString SpeedText(double kmh) {
    return QStringLiteral("%1 km/h").arg(kmh, 0, 'f', 1);
}

} // namespace viewer::trip
