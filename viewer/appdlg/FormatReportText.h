#pragma once
// The message that ends a format run: done, failed, too large, refused with the platform's
// reason, or formatted with the recorder's settings file left in the work folder, named.

#include "viewer/appdlg/CardFormatFlow.h"

#include <QString>

class CExLangManager;

namespace viewer::appdlg {

struct FormatMessage {
    const char* captionKey = "common info";
    const char* textKey = "dlg format message2";
    QString text;
};

class FormatReportText {
public:
    // `sizeHasItsOwnText`: a card too large for the way it was formatted is told so ("dlg
    // format message6"); otherwise that is an ordinary failure.
    static FormatMessage For(const CExLangManager& language, const CardFormatReport& report,
                             bool sizeHasItsOwnText);
    // The language text of `key` with its first "%s" replaced by `value` (a language text is
    // never used as a printf format).
    static QString WithText(const CExLangManager& language, const char* key, const QString& value);
};

} // namespace viewer::appdlg
