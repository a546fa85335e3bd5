#pragma once
// The settings program's message boxes and texts: caption and text from the language's settings
// texts, the OK and Cancel buttons labelled with "common ok" and "common cancel".

#include <QString>

class CExLangManager;
class QWidget;

namespace setup {

enum class Answer { Ok, Cancel };

// The language text of `key` (the key itself when the language lacks it).
QString SetupText(const CExLangManager& language, const char* key);

// Shows the box modally. Its object name is "setupMessage" and its property "textKey" holds
// `textKey`, so that scripted runs and tests can tell the boxes apart.
Answer ShowSetupMessage(QWidget* parent, const CExLangManager& language, const char* captionKey,
                        const char* textKey, bool withCancel);
// As above with a text made of two keyed texts, one per line.
Answer ShowSetupMessage2(QWidget* parent, const CExLangManager& language, const char* captionKey,
                         const char* firstKey, const char* secondKey, bool withCancel);

// As above with a text of the caller's (a keyed text with details added); the box still carries
// `textKey`.
Answer ShowSetupMessageText(QWidget* parent, const CExLangManager& language, const char* captionKey,
                            const char* textKey, const QString& text, bool withCancel);

} // namespace setup
