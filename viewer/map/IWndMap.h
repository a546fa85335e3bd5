#pragma once
// The map page of the side panel, as the main window sees it: a window with the map operations.
// This base does nothing (it stands in where no web view can run); CWndMap shows the map.
//
// Threads: SetPosition may be called from any thread; every other operation belongs to the GUI
// thread. The status callback is called from the map's own worker thread.

#include <QWidget>
#include <vector>

namespace viewer::map {

// Called with (status 0, online 1, 0, user) when the map finds the Internet again.
using MapStatusCallback = void (*)(int status, int online, int reserved, void* user);

// A point of the route, in decimal degrees.
struct MapPoint {
    double latitude = 0;
    double longitude = 0;
};

class IWndMap : public QWidget {
public:
    explicit IWndMap(QWidget* parent = nullptr) : QWidget(parent) {}

    virtual void SetStatusCallback(MapStatusCallback /*callback*/, void* /*user*/) {}
    // The position as the recorder writes it (degrees × 100, ddmm.mmmm / 100) and the speed in knots.
    virtual void SetPosition(float /*latitude100*/, float /*longitude100*/, float /*knots*/) {}
    virtual void StartUpdates() {}
    virtual void StopUpdates() {}
    // Runs the connectivity check now, on the calling thread: 1 online, 0 not.
    virtual int CheckConnectivity() { return 0; }
    virtual void SetOnline(int /*online*/) {}
    virtual int IsUpdating() const { return 0; }
    virtual void RequestRecentre() {}
    // The whole route of the recording being played (empty: none).
    virtual void SetRoute(const std::vector<MapPoint>& /*route*/) {}
};

} // namespace viewer::map
