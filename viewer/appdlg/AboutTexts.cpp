#include "viewer/appdlg/AboutTexts.h"

#include <QStringList>

namespace viewer::appdlg {

namespace {

bool UsesOptionVersion(int productId) {
    return productId == 3 || productId > 4;
}

} // namespace

QString VersionLine(int productId, const QString& title, const QString& optionVersion,
                    const QString& programVersion) {
    if (UsesOptionVersion(productId)) {
        return QStringLiteral("%1 V%2 (32bit)").arg(title, optionVersion);
    }
    if (programVersion.isEmpty()) {
        return QStringLiteral("unknown file");
    }
    // Major and minor, then the first number of the second half (the patch level).
    const QStringList parts = programVersion.split(QLatin1Char('.'));
    bool ok = parts.size() >= 2;
    QList<int> numbers;
    for (qsizetype i = 0; ok && i < 3; ++i) {
        numbers.append(i < parts.size() ? parts[i].toInt(&ok) : 0);
    }
    if (!ok) {
        return QStringLiteral("unknown version");
    }
    return QStringLiteral("%1 V%2.%3%4").arg(title).arg(numbers[0]).arg(numbers[1]).arg(numbers[2]);
}

QString RecorderLine(const QString& label, const QString& recorderVersion) {
    return QStringLiteral("%1 %2").arg(label, recorderVersion);
}

} // namespace viewer::appdlg
