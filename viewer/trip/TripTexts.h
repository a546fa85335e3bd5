#pragma once
// The texts of incidents and trip figures in the viewer's language ("Trip" section of the
// language file), with the English text where a language lacks a key.

#include "cli/IncidentFinder.h"

#include <QString>

#include <cstdint>
#include <vector>

class CExLangManager;

namespace viewer::trip {

class TripFigures;

// The text of a key, or `fallback` when the language has none.
QString TripText(const CExLangManager* language, const char* key, const char* fallback);

// "Hard braking", "Impact", "Sharp turn".
QString IncidentKindText(const CExLangManager* language, tachy::cli::Incident::Kind kind);

// A mark's tool tip: kind, time into the recording and UTC time of day, strength in g.
QString IncidentMarkTip(const CExLangManager* language, const tachy::cli::Incident& incident,
                        std::int64_t recordingStartMs);

// A list row's tool tip: the count per kind, one line each; empty without incidents.
QString IncidentCountsTip(const CExLangManager* language,
                          const std::vector<tachy::cli::Incident>& incidents);

// Figures as shown: "12.34 km", "1:02:03", "45.6 km/h".
QString DistanceText(double kilometres);
QString DurationText(std::int64_t milliseconds);
QString SpeedText(double kmh);

} // namespace viewer::trip
