#include "viewer/panels/CWndGSensor.h"

#include "tests/support/DefaultSkin.h"
#include "tests/support/QtTestApplication.h"
#include "tools/mkcard/DriveSimulator.h"
#include "viewer/app/ViewerContext.h"

#include <QDir>
#include <QImage>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using viewer::driving::DrivingDataRecord;
using namespace viewer::panels;

namespace {

tachy::test::DefaultSkin& skin() {
    return tachy::test::defaultSkin();
}

ViewerContext Context(int modelCode) {
    return tachy::test::defaultSkinContext(modelCode);
}

std::vector<DrivingDataRecord> Constant(int count, float x, float y, float z) {
    std::vector<DrivingDataRecord> records(static_cast<std::size_t>(count));
    for (auto& record : records) {
        record.SetGSensor(x, y, z);
    }
    return records;
}

// Rows of `column` whose pixel is exactly `colour`.
std::vector<int> RowsIn(const QImage& image, int column, const QColor& colour) {
    std::vector<int> rows;
    for (int y = 0; y < image.height(); ++y) {
        if (image.pixelColor(column, y) == colour) {
            rows.push_back(y);
        }
    }
    return rows;
}

class CWndGSensorTest : public ::testing::Test {
protected:
    void SetUp() override { tachy::test::testApplication(); }
};

} // namespace

TEST_F(CWndGSensorTest, TakesGeometryAndColoursFromTheSkin) {
    CWndGSensor graph(Context(0), 2);
    EXPECT_EQ(graph.CanvasSize(), skin().images.GetImageFile("GSensorBG")->size());
    EXPECT_EQ(graph.Area().left, 44);
    EXPECT_EQ(graph.Area().top, 61);
    EXPECT_EQ(graph.Area().right, 44 + 388);
    EXPECT_EQ(graph.Area().bottom, 61 + 90);
    EXPECT_EQ(graph.CursorColour(), QColor(61, 139, 253));
    EXPECT_EQ(graph.AxisColour(GSensorAxis::X), QColor(76, 201, 240));
    EXPECT_EQ(graph.AxisColour(GSensorAxis::Y), QColor(247, 37, 133));
    EXPECT_EQ(graph.AxisColour(GSensorAxis::Z), QColor(255, 209, 102));
}

TEST_F(CWndGSensorTest, FullRangeReachesTheGraphEdgesOfTheDefaultSkin) {
    // The range marks sit beside the graph's top and bottom edges; with the default model the
    // curves of +range and -range must land exactly there.
    CWndGSensor graph(Context(0), 3);
    EXPECT_EQ(ValueY(3.0f, graph.Scale(), graph.Range(), graph.Area()), graph.Area().top);
    EXPECT_EQ(ValueY(-3.0f, graph.Scale(), graph.Range(), graph.Area()), graph.Area().bottom);
    EXPECT_EQ(ValueY(2.9f, graph.Scale(), graph.Range(), graph.Area()), graph.Area().top + 1);
}

TEST_F(CWndGSensorTest, ScaleFollowsModelAndRangeZeroMeansTwo) {
    EXPECT_EQ(CWndGSensor(Context(0), 2).Scale(), 45);
    EXPECT_EQ(CWndGSensor(Context(400), 2).Scale(), 30);
    EXPECT_EQ(CWndGSensor(Context(0), 0).Range(), 2);
    EXPECT_EQ(CWndGSensor(Context(0), 4).Range(), 4);
}

TEST_F(CWndGSensorTest, RangeZeroMarksTheRangeItScalesTo) {
    // A stored 0 scales as 2 g; the marks print that 2 rather than "+0.G" and "-0.G".
    const QImage zero = CWndGSensor(Context(0), 0).ComposeFrame();
    EXPECT_EQ(zero, CWndGSensor(Context(0), 2).ComposeFrame());
    EXPECT_NE(zero, CWndGSensor(Context(0), 4).ComposeFrame());
}

TEST_F(CWndGSensorTest, ConstantCurvesLandOnTheirComputedRows) {
    CWndGSensor graph(Context(0), 2);
    const auto records = Constant(300, 1.0f, -1.5f, 9.0f);
    graph.SetState(CWndGSensor::kPlayingState);
    graph.SetData(records, 300, 1800);
    const QImage frame = graph.ComposeFrame();
    const int column = 200; // away from the cursor at the left edge
    const GraphArea& area = graph.Area();
    EXPECT_EQ(RowsIn(frame, column, graph.AxisColour(GSensorAxis::X)),
              std::vector<int>{ValueY(1.0f, 45, 2, area)});
    EXPECT_EQ(RowsIn(frame, column, graph.AxisColour(GSensorAxis::Y)),
              std::vector<int>{ValueY(-1.5f, 45, 2, area)});
    // 9 g is beyond the range: the top edge of the graph.
    EXPECT_EQ(RowsIn(frame, column, graph.AxisColour(GSensorAxis::Z)), std::vector<int>{area.top});
}

TEST_F(CWndGSensorTest, CompactModelsDrawTwoPixelPens) {
    CWndGSensor graph(Context(5), 2);
    const auto records = Constant(100, 1.0f, 0.0f, -1.0f);
    graph.SetState(CWndGSensor::kPlayingState);
    graph.SetData(records, 100, 600);
    const QImage frame = graph.ComposeFrame();
    const auto rows = RowsIn(frame, 200, graph.AxisColour(GSensorAxis::X));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(std::abs(rows[0] - ValueY(1.0f, 30, 2, graph.Area())) <= 1, true);
}

TEST_F(CWndGSensorTest, CursorLineStandsAtTheComputedColumn) {
    CWndGSensor graph(Context(0), 2);
    const auto records = Constant(300, 0.0f, 0.0f, 0.0f);
    graph.SetState(CWndGSensor::kPlayingState);
    graph.SetData(records, 300, 1800);
    graph.SetCursor(150);
    const QImage frame = graph.ComposeFrame();
    const GraphArea& area = graph.Area();
    const int x = 44 + 388 * 150 / 300;
    for (const int y : {area.top, area.top + 20, area.bottom - 20, area.bottom}) {
        EXPECT_EQ(frame.pixelColor(x, y), graph.CursorColour()) << y;
        EXPECT_NE(frame.pixelColor(x + 1, y), graph.CursorColour()) << y;
        EXPECT_NE(frame.pixelColor(x - 1, y), graph.CursorColour()) << y;
    }
}

TEST_F(CWndGSensorTest, CursorIsClampedToTheLastRecord) {
    CWndGSensor graph(Context(0), 2);
    const auto records = Constant(300, 0.0f, 0.0f, 0.0f);
    graph.SetState(CWndGSensor::kPlayingState);
    graph.SetData(records, 300, 1800);
    graph.SetCursor(CursorIndexAt(1800, 300, 1800));
    EXPECT_EQ(graph.CursorIndex(), 299);
    graph.SetCursor(100'000);
    EXPECT_EQ(graph.CursorIndex(), 299);
    graph.SetCursor(-4);
    EXPECT_EQ(graph.CursorIndex(), 0);
    graph.SetCursor(100'000);
    const QImage frame = graph.ComposeFrame();
    const int x = CursorX(299, 300, graph.Area());
    EXPECT_LE(x, graph.Area().right);
    EXPECT_EQ(frame.pixelColor(x, graph.Area().top + 10), graph.CursorColour());
}

TEST_F(CWndGSensorTest, CountIsLimitedToTheRecordsGiven) {
    CWndGSensor graph(Context(0), 2);
    const auto records = Constant(10, 0.5f, 0.5f, 0.5f);
    graph.SetState(CWndGSensor::kPlayingState);
    graph.SetData(records, 5000, 1800);
    EXPECT_EQ(graph.RecordCount(), 10);
    EXPECT_EQ(graph.FrameCount(), 1800);
    graph.SetCursor(5000);
    EXPECT_EQ(graph.CursorIndex(), 9);
    EXPECT_FALSE(graph.ComposeFrame().isNull());
}

TEST_F(CWndGSensorTest, StateOtherThanPlayingClearsCurvesAndCursor) {
    CWndGSensor graph(Context(0), 2);
    const QImage cleared = graph.ComposeFrame();
    const auto records = Constant(300, 1.0f, 0.0f, -1.0f);
    graph.SetState(CWndGSensor::kPlayingState);
    graph.SetData(records, 300, 1800);
    graph.SetCursor(150);
    ASSERT_NE(graph.ComposeFrame(), cleared);

    graph.SetState(1);
    EXPECT_EQ(graph.State(), 1);
    EXPECT_EQ(graph.RecordCount(), 0);
    EXPECT_EQ(graph.FrameCount(), 0);
    EXPECT_EQ(graph.CursorIndex(), 0);
    EXPECT_EQ(graph.ComposeFrame(), cleared);

    // Playing again without data shows no cursor and no curves.
    graph.SetState(CWndGSensor::kPlayingState);
    EXPECT_EQ(graph.ComposeFrame(), cleared);
}

TEST_F(CWndGSensorTest, ValueLabelsShowTheCursorRecord) {
    CWndGSensor graph(Context(0), 2);
    std::vector<DrivingDataRecord> records = Constant(10, 0.0f, 0.0f, 0.0f);
    records[7].SetGSensor(-1.2345f, 0.0f, 0.0f);
    graph.SetState(CWndGSensor::kPlayingState);
    graph.SetData(records, 10, 60);
    const QRect label(12, 8, 136, 22); // "GSensor AXIS X"
    graph.SetCursor(0);
    const QImage atZero = graph.ComposeFrame().copy(label);
    graph.SetCursor(7);
    const QImage atSeven = graph.ComposeFrame().copy(label);
    EXPECT_NE(atZero, atSeven);
    graph.SetCursor(1);
    EXPECT_EQ(graph.ComposeFrame().copy(label), atZero);
}

TEST_F(CWndGSensorTest, PaintsTheFrameStretchedAndWritesAScreenshot) {
    CWndGSensor graph(Context(0), 2);
    // Three minutes of the sample-card generator's simulated drive, ten records a second.
    const int count = 1800;
    mkcard::DriveSimulator drive(37.5665, 126.9780, 7);
    std::vector<DrivingDataRecord> records(count);
    for (auto& record : records) {
        const mkcard::DriveState& state = drive.step(0.1);
        record.SetGSensor(static_cast<float>(state.gx), static_cast<float>(state.gy),
                          static_cast<float>(state.gz));
    }
    graph.SetState(CWndGSensor::kPlayingState);
    graph.SetData(records, count, count * 2);
    graph.SetCursor(CursorIndexAt(840, count, count * 2));

    graph.resize(graph.CanvasSize());
    const QImage painted = graph.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage composed = graph.ComposeFrame().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(painted.size(), composed.size());
    int differing = 0;
    for (int y = 0; y < painted.height(); ++y) {
        for (int x = 0; x < painted.width(); ++x) {
            // The background's rounded corners are translucent and blend with the window.
            const QRgb expected = composed.pixel(x, y);
            differing += qAlpha(expected) == 255 && painted.pixel(x, y) != expected ? 1 : 0;
        }
    }
    EXPECT_EQ(differing, 0);

    graph.resize(graph.CanvasSize() * 2);
    const QImage large = graph.grab().toImage();
    EXPECT_EQ(large.size(), graph.CanvasSize() * 2);
    ASSERT_TRUE(QDir().mkpath(TACHY_ARTIFACT_DIR));
    EXPECT_TRUE(painted.save(QStringLiteral(TACHY_ARTIFACT_DIR "/gsensor.png")));
    EXPECT_TRUE(large.save(QStringLiteral(TACHY_ARTIFACT_DIR "/gsensor-2x.png")));
}
