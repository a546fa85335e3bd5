#pragma once
// Writes a sample card: record-mode folders holding stream files named by a naming rule, one
// file per channel (".avi") or one file for all channels (".av2") per recording period, with
// video, sound and driving data from a simulated drive, optional damaged cases, and a JSON
// manifest of everything written.

#include "tools/mkcard/VideoEncoder.h"

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace mkcard {

struct CardOptions {
    std::filesystem::path rule;
    std::filesystem::path out;
    int channels = 1;
    double seconds = 60;
    double periodSeconds = 60;
    bool av2 = false;
    VideoEncoder::Codec codec = VideoEncoder::Codec::H264;
    int width = 320;
    int height = 240;
    // The other cameras' picture size in separate files (0: the front camera's size).
    int rearWidth = 0;
    int rearHeight = 0;
    // What the cameras see: the test picture (moving bars and a label, cheap to encode and to
    // decode), or a street scene with sensor noise encoded at a recorder's bit rate, about
    // 12 Mbit/s at 1920x1080 and in proportion to the pixel count at other sizes.
    enum class Content { TestPicture, Camera } content = Content::TestPicture;
    int framesPerSecond = 30;
    int keyInterval = 30;
    enum class Audio { None, MuLaw, Pcm } audio = Audio::MuLaw;
    int audioRate = 8000;
    int recordKind = 72;
    std::vector<std::string> modes = {"normal"};
    // noidx1, cut, preamble, tiny, badname, system_run
    std::set<std::string> damage;
    std::uint32_t seed = 1;
    // When set, the first video chunk of the first file is also written here as it lies in the
    // file: chunk tag, 32-bit little-endian length, payload.
    std::filesystem::path firstChunk;
    std::int64_t startUtc = 1709211909;  // 2024-02-29 13:05:09
};

// Parses the command line; false (with a message) on a bad option.
bool parseArguments(int argc, char** argv, CardOptions& options, std::string& error);

// Writes the card and its manifest ("manifest.json" in the output folder); false with a
// message on failure.
bool generateCard(const CardOptions& options, std::string& error);

} // namespace mkcard
