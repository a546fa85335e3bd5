#pragma once
// A small OpenDML file made by hand: a first RIFF "AVI " part with "idx1" and a second RIFF
// "AVIX" part, H.264-shaped video and mu-law sound in both, each stream with an "indx"
// super-index naming one "ix##" standard index per part. libavformat's muxer starts a second
// part only past 1 GiB, too big for a unit test.

#include <filesystem>

namespace tachy::test {

struct OdmlOptions {
    int firstPartFrames = 20;
    int secondPartFrames = 25;
    int keyInterval = 10;
};

// Writes the file; false when it cannot be written.
bool writeOdmlClip(const std::filesystem::path& path, const OdmlOptions& options = {});

} // namespace tachy::test
