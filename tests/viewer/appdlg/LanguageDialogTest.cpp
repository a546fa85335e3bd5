// The language dialog: which item a stored identifier selects, which identifier an item stores,
// and the choice made with the keyboard on the real combo box.

#include "skinres/CExLangManager.h"
#include "tests/support/QtTestApplication.h"
#include "viewer/appdlg/CDlgLang.h"

#include <QComboBox>
#include <QDir>
#include <QTest>
#include <gtest/gtest.h>

using viewer::appdlg::CDlgLang;

namespace {

std::vector<LanguageEntry> Installed() {
    return {{QStringLiteral("ger.ini"), QStringLiteral("Deutsch"), 1031, {}},
            {QStringLiteral("eng.ini"), QStringLiteral("English"), 1033, {}},
            {QStringLiteral("kor.ini"), QStringLiteral("한국어"), 1042, {}},
            {QStringLiteral("eng2.ini"), QStringLiteral("English (second)"), 1033, {}}};
}

class LanguageDialog : public testing::Test {
protected:
    void SetUp() override {
        tachy::test::testApplication();
        m_language.LoadTextInfo(QStringLiteral(TACHY_DATA_DIR "/lang/ENG/lang_eng.ini"));
        ASSERT_GT(m_language.GetTextCount(), 0u);
    }
    CExLangManager m_language;
};

} // namespace

TEST(LanguageChoice, StoredIdentifierToItemAndBack) {
    const auto languages = Installed();
    EXPECT_EQ(CDlgLang::ItemForId(languages, 0), 0);
    EXPECT_EQ(CDlgLang::ItemForId(languages, 1031), 1);
    EXPECT_EQ(CDlgLang::ItemForId(languages, 1033), 2); // the first with that identifier
    EXPECT_EQ(CDlgLang::ItemForId(languages, 1042), 3);
    EXPECT_EQ(CDlgLang::ItemForId(languages, 1036), 0); // not installed
    EXPECT_EQ(CDlgLang::IdForItem(languages, 0), 0);
    EXPECT_EQ(CDlgLang::IdForItem(languages, 3), 1042);
    EXPECT_EQ(CDlgLang::IdForItem(languages, 4), 1033);
    EXPECT_EQ(CDlgLang::IdForItem(languages, 5), 0);
    EXPECT_EQ(CDlgLang::IdForItem(languages, -1), 0);
    EXPECT_EQ(CDlgLang::IdForItem({}, 1), 0);
}

TEST_F(LanguageDialog, ListsTheSystemLanguageFirstAndTakesTheKeyboardChoice) {
    CDlgLang dialog(m_language, Installed(), 1042, nullptr);
    dialog.show();
    QComboBox* choice = dialog.Choice();
    ASSERT_EQ(choice->count(), 5);
    EXPECT_EQ(choice->itemText(0), m_language.GetText(QStringLiteral("dlg lang autolang")));
    EXPECT_EQ(choice->itemText(3), QStringLiteral("한국어"));
    EXPECT_EQ(dialog.SelectedItem(), 3);
    EXPECT_EQ(dialog.windowTitle(), m_language.GetText(QStringLiteral("dlg lang title")));
    choice->setFocus();
    QTest::keyClick(choice, Qt::Key_Up);
    QTest::keyClick(choice, Qt::Key_Up);
    EXPECT_EQ(dialog.SelectedId(), 1031);
    QTest::keyClick(choice, Qt::Key_Home);
    EXPECT_EQ(dialog.SelectedId(), 0);
    QDir().mkpath(QStringLiteral(TACHY_ARTIFACT_DIR));
    EXPECT_TRUE(dialog.grab().save(QStringLiteral(TACHY_ARTIFACT_DIR "/dialog-language.png")));
}
