// The language button and the About box of the main window, used as a user does: a click on
// the toolbar, the choice in the dialog, and every part of the window in the new language.

#include "platform/ipc/NamedEvent.h"
#include "skinctl/CCtrlButtonEx.h"
#include "tests/viewer/main/ViewerWindowFixture.h"
#include "util/CUtilReg.h"
#include "viewer/appdlg/CAboutDlg.h"
#include "viewer/appdlg/CDlgLang.h"
#include "viewer/boxes/CWndFunc.h"
#include "viewer/playbar/CWndVideoCtrl.h"

#include <QComboBox>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <functional>

using namespace viewer_test;
using namespace std::chrono_literals;

namespace {

// Picks the item of the language called `name` (or item 0 for an empty name), then OK or Cancel.
void Choose(viewer::appdlg::CDlgLang& dialog, const QString& name, bool ok) {
    const int item = name.isEmpty() ? 0 : dialog.Choice()->findText(name);
    ASSERT_GE(item, 0) << name.toStdString();
    dialog.Choice()->setCurrentIndex(item);
    ok ? dialog.accept() : dialog.reject();
}

class ViewerLanguageChange : public ViewerWindowFixture {
protected:
    CCtrlButtonEx* Button(const char* name) const {
        return m_window->findChild<CCtrlButtonEx*>(QString::fromLatin1(name));
    }
    void ClickLanguageButton() {
        CCtrlButtonEx* button = Button("Language");
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
    }
    std::uint32_t StoredId() const {
        return CUtilReg().ReadRegDWORD(m_app.ProfileKey() + "\\Language", "ID", 0xFFFF);
    }
    QString FirstTabTip() const {
        const auto buttons = m_window->Func()->findChildren<CCtrlButtonEx*>();
        return buttons.isEmpty() ? QString() : buttons.front()->toolTip();
    }
};

} // namespace

TEST_F(ViewerLanguageChange, ChoosingGermanGivesEveryPartItsTextsAndSignalsTheSettingsProgram) {
    tachy::NamedEvent settingsProgram("IPC_SHARED_EVT_SETUP");
    ASSERT_TRUE(Button("Language")->toolTip().startsWith(QStringLiteral("Language")));
    ASSERT_EQ(FirstTabTip(), QStringLiteral("Recordings"));
    whenOpen<viewer::appdlg::CDlgLang>(
        [](auto& dialog) { Choose(dialog, QStringLiteral("Deutsch"), true); });
    ClickLanguageButton();
    EXPECT_EQ(StoredId(), 0x0407u);
    ASSERT_NE(m_app.Languages().CurrentEntry(), nullptr);
    EXPECT_EQ(m_app.Languages().CurrentEntry()->name, QStringLiteral("Deutsch"));
    EXPECT_TRUE(Button("Language")->toolTip().startsWith(QStringLiteral("Sprache")));
    EXPECT_TRUE(Button("Print")->toolTip().contains(QStringLiteral("F5"))); // keys still shown
    EXPECT_EQ(FirstTabTip(), QStringLiteral("Aufnahmen"));
    EXPECT_EQ(m_window->VideoCtrl()->toolTip(), QStringLiteral("Bild"));
    EXPECT_EQ(settingsProgram.wait(1000ms), tachy::NamedEvent::WaitResult::Signaled);
}

TEST_F(ViewerLanguageChange, CancelOrTheLanguageAlreadyShownChangesNothingAndSignalsNothing) {
    tachy::NamedEvent settingsProgram("IPC_SHARED_EVT_SETUP");
    const std::uint32_t before = StoredId();
    whenOpen<viewer::appdlg::CDlgLang>(
        [](auto& dialog) { Choose(dialog, QStringLiteral("Deutsch"), false); });
    ClickLanguageButton();
    EXPECT_EQ(StoredId(), before); // nothing written
    EXPECT_EQ(FirstTabTip(), QStringLiteral("Recordings"));
    // English by name while the system's language (English here) is shown: stored, no redraw.
    whenOpen<viewer::appdlg::CDlgLang>(
        [](auto& dialog) { Choose(dialog, QStringLiteral("English"), true); });
    ClickLanguageButton();
    EXPECT_EQ(StoredId(), 0x0409u);
    EXPECT_EQ(FirstTabTip(), QStringLiteral("Recordings"));
    EXPECT_EQ(settingsProgram.wait(0ms), tachy::NamedEvent::WaitResult::TimedOut);
}

TEST_F(ViewerLanguageChange, TheTitleIconOpensTheAboutBoxWithTheCardsRecorderVersion) {
    const COption& option = m_app.Option();
    ASSERT_FALSE(option.setupFileName.empty());
    const std::filesystem::path folder =
        std::filesystem::path(card().toStdString()) / option.setupDir;
    std::filesystem::create_directories(folder);
    std::string settings(1313, '\0');
    settings.replace(0, 11, "TCY-FW 1.07");
    std::ofstream(folder / option.setupFileName, std::ios::binary) << settings;
    ASSERT_TRUE(m_window->OpenPath(card()));
    QString recorderLine;
    QString title;
    whenOpen<viewer::appdlg::CAboutDlg>([&](auto& dialog) {
        recorderLine = dialog.RecorderLabel()->text();
        title = dialog.windowTitle();
        dialog.accept();
    });
    CCtrlButtonEx* icon = Button("Titlebar Icon");
    ASSERT_NE(icon, nullptr);
    QTest::mouseClick(icon, Qt::LeftButton);
    EXPECT_EQ(title, QStringLiteral("About ") + QString::fromStdString(option.title));
    EXPECT_TRUE(recorderLine.endsWith(QStringLiteral(" TCY-FW 1.07")))
        << recorderLine.toStdString();
}
