#pragma once
// The language texts of the export dialogs, and how a dialog asks the user something: the main
// window hands each dialog its message box, so that scripted runs answer them as all others.

#include <QString>
#include <QStringList>

#include <functional>

class CExLangManager;

namespace viewer::dialogs {

// Shows a message box titled by the language text of `captionKey` with `text` (already made
// from the text of `textKey`); true when the user answered OK.
using AskUser = std::function<bool(const char* captionKey, const char* textKey, const QString& text,
                                   bool withCancel)>;

class DialogTexts {
public:
    // The language text of `key`, or the key itself when the language lacks it.
    static QString Text(const CExLangManager& language, const char* key);
    // The text of `key` with its first "%d" replaced by `number`. A language text is never used
    // as a printf format: a stray "%s" in a translation must not read from the stack.
    static QString WithNumber(const CExLangManager& language, const char* key, long long number);
    // `text`, then the files that failed, one name per line under the text of `headingKey`.
    static QString WithFailures(const CExLangManager& language, const QString& text,
                                const char* headingKey, const QStringList& failed);
};

} // namespace viewer::dialogs
