#pragma once
// The lines of the About boxes that are worked out rather than looked up.

#include <QString>

namespace viewer::appdlg {

// The version line: "<Title> V<Version> (32bit)" from the option file for model 3 and models
// above 4; otherwise the program's own version "a.b.c" as "<Title> Va.bc" ("unknown file" when
// the program has no version, "unknown version" when it is not of that form).
QString VersionLine(int productId, const QString& title, const QString& optionVersion,
                    const QString& programVersion);

// "<text of ver07> <recorder version>".
QString RecorderLine(const QString& label, const QString& recorderVersion);

} // namespace viewer::appdlg
