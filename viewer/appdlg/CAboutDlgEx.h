#pragma once
// The About box of models 400 and 401: the option file's version, the program's own lines from
// the language file ("ver02", "ver03", "ver04", "ver06"), a link whose text and target are
// "ver05", and the recorder's firmware version.

#include "viewer/appdlg/CAboutDlg.h"

#include <QDialog>

class CExLangManager;
class QLabel;

namespace viewer::appdlg {

class CAboutDlgEx : public QDialog {
public:
    CAboutDlgEx(const CExLangManager& language, const AboutInfo& info, QWidget* parent);

    QLabel* VersionLabel() const { return m_version; }
    QLabel* LinkLabel() const { return m_link; }
    QLabel* RecorderLabel() const { return m_recorder; }

private:
    QLabel* m_version = nullptr;  // child, item 1025
    QLabel* m_link = nullptr;     // child
    QLabel* m_recorder = nullptr; // child, item 1026
};

} // namespace viewer::appdlg
