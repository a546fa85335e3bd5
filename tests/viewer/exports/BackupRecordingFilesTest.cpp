#include "viewer/exports/RecordingFiles.h"

#include "tests/viewer/exports/BackupCardFixture.h"

#include <set>

using tachy::test::TempFolder;
using tachy::viewer::RecordingFiles;

namespace {

// Every stream file the card holds, wherever it lies.
std::set<std::filesystem::path> streamFilesOnCard(const std::filesystem::path& card) {
    std::set<std::filesystem::path> files;
    for (const auto& item : std::filesystem::recursive_directory_iterator(card)) {
        const auto extension = item.path().extension();
        if (item.is_regular_file() && (extension == ".avi" || extension == ".av2")) {
            files.insert(item.path());
        }
    }
    return files;
}

} // namespace

TEST(BackupRecordingFiles, AnEntryNamesTheFileOfEveryChannel) {
    TempFolder folder;
    std::vector<CTimeList> entries;
    tachy::test::makeCardEntries(folder.path() / "card", {}, entries);
    std::set<std::filesystem::path> named;
    for (const CTimeList& entry : entries) {
        const auto files = RecordingFiles::OfEntry(entry);
        ASSERT_EQ(files.size(), 3U);
        for (int channel = 0; channel < 3; ++channel) {
            EXPECT_EQ(files[static_cast<std::size_t>(channel)], entry.CurrentPath(channel));
        }
        named.insert(files.begin(), files.end());
    }
    EXPECT_EQ(named, streamFilesOnCard(folder.path() / "card"));
}

TEST(BackupRecordingFiles, AnAv2EntryIsOneFile) {
    TempFolder folder;
    std::vector<CTimeList> entries;
    tachy::test::makeCardEntries(folder.path() / "card", {.channels = 2, .av2 = true}, entries);
    const auto files = RecordingFiles::OfEntries(entries);
    EXPECT_EQ(files.size(), entries.size());
    EXPECT_EQ(std::set<std::filesystem::path>(files.begin(), files.end()),
              streamFilesOnCard(folder.path() / "card"));
}

TEST(BackupRecordingFiles, AFileSharedByTwoEntriesIsNamedOnce) {
    TempFolder folder;
    std::vector<CTimeList> entries;
    tachy::test::makeCardEntries(folder.path() / "card", {.channels = 2}, entries);
    const std::vector<CTimeList> twice{entries[0], entries[0]};
    EXPECT_EQ(RecordingFiles::OfEntries(twice), RecordingFiles::OfEntry(entries[0]));
}
