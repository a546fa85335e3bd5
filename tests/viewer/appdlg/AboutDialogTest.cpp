// The About boxes: the version line by model, the recorder line, the Format button, and the
// link of models 400 and 401 shown as text even when the language file puts markup in it.

#include "skinres/CExLangManager.h"
#include "tests/support/QtTestApplication.h"
#include "viewer/appdlg/AboutTexts.h"
#include "viewer/appdlg/CAboutDlg.h"
#include "viewer/appdlg/CAboutDlgEx.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace viewer::appdlg;

namespace {

class AboutDialog : public testing::Test {
protected:
    void SetUp() override {
        tachy::test::testApplication();
        m_language.LoadTextInfo(QStringLiteral(TACHY_DATA_DIR "/lang/ENG/lang_eng.ini"));
        ASSERT_GT(m_language.GetTextCount(), 0u);
    }
    CExLangManager m_language;
    AboutInfo m_info{1, QStringLiteral("Tachy Player"), QStringLiteral("1.00"),
                     QStringLiteral("0.1.0"), QStringLiteral("R1-2.3")};
};

} // namespace

TEST(AboutVersionLine, TheOptionFilesVersionOrTheProgramsOwnByModel) {
    const QString title = QStringLiteral("Tachy Player");
    EXPECT_EQ(VersionLine(3, title, "1.00", "0.1.0"), QStringLiteral("Tachy Player V1.00 (32bit)"));
    EXPECT_EQ(VersionLine(5, title, "1.00", "0.1.0"), QStringLiteral("Tachy Player V1.00 (32bit)"));
    EXPECT_EQ(VersionLine(4, title, "1.00", "2.3.4"), QStringLiteral("Tachy Player V2.34"));
    EXPECT_EQ(VersionLine(0, title, "1.00", "0.1"), QStringLiteral("Tachy Player V0.10"));
    EXPECT_EQ(VersionLine(1, title, "1.00", ""), QStringLiteral("unknown file"));
    EXPECT_EQ(VersionLine(1, title, "1.00", "beta"), QStringLiteral("unknown version"));
    EXPECT_EQ(VersionLine(1, title, "1.00", "1.x.0"), QStringLiteral("unknown version"));
}

TEST_F(AboutDialog, ShowsBothVersionsAndItsFormatButtonOpensTheFormatDialog) {
    int formatOpened = 0;
    CAboutDlg dialog(
        m_language, m_info, [&] { ++formatOpened; }, nullptr);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("About Tachy Player"));
    EXPECT_EQ(dialog.VersionLabel()->text(), QStringLiteral("Tachy Player V0.10"));
    EXPECT_EQ(dialog.RecorderLabel()->text(),
              m_language.GetText(QStringLiteral("ver07")) + QStringLiteral(" R1-2.3"));
    ASSERT_NE(dialog.FormatButton(), nullptr);
    EXPECT_EQ(dialog.FormatButton()->text(), m_language.GetText(QStringLiteral("common format")));
    QTest::mouseClick(dialog.FormatButton(), Qt::LeftButton);
    EXPECT_EQ(formatOpened, 1);
    QDir().mkpath(QStringLiteral(TACHY_ARTIFACT_DIR));
    EXPECT_TRUE(dialog.grab().save(QStringLiteral(TACHY_ARTIFACT_DIR "/dialog-about.png")));
    CAboutDlg withoutFormat(m_language, m_info, {}, nullptr);
    EXPECT_EQ(withoutFormat.FormatButton(), nullptr);
}

TEST_F(AboutDialog, TheExtendedBoxShowsItsLinesAndTheLinkAsText) {
    m_info.productId = 401;
    CAboutDlgEx dialog(m_language, m_info, nullptr);
    dialog.show();
    EXPECT_EQ(dialog.VersionLabel()->text(), QStringLiteral("Tachy Player V1.00 (32bit)"));
    const QString link = m_language.GetText(QStringLiteral("ver05"));
    ASSERT_FALSE(link.isEmpty());
    EXPECT_TRUE(dialog.LinkLabel()->text().contains(QStringLiteral("href=\"") + link +
                                                    QStringLiteral("\"")));
    const QLabel* line = dialog.findChild<QLabel*>(QStringLiteral("1031"));
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->text(), m_language.GetText(QStringLiteral("ver03")));
    EXPECT_TRUE(dialog.RecorderLabel()->text().endsWith(QStringLiteral(" R1-2.3")));
}
