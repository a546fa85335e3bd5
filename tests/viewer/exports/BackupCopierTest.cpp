#include "viewer/exports/BackupCopier.h"
#include "viewer/exports/RecordingFiles.h"

#include "tests/viewer/exports/BackupCardFixture.h"

#include <csignal>
#include <fstream>
#include <map>
#include <set>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using tachy::test::readAll;
using tachy::test::TempFolder;
using tachy::viewer::BackupCopier;
using tachy::viewer::BackupResult;

namespace {

// The names a folder holds, hidden ones included.
std::set<std::string> namesIn(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& item : std::filesystem::directory_iterator(folder)) {
        names.insert(item.path().filename().string());
    }
    return names;
}

std::set<std::string> fileNames(const std::vector<std::filesystem::path>& files) {
    std::set<std::string> names;
    for (const auto& file : files) {
        names.insert(file.filename().string());
    }
    return names;
}

ino_t inodeOf(const std::filesystem::path& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? status.st_ino : 0;
}

class BackupCopierTest : public testing::Test {
protected:
    void SetUp() override {
        std::vector<CTimeList> entries;
        tachy::test::makeCardEntries(m_folder.path() / "card", {}, entries);
        m_files = tachy::viewer::RecordingFiles::OfEntries(entries);
        ASSERT_EQ(m_files.size(), 6U); // two recordings of three cameras
    }
    BackupResult copy(const std::vector<std::filesystem::path>& files) {
        BackupCopier copier(m_target);
        return copier.Copy(files, m_cancel);
    }

    TempFolder m_folder;
    std::filesystem::path m_target = m_folder.path() / "backup";
    std::vector<std::filesystem::path> m_files;
    std::atomic<bool> m_cancel{false};
};

} // namespace

TEST_F(BackupCopierTest, CopiesEveryChannelsFileByteForByte) {
    const BackupResult result = copy(m_files);
    EXPECT_EQ(result.copied, 6);
    EXPECT_EQ(result.alreadySaved, 0);
    EXPECT_TRUE(result.failed.empty());
    EXPECT_TRUE(result.Complete());
    EXPECT_EQ(namesIn(m_target), fileNames(m_files)); // nothing else, no temporary left
    for (const auto& file : m_files) {
        const auto copied = m_target / file.filename();
        EXPECT_EQ(readAll(copied), readAll(file)) << copied;
        EXPECT_FALSE(readAll(copied).empty());
    }
}

TEST_F(BackupCopierTest, SecondSaveToTheSameFolderCopiesNothing) {
    ASSERT_EQ(copy(m_files).copied, 6);
    std::map<std::string, ino_t> inodes;
    for (const auto& file : m_files) {
        inodes[file.filename().string()] = inodeOf(m_target / file.filename());
    }
    const BackupResult again = copy(m_files);
    EXPECT_EQ(again.copied, 0);
    EXPECT_EQ(again.alreadySaved, 6);
    EXPECT_EQ(again.Saved(), 6);
    EXPECT_TRUE(again.written.empty());
    EXPECT_EQ(namesIn(m_target), fileNames(m_files));
    for (const auto& file : m_files) { // not rewritten: a new copy would be a new file
        EXPECT_EQ(inodeOf(m_target / file.filename()), inodes[file.filename().string()]);
    }
}

TEST_F(BackupCopierTest, ANameClashWithOtherBytesKeepsBothFiles) {
    const std::filesystem::path source = m_files[0];
    const std::string other = readAll(source).substr(0, 100) + "another recording";
    std::filesystem::create_directories(m_target);
    std::ofstream(m_target / source.filename(), std::ios::binary) << other;

    const BackupResult result = copy({source});
    ASSERT_EQ(result.copied, 1);
    const auto beside = m_target / BackupCopier::CandidateName(source.filename(), 2);
    ASSERT_EQ(result.written, std::vector<std::filesystem::path>{beside});
    EXPECT_EQ(readAll(m_target / source.filename()), other);
    EXPECT_EQ(readAll(beside), readAll(source));

    // The copy beside it is recognised the next time.
    const BackupResult again = copy({source});
    EXPECT_EQ(again.copied, 0);
    EXPECT_EQ(again.alreadySaved, 1);
    EXPECT_EQ(namesIn(m_target).size(), 2U);
}

TEST_F(BackupCopierTest, ASameSizedFileWithOtherBytesIsNotTakenForTheRecording) {
    const std::filesystem::path source = m_files[0];
    std::string other = readAll(source);
    other.back() = static_cast<char>(other.back() ^ 0x5A);
    std::filesystem::create_directories(m_target);
    std::ofstream(m_target / source.filename(), std::ios::binary) << other;

    const BackupResult result = copy({source});
    EXPECT_EQ(result.copied, 1);
    EXPECT_EQ(result.alreadySaved, 0);
    EXPECT_EQ(readAll(m_target / source.filename()), other);
}

TEST(BackupCopierNames, FreeNamesGoBesideTheOriginal) {
    EXPECT_EQ(BackupCopier::CandidateName("REC_0001_1.avi", 1), "REC_0001_1.avi");
    EXPECT_EQ(BackupCopier::CandidateName("REC_0001_1.avi", 2), "REC_0001_1 (2).avi");
    EXPECT_EQ(BackupCopier::CandidateName("REC_0001_1.avi", 12), "REC_0001_1 (12).avi");
}

// The copy runs in a child whose files may not grow past half a recording, as on a full disk.
TEST_F(BackupCopierTest, AFolderThatFillsUpLeavesNoFileUnderTheFinalName) {
    std::uintmax_t smallest = std::filesystem::file_size(m_files[0]);
    for (const auto& file : m_files) {
        smallest = std::min(smallest, std::filesystem::file_size(file));
    }
    const std::vector<std::filesystem::path> two{m_files[0], m_files[1]};
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN); // a write past the limit fails with EFBIG instead
        const rlimit limit{smallest / 2, smallest / 2};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) {
            ::_exit(99);
        }
        std::atomic<bool> cancel{false};
        BackupCopier copier(m_target);
        const BackupResult result = copier.Copy(two, cancel);
        const bool namedBoth = result.failed == two;
        ::_exit(result.copied * 10 + static_cast<int>(result.failed.size()) + (namedBoth ? 0 : 50));
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2);      // nothing copied, both files named as failed
    EXPECT_TRUE(namesIn(m_target).empty()); // neither a final name nor a temporary

    // Without the limit the same copy goes through.
    EXPECT_EQ(copy(two).copied, 2);
}

TEST_F(BackupCopierTest, ACopyThatDoesNotMatchItsSourceIsNotKept) {
    int damaged = 0;
    BackupCopier copier(m_target);
    copier.SetWrittenHook([&](const std::filesystem::path& temporary) {
        std::fstream file(temporary, std::ios::binary | std::ios::in | std::ios::out);
        file.seekp(100);
        file.put('\x7F');
        file.seekp(101);
        file.put('\x00');
        ++damaged;
    });
    const BackupResult result = copier.Copy({m_files[0]}, m_cancel);
    EXPECT_EQ(damaged, 1);
    EXPECT_EQ(result.copied, 0);
    EXPECT_EQ(result.failed, std::vector<std::filesystem::path>{m_files[0]});
    EXPECT_TRUE(namesIn(m_target).empty());
}

TEST_F(BackupCopierTest, FilesThatCannotBeReadAreNamedAndTheOthersCopied) {
    const auto missing = m_folder.path() / "card" / "gone.avi";
    const BackupResult result = copy({m_files[0], missing, m_files[1]});
    EXPECT_EQ(result.copied, 2);
    EXPECT_EQ(result.failed, std::vector<std::filesystem::path>{missing});
    EXPECT_FALSE(result.Complete());
}

TEST_F(BackupCopierTest, CancelStopsAfterTheCurrentFile) {
    BackupCopier copier(m_target);
    copier.SetProgress([&](std::int64_t position, std::int64_t) {
        if (position > 0) {
            m_cancel = true; // while the first file is being copied
        }
    });
    const BackupResult result = copier.Copy(m_files, m_cancel);
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(result.copied, 1);
    EXPECT_TRUE(result.failed.empty());
    EXPECT_EQ(namesIn(m_target), std::set<std::string>{m_files[0].filename().string()});
    EXPECT_EQ(readAll(m_target / m_files[0].filename()), readAll(m_files[0]));
}

TEST(BackupCopierProgress, TenStepsPerFileInProportionToTheBytesCopied) {
    TempFolder folder;
    const std::string large(3 * (1 << 20) + (1 << 19), 'L'); // three and a half chunks
    const auto first = folder.write("card/large.avi", large);
    const auto second = folder.write("card/small.avi", std::string(1000, 'S'));
    std::vector<std::pair<std::int64_t, std::int64_t>> reports;
    BackupCopier copier(folder.path() / "backup");
    copier.SetProgress(
        [&](std::int64_t position, std::int64_t range) { reports.emplace_back(position, range); });
    std::atomic<bool> cancel{false};
    ASSERT_EQ(copier.Copy({first, second}, cancel).copied, 2);
    std::vector<std::int64_t> positions;
    for (const auto& [position, range] : reports) {
        EXPECT_EQ(range, 20);
        positions.push_back(position);
    }
    // 1, 2, 3 and 3.5 of 3.5 MiB: 2.86, 5.71, 8.57, 10 rounded down; then the file's end.
    EXPECT_EQ(positions, (std::vector<std::int64_t>{0, 2, 5, 8, 10, 10, 20, 20}));
}
