#include "viewer/map/CWndMap.h"

#include "platform/net/Reachability.h"
#include "viewer/map/MapConnectivity.h"
#include "viewer/map/MapScript.h"
#include "viewer/map/MapWebPage.h"

#include <QFileInfo>
#include <QTimerEvent>
#include <QVBoxLayout>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace viewer::map {

QString MapPageFile(const QString& languageFolder) {
    return languageFolder + QStringLiteral("/map.html");
}

CWndMap::CWndMap(const QString& page, const QString& host, QWidget* parent, const QString& fallbackHost)
    : IWndMap(parent), m_page(page), m_host(host) {
    auto* layout = new QVBoxLayout(this);  // owned by this widget
    layout->setContentsMargins(0, 0, 0, 0);
    m_view = new QWebEngineView(this);  // child
    m_view->setPage(new MapWebPage(m_view));  // owned by the view
    QWebEngineSettings* settings = m_view->settings();
    // The page is a local file that fetches its map tiles from the map service.
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    m_view->setContextMenuPolicy(Qt::NoContextMenu);
    layout->addWidget(m_view);
    connect(m_view, &QWebEngineView::loadFinished, this, [this](bool ok) { OnLoadFinished(ok); });
    m_connectivity = std::make_unique<MapConnectivity>(
        host.toStdString(), fallbackHost.isEmpty() ? std::string(tachy::Reachability::kFallbackHost) : fallbackHost.toStdString());
}

CWndMap::~CWndMap() {
    if (m_checkTimer != 0) {
        killTimer(m_checkTimer);
    }
    StopUpdates();
    m_connectivity->Stop();
}

void CWndMap::InitialUpdate() {
    if (QFileInfo::exists(m_page)) {
        m_view->load(QUrl::fromLocalFile(QFileInfo(m_page).absoluteFilePath()));
    } else {
        m_view->setHtml(QStringLiteral("<body style=\"background:#1f2229;color:#c8ccd4;font-family:sans-serif\">"
                                       "<p>The map page is missing: %1</p></body>")
                            .arg(m_page.toHtmlEscaped()));
    }
    m_connectivity->Start();
    if (m_checkTimer == 0) {
        m_checkTimer = startTimer(kCheckIntervalMs);
    }
    // The first check runs at once, on the worker, rather than ten seconds later or on the
    // window's thread (a name look-up without a network can take seconds).
    m_connectivity->RequestCheck();
}

void CWndMap::SetStatusCallback(MapStatusCallback callback, void* user) {
    m_connectivity->SetStatusCallback(callback, user);
}

void CWndMap::SetPosition(float latitude100, float longitude100, float knots) {
    const std::lock_guard<std::mutex> guard(m_positionLock);
    m_position.Set(latitude100, longitude100, knots);
}

void CWndMap::StartUpdates() {
    if (m_updateTimer != 0) {
        return;
    }
    RequestRecentre();
    m_updateTimer = startTimer(kUpdateIntervalMs);
}

void CWndMap::StopUpdates() {
    if (m_updateTimer == 0) {
        return;
    }
    killTimer(m_updateTimer);
    m_updateTimer = 0;
}

int CWndMap::CheckConnectivity() {
    return m_connectivity->CheckNow();
}

void CWndMap::SetOnline(int online) {
    m_connectivity->SetOnline(online != 0);
}

int CWndMap::Online() const {
    return m_connectivity->Online() ? 1 : 0;
}

void CWndMap::RequestRecentre() {
    const std::lock_guard<std::mutex> guard(m_positionLock);
    m_position.SetRecentre();
}

void CWndMap::SetRoute(const std::vector<MapPoint>& route) {
    m_route = route;
    m_routeSent = false;
    if (m_pageReady) {
        RunScript(SetRouteCall(m_route));
        m_routeSent = true;
    }
}

void CWndMap::timerEvent(QTimerEvent* event) {
    if (event->timerId() == m_updateTimer) {
        UpdateMap();
    } else if (event->timerId() == m_checkTimer) {
        m_connectivity->RequestCheck();
    } else {
        IWndMap::timerEvent(event);
    }
}

// Online, a new position goes to the page; offline, the map is centred again once it returns.
void CWndMap::UpdateMap() {
    MapView view;
    std::uint64_t generation = 0;
    {
        const std::lock_guard<std::mutex> guard(m_positionLock);
        if (!m_connectivity->Online()) {
            m_position.SetRecentre();
            return;
        }
        if (!m_position.Due()) {
            return;
        }
        view = m_position.View();
        generation = m_position.Generation();
    }
    // Before the page has loaded there is no script to call: the call counts as made.
    if (m_pageReady) {
        RunScript(SetLatLagCall(view));
    }
    const std::lock_guard<std::mutex> guard(m_positionLock);
    m_position.Sent(generation);
}

void CWndMap::OnLoadFinished(bool ok) {
    m_pageReady = ok;
    if (ok && !m_routeSent) {
        RunScript(SetRouteCall(m_route));
        m_routeSent = true;
    }
}

void CWndMap::RunScript(const QString& call) {
    ++m_callsMade;
    m_view->page()->runJavaScript(call);
}

} // namespace viewer::map
