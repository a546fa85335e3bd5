// mkcard: writes a sample dash-camera card for tests, benchmarks and the demo.

#include "tools/mkcard/CardGenerator.h"

#include <cstdio>

namespace {

const char* const kUsage =
    "usage: mkcard --rule FILE --out DIR [options]\n"
    "  --channels 1|2|3        camera channels (default 1)\n"
    "  --seconds N             recorded time (default 60)\n"
    "  --period N              seconds per file (default 60; the last file is shorter)\n"
    "  --av2                   one file for all channels instead of one per channel\n"
    "  --codec h264|hevc       (default h264)\n"
    "  --size WxH              picture size (default 320x240)\n"
    "  --rear-size WxH         the other cameras' size in .avi cards (default: --size)\n"
    "  --content test|camera   test pictures (default), or a street scene with sensor noise at\n"
    "                          a recorder's bit rate (12 Mbit/s at 1920x1080, by pixel count)\n"
    "  --fps N  --keyint N     frame rate (default 30) and key-frame interval (default 30)\n"
    "  --audio none|mulaw|pcm  --audio-rate 8000|16000\n"
    "  --record 72|80|400|57   driving-data record kind (default 72)\n"
    "  --modes normal,event,parking,manual   folders the periods go to, in turn\n"
    "  --damage noidx1,cut,preamble,tiny,badname,system_run\n"
    "  --seed N  --start UTC-SECONDS\n"
    "  --first-chunk FILE      also write the first video chunk (tag, length, payload) to FILE\n";

} // namespace

// libx265 3.5 keeps some frame-filter buffers after the encoder is closed, even after a full
// drain; LeakSanitizer builds of the generator should not fail on a leak that is not ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libx265.so\n";
}

// The encoders are not built with ThreadSanitizer; their own threads are theirs to check.
extern "C" const char* __tsan_default_suppressions() {
    return "race:libx265.so\nrace:libx264.so\ncalled_from_lib:libx265.so\ncalled_from_lib:libx264.so\n";
}

int main(int argc, char** argv) {
    mkcard::CardOptions options;
    std::string error;
    if (!mkcard::parseArguments(argc, argv, options, error)) {
        std::fprintf(stderr, "mkcard: %s\n%s", error.c_str(), kUsage);
        return 2;
    }
    if (!mkcard::generateCard(options, error)) {
        std::fprintf(stderr, "mkcard: %s\n", error.c_str());
        return 1;
    }
    std::printf("mkcard: wrote %s\n", (options.out / "manifest.json").c_str());
    return 0;
}
