#include "viewer/main/CardWatch.h"

#include "platform/ipc/NamedEvent.h"
#include "viewer/app/ViewerCommands.h"
#include "viewer/main/PlaybackController.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMetaObject>
#include <QObject>
#include <sys/stat.h>

using namespace std::chrono_literals;

namespace viewer {

namespace {

constexpr auto kWatchWait = 100ms;

// A drive here is the root of a mounted volume: the folder lies on another device than its
// parent (or is the file-system root).
bool isMountPoint(const QString& path) {
    const QString clean = QDir::cleanPath(path);
    if (clean == QStringLiteral("/")) {
        return true;
    }
    struct stat self {};
    struct stat parent {};
    const QByteArray native = QFile::encodeName(clean);
    const QByteArray up = QFile::encodeName(QFileInfo(clean).dir().absolutePath());
    return ::stat(native.constData(), &self) == 0 && ::stat(up.constData(), &parent) == 0 &&
           self.st_dev != parent.st_dev;
}

} // namespace

CardWatch::CardWatch(QObject& guiContext, const PlaybackController& playback,
                     std::function<void()> reload)
    : m_guiContext(guiContext), m_playback(playback), m_reload(std::move(reload)) {}

CardWatch::~CardWatch() {
    Stop();
}

void CardWatch::Start() {
    if (m_thread.joinable()) {
        return;
    }
    m_accessEvent = std::make_unique<tachy::NamedEvent>("IPC_SHARED_ACCESS");
    m_run = true;
    m_thread = std::thread([this] { Loop(); });
}

void CardWatch::Stop() {
    m_run = false;
    if (m_thread.joinable()) {
        m_thread.join();
    }
    m_accessEvent.reset();
}

bool CardWatch::ShouldReload() const {
    const QString path = m_playback.LoadedPath();
    const auto isDriveRoot = m_isDriveRoot.load();
    const bool driveRoot = isDriveRoot != nullptr ? isDriveRoot(path) : isMountPoint(path);
    return m_playback.LoadState() != kNothingLoaded && !path.isEmpty() && driveRoot;
}

// The settings program wrote to the card: a card opened at its root is read again (on the GUI
// thread, with the loading dialog).
void CardWatch::Loop() {
    while (m_run) {
        if (!m_accessEvent->isValid()) {
            std::this_thread::sleep_for(kWatchWait);
            continue;
        }
        if (m_accessEvent->wait(kWatchWait) != tachy::NamedEvent::WaitResult::Signaled ||
            !ShouldReload()) {
            continue;
        }
        QMetaObject::invokeMethod(&m_guiContext, m_reload, Qt::QueuedConnection);
    }
}

} // namespace viewer
