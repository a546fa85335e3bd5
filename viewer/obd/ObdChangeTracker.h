#pragma once
// The page's last shown vehicle values and one changed flag per field: a new record's values
// are compared with the last ones, each change is stored and flagged, and the redraw takes the
// flagged fields and clears their flags. Not thread-safe: its owner uses it from one thread.

#include "viewer/obd/ObdValues.h"

#include <cstdint>

namespace viewer::obd {

enum ObdField : std::uint32_t {
    kTurnSignals = 1U << 0,
    kGear = 1U << 1,
    kAccelerator = 1U << 2,
    kBrake = 1U << 3,
    kEconomy = 1U << 4,
    kSpeed = 1U << 5,
    kDistance = 1U << 6,
    kEngineSpeed = 1U << 7,
    kVoltage = 1U << 8,
    kAllFields = (1U << 9) - 1,
};

// What a redraw needs: the values and the fields to redraw.
struct ObdChanges {
    ObdValues values;
    std::uint32_t fields = 0;
};

class ObdChangeTracker {
public:
    // Stores the fields of `values` that differ from the last ones and flags them. True when
    // any field changed.
    bool Update(const ObdValues& values);
    // Flags every field, so that the next redraw writes them all (after a language change).
    void FlagAll() { m_changed = kAllFields; }
    // The current values with the flagged fields; the flags are cleared.
    ObdChanges TakeChanges();

    const ObdValues& Values() const { return m_values; }
    std::uint32_t ChangedFields() const { return m_changed; }

private:
    ObdValues m_values;          // the last value of each field; zero before the first record
    std::uint32_t m_changed = 0; // ObdField bits
};

} // namespace viewer::obd
