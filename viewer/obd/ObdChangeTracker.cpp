#include "viewer/obd/ObdChangeTracker.h"

namespace viewer::obd {

namespace {

// Copies `from` into `to` when they differ and answers the field's flag, else 0.
template <typename T> std::uint32_t Take(T& to, const T& from, std::uint32_t field) {
    if (to == from) {
        return 0;
    }
    to = from;
    return field;
}

} // namespace

bool ObdChangeTracker::Update(const ObdValues& values) {
    std::uint32_t changed = 0;
    const bool signalsDiffer =
        m_values.leftSignal != values.leftSignal || m_values.rightSignal != values.rightSignal;
    if (signalsDiffer) {
        m_values.leftSignal = values.leftSignal;
        m_values.rightSignal = values.rightSignal;
        changed |= kTurnSignals;
    }
    changed |= Take(m_values.gear, values.gear, kGear);
    changed |= Take(m_values.accelerator, values.accelerator, kAccelerator);
    changed |= Take(m_values.brake, values.brake, kBrake);
    changed |= Take(m_values.economy, values.economy, kEconomy);
    changed |= Take(m_values.speed, values.speed, kSpeed);
    changed |= Take(m_values.distance, values.distance, kDistance);
    changed |= Take(m_values.engineSpeed, values.engineSpeed, kEngineSpeed);
    changed |= Take(m_values.voltageTenths, values.voltageTenths, kVoltage);
    m_changed |= changed;
    return changed != 0;
}

ObdChanges ObdChangeTracker::TakeChanges() {
    ObdChanges changes{m_values, m_changed};
    m_changed = 0;
    return changes;
}

} // namespace viewer::obd
