// The sound feed before it is opened and after it is closed: the engine is told there is room,
// and no block is taken, so playback goes on silently.
#include "viewer/main/SoundFeed.h"

#include <gtest/gtest.h>

TEST(SoundFeed, WithoutAnOutputBlocksAreNotTakenAndThereIsAlwaysRoom) {
    viewer::SoundFeed feed;
    _AUDIO_BLOCK block{};
    block.nResult = 1;
    feed.Feed(block);
    EXPECT_EQ(block.nResult, 0);
    EXPECT_EQ(feed.CanTakeMore(), 1);
    feed.SetVolume(30);
    feed.Stop();
    feed.Close();
    feed.Feed(block);
    EXPECT_EQ(block.nResult, 0);
    EXPECT_EQ(feed.CanTakeMore(), 1);
}
