#pragma once
// The texts of the G-sensor graph's labels: the current value of an axis and the three range
// marks beside the graph.

#include <QString>

namespace viewer::panels {

// "<axis>: -0.1234" for a negative value, "<axis>: +0.1234" otherwise (negative zero included).
QString ValueLabelText(const QString& axisText, float value);

// "+<range>.G", "0.G" and "-<range>.G".
QString UpperIndicatorText(int range);
QString MiddleIndicatorText();
QString LowerIndicatorText(int range);

} // namespace viewer::panels
