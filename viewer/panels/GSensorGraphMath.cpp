#include "viewer/panels/GSensorGraphMath.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace viewer::panels {

bool IsCompactGraphModel(int modelCode) {
    switch (modelCode) {
    case 1:
    case 5:
    case 6:
    case 7:
    case 400:
    case 401:
        return true;
    default:
        return false;
    }
}

int GraphScale(int modelCode) {
    return IsCompactGraphModel(modelCode) ? 30 : 45;
}

double AxisPenWidth(int modelCode) {
    return IsCompactGraphModel(modelCode) ? 2.0 : 1.0;
}

int EffectiveRange(int storedRange) {
    return storedRange > 0 ? storedRange : 2;
}

float AxisValue(const driving::DrivingDataRecord& record, GSensorAxis axis) {
    switch (axis) {
    case GSensorAxis::X:
        return record.GSensorX();
    case GSensorAxis::Y:
        return record.GSensorY();
    case GSensorAxis::Z:
        return record.GSensorZ();
    }
    return 0.0f;
}

int ValueY(float value, int scale, int range, const GraphArea& area) {
    const int middle = (area.top + area.bottom) / 2;
    if (std::isnan(value)) {
        return middle;
    }
    const double y = middle - scale * (static_cast<double>(value) / EffectiveRange(range));
    // Clamped before the conversion so that huge values never overflow the integer.
    const double clamped =
        std::clamp(y, static_cast<double>(area.top), static_cast<double>(area.bottom));
    return static_cast<int>(clamped);
}

int RecordX(int index, int count, const GraphArea& area) {
    if (count <= 0 || index <= 0) {
        return area.left;
    }
    // 64-bit product: a long recording times a wide graph overflows 32 bits.
    const std::int64_t offset = static_cast<std::int64_t>(area.right - area.left) * index / count;
    return area.left + static_cast<int>(offset);
}

std::vector<QPoint> AxisPolyline(std::span<const driving::DrivingDataRecord> records, int count,
                                 GSensorAxis axis, int scale, int range, const GraphArea& area) {
    const int usable = std::clamp(count, 0, static_cast<int>(records.size()));
    std::vector<QPoint> points;
    if (usable <= 1) {
        return points;
    }
    points.reserve(static_cast<std::size_t>(usable));
    for (int i = 0; i < usable; ++i) {
        const float value = AxisValue(records[static_cast<std::size_t>(i)], axis);
        points.emplace_back(RecordX(i, usable, area), ValueY(value, scale, range, area));
    }
    return points;
}

int CursorIndexAt(int framePosition, int count, int frameCount) {
    if (count <= 0 || frameCount <= 0) {
        return 0;
    }
    const std::int64_t index = static_cast<std::int64_t>(framePosition) * count / frameCount;
    return static_cast<int>(std::clamp<std::int64_t>(index, 0, count - 1));
}

int ClampCursorIndex(int index, int count) {
    return count <= 0 ? 0 : std::clamp(index, 0, count - 1);
}

int CursorX(int index, int count, const GraphArea& area) {
    return std::min(area.right, RecordX(ClampCursorIndex(index, count), count, area));
}

} // namespace viewer::panels
