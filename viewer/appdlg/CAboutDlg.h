#pragma once
// The About box of the viewer (every model but 400 and 401): the program's icon and version, the
// recorder's firmware version from the loaded card, OK, and the Format button that opens the
// format dialog.

#include <QDialog>
#include <QString>
#include <functional>

class CExLangManager;
class QLabel;
class QPushButton;

namespace viewer::appdlg {

struct AboutInfo {
    int productId = 0;
    QString title;          // the option file's "Title"
    QString optionVersion;  // the option file's "Version"
    QString programVersion; // the running program's "a.b.c"
    QString recorderVersion;
};

class CAboutDlg : public QDialog {
public:
    // `openFormat` runs the format dialog; without it the Format button is not shown.
    CAboutDlg(const CExLangManager& language, const AboutInfo& info,
              std::function<void()> openFormat, QWidget* parent);

    QLabel* VersionLabel() const { return m_version; }
    QLabel* RecorderLabel() const { return m_recorder; }
    QPushButton* FormatButton() const { return m_format; }

private:
    QLabel* m_version = nullptr;     // child, item 1025
    QLabel* m_recorder = nullptr;    // child, item 1029
    QPushButton* m_format = nullptr; // child, button 32799
};

} // namespace viewer::appdlg
