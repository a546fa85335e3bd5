#include "viewer/panels/GSensorLabelText.h"

namespace viewer::panels {

QString ValueLabelText(const QString& axisText, float value) {
    // Adding +0 turns -0 into +0, which would otherwise print as "+-0.0000".
    const double shown = static_cast<double>(value) + 0.0;
    if (shown < 0) {
        return QString::asprintf("%s: %1.4f", qUtf8Printable(axisText), shown);
    }
    return QString::asprintf("%s: +%1.4f", qUtf8Printable(axisText), shown);
}

QString UpperIndicatorText(int range) {
    return QString::asprintf("+%d.G", range);
}

QString MiddleIndicatorText() {
    return QStringLiteral("0.G");
}

QString LowerIndicatorText(int range) {
    return QString::asprintf("-%d.G", range);
}

} // namespace viewer::panels
