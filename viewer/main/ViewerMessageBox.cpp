#include "viewer/main/ViewerMessageBox.h"

#include "skinres/CExLangManager.h"

#include <QMessageBox>
#include <mutex>
#include <QPushButton>
#include <atomic>
#include <cstdio>

namespace viewer {
namespace {

std::atomic<bool> automatic{false};
std::atomic<Answer> automaticAnswer{Answer::Ok};
std::mutex lastKeyLock;
QString lastKey;  // guarded by lastKeyLock

} // namespace

QString LanguageText(const CExLangManager& language, const char* key) {
    const QString text = language.GetText(QString::fromLatin1(key));
    return text.isEmpty() ? QString::fromLatin1(key) : text;
}

Answer ShowMessage(QWidget* parent, const CExLangManager& language, const QString& caption, const QString& text,
                   bool withCancel) {
    if (automatic) {
        std::fprintf(stderr, "tachyPlayer: %s: %s\n", caption.toUtf8().constData(), text.toUtf8().constData());
        return withCancel ? automaticAnswer.load() : Answer::Ok;
    }
    QMessageBox box(QMessageBox::Information, caption, text, QMessageBox::NoButton, parent);
    QPushButton* ok = box.addButton(LanguageText(language, "common ok"), QMessageBox::AcceptRole);
    if (withCancel) {
        box.addButton(LanguageText(language, "common cancel"), QMessageBox::RejectRole);
    }
    box.setDefaultButton(ok);
    box.exec();
    return box.clickedButton() == ok ? Answer::Ok : Answer::Cancel;
}

Answer ShowKeyedMessage(QWidget* parent, const CExLangManager& language, const char* captionKey,
                        const char* textKey, bool withCancel) {
    return ShowKeyedText(parent, language, captionKey, textKey, LanguageText(language, textKey), withCancel);
}

Answer ShowKeyedText(QWidget* parent, const CExLangManager& language, const char* captionKey,
                     const char* textKey, const QString& text, bool withCancel) {
    {
        const std::lock_guard<std::mutex> guard(lastKeyLock);
        lastKey = QString::fromLatin1(textKey);
    }
    return ShowMessage(parent, language, LanguageText(language, captionKey), text, withCancel);
}

QString LastMessageKey() {
    const std::lock_guard<std::mutex> guard(lastKeyLock);
    return lastKey;
}

void SetAutomaticAnswer(bool enabled, Answer answer) {
    automatic = enabled;
    automaticAnswer = answer;
}

} // namespace viewer
