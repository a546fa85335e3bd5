#include "skinctl/CCtrlButtonEx.h"
#include "skinctl/CCtrlDigit.h"
#include "skinctl/CCtrlHyperlink.h"
#include "skinctl/CCtrlScrollBar.h"
#include "skinctl/CCtrlSkinList.h"
#include "skinctl/CCtrlSlider.h"

#include "tests/support/QtTestApplication.h"

#include <QButtonGroup>
#include <QEnterEvent>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace {

class SkinControls : public testing::Test {
protected:
    void SetUp() override { tachy::test::testApplication(); }
};

void hover(QWidget& widget, bool inside) {
    if (inside) {
        QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
        QApplication::sendEvent(&widget, &enter);
    } else {
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&widget, &leave);
    }
}

// Five rows and three columns (check, mode, file) in a list that shows three rows.
void fillList(CCtrlSkinList& list) {
    list.resize(212, 24 + 3 * 32);
    list.InsertColumn(0, QString(), 32);
    list.InsertColumn(1, "Type", 60);
    list.InsertColumn(2, "File", 300);
    for (int row = 0; row < 5; ++row) {
        list.InsertItem(row, QString());
        list.SetItemText(row, 1, QString("mode %1").arg(row));
        list.SetItemText(row, 2, QString("file_%1.avi").arg(row));
    }
}

// A wheel event as a mouse (angle 120 a notch) or a touchpad (small angle or pixel deltas) sends it.
void wheel(QWidget& widget, int angle, int pixels = 0) {
    const QPointF at(widget.width() / 2.0, widget.height() / 2.0);
    QWheelEvent event(at, widget.mapToGlobal(at), QPoint(0, pixels), QPoint(0, angle), Qt::NoButton,
                      Qt::NoModifier, Qt::ScrollUpdate, false);
    QApplication::sendEvent(&widget, &event);
}

} // namespace

TEST_F(SkinControls, TouchpadDeltasAddUpToTheStepsOfAWheelNotch) {
    CCtrlSlider slider(8481);
    slider.resize(200, 20);
    slider.SetPos(50);
    for (int event = 0; event < 12; ++event) {
        wheel(slider, 10);  // twelve small deltas: one notch
    }
    EXPECT_EQ(slider.GetPos(), 51);
    wheel(slider, 60);
    wheel(slider, -60);  // the direction turned: the half notch upward is dropped
    EXPECT_EQ(slider.GetPos(), 51);
    wheel(slider, -240);
    EXPECT_EQ(slider.GetPos(), 49);
    wheel(slider, 0, 20);
    wheel(slider, 0, 20);  // pixels only, as some touchpads send: 40 pixels a step
    EXPECT_EQ(slider.GetPos(), 50);

    CCtrlSkinList list(8528);
    fillList(list);
    for (int event = 0; event < 8; ++event) {
        wheel(list, -15);  // one notch down in eight touchpad events: three rows
    }
    EXPECT_EQ(list.GetTopRow(), 2);

    CCtrlScrollBar bar;
    bar.resize(12, 100);
    bar.SetRange(30, 10);
    for (int event = 0; event < 6; ++event) {
        wheel(bar, -40);  // two notches: a quarter page each
    }
    EXPECT_EQ(bar.GetValue(), 4);
}

TEST_F(SkinControls, ButtonShowsOverAndPressedAndClicksFromTheKeyboard) {
    CCtrlButtonEx button;
    button.resize(40, 40);
    button.setToolTip("Play");
    QSignalSpy clicked(&button, &QAbstractButton::clicked);
    EXPECT_EQ(button.GetDrawState(), 0);
    hover(button, true);
    EXPECT_EQ(button.GetDrawState(), 1);
    button.setDown(true);
    EXPECT_EQ(button.GetDrawState(), 3);
    button.setDown(false);
    hover(button, false);
    EXPECT_EQ(button.GetDrawState(), 0);
    button.setEnabled(false);
    hover(button, true);
    EXPECT_EQ(button.GetDrawState(), 0);  // a disabled button does not light up
    button.setEnabled(true);
    QTest::mouseClick(&button, Qt::LeftButton);
    QTest::keyClick(&button, Qt::Key_Space);
    EXPECT_EQ(clicked.count(), 2);
    EXPECT_EQ(button.toolTip(), "Play");
    EXPECT_EQ(button.focusPolicy(), Qt::StrongFocus);
}

TEST_F(SkinControls, CheckButtonStaysPressedAndRadioButtonsExcludeEachOther) {
    QWidget parent;
    CCtrlButtonEx check(&parent);
    check.setCheckable(true);
    QTest::mouseClick(&check, Qt::LeftButton);
    EXPECT_TRUE(check.isChecked());
    EXPECT_EQ(check.GetDrawState(), 3);
    QTest::mouseClick(&check, Qt::LeftButton);
    EXPECT_FALSE(check.isChecked());

    CCtrlButtonEx half(&parent);
    CCtrlButtonEx one(&parent);
    for (CCtrlButtonEx* radio : {&half, &one}) {
        radio->setCheckable(true);
        radio->setAutoExclusive(true);
    }
    QTest::mouseClick(&half, Qt::LeftButton);
    QTest::mouseClick(&one, Qt::LeftButton);
    EXPECT_FALSE(half.isChecked());
    EXPECT_TRUE(one.isChecked());
    QTest::mouseClick(&one, Qt::LeftButton);
    EXPECT_TRUE(one.isChecked());  // a radio-like button is not unchecked by a second click
}

TEST_F(SkinControls, SliderReportsPressMoveAndReleaseWithItsIdAndPosition) {
    CCtrlSlider slider(8480);
    slider.resize(116, 20);  // thumb 16: positions 0..100 over x 8..108
    QSignalSpy notes(&slider, &CCtrlSlider::notify);
    QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(58, 10));
    QTest::mouseMove(&slider, QPoint(108, 10));
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(108, 10));
    ASSERT_EQ(notes.count(), 3);
    EXPECT_EQ(notes[0][0].toInt(), CCtrlSlider::kNotifyPress);
    EXPECT_EQ(notes[0][1].toInt(), 8480);
    EXPECT_EQ(notes[0][2].toInt(), 50);
    EXPECT_EQ(notes[1][0].toInt(), CCtrlSlider::kNotifyMove);
    EXPECT_EQ(notes[1][2].toInt(), 100);
    EXPECT_EQ(notes[2][0].toInt(), CCtrlSlider::kNotifyRelease);
    EXPECT_EQ(notes[2][2].toInt(), 100);
    EXPECT_EQ(0x410, CCtrlSlider::kNotifyPress);
    EXPECT_EQ(0x411, CCtrlSlider::kNotifyRelease);
    EXPECT_EQ(0x412, CCtrlSlider::kNotifyMove);
}

TEST_F(SkinControls, SliderClampsAndMovesByKeyboard) {
    CCtrlSlider slider(1);
    slider.resize(116, 20);
    slider.SetRange(0, 1800);
    slider.SetPos(5000);
    EXPECT_EQ(slider.GetPos(), 1800);
    slider.SetRange(0, 100);
    EXPECT_EQ(slider.GetPos(), 100);
    QSignalSpy notes(&slider, &CCtrlSlider::notify);
    QTest::keyClick(&slider, Qt::Key_Right);  // already at the end: nothing happens
    EXPECT_EQ(notes.count(), 0);
    QTest::keyClick(&slider, Qt::Key_PageDown);
    EXPECT_EQ(slider.GetPos(), 90);
    ASSERT_EQ(notes.count(), 2);
    EXPECT_EQ(notes[0][0].toInt(), CCtrlSlider::kNotifyMove);
    EXPECT_EQ(notes[1][0].toInt(), CCtrlSlider::kNotifyRelease);
    // An empty range does not divide by zero.
    slider.SetRange(5, 5);
    QTest::mouseClick(&slider, Qt::LeftButton, {}, QPoint(60, 10));
    EXPECT_EQ(slider.GetPos(), 5);
}

TEST_F(SkinControls, ScrollBarPagesOnTheTrackAndDragsTheThumb) {
    CCtrlScrollBar bar;
    bar.resize(12, 100);
    bar.SetRange(30, 10);
    EXPECT_EQ(bar.ThumbRect().height(), 25);
    QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(6, 90));
    EXPECT_EQ(bar.GetValue(), 10);
    QTest::mousePress(&bar, Qt::LeftButton, {}, bar.ThumbRect().center());
    QTest::mouseMove(&bar, QPoint(6, 200));
    QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(6, 200));
    EXPECT_EQ(bar.GetValue(), 30);
    bar.SetRange(0, 10);
    EXPECT_EQ(bar.GetValue(), 0);
    EXPECT_TRUE(bar.ThumbRect().isEmpty());
}

TEST_F(SkinControls, ListChecksRowsAndTheHeaderBoxChecksAll) {
    CCtrlSkinList list(8528);
    fillList(list);
    QSignalSpy notes(&list, &CCtrlSkinList::notify);
    QTest::mouseClick(&list, Qt::LeftButton, {}, list.CheckRect(1).center());
    EXPECT_TRUE(list.GetCheck(1));
    EXPECT_EQ(list.GetSelectedRow(), -1);  // the check box does not select
    EXPECT_EQ(notes.count(), 0);
    QTest::mouseClick(&list, Qt::LeftButton, {}, list.HeaderCheckRect().center());
    EXPECT_EQ(list.GetCheckedCount(), 5);
    EXPECT_TRUE(list.IsAllChecked());
    QTest::mouseClick(&list, Qt::LeftButton, {}, list.HeaderCheckRect().center());
    EXPECT_EQ(list.GetCheckedCount(), 0);
    list.SetCheck(9, true);  // beyond the rows: ignored
    EXPECT_EQ(list.GetCheckedCount(), 0);
}

TEST_F(SkinControls, ListSelectsActivatesAndIndicatesRows) {
    CCtrlSkinList list(8528);
    fillList(list);
    QSignalSpy notes(&list, &CCtrlSkinList::notify);
    QTest::mouseClick(&list, Qt::LeftButton, {}, list.RowRect(2).center());
    EXPECT_EQ(list.GetSelectedRow(), 2);
    EXPECT_EQ(list.GetRowState(2), CCtrlSkinList::RowState::Selected);
    QTest::mouseDClick(&list, Qt::LeftButton, {}, list.RowRect(2).center());
    ASSERT_GE(notes.count(), 2);
    EXPECT_EQ(notes.first()[0].toInt(), CCtrlSkinList::kNotifySelect);
    EXPECT_EQ(notes.first()[1].toInt(), 8528);
    EXPECT_EQ(notes.first()[2].toInt(), 2);
    EXPECT_EQ(notes.last()[0].toInt(), CCtrlSkinList::kNotifyActivate);
    EXPECT_EQ(notes.last()[2].toInt(), 2);
    // Indicating a row below the view scrolls it into view.
    list.SetIndicatedRow(4);
    EXPECT_EQ(list.GetRowState(4), CCtrlSkinList::RowState::Indicated);
    EXPECT_EQ(list.GetTopRow(), 2);
    EXPECT_FALSE(list.RowRect(4).isEmpty());
    QTest::keyClick(&list, Qt::Key_Up);
    EXPECT_EQ(list.GetSelectedRow(), 1);
    EXPECT_EQ(list.GetTopRow(), 1);
    QTest::keyClick(&list, Qt::Key_Space);
    EXPECT_TRUE(list.GetCheck(1));
    list.DeleteAllItems();
    EXPECT_EQ(list.GetSelectedRow(), -1);
    EXPECT_EQ(list.GetIndicatedRow(), -1);
    EXPECT_EQ(list.GetTopRow(), 0);
}

TEST_F(SkinControls, ListScrollsSidewaysOnlyWhenAskedAndTooWide) {
    CCtrlSkinList list(8528);
    fillList(list);
    list.show();
    EXPECT_EQ(list.GetHorizontalOffset(), 0);
    QTest::keyClick(&list, Qt::Key_Right);
    EXPECT_EQ(list.GetHorizontalOffset(), 0);
    list.SetHorizontalScroll(true);
    QTest::keyClick(&list, Qt::Key_Right);
    EXPECT_EQ(list.GetHorizontalOffset(), 40);
    const int before = list.CheckRect(0).left();
    QTest::keyClick(&list, Qt::Key_Right);
    EXPECT_EQ(list.CheckRect(0).left(), before - 40);
}

TEST_F(SkinControls, DigitDisplayMapsCharactersToStripCells) {
    EXPECT_EQ(CCtrlDigit::CellOf('0'), 0);
    EXPECT_EQ(CCtrlDigit::CellOf('9'), 9);
    EXPECT_EQ(CCtrlDigit::CellOf(':'), 10);
    EXPECT_EQ(CCtrlDigit::CellOf('-'), 12);
    EXPECT_EQ(CCtrlDigit::CellOf('x'), 13);
    CCtrlDigit digits;
    digits.SetText("12:30");
    EXPECT_EQ(digits.sizeHint(), QSize(80, 28));
}

TEST_F(SkinControls, HyperlinkActivatesFromMouseAndKeyboard) {
    CCtrlHyperlink link;
    link.SetOpensBrowser(false);
    link.SetLink("tachy.example.org", QUrl("https://tachy.example.org"));
    link.resize(link.sizeHint());
    QSignalSpy activated(&link, &CCtrlHyperlink::activated);
    QTest::mouseClick(&link, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::keyClick(&link, Qt::Key_Return);
    ASSERT_EQ(activated.count(), 2);
    EXPECT_EQ(activated[0][0].toUrl(), QUrl("https://tachy.example.org"));
    EXPECT_EQ(link.toolTip(), "https://tachy.example.org");
}
