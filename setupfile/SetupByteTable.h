#pragma once
// One row of a settings page's byte table: the byte a control edits, its values and defaults.

#include <cstdint>

namespace tachy::setupfile {

// How the page shows a setting.
enum class SetupControl {
    Buttons,        // a row of mutually exclusive buttons; the chosen index is the value
    List,           // a drop-down list; the selected index is the value
    ButtonsAndList, // buttons and a list showing the same byte
    TimeZoneList,   // the drop-down list of TimeZoneList()
};

constexpr int kNoMirror = -1;
constexpr int kNoRangeCheck = -1;

struct SetupByteSetting {
    int offset;  // the byte in the file
    int choices; // the values are 0 to choices - 1
    SetupControl control;
    int group;       // the first page's group (1 to 5); 0 on the second page
    int loadDefault; // shown instead of a value out of range; kNoRangeCheck: shown as stored
    int factoryDefault;
    int buttonDefault; // what the "default" button sets
    int mirrorOffset;  // a second byte that always holds the same value, or kNoMirror
};

// A fixed byte the defaults write besides the table.
struct SetupByteValue {
    int offset;
    std::uint8_t value;
};

} // namespace tachy::setupfile
