// The card and format dialogs of the main window, opened as a user opens them: the toolbar's
// card button, F3 on whatever has the focus, and the About box's Format button.

#include "engine/IIntrReplayEx.h"
#include "skinctl/CCtrlButtonEx.h"
#include "skinctl/CCtrlSkinList.h"
#include "tests/viewer/main/ViewerWindowFixture.h"
#include "viewer/appdlg/CAboutDlg.h"
#include "viewer/appdlg/CDlgFormat.h"
#include "viewer/appdlg/CSelectRemovableDrive.h"
#include "viewer/appdlg/RemovableDriveList.h"
#include "viewer/list/CTabList.h"
#include "viewer/list/ListConstants.h"

#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

using namespace viewer_test;

namespace {

constexpr int kPaused = 8; // the engine's state while paused

class ViewerCardDialog : public ViewerWindowFixture {
protected:
    CCtrlButtonEx* Button(const char* name) const {
        return m_window->findChild<CCtrlButtonEx*>(QString::fromLatin1(name));
    }
    void Reopen(const QString& root) {
        const QByteArray path = root.toUtf8();
        m_window->command(viewer::kUserMessage, viewer::kReopenPath,
                          reinterpret_cast<std::intptr_t>(path.constData()));
    }
};

} // namespace

TEST_F(ViewerCardDialog, TheCardButtonAndF3FromTheFocusedListOpenTheCardDialog) {
    ASSERT_TRUE(m_window->OpenPath(card()));
    int opened = 0;
    whenOpen<viewer::appdlg::CSelectRemovableDrive>([&](auto& dialog) {
        ++opened;
        dialog.reject();
    });
    CCtrlButtonEx* button = Button("Open SDCard");
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(opened, 1);

    // F3 reaches the window from the list row that a click gave the focus.
    m_window->activateWindow();
    QApplication::processEvents();
    auto* list = m_window->List()->findChild<CCtrlSkinList*>(QString::number(tachy::viewer::kListControlId));
    ASSERT_NE(list, nullptr);
    const QRect row = list->RowRect(0);
    ASSERT_FALSE(row.isEmpty());
    QTest::mouseClick(list, Qt::LeftButton, {}, QPoint(row.right() - 4, row.center().y()));
    QApplication::processEvents();
    QWidget* focus = QApplication::focusWidget();
    ASSERT_EQ(focus, list);
    bool okWithoutCard = false;
    whenOpen<viewer::appdlg::CSelectRemovableDrive>([&](auto& dialog) {
        ++opened;
        // OK is enabled only while the machine lists a card; with one, OK without a row chosen.
        okWithoutCard = dialog.OkButton()->isEnabled();
        dialog.List()->clearSelection();
        okWithoutCard ? dialog.OkButton()->click() : dialog.reject();
    });
    QTest::keyClick(focus, Qt::Key_F3);
    EXPECT_EQ(opened, 2);
    if (okWithoutCard) {
        EXPECT_EQ(viewer::LastMessageKey(), QStringLiteral("message 001"));
    }
    EXPECT_EQ(m_window->LoadedPath(), card()); // the loaded card stays
}

TEST_F(ViewerCardDialog, AFormatReopensTheLoadedCardOnlyWhenItLiesOnTheFormattedVolume) {
    ASSERT_TRUE(m_window->OpenPath(card()));
    const int opens = m_window->OpenCount();
    // A sibling whose name starts like the card's is another volume.
    Reopen(card().left(card().size() - 1));
    EXPECT_EQ(m_window->OpenCount(), opens);
    Reopen(card() + QStringLiteral("2"));
    EXPECT_EQ(m_window->OpenCount(), opens);
    // The card's own root, with or without a closing separator, and a volume it lies on.
    Reopen(card() + QStringLiteral("/"));
    EXPECT_EQ(m_window->OpenCount(), opens + 1);
    const QString parent = QString::fromStdString(
        std::filesystem::path(card().toStdString()).parent_path().string());
    Reopen(parent);
    EXPECT_EQ(m_window->OpenCount(), opens + 2);
    EXPECT_EQ(m_window->LoadedPath(), card());
}

TEST_F(ViewerCardDialog, AboutsFormatButtonPausesPlayWhileOpenAndPlaysOnWhenNothingWasFormatted) {
    if (kUnderThreadSanitizer) {
        GTEST_SKIP() << "needs playback to keep real time";
    }
    ASSERT_TRUE(m_window->OpenPath(card()));
    m_window->List()->SelectRow(0);
    m_window->Play();
    ASSERT_TRUE(waitFor([&] { return m_window->PicturesShown(0) >= 2; }, 60000));
    bool formatOpened = false;
    bool stillPlaying = false;
    int stateInDialog = -1;
    whenOpen<viewer::appdlg::CAboutDlg>([&](auto& about) {
        ASSERT_NE(about.FormatButton(), nullptr);
        whenOpen<viewer::appdlg::CDlgFormat>([&](auto& format) {
            formatOpened = true;
            stillPlaying = m_window->LoadState() == viewer::kPlaying;
            stateInDialog = m_window->Engine()->GetPlayerState();
            EXPECT_FALSE(format.OkButton()->isEnabled()); // no card selected
            format.reject();
        });
        QTest::mouseClick(about.FormatButton(), Qt::LeftButton);
        about.accept();
    });
    CCtrlButtonEx* icon = Button("Titlebar Icon");
    ASSERT_NE(icon, nullptr);
    QTest::mouseClick(icon, Qt::LeftButton);
    ASSERT_TRUE(formatOpened);
    if (stillPlaying) {
        // Paused while the dialog was open, playing again once it closed without a format.
        EXPECT_EQ(stateInDialog, kPaused);
        EXPECT_NE(m_window->Engine()->GetPlayerState(), kPaused);
    }
    m_window->StopPlayback();
}
