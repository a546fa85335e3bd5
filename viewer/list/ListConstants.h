#pragma once
// Identifiers and texts the recording list page shares with the main window and the skin:
// control ids, the command the page sends, and per record mode its button, skin element and
// text key.

#include <array>

namespace tachy::viewer {

// The message every notification of the page travels with (the Windows WM_USER value).
inline constexpr unsigned kWmUser = 0x0400;

inline constexpr int kListControlId = 8528;
inline constexpr int kSaveButtonId = 8512;
inline constexpr int kDeleteButtonId = 8513;
inline constexpr int kAllButtonId = 8517;

// lParam of the list control's notifications: 1 selection changed, 0 play the selection.
inline constexpr int kNotifySelectionChanged = 1;
inline constexpr int kNotifyPlaySelection = 0;
// lParam of the "all" button's notification: stop playback before the filter changes.
inline constexpr int kNotifyStopPlayback = 1;

// The main window's load state: nothing loaded, loaded and stopped, playing.
inline constexpr int kLoadStateNone = 0;
inline constexpr int kLoadStateLoaded = 1;
inline constexpr int kLoadStatePlaying = 2;

inline constexpr int kModeCount = 7;

struct RecordModeInfo {
    int buttonId;
    const char* skinElement;
    const char* textKey;
};

// Index = the entry's record-mode field: normal, event, parking, manual, park event,
// time-lapse, emergency.
inline constexpr std::array<RecordModeInfo, kModeCount> kRecordModes{{
    {8518, "List Normal", "list normal"},
    {8519, "List Event", "list event"},
    {8520, "List Parking", "list parking"},
    {8521, "List Manual", "list manual"},
    {8522, "List ParkEvent", "list parkevent"},
    {8523, "List Timelapse", "list timelapse"},
    {8524, "List Emergency", "list emergency"},
}};

} // namespace tachy::viewer
