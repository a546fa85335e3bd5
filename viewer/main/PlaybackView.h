#pragma once
// What the playback controller needs from the window that shows it: the user's messages, the
// recording list, and the widgets that follow the load state. The main window implements it;
// the controller's tests use a plain fake. Called on the GUI thread only.

#include "engine/CTimeList.h"

#include <QString>

namespace viewer {

class PlaybackView {
public:
    virtual ~PlaybackView() = default;

    // An information box with the language's text for `key` ("message 002" ...).
    virtual void ShowInfo(const char* key) = 0;
    // Whether the user agrees to delete `fileName`, the file playing now or the selected one.
    virtual bool ConfirmDelete(const QString& fileName, bool playing) = 0;

    // The recording list.
    virtual int ListRowCount() const = 0;
    virtual int ListSelectedRow() const = 0;
    virtual bool ListEntry(int row, CTimeList& entry) = 0;
    virtual void ListSelectRow(int row) = 0;
    virtual void ListMarkNothingPlayed() = 0;
    virtual void ListRemoveEntry(int row, const CTimeList& entry) = 0;
    // The list alone learns a state ahead of the others: the engine asks it for the row to play
    // before the play call returns.
    virtual void ListSetLoadState(int state) = 0;

    // Every widget that follows the load state (list, graph, play bar, panels, displays).
    virtual void LoadStateChanged(int state) = 0;
    // The channel count, main channel or load state moved the boxes: lay them out again.
    virtual void LayOutBoxes() = 0;
    // The main channel changed (the full-screen view shows it).
    virtual void MainChannelChanged(int channel) = 0;
    // Flip (bit 0) and mirror (bit 1) of one box.
    virtual void SetBoxTransform(int box, int transform) = 0;
    // The play bar shows its play button (paused) or its pause button (running).
    virtual void ShowPlayButton(bool show) = 0;
    // Playback stopped: the driving data of the entry played and its last frame are dropped.
    virtual void ForgetPlayedEntry(bool lastFrameToo) = 0;
};

} // namespace viewer
