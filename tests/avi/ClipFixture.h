#pragma once
// Small clips for the recording-file tests: H.264-shaped frames (start codes and NAL types,
// filler payload; nothing decodes them), 8 kHz mu-law sound in 100 ms chunks and a 72-byte
// driving-data record per frame, written with our clip writer.

#include "util/avi/CAviWriter.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tachy::test {

struct ClipOptions {
    int frames = 45;
    int keyInterval = 15;       // frame 0 carries SPS and PPS, later key frames do not
    bool audio = true;
    bool userData = true;
    bool index = true;
    bool absoluteIndex = false;
    std::size_t preamble = 0;   // foreign bytes before "RIFF"
};

struct ClipFrame {
    std::string bytes;
    bool key = false;
};

std::string sps();
std::string pps();
// Frame n of a clip: its bytes and key flag.
ClipFrame clipFrame(int n, int keyInterval);
std::string drivingRecord(int n);
std::string audioChunk(int n);

// Writes the clip; false when the writer failed.
bool writeClip(const std::filesystem::path& path, const ClipOptions& options = {});

} // namespace tachy::test
