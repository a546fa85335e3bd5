// The map page in a web view off screen: it loads our own page from the language folder, gets
// the route, and receives setLatLag calls only when online and only for new positions. The page
// records every call, which the tests read back through its script engine.

#include "viewer/map/CWndMap.h"

#include "tests/support/QtTestApplication.h"
#include "tests/support/QtWait.h"
#include "tools/mkcard/DriveSimulator.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>

using viewer::map::CWndMap;
using viewer::map::MapPoint;

namespace {

using tachy::test::waitFor;

// Runs `script` in the page and waits for its value.
QVariant evaluate(CWndMap& map, const QString& script) {
    QVariant result;
    bool done = false;
    map.View()->page()->runJavaScript(script, [&](const QVariant& value) {
        result = value;
        done = true;
    });
    waitFor([&] { return done; }, 10000);
    return result;
}

QJsonArray recordedCalls(CWndMap& map) {
    return QJsonDocument::fromJson(evaluate(map, QStringLiteral("JSON.stringify(tachyMap.calls)")).toString().toUtf8())
        .array();
}

class MapPage : public testing::Test {
protected:
    static void SetUpTestSuite() { tachy::test::testApplication(); }

    void SetUp() override {
        m_map = std::make_unique<CWndMap>(viewer::map::MapPageFile(QStringLiteral(TACHY_DATA_DIR "/lang/ENG")),
                                          QStringLiteral("127.0.0.1"));
        m_map->resize(480, 360);
        m_map->show();
        m_map->InitialUpdate();
        ASSERT_TRUE(waitFor([&] { return m_map->PageReady(); }, 30000)) << "the map page did not load";
    }

    std::unique_ptr<CWndMap> m_map;
};

TEST_F(MapPage, PageOffersTheViewerFunctions) {
    EXPECT_EQ(evaluate(*m_map, QStringLiteral("typeof setLatLag")).toString(), QStringLiteral("function"));
    EXPECT_EQ(evaluate(*m_map, QStringLiteral("typeof setRoute")).toString(), QStringLiteral("function"));
    // The tiles' attribution names OpenStreetMap and links to its copyright page.
    const QString attribution =
        evaluate(*m_map, QStringLiteral("document.querySelector('.leaflet-control-attribution').innerHTML")).toString();
    EXPECT_TRUE(attribution.contains(QStringLiteral("https://www.openstreetmap.org/copyright"))) << attribution.toStdString();
}

TEST_F(MapPage, OnlinePositionsReachThePageOnceEach) {
    m_map->SetOnline(1);
    m_map->SetPosition(0, 0, 10);  // never sent
    m_map->StartUpdates();
    EXPECT_EQ(m_map->IsUpdating(), 1);
    m_map->SetPosition(48.0822F, 11.3454F, 37.8F);  // 70 km/h in knots
    ASSERT_TRUE(waitFor([&] { return recordedCalls(*m_map).size() == 1; }, 45000));
    QJsonArray call = recordedCalls(*m_map).at(0).toArray();
    EXPECT_NEAR(call.at(0).toDouble(), 48.137, 1e-4);
    EXPECT_NEAR(call.at(1).toDouble(), 11.5757, 1e-4);
    EXPECT_EQ(call.at(2).toInt(), 22);
    EXPECT_TRUE(call.at(3).toBool());

    // The same position again: no call at the next tick.
    m_map->SetPosition(48.0822F, 11.3454F, 37.8F);
    QTest::qWait(CWndMap::kUpdateIntervalMs + 500);
    EXPECT_EQ(recordedCalls(*m_map).size(), 1);

    // A small step at speed moves the car without centring the map.
    m_map->SetPosition(48.0823F, 11.3454F, 37.8F);
    ASSERT_TRUE(waitFor([&] { return recordedCalls(*m_map).size() == 2; }, 45000));
    call = recordedCalls(*m_map).at(1).toArray();
    EXPECT_NEAR(call.at(0).toDouble(), 48.13717, 1e-4);
    EXPECT_FALSE(call.at(3).toBool());

    m_map->StopUpdates();
    EXPECT_EQ(m_map->IsUpdating(), 0);
}

TEST_F(MapPage, OfflineHoldsPositionsAndCentresWhenBackOnline) {
    m_map->SetOnline(0);
    m_map->StartUpdates();
    m_map->SetPosition(48.0822F, 11.3454F, 0);
    m_map->SetRoute({});
    QTest::qWait(CWndMap::kUpdateIntervalMs + 500);
    EXPECT_EQ(recordedCalls(*m_map).size(), 0);
    m_map->SetOnline(1);
    ASSERT_TRUE(waitFor([&] { return recordedCalls(*m_map).size() == 1; }, 45000));
    EXPECT_TRUE(recordedCalls(*m_map).at(0).toArray().at(3).toBool());
}

TEST_F(MapPage, RouteIsDrawnOnAGridWithoutTiles) {
    std::vector<MapPoint> route;
    for (int i = 0; i < 40; ++i) {
        route.push_back({48.137 + i * 0.0004, 11.5757 + i * 0.0006});
    }
    m_map->SetRoute(route);
    ASSERT_TRUE(waitFor([&] { return evaluate(*m_map, QStringLiteral("tachyMap.routes.length")).toInt() == 1; }, 45000));
    EXPECT_EQ(evaluate(*m_map, QStringLiteral("tachyMap.routes[0]")).toInt(), 40);
    // The route is an SVG path on the overlay pane; the car waits for its first position.
    EXPECT_EQ(evaluate(*m_map, QStringLiteral("document.querySelectorAll('.leaflet-overlay-pane path').length")).toInt(), 1);
    // Grid tiles lie under the map tiles (which cannot load here).
    EXPECT_GT(evaluate(*m_map, QStringLiteral("document.querySelectorAll('canvas.leaflet-tile').length")).toInt(), 0);
}

// Two minutes of the sample-card generator's drive: the route, and the car halfway along it,
// centred by its first position. The picture is kept with the test artifacts.
TEST_F(MapPage, DriveOnTheGridPicture) {
    mkcard::DriveSimulator drive(48.1372, 11.5756, 7);
    std::vector<MapPoint> route;
    mkcard::DriveState middle;
    for (int second = 0; second <= 120; ++second) {
        const mkcard::DriveState& state = drive.step(second == 0 ? 0.0 : 1.0);
        route.push_back({state.latitude, state.longitude});
        if (second == 60) {
            middle = state;
        }
    }
    m_map->SetRoute(route);
    m_map->SetOnline(1);
    m_map->StartUpdates();
    // The recorder's form: degrees and minutes, divided by 100.
    const auto recorderForm = [](double degrees) {
        const double whole = std::trunc(degrees);
        return static_cast<float>(whole + (degrees - whole) * 0.6);
    };
    m_map->SetPosition(recorderForm(middle.latitude), recorderForm(middle.longitude),
                       static_cast<float>(middle.speedKmh * 0.539957));
    ASSERT_TRUE(waitFor([&] { return recordedCalls(*m_map).size() == 1; }, 45000));
    const QJsonArray call = recordedCalls(*m_map).at(0).toArray();
    EXPECT_NEAR(call.at(0).toDouble(), middle.latitude, 1e-4);
    EXPECT_NEAR(call.at(1).toDouble(), middle.longitude, 1e-4);
    QTest::qWait(1000);  // the zoom's animation
    const QImage picture = m_map->grab().toImage();
    std::filesystem::create_directories(TACHY_ARTIFACT_DIR);
    picture.save(QStringLiteral(TACHY_ARTIFACT_DIR "/map-route.png"));
    EXPECT_EQ(picture.size(), QSize(480, 360));
}

TEST(MapPageMissing, ShowsAMessageInsteadOfAnEmptyView) {
    tachy::test::testApplication();
    CWndMap map(QStringLiteral("/nonexistent/lang/ENG/map.html"), QStringLiteral("127.0.0.1"));
    map.InitialUpdate();
    ASSERT_TRUE(waitFor([&] { return map.PageReady(); }, 30000));
    EXPECT_TRUE(evaluate(map, QStringLiteral("document.body.textContent")).toString().contains(QStringLiteral("missing")));
    // No script function on that page: calls are harmless.
    map.SetOnline(1);
    map.StartUpdates();
    map.SetPosition(48.0822F, 11.3454F, 0);
    // The call waits for the next update tick; the limit only turns a hang into a failure.
    ASSERT_TRUE(waitFor([&] { return map.CallsMade() >= 1; }, 45000));
    EXPECT_EQ(map.CallsMade(), 1);
}

} // namespace
