#pragma once
// The watch for the settings program's changes to the card: a thread waits on the shared
// "IPC_SHARED_ACCESS" event and, when a card opened at its drive root is loaded, has the card
// read again on the GUI thread.
//
// Threads: the watch thread reads the playback controller's load state and path (both safe from
// any thread) and queues the reload to `guiContext`'s thread; Start and Stop run on the GUI
// thread.

#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

class QObject;

namespace tachy {
class NamedEvent;
}

namespace viewer {

class PlaybackController;

class CardWatch {
public:
    // `reload` runs on `guiContext`'s thread; both must outlive the watch (or its Stop).
    CardWatch(QObject& guiContext, const PlaybackController& playback,
              std::function<void()> reload);
    ~CardWatch();
    CardWatch(const CardWatch&) = delete;
    CardWatch& operator=(const CardWatch&) = delete;

    void Start();
    void Stop();
    // Whether a signal now reloads the loaded path: only a card opened at its drive root.
    bool ShouldReload() const;
    // For tests: whether a path counts as a drive root.
    void SetDriveRootTest(bool (*isDriveRoot)(const QString&)) { m_isDriveRoot = isDriveRoot; }

private:
    void Loop();

    QObject& m_guiContext;
    const PlaybackController& m_playback;
    std::function<void()> m_reload; // immutable
    std::unique_ptr<tachy::NamedEvent>
        m_accessEvent; // made before the thread starts, freed after it ends
    std::thread m_thread;
    std::atomic<bool> m_run{false};
    std::atomic<bool (*)(const QString&)> m_isDriveRoot{nullptr};
};

} // namespace viewer
