#pragma once
// The G-sensor graph's arithmetic, apart from any painting: the scale and range that the model
// code and the option file choose, where a value and a record land in the graph rectangle, the
// polyline of one axis, and the cursor index and position.

#include "viewer/driving/DrivingDataRecord.h"

#include <QPoint>

#include <span>
#include <vector>

namespace viewer::panels {

// The graph's area in canvas pixels: right = x + width, bottom = y + height.
struct GraphArea {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

enum class GSensorAxis { X = 0, Y = 1, Z = 2 };

// Models with the smaller graph and the thicker pens.
bool IsCompactGraphModel(int modelCode);
// Pixels for a full-range deflection: 30 for the compact models, else 45.
int GraphScale(int modelCode);
// Width of the axis pens: 2.0 for the compact models, else 1.0.
double AxisPenWidth(int modelCode);
// The range in g that the graph scales to: the stored "GSenRange", or 2 when it is not positive
// (0 means "default"; a negative range would turn the graph upside down).
int EffectiveRange(int storedRange);

float AxisValue(const driving::DrivingDataRecord& record, GSensorAxis axis);

// y = mid - scale * (value / range), mid = (top + bottom) / 2, clamped to [top, bottom].
// Infinite values land on the edge they point to; NaN lands on the middle line.
int ValueY(float value, int scale, int range, const GraphArea& area);

// x of record `index` of `count`: left + (right - left) * index / count in integer arithmetic;
// left for index 0 or a count that is not positive.
int RecordX(int index, int count, const GraphArea& area);

// The points of one axis, one per record: empty when there are fewer than two records.
// `count` is limited to the records present.
std::vector<QPoint> AxisPolyline(std::span<const driving::DrivingDataRecord> records, int count,
                                 GSensorAxis axis, int scale, int range, const GraphArea& area);

// The record under a frame position: position * count / frameCount, within [0, count - 1];
// 0 when count or frame count is not positive.
int CursorIndexAt(int framePosition, int count, int frameCount);
// A record index kept within [0, count - 1] (0 when count is not positive).
int ClampCursorIndex(int index, int count);
// x of the cursor line: RecordX of the clamped index, never right of the area.
int CursorX(int index, int count, const GraphArea& area);

} // namespace viewer::panels
