#include "tests/viewer/list/ListPageFixture.h"
#include "tests/viewer/list/TestEntries.h"

#include "skinctl/CCtrlButtonEx.h"
#include "skinctl/CCtrlSkinList.h"

#include <QCoreApplication>
#include <QTest>

#include <atomic>
#include <thread>

namespace tachy::test {
namespace {

using RowState = CCtrlSkinList::RowState;

std::vector<CTimeList> descendingEntries(int count) {
    std::vector<CTimeList> entries;
    for (int i = count - 1; i >= 0; --i) {
        entries.push_back(makeEntry(i % 7, kMarch10 + i * 60'000, kMarch10 + (i + 1) * 60'000, i));
    }
    return entries;
}

class CTabListThreadTest : public ListPageTest {
protected:
    void SetUp() override { m_page.show(); }
    ViewerContext m_context = contextFor(defaultSkin());
    CTabList m_page{m_context, &m_target};
};

TEST_F(CTabListThreadTest, LoadingOnAWorkerIsAnsweredAtOnceAndShownByTheGuiThread) {
    std::thread worker([this] { loadEntries(m_page, descendingEntries(50)); });
    worker.join();
    // The state is complete as soon as the worker returns ...
    EXPECT_EQ(m_page.GetItemCount(), 50);
    CTimeList entry;
    ASSERT_TRUE(m_page.CopyEntry(0, entry));
    EXPECT_EQ(entry.m_nFirstFileNumber[0], 0);
    // ... and the control catches up when the GUI thread runs its events.
    CCtrlSkinList& list = listOf(m_page);
    QTRY_COMPARE(list.GetItemCount(), 50);
    EXPECT_EQ(list.GetItemText(49, 4), "01:00");
}

TEST_F(CTabListThreadTest, WorkerNeverWaitsForTheGuiThread) {
    // The GUI thread is busy joining the worker: a worker that waited for it would hang here.
    std::thread worker([this] {
        loadEntries(m_page, descendingEntries(10));
        m_page.SelectRow(9);
    });
    worker.join();
    EXPECT_EQ(m_page.GetSelectedRow(), 9);
    QTRY_COMPARE(listOf(m_page).GetSelectedRow(), 9);
}

TEST_F(CTabListThreadTest, EngineThreadMarksThePlayedRow) {
    loadEntries(m_page, descendingEntries(30));
    m_page.SetLoadState(viewer::kLoadStatePlaying);
    std::thread engine([this] {
        CTimeList entry;
        m_page.GetEntry(25, entry);
    });
    engine.join();
    EXPECT_EQ(m_page.GetPlayedRow(), 25);
    CCtrlSkinList& list = listOf(m_page);
    QTRY_COMPARE(list.GetIndicatedRow(), 25);
    EXPECT_EQ(list.GetRowState(25), RowState::Indicated);
    EXPECT_FALSE(list.RowRect(25).isEmpty());
}

TEST_F(CTabListThreadTest, SelectionFromARowSetTheControlNoLongerShowsIsIgnored) {
    loadEntries(m_page, descendingEntries(10));
    m_page.SetLoadState(viewer::kLoadStateLoaded);
    // A new load happened on a worker; the control still shows the old rows.
    std::thread worker([this] { loadEntries(m_page, descendingEntries(3)); });
    worker.join();
    CCtrlSkinList& list = listOf(m_page);
    ASSERT_EQ(list.GetItemCount(), 10);
    QTest::mouseClick(&list, Qt::LeftButton, {}, list.RowRect(7).center());
    EXPECT_EQ(m_page.GetSelectedRow(), -1);
    EXPECT_TRUE(m_target.sent().empty());
    QTRY_COMPARE(list.GetItemCount(), 3);
}

TEST_F(CTabListThreadTest, QueriesFromAnotherThreadDuringFilterChangesStayConsistent) {
    loadEntries(m_page, descendingEntries(200));
    m_page.SetLoadState(viewer::kLoadStatePlaying);
    std::atomic<bool> running{true};
    std::atomic<int> answered{0};
    std::thread engine([&] {
        while (running) {
            const int count = m_page.GetItemCount();
            CTimeList entry;
            if (count > 0 && m_page.GetEntry(count - 1, entry)) {
                EXPECT_GE(entry.m_nRecordMode[0], 0);
                EXPECT_LT(entry.m_nRecordMode[0], 7);
            }
            ++answered;
        }
    });
    CCtrlButtonEx& normal = buttonOf(m_page, 8518);
    for (int i = 0; i < 40; ++i) {
        normal.click();
        QCoreApplication::processEvents();
    }
    running = false;
    engine.join();
    EXPECT_GT(answered.load(), 0);
    EXPECT_EQ(m_page.GetItemCount(), 200);  // an even number of presses: all on again
    QTRY_COMPARE(listOf(m_page).GetItemCount(), 200);
}

} // namespace
} // namespace tachy::test
