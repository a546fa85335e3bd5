#pragma once
// The snapshot dialog: the pictures of the current frame, one JPEG file per channel, into a
// target folder the user may change or open in the file manager. Save writes them; OK writes
// them and closes.

#include "viewer/dialogs/DialogTexts.h"
#include "viewer/exports/SnapshotPictureSet.h"

#include <QDialog>
#include <QStringList>

#include <cstdint>

class CExLangManager;
class QLineEdit;

namespace viewer::dialogs {

class CSnapshot : public QDialog {
    Q_OBJECT

public:
    CSnapshot(const CExLangManager& language, AskUser ask,
              viewer::exports::SnapshotPictureSet pictures, std::int64_t second, int millisecond,
              const QString& target, QWidget* parent);

    QString Target() const { return m_target; }
    QString BaseName() const { return m_base; }
    // The files the last Save wrote.
    const QStringList& Written() const { return m_written; }

    void ChooseTarget(const QString& folder);
    // Save (1001): every channel's picture as a JPEG file; the number of files written.
    int Save();

public slots:
    void accept() override;

private:
    void Build();
    QString Text(const char* key) const;

    const CExLangManager& m_language; // borrowed; outlives the dialog
    AskUser m_ask;
    const viewer::exports::SnapshotPictureSet m_pictures;
    const QString m_base; // "YYYYMMDD_HHMMSS_mmm" of the frame
    QString m_target;
    QStringList m_written;
    QLineEdit* m_targetEdit = nullptr; // child
};

} // namespace viewer::dialogs
