#pragma once
// The web page of the map view: the map page itself loads in the view; a link the user follows
// (the map's attribution, for one) opens in the desktop's browser instead of replacing the map.

#include <QWebEnginePage>

namespace viewer::map {

class MapWebPage : public QWebEnginePage {
public:
    explicit MapWebPage(QObject* parent = nullptr) : QWebEnginePage(parent) {}

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
};

} // namespace viewer::map
