// The viewer's keyboard table through the paths a user takes: keys go to whatever widget has
// the focus after real clicks on the list, a filter button and the volume slider, in the window
// and in full screen, and do what the table says there rather than what the focused control
// would do with them. A text field keeps its own keys.

#include "tests/viewer/main/ViewerWindowFixture.h"

#include "engine/IIntrReplayEx.h"
#include "skinctl/CCtrlButtonEx.h"
#include "skinctl/CCtrlSkinList.h"
#include "skinctl/CCtrlSlider.h"
#include "viewer/app/ViewerCommands.h"
#include "viewer/list/CTabList.h"
#include "viewer/list/ListConstants.h"
#include "viewer/main/ViewerKeyboard.h"
#include "viewer/playbar/CPlayCtrl.h"

#include <QLineEdit>

using namespace viewer_test;  // NOLINT(google-build-using-namespace): the fixture's helpers

namespace {

class ViewerKeyboardTable : public ViewerWindowFixture {
protected:
    void SetUp() override {
        ViewerWindowFixture::SetUp();
        ASSERT_TRUE(m_window->OpenPath(card()));
        m_window->activateWindow();
        QApplication::processEvents();
    }

    CCtrlButtonEx& FilterButton(int mode) const {
        const int id = tachy::viewer::kRecordModes[static_cast<std::size_t>(mode)].buttonId;
        auto* button = m_window->List()->findChild<CCtrlButtonEx*>(QString::number(id));
        EXPECT_NE(button, nullptr);
        return *button;
    }
    int Volume() const { return static_cast<int>(m_window->command(viewer::kUserMessage, viewer::kGetVolume, 0)); }
    int EngineState() const { return m_window->Engine()->GetPlayerState(); }
};

TEST_F(ViewerKeyboardTable, AfterAClickInTheListSpacePlaysAndPausesInsteadOfTickingTheRow) {
    ClickRow(1);
    CCtrlSkinList& list = ListControl();
    ASSERT_EQ(QApplication::focusWidget(), &list);
    ASSERT_EQ(list.GetSelectedRow(), 1);
    const bool checked = list.GetCheck(1);

    Press(Qt::Key_Space);
    EXPECT_EQ(m_window->LoadState(), viewer::kPlaying);
    EXPECT_EQ(list.GetCheck(1), checked);
    ASSERT_TRUE(waitFor([&] { return m_window->PicturesShown(0) > 0 || m_window->LoadState() != viewer::kPlaying; },
                        120000));
    if (m_window->LoadState() == viewer::kPlaying) {
        Press(Qt::Key_Space);
        EXPECT_TRUE(EngineState() == 8 || m_window->LoadState() != viewer::kPlaying) << EngineState();
    }
    EXPECT_EQ(list.GetCheck(1), checked);
    m_window->StopPlayback();
}

TEST_F(ViewerKeyboardTable, AfterAClickInTheListUpAndDownSetTheVolumeAndPageDownMovesTheFile) {
    ClickRow(0);
    CCtrlSkinList& list = ListControl();
    ASSERT_EQ(QApplication::focusWidget(), &list);
    m_window->command(viewer::kUserMessage, viewer::kSetVolume, 50);

    Press(Qt::Key_Up);
    EXPECT_EQ(Volume(), 51);
    Press(Qt::Key_Down);
    Press(Qt::Key_Down);
    EXPECT_EQ(Volume(), 49);
    EXPECT_EQ(list.GetSelectedRow(), 0);  // the arrows did not move the selection

    Press(Qt::Key_PageDown);
    EXPECT_EQ(list.GetSelectedRow(), 1);  // the next file, as the table says
}

TEST_F(ViewerKeyboardTable, AfterAFilterClickAndAVolumeDragTheKeysStillBelongToTheTable) {
    CCtrlButtonEx& filter = FilterButton(1);
    ASSERT_TRUE(filter.isVisible());
    QTest::mouseClick(&filter, Qt::LeftButton);
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), &filter);
    const bool filterOn = filter.isChecked();

    m_window->command(viewer::kUserMessage, viewer::kSetVolume, 30);
    Press(Qt::Key_Space);  // a focused button would toggle itself on Space
    EXPECT_EQ(filter.isChecked(), filterOn);
    EXPECT_EQ(m_window->LoadState(), viewer::kPlaying);
    m_window->StopPlayback();

    CCtrlSlider* volume = m_window->PlayCtrl()->Slider(viewer::playbar::CPlayCtrl::kVolumeSlider);
    ASSERT_NE(volume, nullptr);
    const QPoint from(volume->width() / 4, volume->height() / 2);
    const QPoint to(volume->width() * 3 / 4, volume->height() / 2);
    QTest::mousePress(volume, Qt::LeftButton, {}, from);
    QTest::mouseMove(volume, to);
    QTest::mouseRelease(volume, Qt::LeftButton, {}, to);
    QApplication::processEvents();
    volume->setFocus(Qt::MouseFocusReason);  // a click gives a strong-focus control the focus
    ASSERT_EQ(QApplication::focusWidget(), volume);
    const int before = Volume();
    const int slider = volume->GetPos();

    Press(Qt::Key_Down);
    EXPECT_EQ(Volume(), before - 1);
    Press(Qt::Key_Left);  // a step while stopped: nothing, and the slider does not move by itself
    EXPECT_EQ(volume->GetPos(), Volume()) << "slider " << slider;
}

TEST_F(ViewerKeyboardTable, InFullScreenTheWholeTableWorks) {
    ClickRow(0);
    Press(Qt::Key_Return);
    ASSERT_TRUE(m_window->IsFullScreenShown());
    m_window->command(viewer::kUserMessage, viewer::kSetVolume, 20);

    Press(Qt::Key_Up);
    EXPECT_EQ(Volume(), 21);
    Press(Qt::Key_Space);
    EXPECT_EQ(m_window->LoadState(), viewer::kPlaying);
    Press(Qt::Key_Escape);
    EXPECT_FALSE(m_window->IsFullScreenShown());
    m_window->StopPlayback();
}

TEST_F(ViewerKeyboardTable, ATextFieldKeepsItsKeys) {
    auto* field = new QLineEdit(m_window.get());  // child of the window
    field->show();
    field->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), field);
    QTest::keyClicks(field, QStringLiteral("a b"));
    Press(Qt::Key_Left);
    EXPECT_EQ(field->text(), QStringLiteral("a b"));
    EXPECT_EQ(field->cursorPosition(), 2);
    EXPECT_EQ(m_window->LoadState(), viewer::kLoaded);
}

TEST(ViewerKeyboardClaims, TheTableClaimsItsKeysWithTheirModifiersOnly) {
    using viewer::ViewerKeyboard;
    EXPECT_TRUE(ViewerKeyboard::Claims(Qt::Key_Space, Qt::NoModifier));
    EXPECT_TRUE(ViewerKeyboard::Claims(Qt::Key_Space, Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier));
    EXPECT_FALSE(ViewerKeyboard::Claims(Qt::Key_Space, Qt::ControlModifier));
    EXPECT_TRUE(ViewerKeyboard::Claims(Qt::Key_Enter, Qt::KeypadModifier));
    EXPECT_TRUE(ViewerKeyboard::Claims(Qt::Key_Return, Qt::ShiftModifier));
    EXPECT_TRUE(ViewerKeyboard::Claims(Qt::Key_Up, Qt::ControlModifier));
    EXPECT_FALSE(ViewerKeyboard::Claims(Qt::Key_F, Qt::ControlModifier));
    EXPECT_FALSE(ViewerKeyboard::Claims(Qt::Key_F4, Qt::AltModifier));  // the window manager's close
    EXPECT_FALSE(ViewerKeyboard::Claims(Qt::Key_A, Qt::NoModifier));
    EXPECT_EQ(ViewerKeyboard::WithKey(QStringLiteral("Open folder"), "F2"), QStringLiteral("Open folder (F2)"));
    EXPECT_EQ(ViewerKeyboard::WithKey(QString(), "F2"), QString());
}

} // namespace
