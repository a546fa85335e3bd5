#include "viewer/exports/BackupSession.h"
#include "viewer/exports/BackupCopier.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

using tachy::test::TempFolder;
using tachy::viewer::BackupResult;
using tachy::viewer::BackupSession;
using SaveAction = BackupSession::SaveAction;

namespace {

BackupResult completeRun() {
    BackupResult result;
    result.copied = 2;
    return result;
}

} // namespace

TEST(BackupSession, StartsInTheLastFolderWhenItStillExists) {
    TempFolder folder;
    const auto latest = folder.path() / "incidents";
    std::filesystem::create_directories(latest);
    EXPECT_EQ(BackupSession::InitialTarget(latest.string(), "/default"), latest);
}

TEST(BackupSession, StartsInTheBackupFolderWhenTheLastOneIsGoneOrTooShort) {
    TempFolder folder;
    EXPECT_EQ(BackupSession::InitialTarget((folder.path() / "gone").string(), "/default"),
              "/default");
    EXPECT_EQ(BackupSession::InitialTarget("/", "/default"), "/default");
    EXPECT_EQ(BackupSession::InitialTarget("", "/default"), "/default");
}

TEST(BackupSession, SavingTwiceToTheSameFolderDoesNothingTheSecondTime) {
    BackupSession session("/backup");
    EXPECT_EQ(session.OnSave(), SaveAction::Copy);
    session.OnCopyFinished(completeRun());
    EXPECT_TRUE(session.SavedOnce());
    EXPECT_EQ(session.OnSave(), SaveAction::Nothing);
    session.ChooseTarget("/backup"); // the same folder chosen again
    EXPECT_FALSE(session.TargetChanged());
    EXPECT_EQ(session.OnSave(), SaveAction::Nothing);
}

TEST(BackupSession, AnotherFolderAfterASaveAsksFirst) {
    BackupSession session("/backup");
    session.OnCopyFinished(completeRun());
    session.ChooseTarget("/elsewhere");
    EXPECT_EQ(session.Target(), "/elsewhere");
    EXPECT_TRUE(session.TargetChanged());
    EXPECT_EQ(session.OnSave(), SaveAction::AskFirst);
    session.OnCopyFinished(completeRun());
    EXPECT_FALSE(session.TargetChanged());
    EXPECT_EQ(session.OnSave(), SaveAction::Nothing);
}

TEST(BackupSession, AnotherFolderBeforeAnySaveJustCopies) {
    BackupSession session("/backup");
    session.ChooseTarget("/elsewhere");
    EXPECT_FALSE(session.TargetChanged());
    EXPECT_EQ(session.OnSave(), SaveAction::Copy);
}

TEST(BackupSession, SaveRetriesAnUnfinishedRunWhileOkJustCloses) {
    BackupSession session("/backup");
    BackupResult cancelled = completeRun();
    cancelled.cancelled = true;
    session.OnCopyFinished(cancelled);
    // A copy was made: the folder counts as saved to, as after any run.
    EXPECT_TRUE(session.SavedOnce());
    EXPECT_FALSE(session.LastRunComplete());
    EXPECT_EQ(session.OnSave(), SaveAction::Copy);
    EXPECT_EQ(session.OnSave(BackupSession::Button::Ok), SaveAction::Nothing);

    BackupResult failed = completeRun();
    failed.failed.emplace_back("/card/REC_0001_2.avi");
    session.OnCopyFinished(failed);
    EXPECT_EQ(session.OnSave(), SaveAction::Copy);
    EXPECT_EQ(session.OnSave(BackupSession::Button::Ok), SaveAction::Nothing);

    session.OnCopyFinished(completeRun());
    EXPECT_EQ(session.OnSave(), SaveAction::Nothing);
}

TEST(BackupSession, AnotherFolderAfterAnUnfinishedRunAsksFirstToo) {
    BackupSession session("/backup");
    BackupResult cancelled;
    cancelled.cancelled = true;
    session.OnCopyFinished(cancelled);
    session.ChooseTarget("/elsewhere");
    EXPECT_TRUE(session.TargetChanged());
    EXPECT_EQ(session.OnSave(BackupSession::Button::Ok), SaveAction::AskFirst);
}
