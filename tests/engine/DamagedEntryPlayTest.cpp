// Play over a list with an entry whose file can no longer be read (damaged, cut, or failing
// reads after the list was made): play passes over it and goes on with the next entry, on every
// channel, instead of ending there or leaving a camera dark for the rest of the list.

#include "engine/IIntrReplayEx.h"

#include "tests/engine/SmallCard.h"
#include "tests/support/TempFolder.h"
#include "tools/mkcard/CardGenerator.h"
#include "tools/tachy-play/HeadlessViewer.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>

using tachy::play::HeadlessViewer;
using tachy::test::TempFolder;

namespace {

constexpr std::int64_t kStartMs = 1709211909000LL;

// An engine on a two-channel card of three 1-second entries (30 pictures each), list walked.
class DamagedEntry : public testing::Test {
protected:
    void SetUp() override {
        mkcard::CardOptions options = tachy::test::smallCard(m_folder.path() / "card", 3, 1);
        options.audio = mkcard::CardOptions::Audio::None;
        std::string error;
        ASSERT_TRUE(mkcard::generateCard(options, error)) << error;
        m_engine = tachy::test::openSmallCard(options.out, m_viewer, 3);
        ASSERT_NE(m_engine, nullptr);
    }
    void TearDown() override {
        if (m_engine) {
            m_engine->Stop();
            m_engine->Release();
        }
    }

    // The file of `channel` in list entry `row` no longer reads as a recording: its bytes are
    // zeros from now on (the list was made before).
    void Spoil(int row, int channel) {
        const std::string path =
            m_viewer.Entries()[static_cast<std::size_t>(row)].CurrentPath(channel);
        ASSERT_FALSE(path.empty());
        const auto size = std::filesystem::file_size(path);
        std::ofstream(path, std::ios::binary | std::ios::trunc) << std::string(size, '\0');
    }

    // The front pictures' times, in seconds from the card's start.
    std::vector<std::int64_t> FrontSeconds() {
        std::vector<std::int64_t> seconds;
        for (const auto& picture : m_viewer.Pictures()) {
            const std::int64_t second = (picture.timeMs - kStartMs) / 1000;
            if (seconds.empty() || seconds.back() != second) {
                seconds.push_back(second);
            }
        }
        return seconds;
    }

    TempFolder m_folder;
    HeadlessViewer m_viewer;
    std::unique_ptr<IIntrReplayEx> m_engine;
};

} // namespace

TEST_F(DamagedEntry, AnUnreadableFrontFileIsPassedOverAndTheFrontCameraPlaysOn) {
    Spoil(1, 0);
    ASSERT_EQ(m_engine->PlayForward(), 1);
    ASSERT_TRUE(m_viewer.WaitForEnd(60));
    // The front camera shows the first and the last entry; the rear camera all three.
    EXPECT_EQ(FrontSeconds(), (std::vector<std::int64_t>{0, 2}));
    EXPECT_EQ(m_viewer.ChannelCount(0), 60);
    EXPECT_EQ(m_viewer.ChannelCount(1), 90);
}

TEST_F(DamagedEntry, AnEntryWithNoReadableFileIsPassedOverAndPlayGoesOnToTheEnd) {
    Spoil(1, 0);
    Spoil(1, 1);
    ASSERT_EQ(m_engine->PlayForward(), 1);
    ASSERT_TRUE(m_viewer.WaitForEnd(60));
    EXPECT_EQ(FrontSeconds(), (std::vector<std::int64_t>{0, 2}));
    EXPECT_EQ(m_viewer.ChannelCount(0), 60);
    EXPECT_EQ(m_viewer.ChannelCount(1), 60);
}

TEST_F(DamagedEntry, PlayFromAnUnreadableEntryStartsWithTheNextReadableOne) {
    Spoil(0, 0);
    Spoil(0, 1);
    ASSERT_EQ(m_engine->PlayForward(), 1);
    ASSERT_TRUE(m_viewer.WaitForEnd(60));
    EXPECT_EQ(FrontSeconds(), (std::vector<std::int64_t>{1, 2}));
    EXPECT_EQ(m_viewer.ChannelCount(0), 60);
    EXPECT_EQ(m_viewer.ChannelCount(1), 60);
}
