#pragma once
// The "Export video" dialog: how far before and after the picture shown the span reaches (in
// seconds, clamped to the recordings), the layout of the cameras (only those the card's cameras
// allow: side by side and picture in picture need two, the grid three), the optional overlay of
// time, speed and position, and the MP4 file to write. OK closes it only with a file named and
// a span that holds recordings.

#include "cli/ExportLayout.h"
#include "viewer/dialogs/DialogTexts.h"

#include <QDialog>

#include <cstdint>
#include <filesystem>

class CExLangManager;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace viewer::dialogs {

struct ExportVideoSpan {
    std::int64_t pictureMs = 0; // the picture shown, UTC
    std::int64_t firstMs = 0;   // the recordings' start
    std::int64_t lastMs = 0;    // the recordings' end
    int cameras = 1;
};

class CExportVideoDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kDefaultSeconds = 30;
    static constexpr int kMaxSeconds = 3600;

    CExportVideoDlg(const CExLangManager& language, AskUser ask, const ExportVideoSpan& span,
                    const std::filesystem::path& target, QWidget* parent);

    // The chosen span, clamped to the recordings.
    std::int64_t FromMs() const;
    std::int64_t ToMs() const;
    tachy::cli::ExportLayout::Kind Layout() const;
    bool Overlay() const;
    std::filesystem::path Target() const;

public slots:
    void accept() override;

private:
    void Build(const std::filesystem::path& target);
    void AddLayouts();
    void OnBrowse();
    void ShowSpan();
    QString Text(const char* key) const;

    const CExLangManager& m_language; // borrowed; outlives the dialog
    AskUser m_ask;
    const ExportVideoSpan m_span;
    QSpinBox* m_before = nullptr;   // child
    QSpinBox* m_after = nullptr;    // child
    QLabel* m_length = nullptr;     // child
    QComboBox* m_layout = nullptr;  // child
    QCheckBox* m_overlay = nullptr; // child
    QLineEdit* m_path = nullptr;    // child
};

} // namespace viewer::dialogs
