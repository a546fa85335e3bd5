#include "viewer/exports/RecordingDeleter.h"
#include "viewer/exports/RecordingFiles.h"

#include "tests/viewer/exports/BackupCardFixture.h"

using tachy::test::TempFolder;
using tachy::viewer::DeleteResult;
using tachy::viewer::RecordingDeleter;
using tachy::viewer::RecordingFiles;

namespace {

class DeleteRecordingsTest : public testing::Test {
protected:
    void SetUp() override {
        tachy::test::makeCardEntries(m_folder.path() / "card", {}, m_entries);
        ASSERT_EQ(m_entries.size(), 2U);
        for (const auto& entry : m_entries) {
            ASSERT_EQ(RecordingFiles::OfEntry(entry).size(), 3U);
        }
    }
    static bool allExist(const CTimeList& entry, bool exist) {
        for (const auto& file : RecordingFiles::OfEntry(entry)) {
            if (std::filesystem::exists(file) != exist) {
                return false;
            }
        }
        return true;
    }

    TempFolder m_folder;
    std::vector<CTimeList> m_entries;
    std::atomic<bool> m_cancel{false};
};

} // namespace

TEST_F(DeleteRecordingsTest, DeletesEveryChannelsFileOfEachEntry) {
    std::vector<std::pair<std::int64_t, std::int64_t>> reports;
    RecordingDeleter deleter;
    deleter.SetProgress(
        [&](std::int64_t position, std::int64_t range) { reports.emplace_back(position, range); });
    const DeleteResult result = deleter.Delete(m_entries, m_cancel);
    EXPECT_EQ(result.deletedFiles, 6);
    EXPECT_TRUE(result.failed.empty());
    EXPECT_EQ(result.removedEntries, (std::vector<std::size_t>{0, 1}));
    EXPECT_FALSE(result.cancelled);
    EXPECT_TRUE(allExist(m_entries[0], false));
    EXPECT_TRUE(allExist(m_entries[1], false));
    EXPECT_EQ(reports,
              (std::vector<std::pair<std::int64_t, std::int64_t>>{{0, 2}, {1, 2}, {2, 2}}));
}

// Permissions do not stop the root user the tests may run as: the system's refusal is played.
TEST_F(DeleteRecordingsTest, AWriteProtectedFileRemovesTheEntryAndCountsNoDeletion) {
    const std::filesystem::path protectedFile = m_entries[0].CurrentPath(0);
    RecordingDeleter deleter;
    deleter.SetRemoveFile([&](const std::filesystem::path& file, std::error_code& error) {
        if (file == protectedFile) {
            error = std::make_error_code(std::errc::permission_denied);
            return false;
        }
        return std::filesystem::remove(file, error);
    });
    const DeleteResult result = deleter.Delete({m_entries[0]}, m_cancel);
    EXPECT_EQ(result.deletedFiles, 2); // the other cameras' files
    EXPECT_EQ(result.failed, std::vector<std::filesystem::path>{protectedFile});
    EXPECT_EQ(result.removedEntries, std::vector<std::size_t>{0});
    EXPECT_TRUE(std::filesystem::exists(protectedFile));
}

TEST_F(DeleteRecordingsTest, AFileAlreadyGoneIsNeitherCountedNorReported) {
    std::filesystem::remove(m_entries[0].CurrentPath(1));
    const DeleteResult result = RecordingDeleter().Delete({m_entries[0]}, m_cancel);
    EXPECT_EQ(result.deletedFiles, 2);
    EXPECT_TRUE(result.failed.empty());
    EXPECT_EQ(result.removedEntries, std::vector<std::size_t>{0});
}

TEST_F(DeleteRecordingsTest, CancelStopsAfterTheCurrentEntry) {
    RecordingDeleter deleter;
    deleter.SetProgress([&](std::int64_t position, std::int64_t) {
        if (position == 1) {
            m_cancel = true;
        }
    });
    const DeleteResult result = deleter.Delete(m_entries, m_cancel);
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(result.deletedFiles, 3);
    EXPECT_EQ(result.removedEntries, std::vector<std::size_t>{0});
    EXPECT_TRUE(allExist(m_entries[0], false));
    EXPECT_TRUE(allExist(m_entries[1], true));
}
