#include "viewer/obd/ObdFormat.h"

#include <cstdlib>

namespace viewer::obd {

namespace {

QString Group(unsigned value) {
    return QStringLiteral("%1").arg(value, 3, 10, QLatin1Char('0'));
}

// Groups of three digits below a million (or always, when `thirdGroup`), the unit appended.
QString Grouped(std::uint32_t value, bool thirdGroup, const QString& unit) {
    if (value < 1000U) {
        return QString::number(value) + unit;
    }
    if (value < 1000000U || !thirdGroup) {
        return QString::number(value / 1000U) + QLatin1Char(',') + Group(value % 1000U) + unit;
    }
    return QString::number(value / 1000000U) + QLatin1Char(',') + Group(value / 1000U % 1000U) +
           QLatin1Char(',') + Group(value % 1000U) + unit;
}

QString Tenths(int tenths) {
    const QString sign = tenths < 0 ? QStringLiteral("-") : QString();
    const int magnitude = std::abs(tenths);
    return sign + QString::number(magnitude / 10) + QLatin1Char('.') +
           QString::number(magnitude % 10);
}

} // namespace

Variant VariantForModel(int modelCode) {
    return modelCode == 0 || modelCode == 2 || modelCode == 3 ? Variant::A : Variant::B;
}

QString FormatSpeed(int speed) {
    if (speed < 0) {
        return QString::number(speed);
    }
    return Grouped(static_cast<std::uint32_t>(speed), false, QString());
}

QString FormatDistance(std::uint32_t distance, const QString& unit) {
    return Grouped(distance, true, unit);
}

QString FormatEngineSpeed(int rpm, const QString& unit) {
    if (rpm < 0) {
        return QString::number(rpm) + unit;
    }
    return Grouped(static_cast<std::uint32_t>(rpm), false, unit);
}

QString FormatAccelerator(Variant variant, int percent, const QString& title, const QString& unit) {
    if (variant == Variant::B) {
        return QString::number(percent);
    }
    return title + QLatin1Char(' ') + QString::number(percent) + unit;
}

QString FormatVoltage(Variant variant, int tenths, const QString& unit) {
    if (variant == Variant::B) {
        return Tenths(tenths);
    }
    return Tenths(tenths) + QLatin1Char(' ') + unit;
}

const char* LeftSignalImage(bool on) {
    return on ? "obd_t_left_on" : "obd_t_left_off";
}

const char* RightSignalImage(bool on) {
    return on ? "obd_t_right_on" : "obd_t_right_off";
}

const char* GearImage(Gear gear) {
    switch (gear) {
    case Gear::Drive:
        return "obd_gear_d";
    case Gear::Neutral:
        return "obd_gear_n";
    case Gear::Park:
        return "obd_gear_p";
    case Gear::Reverse:
        return "obd_gear_r";
    case Gear::Sport:
        return "obd_gear_s";
    case Gear::None:
        break;
    }
    return "obd_gear_none";
}

const char* BrakeImage(bool pressed) {
    return pressed ? "obd_break_on" : "obd_break_off";
}

const char* EconomyImage(Economy economy) {
    switch (economy) {
    case Economy::White:
        return "obd_eco_white";
    case Economy::Red:
        return "obd_eco_red";
    case Economy::Green:
        break;
    }
    return "obd_eco_green";
}

const char* BrakeTextKey(bool pressed) {
    return pressed ? "obd brake on" : "obd brake off";
}

} // namespace viewer::obd
