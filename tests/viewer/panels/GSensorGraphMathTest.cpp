#include "viewer/panels/GSensorGraphMath.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

using viewer::driving::DrivingDataRecord;
using namespace viewer::panels;

namespace {

// A graph of 388 x 136 at (44, 38), taller than twice the scale so that clamping shows.
constexpr GraphArea kArea{44, 38, 432, 174};

std::vector<DrivingDataRecord> Records(std::initializer_list<float> xs) {
    std::vector<DrivingDataRecord> records;
    for (const float x : xs) {
        DrivingDataRecord record;
        record.SetGSensor(x, -x, 2 * x);
        records.push_back(record);
    }
    return records;
}

} // namespace

TEST(GSensorGraphMath, CompactModelsUseSmallerScaleAndThickerPens) {
    for (const int model : {1, 5, 6, 7, 400, 401}) {
        EXPECT_EQ(GraphScale(model), 30) << model;
        EXPECT_DOUBLE_EQ(AxisPenWidth(model), 2.0) << model;
    }
    for (const int model : {0, 2, 3, 4, 8, 100, 402}) {
        EXPECT_EQ(GraphScale(model), 45) << model;
        EXPECT_DOUBLE_EQ(AxisPenWidth(model), 1.0) << model;
    }
}

TEST(GSensorGraphMath, RangeZeroOrNegativeScalesAsTwo) {
    EXPECT_EQ(EffectiveRange(0), 2);
    EXPECT_EQ(EffectiveRange(-3), 2);
    EXPECT_EQ(EffectiveRange(4), 4);
    // Range 0 draws like range 2: one g is half a scale above the middle line.
    EXPECT_EQ(ValueY(1.0f, 45, 0, kArea), ValueY(1.0f, 45, 2, kArea));
}

TEST(GSensorGraphMath, ValueYIsMiddleMinusScaledValue) {
    const int middle = (38 + 174) / 2; // 106
    EXPECT_EQ(ValueY(0.0f, 45, 2, kArea), middle);
    EXPECT_EQ(ValueY(2.0f, 45, 2, kArea), middle - 45);
    EXPECT_EQ(ValueY(-2.0f, 45, 2, kArea), middle + 45);
    EXPECT_EQ(ValueY(1.0f, 45, 2, kArea), middle - 23); // 83.5 truncated to 83
    EXPECT_EQ(ValueY(0.5f, 30, 4, kArea), middle - 4);  // 102.25 truncated to 102
}

TEST(GSensorGraphMath, ValuesBeyondTheRangeStopAtTheEdges) {
    EXPECT_EQ(ValueY(100.0f, 45, 2, kArea), kArea.top);
    EXPECT_EQ(ValueY(-100.0f, 45, 2, kArea), kArea.bottom);
    EXPECT_EQ(ValueY(std::numeric_limits<float>::max(), 45, 2, kArea), kArea.top);
    EXPECT_EQ(ValueY(std::numeric_limits<float>::infinity(), 45, 2, kArea), kArea.top);
    EXPECT_EQ(ValueY(-std::numeric_limits<float>::infinity(), 45, 2, kArea), kArea.bottom);
    EXPECT_EQ(ValueY(std::numeric_limits<float>::quiet_NaN(), 45, 2, kArea), 106);
}

TEST(GSensorGraphMath, RecordXSpreadsRecordsOverTheWidth) {
    EXPECT_EQ(RecordX(0, 10, kArea), 44);
    EXPECT_EQ(RecordX(1, 10, kArea), 44 + 388 / 10);     // 38.8 truncated
    EXPECT_EQ(RecordX(9, 10, kArea), 44 + 388 * 9 / 10); // 349
    EXPECT_EQ(RecordX(3, 0, kArea), 44);
    // No 32-bit overflow for a long entry.
    EXPECT_EQ(RecordX(9'999'999, 10'000'000, kArea), 44 + 387);
}

TEST(GSensorGraphMath, PolylineHasOnePointPerRecord) {
    const auto records = Records({0.0f, 2.0f, -2.0f, 0.5f});
    const auto points = AxisPolyline(records, 4, GSensorAxis::Y, 45, 2, kArea);
    ASSERT_EQ(points.size(), 4u);
    EXPECT_EQ(points[0], QPoint(44, 106));
    EXPECT_EQ(points[1], QPoint(44 + 97, 106 + 45));
    EXPECT_EQ(points[2], QPoint(44 + 194, 106 - 45));
    EXPECT_EQ(points[3], QPoint(44 + 291, ValueY(-0.5f, 45, 2, kArea)));
    const auto z = AxisPolyline(records, 4, GSensorAxis::Z, 45, 2, kArea);
    EXPECT_EQ(z[1].y(), kArea.top); // 4 g, beyond the range
}

TEST(GSensorGraphMath, NoLineForOneRecordOrFewer) {
    const auto records = Records({1.0f, 1.0f});
    EXPECT_TRUE(AxisPolyline(records, 1, GSensorAxis::X, 45, 2, kArea).empty());
    EXPECT_TRUE(AxisPolyline(records, 0, GSensorAxis::X, 45, 2, kArea).empty());
    EXPECT_TRUE(AxisPolyline({}, 5, GSensorAxis::X, 45, 2, kArea).empty());
}

TEST(GSensorGraphMath, PolylineNeverReadsPastTheRecordsGiven) {
    const auto records = Records({1.0f, 0.0f, -1.0f});
    const auto points = AxisPolyline(records, 1000, GSensorAxis::X, 45, 2, kArea);
    ASSERT_EQ(points.size(), 3u);
    EXPECT_EQ(points[2].x(), 44 + 388 * 2 / 3);
}

TEST(GSensorGraphMath, CursorIndexFollowsFramePositionAndStopsAtLastRecord) {
    EXPECT_EQ(CursorIndexAt(0, 300, 1800), 0);
    EXPECT_EQ(CursorIndexAt(900, 300, 1800), 150);
    EXPECT_EQ(CursorIndexAt(1799, 300, 1800), 299);
    EXPECT_EQ(CursorIndexAt(1800, 300, 1800), 299);
    EXPECT_EQ(CursorIndexAt(5000, 300, 1800), 299);
    EXPECT_EQ(CursorIndexAt(10, 300, 0), 0);
    EXPECT_EQ(CursorIndexAt(10, 0, 1800), 0);
    EXPECT_EQ(CursorIndexAt(-5, 300, 1800), 0);
}

TEST(GSensorGraphMath, CursorNeverPassesTheRightEdge) {
    EXPECT_EQ(ClampCursorIndex(500, 300), 299);
    EXPECT_EQ(ClampCursorIndex(-1, 300), 0);
    EXPECT_EQ(ClampCursorIndex(7, 0), 0);
    EXPECT_EQ(CursorX(299, 300, kArea), 44 + 388 * 299 / 300);
    EXPECT_EQ(CursorX(1'000'000, 300, kArea), 44 + 388 * 299 / 300);
    EXPECT_LE(CursorX(1, 1, kArea), kArea.right);
    EXPECT_EQ(CursorX(0, 0, kArea), kArea.left);
}
