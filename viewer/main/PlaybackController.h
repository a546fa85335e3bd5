#pragma once
// The viewer's playback: the load state (nothing loaded, loaded, playing), the commands that
// change it and every call that starts, pauses, steps or stops the replay engine. It owns the
// engine and reaches the window only through PlaybackView, so it runs without a window.
//
// Threads: the commands run on the GUI thread. Engine threads read the load state, the channel
// count, the main channel and the current list index (atomics), count pictures (atomics) and
// set the channel count and list index of the entry playing; the loaded path is guarded by
// m_pathLock because the card watch reads it from its own thread.

#include "viewer/main/PlaybackView.h"

#include <QString>
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

class IIntrReplayEx;

namespace viewer {

class PlaybackController {
public:
    explicit PlaybackController(PlaybackView& view);
    ~PlaybackController();
    PlaybackController(const PlaybackController&) = delete;
    PlaybackController& operator=(const PlaybackController&) = delete;

    // The engine the commands drive; bound by the caller (callbacks, pictures, options).
    void AttachEngine(std::unique_ptr<IIntrReplayEx> engine);
    // Stops the engine, releases its workers and drops it.
    void ReleaseEngine();
    IIntrReplayEx* Engine() const { return m_engine.get(); }

    // One command of the viewer's command bus; false when it is not a playback command.
    bool HandleCommand(std::uintptr_t code, std::intptr_t argument, std::intptr_t& result);

    void Play();
    void PauseOrResume();
    // Play from the list, or go on after a pause or a step; 1 when playback runs afterwards.
    std::intptr_t PlayOrResume();
    void StopPlayback();
    // Stops, then the two-channel layout of a card not playing.
    void StopAndReset();
    // A running file starts again from its beginning; a paused or stepped one stops.
    void StopOrRestart();
    // The previous (-1) or next (1) file: the selection moves while stopped, playback moves on
    // to it while playing.
    void MoveFile(int step);
    void DeleteCurrentFile();
    // Commands that only make sense while playing tell the user so instead of doing nothing.
    bool RequirePlayback();
    // Before a snapshot, print or language dialog: a recording that plays forward is paused.
    // True when it was, so that ResumeAfterDialog plays it on afterwards.
    bool PauseForDialog();
    void ResumeAfterDialog(bool paused);
    // Before a card is read: playback ends at once (the loading dialog follows) and the layout
    // goes back to two channels.
    void PrepareForOpen();

    // The next channel becomes the main one, among the first `channelLimit` shown.
    void RotateMainChannel(int channelLimit);
    // Flip (bit 1) or mirror (bit 2) of the box at a layout position.
    void ToggleTransform(int position, int bit);
    // Speed factor times time-lapse factor, handed to the engine.
    void ApplySpeed(double speed);
    double AppliedSpeed() const { return m_appliedSpeed; }
    void SetPictureControl(bool brightness, int value);

    int LoadState() const { return m_loadState; }
    void SetLoadState(int state);
    QString LoadedPath() const;
    void SetLoadedPath(const QString& path);
    int ChannelCount() const { return m_channelCount; }
    void SetChannelCount(int count) { m_channelCount = count; }
    int MainChannel() const { return m_mainChannel; }
    void SetMainChannel(int channel) { m_mainChannel = channel; }
    int CurrentListIndex() const { return m_currentListIndex; }
    void SetCurrentListIndex(int index) { m_currentListIndex = index; }
    // Pictures shown per channel since the last play; counted on engine threads.
    int PicturesShown(int channel) const {
        return m_picturesShown[static_cast<std::size_t>(channel)];
    }
    void CountPicture(int channel) { ++m_picturesShown[static_cast<std::size_t>(channel)]; }

private:
    void StopEngine();

    PlaybackView& m_view;
    std::unique_ptr<IIntrReplayEx> m_engine;
    std::atomic<int> m_loadState;
    std::atomic<int> m_channelCount{2};
    std::atomic<int> m_mainChannel{0};
    std::atomic<int> m_currentListIndex{-1};
    std::array<std::atomic<int>, 3> m_picturesShown{};
    mutable std::mutex m_pathLock;
    QString m_loadedPath;              // guarded by m_pathLock
    int m_rememberedState = 0;         // GUI thread: the engine state before a pause
    double m_appliedSpeed = 1.0;       // GUI thread
    std::array<int, 3> m_transforms{}; // GUI thread: flip (bit 0) and mirror (bit 1) per box
};

} // namespace viewer
