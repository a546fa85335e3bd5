// The settings program's languages: the viewer's choice at start, the switch when the viewer
// signals "IPC_SHARED_EVT_SETUP", message boxes in the language, and screenshots of both pages.

#include "tests/setup/SetupProgramFixture.h"

#include "platform/ipc/NamedEvent.h"
#include "platform/text/CodePage.h"
#include "setup/ISetupDlg.h"
#include "setup/SetupWatcher.h"
#include "setupfile/SetupTextFields.h"
#include "util/CUtilReg.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace tachy::test {
namespace {

struct LanguageCase {
    std::uint32_t id;
    const char* name;
    const char* title; // "setup_title"
    const char* save;  // "common save"
    const char* ok;
    const char* cancel;
    int codePage;
};

const LanguageCase kLanguages[] = {
    {kEnglish, "English", "Recorder settings", "Save", "OK", "Cancel", 1252},
    {kGerman, "German", "Rekorder-Einstellungen", "Speichern", "OK", "Abbrechen", 1252},
    {kKorean, "Korean", "녹화기 설정", "저장", "확인", "취소", 949},
};

using SetupLanguageTest = SetupProgramFixture;

TEST_F(SetupLanguageTest, TheViewersLanguageLabelsTheWindowAndTheMessageBoxes) {
    for (const LanguageCase& language : kLanguages) {
        Configure(kSelectSecondPage, language.id);
        std::filesystem::remove_all(m_card / "SETUP");
        MessageAnswerer cancel(false);
        cancel.SetButtonTexts(QString::fromUtf8(language.ok), QString::fromUtf8(language.cancel));
        CTachySetupDlg& dialog = MakeDialog();
        EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8(language.title)) << language.name;
        EXPECT_EQ(dialog.findChild<QPushButton*>(QStringLiteral("common save"))->text(),
                  QString::fromUtf8(language.save));
        EXPECT_EQ(tachy::text::ansiCodePage(), language.codePage);
        EXPECT_FALSE(dialog.Setup());
        EXPECT_EQ(cancel.Buttons(), QStringList{QString::fromUtf8(language.ok) + "|" +
                                                QString::fromUtf8(language.cancel)})
            << language.name;
        EXPECT_FALSE(std::filesystem::exists(SettingsFile()));
        m_dialog.reset();
        m_app.reset();
    }
}

TEST_F(SetupLanguageTest, TheViewersSignalSwitchesTheLanguageWhileTheDialogIsOpen) {
    WriteCardFile(ValidFile());
    CTachySetupDlg& dialog = MakeDialog();
    ASSERT_TRUE(dialog.Setup());
    ASSERT_TRUE(dialog.IsWatching());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Recorder settings"));
    auto* group = dialog.findChild<QGroupBox*>(QStringLiteral("group:_group 01"));
    ASSERT_NE(group, nullptr);
    const QString englishGroup = group->title();

    CUtilReg().WriteRegDWORD("Software\\Tachy Player\\Language", "ID", kGerman);
    tachy::NamedEvent(SetupWatcher::kEventName).set();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return dialog.windowTitle() == QStringLiteral("Rekorder-Einstellungen"); }, 60000));
    EXPECT_EQ(dialog.findChild<QPushButton*>(QStringLiteral("common cancel"))->text(),
              QStringLiteral("Abbrechen"));
    EXPECT_NE(group->title(), englishGroup);
}

TEST_F(SetupLanguageTest, TheWatcherStopsWithinOneWait) {
    // The watcher waits in steps of 200 ms: stopping it joins its thread at the end of one.
    int calls = 0;
    SetupWatcher watcher([&calls] { ++calls; });
    ASSERT_TRUE(watcher.IsWatching());
    watcher.Stop();
    EXPECT_FALSE(watcher.IsWatching());
    EXPECT_EQ(calls, 0);
}

TEST_F(SetupLanguageTest, ScreenshotsOfBothPagesInEachLanguage) {
    const std::filesystem::path artifacts = TACHY_ARTIFACT_DIR;
    std::filesystem::create_directories(artifacts);
    for (const int select : {kSelectFirstPage, kSelectSecondPage}) {
        for (const LanguageCase& language : kLanguages) {
            Configure(select, language.id);
            auto file = ValidFile();
            tachy::setupfile::WriteTextField(file, tachy::setupfile::SetupTextField::TextA,
                                             "FW 2.14.0", 1252);
            tachy::setupfile::WriteTextField(file, tachy::setupfile::SetupTextField::TextB,
                                             "SN 0042-7781", 1252);
            Model()->UpdateChecksum(file);
            WriteCardFile(file);
            CTachySetupDlg& dialog = MakeDialog();
            ASSERT_TRUE(dialog.Setup());
            dialog.show();
            QCoreApplication::processEvents();
            const QImage shot = dialog.grab().toImage();
            EXPECT_EQ(shot.size(), QSize(CTachySetupDlg::kWidth, CTachySetupDlg::kHeight));
            const std::string page = select == kSelectFirstPage ? "CSetupSTMI0" : "CSetupLogOn";
            const std::filesystem::path name =
                artifacts / ("setup-" + page + "-" + language.name + ".png");
            EXPECT_TRUE(shot.save(QString::fromStdString(name.string())));
            // Every control lies inside the page's area, and every label, choice and button is
            // as wide as its text: nothing is cut off in any language.
            for (QWidget* child : dialog.findChildren<QWidget*>()) {
                if (!child->isVisible()) {
                    continue;
                }
                if (qobject_cast<QAbstractButton*>(child) != nullptr ||
                    qobject_cast<QLabel*>(child) != nullptr) {
                    EXPECT_GE(child->width(), child->sizeHint().width())
                        << page << " " << language.name << " " << child->objectName().toStdString();
                }
                if (child->parentWidget() == dialog.Page() || child->parentWidget() == &dialog) {
                    const QRect area(child->mapTo(&dialog, QPoint(0, 0)), child->size());
                    EXPECT_TRUE(
                        QRect(0, 0, CTachySetupDlg::kWidth, CTachySetupDlg::kHeight).contains(area))
                        << page << " " << language.name << " " << child->objectName().toStdString();
                }
            }
            m_dialog.reset();
            m_app.reset();
        }
    }
}

} // namespace
} // namespace tachy::test
