#pragma once
// The second settings page (products 5 and 7): seventeen settings as buttons and lists in ten
// groups, the recorder's text field A, model name and structure version, the model options
// shown only for an "RK150ZT" file, and the time panel that sets the recorder's clock.

#include "setup/ISetupDlg.h"

#include <cstdint>

class QCheckBox;
class QDateEdit;
class QGroupBox;
class QPushButton;
class QTimeEdit;

class CSetupLogOn : public ISetupDlg {
    Q_OBJECT

public:
    // `model` (the second page's), `working` and `language` are borrowed.
    CSetupLogOn(const tachy::setupfile::ISetupPageModel& model,
                tachy::setupfile::SetupBuffer& working, const CExLangManager& language,
                QWidget* parent);

    void ShowValues() override;

    // Whether the "RK150ZT" controls are shown.
    bool ShowsModelOptions() const;

signals:
    // The time panel's save: the picked local time as the whole 64-bit time value.
    void TimeSetRequested(qint64 time);

private:
    void AddTimePanel(QVBoxLayout* group);
    void OnTimeSave();

    QWidget* m_modelOptions = nullptr; // the "RK150ZT" group; a child of this page
    QDateEdit* m_date = nullptr;
    QTimeEdit* m_time = nullptr;
    QCheckBox* m_timeCheck = nullptr;
    QPushButton* m_timeSave = nullptr;
};
