// Damaged and vanishing cards through the viewer, as its own process (--open, --play, --quit):
// it keeps running to the end of its steps, shows what can be shown, says what could not, and
// leaves every file of the card as it was.

#include "tests/robust/CardDamage.h"
#include "tests/robust/FaultMount.h"
#include "tests/robust/RobustCard.h"

#include <gtest/gtest.h>
#include <thread>

using namespace tachy::robust;

namespace {

// The viewer ran its steps and quit by itself: not killed at the time limit, no signal.
void expectQuitByItself(const RunResult& run) {
    EXPECT_FALSE(run.hung) << run.output;
    EXPECT_GE(run.exitCode, 0) << run.output;
    EXPECT_LT(run.exitCode, 128) << run.output;
    EXPECT_NE(run.output.find("pictures shown: "), std::string::npos) << run.output;
}

} // namespace

TEST(DamagedCardViewer, PlaysACardWithDamagedFilesAndChangesNoFile) {
    const RobustCard card(3, {"--damage", "noidx1,cut,preamble,tiny,badname,system_run"});
    ASSERT_TRUE(card.Made());
    const auto files = card.StreamFiles();
    cutAt(files.at(2), 0);
    flipByte(files.at(3), findTag(files.at(3), "strh") + 8);
    const auto before = fingerprint(card.Root());
    const RunResult run = card.View(card.Root(), 3000);
    expectQuitByItself(run);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_GT(viewerFrontPictures(run.output), 0) << run.output;
    EXPECT_EQ(fingerprint(card.Root()), before);
}

TEST(DamagedCardViewer, ACardWithNothingReadableIsSaidWithEachFilesReason) {
    const RobustCard card(2);
    ASSERT_TRUE(card.Made());
    for (const auto& file : card.StreamFiles()) {
        cutAt(file, 0);
    }
    std::filesystem::create_directories(card.Root() / "normal" /
                                        "TCY_0003_20240229_130529_N_1.avi");
    const auto before = fingerprint(card.Root());
    const RunResult run = card.View(card.Root(), 200);
    expectQuitByItself(run);
    EXPECT_EQ(viewerFrontPictures(run.output), 0) << run.output;
    EXPECT_NE(run.output.find("can be played. Files that could not be read:"), std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("too short to hold a recording (0 bytes)"), std::string::npos)
        << run.output;
    EXPECT_EQ(fingerprint(card.Root()), before);
}

TEST(DamagedCardViewer, FilesWhoseReadsFailArePassedOver) {
    const RobustCard card;
    ASSERT_TRUE(card.Made());
    const auto before = fingerprint(card.Root());
    FaultMount mount(card.Root(), card.Work() / "mnt", card.Work() / "faults");
    ASSERT_TRUE(mount.Mounted()) << tachy::test::readAll(card.Work() / "faultfs.log");
    mount.FailReads("normal/" + card.StreamFiles().at(0).filename().string());
    const RunResult run = card.View(card.Work() / "mnt", 3000);
    expectQuitByItself(run);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_GT(viewerFrontPictures(run.output), 0) << run.output;
    EXPECT_EQ(fingerprint(card.Root()), before);
}

TEST(DamagedCardViewer, ACardThatGoesBadWhilePlayedLeavesTheViewerRunning) {
    const RobustCard card;
    ASSERT_TRUE(card.Made());
    const auto before = fingerprint(card.Root());
    FaultMount mount(card.Root(), card.Work() / "mnt", card.Work() / "faults");
    ASSERT_TRUE(mount.Mounted()) << tachy::test::readAll(card.Work() / "faultfs.log");
    // Every read fails once play has opened a recording and shown for a moment.
    const RunResult run = card.View(card.Work() / "mnt", 4000, [&](pid_t pid) {
        for (int i = 0; i < 2; ++i) {
            waitForOpenFileUnder(pid, card.Work() / "mnt", std::chrono::seconds(20));
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
        }
        mount.FailAll();
    });
    expectQuitByItself(run);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(fingerprint(card.Root()), before);
}

TEST(DamagedCardViewer, ACardFolderRemovedWhileWalkedLeavesTheViewerRunning) {
    const RobustCard card;
    ASSERT_TRUE(card.Made());
    const RunResult run = card.View(card.Root(), 1000, [&](pid_t pid) {
        waitForOpenFileUnder(pid, card.Root(), std::chrono::seconds(20));
        std::filesystem::remove_all(card.Root() / "normal");
    });
    expectQuitByItself(run);
}
