// The RIFF reader (type 1) on AVI files that other programs wrote: FFmpeg's AVI muxer and
// GStreamer's avimux with several options, a re-mux of a sample-card recording, copies cut short
// and a hand-made OpenDML file. For every file the reader hands out the same video frames as
// libavformat (bytes, key flag, time, order) and the same number of audio bytes.

#include "util/avi/CAviParser2.h"

#include "tests/avi/LibavReference.h"
#include "tests/avi/OdmlFixture.h"
#include "tests/support/TempFolder.h"
#include "tools/mkcard/CardGenerator.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <map>
#include <random>

extern "C" {
#include <libavutil/log.h>
}

using tachy::test::ReferenceFrame;

namespace {

struct ForeignFile {
    const char* name;
    int videoStreams = 1;
    bool audio = true;
    bool cut = false;  // a copy cut short: libavformat may hand out the frame cut in two
};

const std::string kFfmpeg = "ffmpeg -nostdin -hide_banner -loglevel error -y ";
const std::string kPicture = "-f lavfi -i testsrc=size=160x120:rate=15 ";
const std::string kSecondPicture = "-f lavfi -i testsrc2=size=96x64:rate=10 ";
const std::string kGstreamer = "gst-launch-1.0 -q ";
const std::string kGstPicture =
    "videotestsrc num-buffers=45 ! video/x-raw,width=160,height=120,framerate=15/1 ";

std::string sine(int rate, int channels = 1) {
    return "-f lavfi -i sine=frequency=440:sample_rate=" + std::to_string(rate) +
           (channels == 2 ? " -ac 2 " : " ");
}

// The shell command that writes each file (all but the derived ones).
std::map<std::string, std::string> commands(const std::filesystem::path& folder) {
    const auto out = [&](const char* name) { return " '" + (folder / name).string() + "'"; };
    return {
        {"ffmpeg_h264_mulaw", kFfmpeg + kPicture + sine(8000) +
                                  "-t 3 -c:v libx264 -g 12 -c:a pcm_mulaw -f avi" + out("ffmpeg_h264_mulaw")},
        {"ffmpeg_h264_no_bframes", kFfmpeg + kPicture + "-t 3 -c:v libx264 -bf 0 -g 20 -f avi" +
                                       out("ffmpeg_h264_no_bframes")},
        {"ffmpeg_hevc_pcm", kFfmpeg + kPicture + sine(16000) +
                                "-t 3 -c:v libx265 -x265-params log-level=error:keyint=12 -tag:v HEVC "
                                "-c:a pcm_s16le -f avi" + out("ffmpeg_hevc_pcm")},
        {"ffmpeg_two_video", kFfmpeg + kPicture + kSecondPicture + sine(8000) +
                                 "-t 3 -map 0 -map 1 -map 2 -c:v libx264 -g 15 -c:a pcm_mulaw -f avi" +
                                 out("ffmpeg_two_video")},
        // Written to a pipe, the muxer cannot go back: no "idx1", list sizes never filled in.
        {"ffmpeg_no_index", kFfmpeg + kPicture + sine(8000) +
                                "-t 3 -c:v libx264 -g 12 -c:a pcm_mulaw -f avi pipe:1 >" +
                                out("ffmpeg_no_index")},
        {"ffmpeg_hevc_no_index", kFfmpeg + kPicture + sine(16000) +
                                     "-t 3 -c:v libx265 -x265-params log-level=error:keyint=12 -tag:v HEVC "
                                     "-c:a pcm_s16le -f avi pipe:1 >" + out("ffmpeg_hevc_no_index")},
        // 401 one-byte samples per audio chunk: odd sizes and pad bytes.
        {"ffmpeg_odd_chunks", kFfmpeg + kPicture + sine(8000) +
                                  "-t 3 -af asetnsamples=n=401 -c:v libx264 -g 12 -c:a pcm_mulaw -f avi" +
                                  out("ffmpeg_odd_chunks")},
        // 12,000 stereo 16-bit samples per audio chunk: 48,000 bytes, above the 32 KiB buffer.
        {"ffmpeg_large_audio_chunks", kFfmpeg + kPicture + sine(48000, 2) +
                                          "-t 3 -af asetnsamples=n=12000 -c:v libx264 -g 12 "
                                          "-c:a pcm_s16le -f avi" + out("ffmpeg_large_audio_chunks")},
        {"gst_h264_mulaw", kGstreamer + kGstPicture + "! x264enc key-int-max=15 ! queue ! mux. "
                               "audiotestsrc num-buffers=30 ! audio/x-raw,rate=8000,channels=1 ! "
                               "mulawenc ! queue ! mux. avimux name=mux ! filesink location=" +
                               out("gst_h264_mulaw")},
        {"gst_h264_pcm", kGstreamer + kGstPicture + "! x264enc key-int-max=10 bframes=2 ! queue ! mux. "
                             "audiotestsrc num-buffers=30 ! "
                             "audio/x-raw,format=S16LE,rate=16000,channels=2 ! queue ! mux. "
                             "avimux name=mux ! filesink location=" + out("gst_h264_pcm")},
        {"gst_h264_video_only", kGstreamer + kGstPicture + "! x264enc key-int-max=20 ! avimux ! "
                                    "filesink location=" + out("gst_h264_video_only")},
    };
}

const std::vector<ForeignFile>& foreignFiles() {
    static const std::vector<ForeignFile> files = {
        {"ffmpeg_h264_mulaw"},         {"ffmpeg_h264_no_bframes", 1, false},
        {"ffmpeg_hevc_pcm"},           {"ffmpeg_two_video", 2},
        {"ffmpeg_hevc_no_index"},
        {"ffmpeg_no_index"},           {"ffmpeg_odd_chunks"},
        {"ffmpeg_large_audio_chunks"}, {"ffmpeg_remux_of_card"},
        {"ffmpeg_cut", 1, true, true}, {"ffmpeg_no_index_cut", 1, true, true},
        {"gst_h264_mulaw"},            {"gst_h264_pcm"},
        {"gst_h264_video_only", 1, false}, {"gst_cut", 1, true, true},
        {"gst_cut_in_a_frame", 1, true, true},
        {"odml_by_hand"},
    };
    return files;
}

bool run(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

// A copy of `from` cut at a point drawn from a fixed seed, between 35 and 90 per cent.
bool cutCopy(const std::filesystem::path& from, const std::filesystem::path& to, std::uint32_t seed) {
    std::error_code error;
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, error);
    const auto size = std::filesystem::file_size(to, error);
    if (error) {
        return false;
    }
    std::mt19937 random(seed);
    const auto cut = size * (35 + random() % 56) / 100;
    std::filesystem::resize_file(to, cut, error);
    return !error;
}

// A copy of `from` cut in the middle of the last video chunk that libavformat reads.
bool cutInsideLastVideoChunk(const std::filesystem::path& from, const std::filesystem::path& to) {
    const tachy::test::ReferenceRead read = tachy::test::libavformatRead(from.string(), 0);
    if (read.video.empty() || read.lastVideoPosition <= 0) {
        return false;
    }
    std::error_code error;
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, error);
    std::filesystem::resize_file(to, static_cast<std::uint64_t>(read.lastVideoPosition) + 8 +
                                         read.video.back().bytes.size() / 2, error);
    return !error;
}

// A one-channel recording of our sample-card generator, re-muxed by FFmpeg without re-encoding.
bool remuxOfCard(const std::filesystem::path& folder) {
    mkcard::CardOptions options;
    options.rule = std::filesystem::path(TACHY_DATA_DIR) / "_option" / "FileNameRule_A.ini";
    options.out = folder / "card";
    options.seconds = 3;
    options.periodSeconds = 3;
    options.width = 160;
    options.height = 120;
    options.keyInterval = 15;
    std::string error;
    if (!mkcard::generateCard(options, error)) {
        return false;
    }
    for (const auto& entry : std::filesystem::recursive_directory_iterator(options.out)) {
        if (entry.path().extension() == ".avi") {
            return run(kFfmpeg + "-i '" + entry.path().string() + "' -c copy -f avi '" +
                       (folder / "ffmpeg_remux_of_card").string() + "'");
        }
    }
    return false;
}

class ForeignAvi : public testing::TestWithParam<ForeignFile> {
public:
    static void SetUpTestSuite() {
        av_log_set_level(AV_LOG_FATAL);
        s_folder = std::make_unique<tachy::test::TempFolder>();
        const std::filesystem::path& folder = s_folder->path();
        for (const auto& [name, command] : commands(folder)) {
            s_written[name] = run(command);
        }
        s_written["ffmpeg_remux_of_card"] = remuxOfCard(folder);
        s_written["ffmpeg_cut"] = cutCopy(folder / "ffmpeg_h264_mulaw", folder / "ffmpeg_cut", 17);
        s_written["ffmpeg_no_index_cut"] = cutCopy(folder / "ffmpeg_no_index", folder / "ffmpeg_no_index_cut", 23);
        s_written["gst_cut"] = cutCopy(folder / "gst_h264_mulaw", folder / "gst_cut", 5);
        s_written["gst_cut_in_a_frame"] = cutInsideLastVideoChunk(folder / "gst_h264_mulaw", folder / "gst_cut_in_a_frame");
        s_written["odml_by_hand"] = tachy::test::writeOdmlClip(folder / "odml_by_hand");
    }
    static void TearDownTestSuite() { s_folder.reset(); }

protected:
    static std::string path(const char* name) { return (s_folder->path() / name).string(); }
    static bool written(const char* name) { return s_written[name]; }

private:
    static inline std::unique_ptr<tachy::test::TempFolder> s_folder;
    static inline std::map<std::string, bool> s_written;
};

struct ParserRead {
    std::vector<ReferenceFrame> video;
    std::vector<std::uint8_t> codecHeader;
    std::uint64_t audioBytes = 0;
    bool audioOpened = false;
};

ParserRead readWithParser(const std::string& path, int videoIndex) {
    ParserRead read;
    auto parser = IAVIParser::Create(IAVIParser::kRiffReader);
    if (parser->OpenStream(path, videoIndex) != 1 || parser->OpenVideoStream(videoIndex) != 1) {
        return read;
    }
    read.codecHeader = dynamic_cast<CAviParser2&>(*parser).CodecHeader();
    parser->SetStreamPosVideo(parser->GetVideoStartPos());
    tachy::avi::BitmapInfoHeader bih{};
    std::int64_t time = 0;
    int key = 0;
    while (parser->GetVideoHeader(&bih, &time, &key, nullptr) == 1) {
        const auto* bytes = reinterpret_cast<const char*>(parser->GetVideoStream(0));
        read.video.push_back({std::string(bytes, bih.biSizeImage), key == 1, time});
    }
    read.audioOpened = parser->OpenAudioStream() == 1;
    if (read.audioOpened) {
        parser->SetStreamPosAudio(0);
        std::uint32_t size = 0;
        while (parser->GetAudioHeader(nullptr, nullptr, &size) == 1) {
            read.audioBytes += size;
        }
    }
    parser->CloseStream();
    return read;
}

// The same frame, or a key frame with the codec header put in front.
bool sameFrame(const ReferenceFrame& ours, const ReferenceFrame& theirs, const std::string& header) {
    if (ours.bytes == theirs.bytes) {
        return true;
    }
    return ours.key && !header.empty() && ours.bytes == header + theirs.bytes;
}

std::string fileName(const testing::TestParamInfo<ForeignFile>& param) {
    return param.param.name;
}

} // namespace

TEST_P(ForeignAvi, RiffReaderAgreesWithLibavformatOnEveryFrameAndTheAudioBytes) {
    const ForeignFile& file = GetParam();
    ASSERT_TRUE(written(file.name)) << "could not write " << file.name;
    for (int videoIndex = 0; videoIndex < file.videoStreams; ++videoIndex) {
        SCOPED_TRACE(std::string(file.name) + " video stream " + std::to_string(videoIndex));
        const tachy::test::ReferenceRead theirs = tachy::test::libavformatRead(path(file.name), videoIndex);
        ASSERT_TRUE(theirs.opened);
        ASSERT_GT(theirs.video.size(), 5U);
        ParserRead ours = readWithParser(path(file.name), videoIndex);
        // An empty chunk keeps its place in time; libavformat skips it (the next time steps on).
        std::erase_if(ours.video, [](const ReferenceFrame& frame) { return frame.bytes.empty(); });
        std::vector<ReferenceFrame> expected = theirs.video;
        // Of a frame cut in two libavformat hands out the part that is there; the reader does not.
        if (file.cut && expected.size() == ours.video.size() + 1) {
            expected.pop_back();
        }
        const std::string header(ours.codecHeader.begin(), ours.codecHeader.end());
        ASSERT_EQ(ours.video.size(), expected.size());
        for (std::size_t i = 0; i < ours.video.size(); ++i) {
            EXPECT_EQ(ours.video[i].key, expected[i].key) << "frame " << i;
            EXPECT_EQ(ours.video[i].timeMs, expected[i].timeMs) << "frame " << i;
            EXPECT_TRUE(sameFrame(ours.video[i], expected[i], header))
                << "frame " << i << ": " << ours.video[i].bytes.size() << " bytes against "
                << expected[i].bytes.size();
        }
        EXPECT_EQ(ours.audioOpened, file.audio);
        EXPECT_EQ(ours.audioBytes, theirs.audioBytes);
        std::printf("[ agreement] %s video %d: %zu frames of %zu, %zu key, %llu audio bytes\n",
                    file.name, videoIndex, ours.video.size(), theirs.video.size(),
                    static_cast<std::size_t>(std::count_if(ours.video.begin(), ours.video.end(),
                                                           [](const ReferenceFrame& f) { return f.key; })),
                    static_cast<unsigned long long>(ours.audioBytes));
    }
}

INSTANTIATE_TEST_SUITE_P(Writers, ForeignAvi, testing::ValuesIn(foreignFiles()), fileName);
