#pragma once
// The texts and skin image names the vehicle-data page shows for its values, in its two
// variants: variant A (model codes 0, 2 and 3) writes titles and units into the texts and shows
// a brake image; variant B writes bare numbers and shows the brake as text only.

#include "viewer/obd/ObdValues.h"

#include <QString>

namespace viewer::obd {

enum class Variant { A, B };

Variant VariantForModel(int modelCode);

// "%d", or "%d,%03d" from 1,000.
QString FormatSpeed(int speed);
// "%d<unit>" below 1,000, "%d,%03d<unit>" below 1,000,000, else "%d,%03d,%03d<unit>".
QString FormatDistance(std::uint32_t distance, const QString& unit);
// As the distance without a third group: "%d<unit>" or "%d,%03d<unit>".
QString FormatEngineSpeed(int rpm, const QString& unit);
// Variant A "<title> <n><unit>", variant B "<n>".
QString FormatAccelerator(Variant variant, int percent, const QString& title, const QString& unit);
// Tenths split at the point: variant A "12.5 <unit>", variant B "12.5".
QString FormatVoltage(Variant variant, int tenths, const QString& unit);

// Skin image names.
const char* LeftSignalImage(bool on);
const char* RightSignalImage(bool on);
const char* GearImage(Gear gear);
const char* BrakeImage(bool pressed);
const char* EconomyImage(Economy economy);
// Language keys of the brake text.
const char* BrakeTextKey(bool pressed);

} // namespace viewer::obd
