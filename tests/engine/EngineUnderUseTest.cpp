// The replay engine as a viewer uses it: holds before dialogs, direction changes with sound,
// a camera that gives no pictures, an entry the viewer cannot give, pictures of any size, and
// many starts and stops in a row. Assertions are on order and counts, not on wall-clock figures.

#include "engine/CReplayMgrEx.h"
#include "engine/IIntrReplayEx.h"
#include "picturedec/IVideoDecoder.h"
#include "tests/support/Command.h"
#include "tests/support/TempFolder.h"
#include "tools/mkcard/CardGenerator.h"
#include "tools/tachy-play/HeadlessViewer.h"
#include "util/naming/AviNameFormat.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <thread>

using namespace std::chrono_literals;
using tachy::play::HeadlessViewer;
using tachy::test::TempFolder;

namespace {

constexpr std::int64_t kStartMs = 1709211909000LL;

// Waits until the condition holds; the limit only turns a hang into a failure.
bool waitUntil(const std::function<bool()>& condition, std::chrono::seconds limit = 60s) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

int threadCount() {
    int count = 0;
    for ([[maybe_unused]] const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        ++count;
    }
    return count;
}

// A viewer that records, in order, every front picture (its recording time) and every sound
// block it was given, and hands everything on to a HeadlessViewer.
class RecordingViewer {
public:
    struct Event {
        bool sound;
        std::int64_t timeMs;  // of the picture; 0 for sound
    };

    static void Callback(unsigned code, std::intptr_t param, void* data, void* user) {
        auto& self = *static_cast<RecordingViewer*>(user);
        if (code == 133 || code == 180) {
            const std::lock_guard<std::mutex> guard(self.m_mutex);
            self.m_events.push_back(
                {code == 180, code == 133 ? static_cast<const _FRAME_INFO*>(data)->llTime : 0});
        }
        if (code == 170 && self.m_onPicture) {
            self.m_onPicture(*static_cast<const _PICTURE_INFO*>(data));
        }
        if (code == 142 || code == 152) {
            const std::lock_guard<std::mutex> guard(self.m_mutex);
            self.m_currentEntryParams.push_back(static_cast<int>(param));
        }
        // The second list's questions (search type 1) are answered from the same list.
        const bool secondList = code >= 150 && code <= 155;
        HeadlessViewer::Callback(secondList ? code - 10 : code, param, data, &self.viewer);
    }

    std::vector<Event> Events() {
        const std::lock_guard<std::mutex> guard(m_mutex);
        return m_events;
    }
    std::vector<int> CurrentEntryParams() {
        const std::lock_guard<std::mutex> guard(m_mutex);
        return m_currentEntryParams;
    }
    std::size_t EventCount() {
        const std::lock_guard<std::mutex> guard(m_mutex);
        return m_events.size();
    }
    // Set before playback starts.
    void OnPicture(std::function<void(const _PICTURE_INFO&)> handler) { m_onPicture = std::move(handler); }

    HeadlessViewer viewer;

private:
    std::mutex m_mutex;
    std::vector<Event> m_events;  // guarded by m_mutex
    std::vector<int> m_currentEntryParams;  // guarded by m_mutex
    std::function<void(const _PICTURE_INFO&)> m_onPicture;
};

// An engine on a generated card, with the list walked.
class EngineUnderUse : public testing::Test {
protected:
    void Open(mkcard::CardOptions options) {
        options.rule = std::string(TACHY_DATA_DIR) + "/_option/FileNameRule_A.ini";
        options.out = m_folder.path() / "card";
        std::string error;
        ASSERT_TRUE(mkcard::generateCard(options, error)) << error;
        m_engine = IIntrReplayEx::Create();
        ASSERT_NE(m_engine, nullptr);
        ASSERT_EQ(m_engine->Initialize(nullptr, IVideoDecoder::kFormatYuv), 1);
        m_engine->SetCallback(&RecordingViewer::Callback, &m_viewer);
        m_engine->SetDbPath(options.out.string());
        m_engine->SetAviFileNameFormat(naming::ReadNameFormat(options.rule, 2));
        ASSERT_EQ(m_engine->CheckRecordMode(), 1);
        ASSERT_EQ(m_engine->procOpenList(), 1);
        ASSERT_FALSE(m_viewer.viewer.Entries().empty());
        m_viewer.viewer.Clear();
    }
    void TearDown() override {
        if (m_engine) {
            m_engine->Stop();
            m_engine->Release();
        }
    }
    CReplayMgrEx& Manager() { return dynamic_cast<CReplayMgrEx&>(*m_engine); }
    std::int64_t LastPictureTime() {
        const auto pictures = m_viewer.viewer.Pictures();
        return pictures.empty() ? 0 : pictures.back().timeMs;
    }
    // Sound blocks given after event `from`, and front pictures shown before the first of them.
    static int PicturesBeforeSound(const std::vector<RecordingViewer::Event>& events, std::size_t from) {
        int pictures = 0;
        for (std::size_t i = from; i < events.size(); ++i) {
            if (events[i].sound) {
                return pictures;
            }
            ++pictures;
        }
        return -1;
    }

    TempFolder m_folder;
    RecordingViewer m_viewer;
    std::unique_ptr<IIntrReplayEx> m_engine;
};

mkcard::CardOptions smallCard(double seconds, int channels) {
    mkcard::CardOptions options;
    options.width = 64;
    options.height = 48;
    options.seconds = seconds;
    options.periodSeconds = seconds;
    options.channels = channels;
    options.keyInterval = 10;
    return options;
}

} // namespace

TEST_F(EngineUnderUse, HoldsInARowEachReturnWithoutWaitingOutATimeLimit) {
    Open(smallCard(30, 2));
    ASSERT_EQ(m_engine->PlayForward(), 1);
    ASSERT_TRUE(m_viewer.viewer.WaitForPictures(3, 60));
    const auto start = std::chrono::steady_clock::now();
    for (const int holds : {2, 10}) {
        for (int i = 0; i < holds; ++i) {
            EXPECT_EQ(m_engine->HoldCurrentImage(), 1) << i;
            EXPECT_EQ(m_engine->GetPlayerState(), 8);
            EXPECT_EQ(m_engine->ReleaseCurrentImage(), 1);
            EXPECT_EQ(m_engine->GetPlayerState(), 2);
        }
    }
    // No hold waited out a limit: each returned as soon as the threads had paused. (The fault
    // this guards against waited 5 s in every hold after the first: a minute for these twelve.)
    EXPECT_EQ(Manager().TimedOutWaits(), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 30s);
    const std::size_t shown = m_viewer.viewer.Pictures().size();
    EXPECT_TRUE(waitUntil([&] { return m_viewer.viewer.Pictures().size() > shown + 5; }));  // still playing
}

TEST_F(EngineUnderUse, SoundFollowsThePicturesAfterBackwardThenForward) {
    Open(smallCard(8, 1));
    ASSERT_EQ(m_engine->PlayForward(), 1);
    ASSERT_TRUE(waitUntil([&] { return LastPictureTime() >= kStartMs + 4000; }));
    ASSERT_GT(m_viewer.viewer.SoundBlocks(), 0);
    ASSERT_EQ(m_engine->PlayBackward(), 0);  // a direction change answers 0
    ASSERT_TRUE(waitUntil([&] { return LastPictureTime() <= kStartMs + 2500; }));
    const std::size_t from = m_viewer.EventCount();
    ASSERT_EQ(m_engine->PlayForward(), 1);
    ASSERT_TRUE(waitUntil([&] { return LastPictureTime() >= kStartMs + 4000; }));
    // The sound goes on with the pictures, from the key frame they go on from: not from where
    // the reading of sound had got to before the turn, seconds later in the recording.
    const int before = PicturesBeforeSound(m_viewer.Events(), from);
    EXPECT_GE(before, 0) << "no sound after playing forward again";
    EXPECT_LE(before, 5);
}

TEST_F(EngineUnderUse, SoundFollowsThePicturesAfterAHoldAndItsRelease) {
    Open(smallCard(8, 1));
    ASSERT_EQ(m_engine->PlayForward(), 1);
    ASSERT_TRUE(waitUntil([&] { return LastPictureTime() >= kStartMs + 2000; }));
    ASSERT_EQ(m_engine->HoldCurrentImage(), 1);
    const std::size_t from = m_viewer.EventCount();
    ASSERT_EQ(m_engine->ReleaseCurrentImage(), 1);
    ASSERT_TRUE(waitUntil([&] { return LastPictureTime() >= kStartMs + 4500; }));
    const int before = PicturesBeforeSound(m_viewer.Events(), from);
    EXPECT_GE(before, 0) << "no sound after the release";
    EXPECT_LE(before, 5);
}

TEST_F(EngineUnderUse, ACameraThatGivesNoPicturesDoesNotHoldTheOthers) {
    Open(smallCard(2, 2));
    // The rear file's video payloads made undecodable; its RIFF layout stays intact.
    const std::string rear = m_viewer.viewer.Entries()[0].CurrentPath(1);
    std::fstream file(rear, std::ios::in | std::ios::out | std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    int spoiled = 0;
    for (std::size_t at = bytes.find("00dc"); at != std::string::npos && at + 8 < bytes.size();
         at = bytes.find("00dc", at + 4)) {
        std::uint32_t length = 0;
        std::memcpy(&length, bytes.data() + at + 4, 4);
        if (length == 0 || at + 8 + length > bytes.size()) {
            continue;
        }
        std::fill_n(bytes.begin() + static_cast<long>(at + 8), length, '\xFF');
        ++spoiled;
    }
    ASSERT_GT(spoiled, 20);
    file.seekp(0);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();

    ASSERT_EQ(m_engine->PlayForward(), 1);
    ASSERT_TRUE(m_viewer.viewer.WaitForEnd(60)) << "the front camera was held by the rear one";
    EXPECT_EQ(m_viewer.viewer.Pictures().size(), 60U);  // every front picture of both seconds
    for (const int channel : m_viewer.viewer.Sequence()) {
        EXPECT_EQ(channel, 0);
    }
}

TEST_F(EngineUnderUse, AnEntryTheViewerCannotGiveIsNotPlayed) {
    Open(smallCard(1, 1));
    ASSERT_EQ(m_engine->PlayForward(), 1);
    ASSERT_TRUE(m_viewer.viewer.WaitForEnd(60));
    ASSERT_EQ(m_viewer.viewer.Pictures().size(), 30U);
    m_viewer.viewer.Clear();
    m_engine->PlayList(7, 1);  // the viewer has one entry
    ASSERT_TRUE(m_viewer.viewer.WaitForEnd(60));
    EXPECT_TRUE(m_viewer.viewer.Pictures().empty());  // not the entry played before
}

TEST_F(EngineUnderUse, StepBackByKeyFrameFromStopAsksForTheCurrentEntryAsPlayDoes) {
    Open(smallCard(1, 1));
    m_engine->SetSearchType(1);
    m_viewer.viewer.SetCurrentRow(0);
    EXPECT_EQ(m_engine->StepBackwardKeyframe(0), 1);
    EXPECT_EQ(m_viewer.viewer.Count(60), 1);
    EXPECT_EQ(m_viewer.CurrentEntryParams(), std::vector<int>{0});  // as PlayForward asks (152, 0)
    ASSERT_TRUE(m_viewer.viewer.WaitForPictures(1, 60));
}

TEST_F(EngineUnderUse, StartsAndStopsAHundredTimesWithoutAHangOrALeftThread) {
    mkcard::CardOptions options = smallCard(20, 2);
    options.periodSeconds = 10;  // two entries, far longer than a round plays
    Open(options);
    const int threadsBefore = threadCount();
    for (int round = 0; round < 100; ++round) {
        // The turn backward (case 1) starts in the second entry: twenty seconds of play lie
        // behind it, so its end of play cannot come within a round.
        m_engine->PlayList(round % 5 == 1 ? 1 : round % 2, round % 3 != 2 ? 1 : 0);
        switch (round % 5) {
        case 0:
            m_viewer.viewer.WaitForPictures(1, 60);
            m_engine->HoldCurrentImage();
            m_engine->ReleaseCurrentImage();
            break;
        case 1:
            // With a picture on screen, so that the turn backward has a place to turn at.
            m_viewer.viewer.WaitForPictures(1, 60);
            m_engine->Pause();
            m_engine->GotoTimeSearch(1);
            m_engine->PlayBackward();
            break;
        case 2:
            m_engine->SetPBSpeed(round % 2 == 0 ? 4.0 : 0.5);
            m_engine->PlayForward();
            break;
        case 3:
            m_engine->StepForwardKeyframe(-1);
            m_engine->SetPBSpeed(1.0);
            break;
        default:
            break;
        }
        // No end of play is announced while an entry plays (a pass that read "stopped" just
        // before the start once announced the end of the new play).
        EXPECT_EQ(m_viewer.viewer.Count(70), 0) << "round " << round;
        EXPECT_EQ(m_engine->Stop(), 1);
        EXPECT_EQ(m_engine->GetPlayerState(), 0);
        m_viewer.viewer.Clear();
    }
    EXPECT_EQ(Manager().TimedOutWaits(), 0);
    EXPECT_EQ(threadCount(), threadsBefore);
}

// Every plane of every picture the engine shows, against what ffmpeg decodes from the same file.
class LargePictures : public EngineUnderUse, public testing::WithParamInterface<mkcard::VideoEncoder::Codec> {};

TEST_P(LargePictures, FourKPicturesPlayBitExactAgainstFfmpeg) {
    mkcard::CardOptions options = smallCard(0.2, 1);
    options.width = 3840;
    options.height = 2160;
    options.codec = GetParam();
    options.audio = mkcard::CardOptions::Audio::None;
    std::vector<std::string> shown;  // each picture's planes, packed row by row
    m_viewer.OnPicture([&shown](const _PICTURE_INFO& picture) {
        std::string planes;
        for (int plane = 0; plane < 3; ++plane) {
            const int width = plane == 0 ? picture.nWidth : picture.nWidth / 2;
            const int height = plane == 0 ? picture.nHeight : picture.nHeight / 2;
            const auto* row = reinterpret_cast<const char*>(picture.avData0to2[plane]);
            for (int y = 0; y < height; ++y, row += picture.avData8to15[plane]) {
                planes.append(row, static_cast<std::size_t>(width));
            }
        }
        shown.push_back(std::move(planes));
    });
    Open(options);
    const std::string path = m_viewer.viewer.Entries()[0].CurrentPath(0);
    ASSERT_EQ(m_engine->PlayForward(), 1);
    ASSERT_TRUE(m_viewer.viewer.WaitForEnd(120));
    const std::filesystem::path raw = m_folder.path() / "reference.yuv";
    bool ok = false;
    tachy::test::runCommand("ffmpeg -v error -i '" + path + "' -map 0:v -f rawvideo -pix_fmt yuv420p '" +
                                raw.string() + "' 2>&1",
                            &ok);
    ASSERT_TRUE(ok);
    std::ifstream reference(raw, std::ios::binary);
    const std::string frames((std::istreambuf_iterator<char>(reference)), std::istreambuf_iterator<char>());
    const std::size_t frameBytes = 3840U * 2160U * 3U / 2U;
    ASSERT_EQ(frames.size() % frameBytes, 0U);
    ASSERT_EQ(shown.size(), frames.size() / frameBytes);
    ASSERT_FALSE(shown.empty());
    for (std::size_t i = 0; i < shown.size(); ++i) {
        EXPECT_TRUE(shown[i] == frames.substr(i * frameBytes, frameBytes)) << "picture " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Codecs, LargePictures,
                         testing::Values(mkcard::VideoEncoder::Codec::H264, mkcard::VideoEncoder::Codec::Hevc));
