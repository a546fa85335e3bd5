#pragma once
// Which record modes the list shows: per mode whether the skin offers its button, whether the
// button is checked and whether the mode is switched on, plus the "all" button. Unavailable
// modes are never changed by a filter operation, only by the reset of a new load.

#include "viewer/list/ListConstants.h"

#include <array>

namespace tachy::viewer {

class ListFilter {
public:
    explicit ListFilter(const std::array<bool, kModeCount>& available);

    // A load starts: every mode on, "all" and every available button checked.
    void Reset();
    // "all" was pressed: its state goes to every available button and mode.
    void ApplyAll(bool checked);
    // A mode button was pressed: every available mode takes its button's state; "all" is
    // checked exactly when every available mode is on. An unavailable mode is ignored.
    void ApplyMode(int mode, bool checked);

    bool IsAvailable(int mode) const;
    bool IsModeOn(int mode) const;
    bool IsButtonChecked(int mode) const;
    bool IsAllChecked() const { return m_allChecked; }

private:
    static bool valid(int mode) { return mode >= 0 && mode < kModeCount; }
    void updateAll();

    std::array<bool, kModeCount> m_available;
    std::array<bool, kModeCount> m_modeOn{};
    std::array<bool, kModeCount> m_buttonChecked{};
    bool m_allChecked = false;
};

} // namespace tachy::viewer
