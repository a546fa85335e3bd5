#include "tests/viewer/list/ListPageFixture.h"
#include "tests/viewer/list/TestEntries.h"

#include "skinctl/CCtrlButtonEx.h"
#include "skinctl/CCtrlSkinList.h"
#include "viewer/list/ListFormats.h"

#include <QTest>

namespace tachy::test {
namespace {

using viewer::kAllButtonId;
using viewer::kDeleteButtonId;
using viewer::kListControlId;
using viewer::kSaveButtonId;
using viewer::kWmUser;
using RowState = CCtrlSkinList::RowState;

constexpr int kNormalButton = 8518;
constexpr int kEventButton = 8519;
constexpr int kParkingButton = 8520;

// Normal, event and parking entries, given out of time order.
std::vector<CTimeList> mixedEntries() {
    return {
        makeEntry(1, kMarch10 + 120'000, kMarch10 + 180'000, 3, "/card/event/E_0003.avi"),
        makeEntry(0, kMarch10, kMarch10 + 60'000, 1, "/card/normal/N_0001.avi"),
        makeEntry(2, kMarch10 + 240'000, kMarch10 + 300'000, 5, "/card/parking/P_0005.avi"),
        makeEntry(0, kMarch10 + 60'000, kMarch10 + 120'000, 2, "/card/normal/N_0002.avi"),
        makeEntry(1, kMarch10 + 180'000, kMarch10 + 240'000, 4, "/card/event/E_0004.avi"),
    };
}

int firstFileOfRow(CTabList& page, int row) {
    CTimeList entry;
    return page.CopyEntry(row, entry) ? entry.m_nFirstFileNumber[0] : -1;
}

std::vector<int> rowFiles(CTabList& page) {
    std::vector<int> files;
    for (int row = 0; row < page.GetItemCount(); ++row) {
        files.push_back(firstFileOfRow(page, row));
    }
    return files;
}

void clickRow(CCtrlSkinList& list, int row) {
    QTest::mouseClick(&list, Qt::LeftButton, {}, list.RowRect(row).center());
}

class CTabListTest : public ListPageTest {
protected:
    void SetUp() override { m_page.show(); }
    ViewerContext m_context = contextFor(defaultSkin());
    CTabList m_page{m_context, &m_target};
};

// Loading and filling.

TEST_F(CTabListTest, LoadShowsEveryEntryInStartOrder) {
    loadEntries(m_page, mixedEntries());
    EXPECT_EQ(rowFiles(m_page), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(listOf(m_page).GetItemCount(), 5);
    EXPECT_EQ(m_page.GetSelectedRow(), -1);  // the main window selects after a load
}

TEST_F(CTabListTest, RowsShowModeDateTimeLengthAndFileName) {
    loadEntries(m_page, mixedEntries());
    CCtrlSkinList& list = listOf(m_page);
    EXPECT_EQ(list.GetItemText(2, 0), "");
    EXPECT_EQ(list.GetItemText(2, 1), "Event");
    EXPECT_EQ(list.GetItemText(2, 2), "20240310");
    EXPECT_EQ(list.GetItemText(2, 3), "131709");
    EXPECT_EQ(list.GetItemText(2, 4), "01:00");
    EXPECT_EQ(list.GetItemText(2, 5), "E_0003.avi");
    EXPECT_EQ(list.GetItemText(4, 1), "Parking");
}

TEST_F(CTabListTest, IncidentRowsAreMarkedForTheWarningColour) {
    loadEntries(m_page, mixedEntries());
    CCtrlSkinList& list = listOf(m_page);
    for (int row = 0; row < list.GetItemCount(); ++row) {
        const QString mode = list.GetItemText(row, 1);
        EXPECT_EQ(list.GetRowWarning(row), mode == "Event" || mode == "Parking") << mode.toStdString();
    }
    EXPECT_TRUE(list.GetRowWarning(2));
    EXPECT_FALSE(tachy::viewer::IsIncidentMode(0));
    EXPECT_TRUE(tachy::viewer::IsIncidentMode(4));  // an event while parked
    EXPECT_FALSE(tachy::viewer::IsIncidentMode(5));
}

TEST_F(CTabListTest, ColumnsFitTheirTextsAndTheLengthColumnIsInView) {
    loadEntries(m_page, mixedEntries());
    CCtrlSkinList& list = listOf(m_page);
    const QFontMetrics metrics(list.font(), &list);
    int right = 0;
    for (int column = 0; column < 5; ++column) {
        const int width = list.GetColumnWidth(column);
        for (int row = 0; row < list.GetItemCount(); ++row) {
            EXPECT_LE(metrics.horizontalAdvance(list.GetItemText(row, column)) + CCtrlSkinList::kCellPadding, width)
                << "column " << column << ": " << list.GetItemText(row, column).toStdString();
        }
        right += width;
    }
    // The columns up to the length fit beside the vertical scroll bar at the skin's size.
    EXPECT_LE(right, list.width() - 12) << "the length column ends at " << right << " of " << list.width();
}

TEST_F(CTabListTest, ColumnHeadersComeFromTheLanguage) {
    EXPECT_EQ(listOf(m_page).GetColumnCount(), 6);
    loadEntries(m_page, mixedEntries());
    EXPECT_EQ(buttonOf(m_page, kAllButtonId).text(), "All");
    EXPECT_EQ(buttonOf(m_page, kSaveButtonId).text(), "Back up");
}

TEST_F(CTabListTest, LoadStartDeletesRowsAndSwitchesEveryFilterOn) {
    loadEntries(m_page, mixedEntries());
    buttonOf(m_page, kAllButtonId).click();  // all off
    ASSERT_EQ(m_page.GetItemCount(), 0);
    m_page.OnLoadStart();
    EXPECT_EQ(m_page.GetItemCount(), 0);
    EXPECT_EQ(listOf(m_page).GetItemCount(), 0);
    EXPECT_TRUE(buttonOf(m_page, kAllButtonId).isChecked());
    for (const auto& mode : viewer::kRecordModes) {
        EXPECT_TRUE(buttonOf(m_page, mode.buttonId).isChecked()) << mode.buttonId;
    }
    m_page.OnLoadFinished();
    m_page.OnRebuild();
    EXPECT_EQ(m_page.GetItemCount(), 0);  // the catalogue was emptied too
}

TEST_F(CTabListTest, EntryOfAnUnknownModeIsNotListed) {
    std::vector<CTimeList> entries = mixedEntries();
    entries.push_back(makeEntry(-1, kMarch10, kMarch10 + 1000, 9));
    entries.push_back(makeEntry(7, kMarch10, kMarch10 + 1000, 10));
    loadEntries(m_page, entries);
    EXPECT_EQ(m_page.GetItemCount(), 5);
}

// Filters.

TEST_F(CTabListTest, AllModesOffLeavesNoRowsAndNoSelection) {
    loadEntries(m_page, mixedEntries());
    m_page.SelectRow(3);
    buttonOf(m_page, kAllButtonId).click();
    EXPECT_FALSE(buttonOf(m_page, kAllButtonId).isChecked());
    EXPECT_EQ(m_page.GetItemCount(), 0);
    EXPECT_EQ(m_page.GetSelectedRow(), -1);
    EXPECT_EQ(listOf(m_page).GetItemCount(), 0);
    EXPECT_EQ(listOf(m_page).GetSelectedRow(), -1);
    for (const auto& mode : viewer::kRecordModes) {
        EXPECT_FALSE(buttonOf(m_page, mode.buttonId).isChecked()) << mode.buttonId;
    }
}

TEST_F(CTabListTest, ModeButtonShowsOnlyItsModeAndSelectsRowZero) {
    loadEntries(m_page, mixedEntries());
    buttonOf(m_page, kAllButtonId).click();
    buttonOf(m_page, kEventButton).click();
    EXPECT_EQ(rowFiles(m_page), (std::vector<int>{3, 4}));
    EXPECT_EQ(m_page.GetSelectedRow(), 0);
    EXPECT_EQ(listOf(m_page).GetSelectedRow(), 0);
    EXPECT_FALSE(buttonOf(m_page, kAllButtonId).isChecked());
}

TEST_F(CTabListTest, SwitchingModesOffOneByOneUnchecksAll) {
    loadEntries(m_page, mixedEntries());
    buttonOf(m_page, kNormalButton).click();
    EXPECT_FALSE(buttonOf(m_page, kAllButtonId).isChecked());
    EXPECT_EQ(rowFiles(m_page), (std::vector<int>{3, 4, 5}));
    buttonOf(m_page, kNormalButton).click();
    EXPECT_TRUE(buttonOf(m_page, kAllButtonId).isChecked());
    EXPECT_EQ(m_page.GetItemCount(), 5);
}

TEST_F(CTabListTest, FilterChangeWhileStoppedSendsNothing) {
    loadEntries(m_page, mixedEntries());
    m_page.SetLoadState(viewer::kLoadStateLoaded);
    buttonOf(m_page, kEventButton).click();
    buttonOf(m_page, kAllButtonId).click();
    EXPECT_TRUE(m_target.sent().empty());
}

TEST_F(CTabListTest, FilterChangeWhilePlayingFirstAsksToStop) {
    loadEntries(m_page, mixedEntries());
    m_page.SetLoadState(viewer::kLoadStatePlaying);
    int rowsWhenAsked = -1;
    m_target.reaction = [&](std::uintptr_t code, std::intptr_t) {
        if (code == static_cast<std::uintptr_t>(kAllButtonId)) {
            rowsWhenAsked = m_page.GetItemCount();  // the owner may call back in
            m_page.SetLoadState(viewer::kLoadStateLoaded);
        }
    };
    buttonOf(m_page, kEventButton).click();
    EXPECT_EQ(m_target.sent(),
              (std::vector<SentCommand>{{kWmUser, static_cast<std::uintptr_t>(kAllButtonId), 1}}));
    EXPECT_EQ(rowsWhenAsked, 5);  // asked before the rows changed
    EXPECT_EQ(m_page.GetItemCount(), 3);
    m_target.clear();
    m_page.SetLoadState(viewer::kLoadStatePlaying);
    buttonOf(m_page, kAllButtonId).click();
    ASSERT_EQ(m_target.sent().size(), 1u);
    EXPECT_EQ(m_target.sent()[0].code, static_cast<std::uintptr_t>(kAllButtonId));
}

// Notifications.

TEST_F(CTabListTest, UserSelectionStoresTheRowAndNotifies) {
    loadEntries(m_page, mixedEntries());
    m_page.SetLoadState(viewer::kLoadStateLoaded);
    clickRow(listOf(m_page), 2);
    EXPECT_EQ(m_page.GetSelectedRow(), 2);
    EXPECT_EQ(m_target.sent(), (std::vector<SentCommand>{
                                   {kWmUser, static_cast<std::uintptr_t>(kListControlId), 1}}));
}

TEST_F(CTabListTest, UserSelectionWhilePlayingStoresTheRowQuietly) {
    loadEntries(m_page, mixedEntries());
    m_page.SetLoadState(viewer::kLoadStatePlaying);
    clickRow(listOf(m_page), 3);
    EXPECT_EQ(m_page.GetSelectedRow(), 3);
    EXPECT_TRUE(m_target.sent().empty());
}

TEST_F(CTabListTest, ActivationAsksToPlayTheSelection) {
    loadEntries(m_page, mixedEntries());
    m_page.SetLoadState(viewer::kLoadStateLoaded);
    CCtrlSkinList& list = listOf(m_page);
    QTest::mouseDClick(&list, Qt::LeftButton, {}, list.RowRect(1).center());
    const std::vector<SentCommand> sent = m_target.sent();
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.back(), (SentCommand{kWmUser, static_cast<std::uintptr_t>(kListControlId), 0}));
    EXPECT_EQ(m_page.GetPlayedRow(), -1);  // not playing: nothing marked
}

TEST_F(CTabListTest, ActivationWhilePlayingMarksTheRowAsPlayed) {
    loadEntries(m_page, mixedEntries());
    m_page.SetLoadState(viewer::kLoadStatePlaying);
    CCtrlSkinList& list = listOf(m_page);
    QTest::mouseDClick(&list, Qt::LeftButton, {}, list.RowRect(4).center());
    EXPECT_EQ(m_page.GetPlayedRow(), 4);
    EXPECT_EQ(list.GetRowState(4), RowState::Indicated);
    EXPECT_EQ(m_target.sent().back(),
              (SentCommand{kWmUser, static_cast<std::uintptr_t>(kListControlId), 0}));
}

TEST_F(CTabListTest, SaveAndDeleteButtonsSendTheirIds) {
    buttonOf(m_page, kSaveButtonId).click();
    buttonOf(m_page, kDeleteButtonId).click();
    EXPECT_EQ(m_target.sent(),
              (std::vector<SentCommand>{{kWmUser, static_cast<std::uintptr_t>(kSaveButtonId), 0},
                                        {kWmUser, static_cast<std::uintptr_t>(kDeleteButtonId), 0}}));
}

// Played row and selection.

TEST_F(CTabListTest, EntryOfARowWhilePlayingMarksAndShowsIt) {
    std::vector<CTimeList> entries;
    for (int i = 0; i < 40; ++i) {
        entries.push_back(makeEntry(0, kMarch10 + i * 60'000, kMarch10 + (i + 1) * 60'000, i));
    }
    loadEntries(m_page, entries);
    m_page.SetLoadState(viewer::kLoadStatePlaying);
    CTimeList entry;
    ASSERT_TRUE(m_page.GetEntry(30, entry));
    EXPECT_EQ(entry.m_nFirstFileNumber[0], 30);
    EXPECT_EQ(m_page.GetPlayedRow(), 30);
    CCtrlSkinList& list = listOf(m_page);
    EXPECT_EQ(list.GetRowState(30), RowState::Indicated);
    EXPECT_FALSE(list.RowRect(30).isEmpty());  // scrolled into view
}

TEST_F(CTabListTest, EntryOfARowWhileStoppedMarksNothing) {
    loadEntries(m_page, mixedEntries());
    m_page.SetLoadState(viewer::kLoadStateLoaded);
    CTimeList entry;
    ASSERT_TRUE(m_page.GetEntry(2, entry));
    EXPECT_EQ(entry.m_nFirstFileNumber[0], 3);
    EXPECT_EQ(m_page.GetPlayedRow(), -1);
    EXPECT_EQ(listOf(m_page).GetRowState(2), RowState::Normal);
}

TEST_F(CTabListTest, EntryOfAMissingRowIsRefused) {
    loadEntries(m_page, mixedEntries());
    m_page.SetLoadState(viewer::kLoadStatePlaying);
    CTimeList entry;
    EXPECT_FALSE(m_page.GetEntry(5, entry));
    EXPECT_FALSE(m_page.GetEntry(-1, entry));
    EXPECT_EQ(m_page.GetPlayedRow(), -1);
}

TEST_F(CTabListTest, StoppingOrClearingRemovesThePlayedMark) {
    loadEntries(m_page, mixedEntries());
    m_page.SetLoadState(viewer::kLoadStatePlaying);
    CTimeList entry;
    m_page.GetEntry(1, entry);
    m_page.ClearPlayedRow();
    EXPECT_EQ(m_page.GetPlayedRow(), -1);
    EXPECT_EQ(listOf(m_page).GetIndicatedRow(), -1);
    m_page.GetEntry(2, entry);
    m_page.SetLoadState(viewer::kLoadStateLoaded);
    EXPECT_EQ(m_page.GetPlayedRow(), -1);
    EXPECT_EQ(listOf(m_page).GetIndicatedRow(), -1);
}

TEST_F(CTabListTest, SelectRowAcceptsOnlyExistingRows) {
    loadEntries(m_page, mixedEntries());
    m_page.SelectRow(4);
    EXPECT_EQ(m_page.GetSelectedRow(), 4);
    EXPECT_EQ(listOf(m_page).GetSelectedRow(), 4);
    m_page.SelectRow(5);
    EXPECT_EQ(m_page.GetSelectedRow(), 4);
    m_page.SelectRow(-1);
    EXPECT_EQ(m_page.GetSelectedRow(), -1);
    EXPECT_EQ(listOf(m_page).GetSelectedRow(), -1);
}

// Checked rows and deletion.

TEST_F(CTabListTest, CheckedRowsFollowTheCheckBoxes) {
    loadEntries(m_page, mixedEntries());
    CCtrlSkinList& list = listOf(m_page);
    QTest::mouseClick(&list, Qt::LeftButton, {}, list.CheckRect(1).center());
    QTest::mouseClick(&list, Qt::LeftButton, {}, list.CheckRect(3).center());
    EXPECT_EQ(m_page.GetCheckedCount(), 2);
    EXPECT_EQ(m_page.GetCheckedRows(), (std::vector<int>{1, 3}));
    QTest::mouseClick(&list, Qt::LeftButton, {}, list.HeaderCheckRect().center());
    EXPECT_EQ(m_page.GetCheckedCount(), 5);
    m_page.RefreshList();  // new rows start unchecked
    EXPECT_EQ(m_page.GetCheckedCount(), 0);
    EXPECT_EQ(list.GetCheckedCount(), 0);
}

TEST_F(CTabListTest, RemovedEntryDisappearsAfterRefresh) {
    loadEntries(m_page, mixedEntries());
    CTimeList entry;
    ASSERT_TRUE(m_page.CopyEntry(2, entry));
    m_page.SelectRow(4);
    EXPECT_TRUE(m_page.RemoveEntry(entry));
    m_page.RefreshList();
    EXPECT_EQ(rowFiles(m_page), (std::vector<int>{1, 2, 4, 5}));
    EXPECT_EQ(m_page.GetSelectedRow(), 0);
    EXPECT_FALSE(m_page.RemoveEntry(entry));
}

// Language and skin.

TEST_F(CTabListTest, LanguageChangeRewritesHeadersModeTextsAndButtons) {
    loadEntries(m_page, mixedEntries());
    CCtrlSkinList& list = listOf(m_page);
    QTest::mouseClick(&list, Qt::LeftButton, {}, list.CheckRect(0).center());
    CExLangManager& language = defaultSkin().language;
    language.UnloadTextInfo();
    language.LoadTextInfo(languageFile("GER", "lang_ger.ini"));
    m_page.OnLanguageChanged();
    EXPECT_EQ(list.GetItemText(2, 1), "Ereignis");
    EXPECT_EQ(list.GetItemText(0, 1), "Normal");
    EXPECT_EQ(buttonOf(m_page, kAllButtonId).text(), "Alle");
    EXPECT_EQ(m_page.GetCheckedCount(), 1);  // rewritten, not refilled
    language.UnloadTextInfo();
    language.LoadTextInfo(languageFile("ENG", "lang_eng.ini"));
    m_page.OnLanguageChanged();
    EXPECT_EQ(list.GetItemText(2, 1), "Event");
}

TEST_F(CTabListTest, ControlsSitWhereTheSkinPutsThem) {
    const _WIN_POS* all = defaultSkin().positions.GetWinPos("List All");
    EXPECT_EQ(buttonOf(m_page, kAllButtonId).geometry(),
              QRect(all->x, all->y, all->width, all->height));
    const _WIN_POS* box = defaultSkin().positions.GetWinPos("List ListBox");
    EXPECT_EQ(listOf(m_page).geometry().topLeft(), QPoint(box->x, box->y));
}

TEST_F(ListPageTest, Model401ListShowsElevenRowsAndDashedDates) {
    const ViewerContext context = contextFor(defaultSkin(), 401);
    CTabList page(context, &m_target);
    loadEntries(page, mixedEntries());
    CCtrlSkinList& list = listOf(page);
    EXPECT_EQ(list.GetItemText(0, 2), "2024-03-10");
    EXPECT_EQ(list.GetItemText(0, 3), "13:15:09");
    EXPECT_EQ(list.GetItemText(0, 5), "");
    const int rowHeight = defaultSkin().positions.GetWinPos("List Row Info")->height;
    const int header = defaultSkin().positions.GetWinPos("List Column Info0")->height;
    EXPECT_EQ(list.height(), header + 11 * rowHeight);
}

TEST_F(ListPageTest, SkinWithoutParkingLeavesThatButtonAlone) {
    const ViewerContext context = contextFor(skinWithoutParking());
    CTabList page(context, &m_target);
    page.show();
    CCtrlButtonEx& parking = buttonOf(page, kParkingButton);
    EXPECT_TRUE(parking.isHidden());
    EXPECT_FALSE(parking.isChecked());
    loadEntries(page, mixedEntries());
    EXPECT_FALSE(parking.isChecked());
    EXPECT_EQ(page.GetItemCount(), 5);  // parking entries are on after a load
    buttonOf(page, kAllButtonId).click();
    // Every available mode is off; parking keeps its filter flag and its button.
    EXPECT_FALSE(parking.isChecked());
    EXPECT_EQ(rowFiles(page), (std::vector<int>{5}));
    buttonOf(page, kAllButtonId).click();
    EXPECT_FALSE(parking.isChecked());
    EXPECT_EQ(page.GetItemCount(), 5);
}

} // namespace
} // namespace tachy::test
