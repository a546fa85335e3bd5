#pragma once
// The main window's export commands: snapshot and print of the frame shown (playback paused
// around their dialogs and resumed afterwards), backup of the checked recordings, deletion of
// the checked recordings with the list rebuilt afterwards, the track of the checked recordings
// as GPX or KML, and the video of the span around the picture shown (playback paused until the
// export ends). Made for one command on the GUI thread from the window's parts; it keeps
// nothing between commands except through them.

#include "engine/CTimeList.h"
#include "viewer/dialogs/DialogTexts.h"
#include "viewer/driving/CDrivingDataTable.h"

#include <functional>
#include <vector>

class CTabList;
class CTachyPlayerApp;
class CTachyPlayerSetup;
class QWidget;

namespace viewer {

class PlaybackController;

class ExportCommands {
public:
    struct Parts {
        QWidget& window;
        CTachyPlayerApp& app;
        CTachyPlayerSetup& setup;
        PlaybackController& playback;
        CTabList& list;
        // The driving values of the picture shown now.
        std::function<driving::FrameDrivingValues()> drivingValues;
    };

    explicit ExportCommands(Parts parts);

    void Snapshot();      // 8548, F6
    void Print();         // 8547, F5
    void Backup();        // 8512
    void DeleteChecked(); // 8513
    void ExportTrack();   // Ctrl+T, the list's menu
    void ExportVideo();   // Ctrl+E, the list's menu

private:
    // Whether the playing recording stands in for the checked ones when none is checked.
    enum class WhenNoneChecked { Nothing, PlayingRow };
    // The checked recordings (or, as asked, the one playing when none is checked); false, and the
    // user told why, when nothing is loaded or there is no recording to work on.
    bool CheckedEntries(std::vector<CTimeList>& entries,
                        WhenNoneChecked fallback = WhenNoneChecked::Nothing);
    dialogs::AskUser Ask() const;
    // Every recording of the list, in the list's order.
    std::vector<CTimeList> ListedEntries() const;

    Parts m_parts;
};

} // namespace viewer
