#pragma once
// The viewer's message boxes: caption and text from the language, OK and Cancel relabelled with
// the language's "common ok" and "common cancel". For scripted runs an automatic answer can be
// set; the box is then written to the standard error instead of waiting for a user.

#include <QString>

class CExLangManager;
class QWidget;

namespace viewer {

enum class Answer { Ok, Cancel };

// The language text of `key` (the key itself when the language lacks it).
QString LanguageText(const CExLangManager& language, const char* key);

Answer ShowMessage(QWidget* parent, const CExLangManager& language, const QString& caption, const QString& text,
                   bool withCancel);
Answer ShowKeyedMessage(QWidget* parent, const CExLangManager& language, const char* captionKey,
                        const char* textKey, bool withCancel = false);
// As ShowKeyedMessage, with the text made beforehand from the text of `textKey` (a number put
// in, files named).
Answer ShowKeyedText(QWidget* parent, const CExLangManager& language, const char* captionKey,
                     const char* textKey, const QString& text, bool withCancel);

// Scripted runs: every box answers at once (Ok or Cancel) instead of waiting.
void SetAutomaticAnswer(bool enabled, Answer answer);
// The language key of the last keyed box shown (answered automatically or not), for scripted
// runs and tests; empty before the first.
QString LastMessageKey();

} // namespace viewer
