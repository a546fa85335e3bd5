// The engine-event router: each engine code reaches its handler, answers go back through the
// payload, and codes the viewer does not handle are left alone.
#include "viewer/main/EngineEventRouter.h"

#include "viewer/main/EngineEvents.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using viewer::EngineEventRouter;

namespace {

class RecordingEvents : public viewer::EngineEvents {
public:
    void OnListEvent(unsigned code, std::intptr_t param, void* /*payload*/) override {
        calls.push_back("list " + std::to_string(code) + " " + std::to_string(param));
    }
    void OnPlaybackStopped() override { calls.emplace_back("stopped"); }
    void OnPlayEnd() override { calls.emplace_back("end"); }
    void OnFrameInfo(_FRAME_INFO& frame) override {
        calls.push_back("frame " + std::to_string(frame.nChannel));
    }
    void OnPicture(const _PICTURE_INFO& picture) override {
        calls.push_back("picture " + std::to_string(picture.nChannel));
    }
    void OnNoPicture(int channel) override {
        calls.push_back("no picture " + std::to_string(channel));
    }
    void OnSoundBlock(_AUDIO_BLOCK& block) override {
        block.nResult = 1;
        calls.emplace_back("sound");
    }
    int SoundCanTakeMore() override {
        calls.emplace_back("room");
        return 1;
    }
    void OnSoundEnd() override { calls.emplace_back("sound end"); }
    void OnUnreadableFile(const char* file) override {
        calls.push_back(std::string("unreadable ") + file);
    }

    std::vector<std::string> calls;
};

} // namespace

TEST(EngineEventRouter, ListCodesGoToTheListWithTheirParameter) {
    RecordingEvents events;
    EngineEventRouter router(events);
    for (unsigned code : {0U, 120U, 121U, 122U, 140U, 141U, 142U}) {
        router.Route(code, 7, nullptr);
    }
    EXPECT_EQ(events.calls,
              (std::vector<std::string>{"list 0 7", "list 120 7", "list 121 7", "list 122 7",
                                        "list 140 7", "list 141 7", "list 142 7"}));
}

TEST(EngineEventRouter, ThePlayEndIsAnsweredWithNoFurtherNotices) {
    RecordingEvents events;
    EngineEventRouter router(events);
    _PLAY_END_INFO end{};
    end.nFlag = 1;
    router.Route(EngineEventRouter::kPlayEnd, 0, &end);
    EXPECT_EQ(end.nFlag, 0);
    router.Route(EngineEventRouter::kPlaybackStopped, 0, nullptr);
    EXPECT_EQ(events.calls, (std::vector<std::string>{"end", "stopped"}));
}

TEST(EngineEventRouter, PicturesFramesAndSoundReachTheirHandlers) {
    RecordingEvents events;
    EngineEventRouter router(events);
    _FRAME_INFO frame{};
    frame.nChannel = 1;
    router.Route(EngineEventRouter::kFrameInfo, 0, &frame);
    _PICTURE_INFO picture{};
    picture.nChannel = 2;
    router.Route(EngineEventRouter::kPicture, 0, &picture);
    router.Route(EngineEventRouter::kNoPicture, 1, nullptr);
    _AUDIO_BLOCK block{};
    router.Route(EngineEventRouter::kSoundBlock, 0, &block);
    EXPECT_EQ(block.nResult, 1);
    int room = 0;
    router.Route(EngineEventRouter::kSoundCanTakeMore, 0, &room);
    EXPECT_EQ(room, 1);
    router.Route(EngineEventRouter::kSoundEnd, 0, nullptr);
    char file[] = "/card/normal/a.avi";
    router.Route(EngineEventRouter::kUnreadableFile, 0, file);
    EXPECT_EQ(events.calls,
              (std::vector<std::string>{"frame 1", "picture 2", "no picture 1", "sound", "room",
                                        "sound end", "unreadable /card/normal/a.avi"}));
}

TEST(EngineEventRouter, CodesTheViewerDoesNotHandleAreIgnored) {
    RecordingEvents events;
    EngineEventRouter router(events);
    for (unsigned code : {1U, 21U, 112U, 130U, 181U, 199U, 1000U}) {
        router.Route(code, 0, nullptr);
    }
    EXPECT_TRUE(events.calls.empty());
}
