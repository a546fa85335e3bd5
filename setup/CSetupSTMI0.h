#pragma once
// The first settings page (product 0): fourteen rows of buttons in five groups and the
// recorder's two text fields in a sixth.

#include "setup/ISetupDlg.h"

class CSetupSTMI0 : public ISetupDlg {
    Q_OBJECT

public:
    // `model` (the first page's), `working` and `language` are borrowed.
    CSetupSTMI0(const tachy::setupfile::ISetupPageModel& model,
                tachy::setupfile::SetupBuffer& working, const CExLangManager& language,
                QWidget* parent);

private:
    void AddRow(QVBoxLayout* group, int row);
};
