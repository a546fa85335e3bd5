#pragma once
// The map page: a web view showing the language folder's "map.html" and moving its map through
// the page's script function setLatLag every two seconds while a recording plays and the
// Internet can be reached. A worker checks the connection every ten seconds. The page also gets
// the whole route of the recording (setRoute), which it draws online and offline alike.

#include "viewer/map/IWndMap.h"
#include "viewer/map/MapPosition.h"

#include <QString>
#include <memory>
#include <mutex>

class QWebEngineView;

namespace viewer::map {

class MapConnectivity;

class CWndMap : public IWndMap {
    Q_OBJECT

public:
    static constexpr int kUpdateIntervalMs = 2000;
    static constexpr int kCheckIntervalMs = 10000;

    // `page`: the map page's file; `host`: the connectivity target.
    CWndMap(const QString& page, const QString& host, QWidget* parent = nullptr,
            const QString& fallbackHost = QString());
    ~CWndMap() override;
    CWndMap(const CWndMap&) = delete;
    CWndMap& operator=(const CWndMap&) = delete;

    // Loads the page, starts the worker and the check timer, and asks for a first check.
    void InitialUpdate();

    void SetStatusCallback(MapStatusCallback callback, void* user) override;
    void SetPosition(float latitude100, float longitude100, float knots) override;
    void StartUpdates() override;
    void StopUpdates() override;
    int CheckConnectivity() override;
    void SetOnline(int online) override;
    int IsUpdating() const override { return m_updateTimer != 0 ? 1 : 0; }
    void RequestRecentre() override;
    void SetRoute(const std::vector<MapPoint>& route) override;

    bool PageReady() const { return m_pageReady; }
    int Online() const;
    QWebEngineView* View() const { return m_view; }
    // Script calls made so far (for tests and scripts).
    int CallsMade() const { return m_callsMade; }

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void OnLoadFinished(bool ok);
    void UpdateMap();
    void RunScript(const QString& call);

    QString m_page;
    QString m_host;
    QWebEngineView* m_view = nullptr;  // child
    std::unique_ptr<MapConnectivity> m_connectivity;
    mutable std::mutex m_positionLock;
    MapPosition m_position;  // guarded by m_positionLock
    std::vector<MapPoint> m_route;
    bool m_routeSent = true;
    bool m_pageReady = false;
    int m_updateTimer = 0;
    int m_checkTimer = 0;
    int m_callsMade = 0;
};

// The map page's file for a language folder.
QString MapPageFile(const QString& languageFolder);

} // namespace viewer::map
