// Feeds arbitrary bytes to the RIFF recording parser as a file and walks everything it offers:
// stream figures, every video frame, audio block and driving-data record, key-frame searches
// and the quick duration. Nothing may crash, hang or read out of bounds.

#include "util/avi/CAviParser2.h"

#include "tests/fuzz/FuzzScratch.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

std::string scratchPath() {
    static const std::string path = tachy::fuzz::scratchFile("avi.avi");
    return path;
}

void walk(CAviParser2& parser, const std::string& path) {
    _TAG_STREAM_INFO info{};
    parser.GetStreamInfo(path, &info, 0);
    parser.GetDuration(path);
    for (int video = 0; video < 2; ++video) {
        if (parser.OpenStream(path, video) == 0) {
            continue;
        }
        parser.OpenVideoStream(video);
        parser.SetStreamPosVideo(parser.GetVideoStartPos());
        tachy::avi::BitmapInfoHeader bih{};
        std::int64_t time = 0;
        int key = 0;
        int frame = 0;
        while (parser.GetVideoHeader(&bih, &time, &key, &frame) == 1) {
            volatile std::uint8_t first = bih.biSizeImage > 0 ? parser.GetVideoStream(0)[0] : 0;
            (void)first;
        }
        for (int position = parser.FindVideoStream(0, 0, 1, &time); position >= 0;
             position = parser.FindVideoStream(position + 1, 0, 1, &time)) {
        }
        parser.GetVideoLength(1000);
        if (parser.OpenAudioStream() == 1) {
            parser.SetStreamPosAudio(parser.GetStreamPosVideoToAudio(1) < 0 ? 0 : parser.GetStreamPosVideoToAudio(1));
            std::uint32_t size = 0;
            for (int block = 0; block < 4096 && parser.GetAudioHeader(nullptr, &time, &size) == 1; ++block) {
            }
        }
        if (parser.OpenUserStream() == 1) {
            std::uint32_t size = 0;
            for (int index = 0; parser.ReadUserData(index, &size) != nullptr; ++index) {
            }
            parser.GetTotalUserDataCount(1000);
        }
        parser.CloseStream();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static CAviParser2 parser;  // its buffers are allocated once
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
