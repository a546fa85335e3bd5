// Decoded frames per second through IVideoDecoder::Decode (YUV and BGRA targets) for 1080p and
// 720p H.264, against `ffmpeg -threads 1 -i FILE -f null -` on the same file.

#include "bench/BenchTimer.h"
#include "picturedec/CFFMpegDecoder.h"
#include "tools/mkcard/CardGenerator.h"
#include "util/avi/CAviParser2.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>
#include <vector>

namespace {

struct Frame {
    std::vector<unsigned char> bytes;
};

std::vector<Frame> readFrames(const std::string& path) {
    CAviParser2 parser;
    std::vector<Frame> frames;
    if (parser.OpenStream(path, 0) == 0 || parser.OpenVideoStream(0) == 0) {
        return frames;
    }
    parser.SetStreamPosVideo(0);
    tachy::avi::BitmapInfoHeader bih{};
    while (parser.GetVideoHeader(&bih, nullptr, nullptr, nullptr) == 1) {
        const unsigned char* data = parser.GetVideoStream(0);
        frames.push_back({std::vector<unsigned char>(data, data + bih.biSizeImage)});
    }
    return frames;
}

double decodeSeconds(const std::vector<Frame>& frames, int format) {
    CFFMpegDecoder decoder(1);
    decoder.InitCodec(IVideoDecoder::kH264);
    decoder.SetTargetFormat(format);
    std::vector<unsigned char> picture(1920 * 1088 * 4);
    const auto start = std::chrono::steady_clock::now();
    int pictures = 0;
    for (const Frame& frame : frames) {
        _AV_DATA planes{};
        pictures += decoder.Decode(0, frame.bytes.data(), nullptr, nullptr, static_cast<int>(frame.bytes.size()),
                                   picture.data(), &planes, nullptr);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (pictures != static_cast<int>(frames.size())) {
        std::fprintf(stderr, "bench: %d of %zu frames decoded\n", pictures, frames.size());
    }
    return seconds;
}

double ffmpegSeconds(const std::string& path) {
    const auto start = std::chrono::steady_clock::now();
    const int result = std::system(("ffmpeg -v error -threads 1 -i '" + path + "' -f null - </dev/null").c_str());
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return result == 0 ? seconds : -1;
}

std::string makeClip(const std::filesystem::path& folder, int width, int height) {
    mkcard::CardOptions options;
    options.rule = std::filesystem::path(TACHY_DATA_DIR) / "_option" / "FileNameRule_A.ini";
    options.out = folder;
    options.width = width;
    options.height = height;
    options.seconds = 10;
    options.audio = mkcard::CardOptions::Audio::None;
    std::string error;
    if (!mkcard::generateCard(options, error)) {
        std::fprintf(stderr, "bench: %s\n", error.c_str());
        return {};
    }
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (entry.path().extension() == ".avi") {
            return entry.path().string();
        }
    }
    return {};
}

} // namespace

int main() {
    const std::filesystem::path root =
        std::filesystem::temp_directory_path() / ("tachy-bench-decoder-" + std::to_string(::getpid()));
    const struct { const char* name; int width; int height; } sizes[] = {{"1080p", 1920, 1080}, {"720p", 1280, 720}};
    for (const auto& size : sizes) {
        const std::string path = makeClip(root / size.name, size.width, size.height);
        const std::vector<Frame> frames = readFrames(path);
        if (frames.empty()) {
            return 1;
        }
        const auto count = static_cast<double>(frames.size());
        // The best of three runs of each, so that a busy moment of the machine does not decide.
        double reference = 1e9;
        double yuv = 1e9;
        double bgra = 1e9;
        for (int run = 0; run < 3; ++run) {
            reference = std::min(reference, ffmpegSeconds(path));
            yuv = std::min(yuv, decodeSeconds(frames, IVideoDecoder::kFormatYuv));
            bgra = std::min(bgra, decodeSeconds(frames, IVideoDecoder::kFormatBgra));
        }
        const std::string name = std::string("decode_h264_") + size.name;
        tachy::bench::report(name + "_yuv", count / yuv, count / reference, "ffmpeg -threads 1 -f null", "fps");
        tachy::bench::report(name + "_bgra", count / bgra, count / reference, "ffmpeg -threads 1 -f null", "fps");
    }
    std::filesystem::remove_all(root);
    return 0;
}
