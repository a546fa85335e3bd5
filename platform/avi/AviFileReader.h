#pragma once
// Reads an AVI file through libavformat: its streams, and for each the samples of
// libavformat's index (file position, size, key flag, time stamp). Sample payloads are read
// from the file at the positions the index gives. A file without an index (a recording cut
// short) is read through once so that libavformat finds its chunks; a chunk that runs past the
// end of the file is left out.

#include "platform/avi/AviStructures.h"
#include "platform/fs/UniqueFd.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tachy {

class AviFileReader {
public:
    struct Sample {
        std::int64_t position = 0;  // of the chunk's 8-byte header
        std::uint32_t size = 0;
        bool key = false;
        std::int64_t timestamp = 0;  // in scale / rate units
    };
    struct Stream {
        avi::FourCC type = 0;  // vids, auds or txts (0 for anything else)
        std::uint32_t scale = 0;
        std::uint32_t rate = 0;
        std::int64_t start = 0;
        avi::BitmapInfoHeader video{};
        avi::WaveFormatEx audio{};
        // The stream header as the file states it (handler, scale, rate, sample size), which
        // libavformat does not pass on; zero when it could not be read.
        avi::AviStreamHeader header{};
        std::vector<Sample> samples;
    };

    // False when libavformat cannot open or read the file's headers.
    bool open(const std::filesystem::path& path);
    void close();
    bool isOpen() const { return m_file.valid(); }
    const std::vector<Stream>& streams() const { return m_streams; }

    // Reads the payload of sample `index` (at most `capacity` bytes); the bytes read or -1.
    std::int64_t read(const Stream& stream, std::size_t index, std::uint8_t* buffer,
                      std::size_t capacity) const {
        return read(stream, index, 0, buffer, capacity);
    }
    // The same from `offset` bytes into the payload (0 bytes at or past its end).
    std::int64_t read(const Stream& stream, std::size_t index, std::size_t offset,
                      std::uint8_t* buffer, std::size_t capacity) const;

private:
    std::vector<Stream> m_streams;
    fs::UniqueFd m_file;
    std::uint64_t m_fileSize = 0;
};

} // namespace tachy
