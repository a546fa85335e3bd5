// Feeds arbitrary bytes to the type-0 recording parser (the one on libavformat's reading) as a
// file and walks everything it offers: stream figures, every video frame with its driving-data
// record, every audio block, the records read ahead, key-frame searches and the duration.
// Nothing may crash, hang or read out of bounds.

#include "util/avi/CAviParser.h"

#include "tests/fuzz/FuzzScratch.h"

extern "C" {
#include <libavutil/log.h>
}

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

std::string scratchPath() {
    static const std::string path = tachy::fuzz::scratchFile("avi0.avi");
    return path;
}

void walkVideo(CAviParser& parser) {
    parser.SetStreamPosVideo(parser.GetVideoStartPos());
    tachy::avi::BitmapInfoHeader bih{};
    std::int64_t time = 0;
    int key = 0;
    int frame = 0;
    while (parser.GetVideoHeader(&bih, &time, &key, &frame) == 1) {
        volatile std::uint8_t first = bih.biSizeImage > 0 ? parser.GetVideoStream(0)[0] : 0;
        std::uint32_t size = 0;
        const std::uint8_t* record = parser.GetUserData(&size);
        volatile std::uint8_t last = record != nullptr && size > 0 ? record[size - 1] : 0;
        (void)first;
        (void)last;
    }
    for (int position = parser.FindVideoStream(0, 0, 1, &time); position >= 0;
         position = parser.FindVideoStream(position + 1, 0, 1, &time)) {
    }
    parser.FindVideoStream(parser.GetVideoLength() - 1, -1, 1, &time);
    parser.GetVideoLength(1000);
}

void walkAudio(CAviParser& parser) {
    if (parser.OpenAudioStream() == 0) {
        return;
    }
    const int start = parser.GetStreamPosVideoToAudio(1);
    parser.SetStreamPosAudio(start < 0 ? 0 : start);
    std::int64_t time = 0;
    std::uint32_t size = 0;
    for (int block = 0; block < 4096 && parser.GetAudioHeader(nullptr, &time, &size) == 1;
         ++block) {
        volatile std::uint8_t last = size > 0 ? parser.GetAudioStream(0)[size - 1] : 0;
        (void)last;
    }
}

void walkRecords(CAviParser& parser) {
    if (parser.OpenUserStream() == 0) {
        return;
    }
    std::uint32_t size = 0;
    for (int index = 0; parser.ReadUserData(index, &size) != nullptr; ++index) {
    }
    parser.GetTotalUserDataCount(1000);
    parser.ReadUserStreamInAdvance();
}

void walk(CAviParser& parser, const std::string& path) {
    _TAG_STREAM_INFO info{};
    parser.GetStreamInfo(path, &info, 0);
    parser.GetDuration(path);
    for (int video = 0; video < 2; ++video) {
        if (parser.OpenStream(path, video) == 0) {
            continue;
        }
        parser.OpenVideoStream(video);
        walkRecords(parser);
        walkVideo(parser);
        walkAudio(parser);
        parser.CloseStream();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static CAviParser parser; // its buffers are allocated once
    const std::string& path = scratchPath();
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return 0;
    }
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    walk(parser, path);
    std::remove(path.c_str());
    return 0;
}

// libavformat's complaints about every broken header went to stderr for each input: a
// 20-minute run wrote 166 MB of them. The log says what the fuzzer found, not what FFmpeg saw.
extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    av_log_set_level(AV_LOG_QUIET);
    return 0;
}
