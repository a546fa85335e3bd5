#pragma once
// Writes an AVI file: the RIFF header, "hdrl" with the main header and one "strl" per stream,
// the "movi" list of chunks, and an "idx1" index. Streams are added first; the headers are
// written with the first chunk and their counts completed on close. Sample numbers that a
// caller skips are filled with empty chunks, so sample n is always index entry n.

#include "platform/avi/AviStructures.h"
#include "platform/fs/UniqueFd.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tachy {

class AviFileWriter {
public:
    enum class IndexOffsets { RelativeToMovi, Absolute };

    AviFileWriter() = default;
    ~AviFileWriter();
    AviFileWriter(const AviFileWriter&) = delete;
    AviFileWriter& operator=(const AviFileWriter&) = delete;

    // Creates or truncates the file. False when it cannot be created.
    bool open(const std::filesystem::path& path);
    bool isOpen() const { return m_file.valid(); }

    // Adds a stream before the first chunk is written; its ordinal (0 to 9), or -1.
    // dwLength and dwSuggestedBufferSize are filled in on close.
    int addStream(const avi::AviStreamHeader& header, const void* format, std::size_t formatSize);

    // Writes `data` as sample `sample` of the stream. For a stream without a fixed sample size
    // the number must not be below the next free one; the numbers between become empty chunks.
    // A stream with a fixed sample size (audio) appends, whatever the number.
    bool write(int stream, std::int64_t sample, const void* data, std::size_t size,
               std::uint32_t flags);
    // The next free sample number of a stream without a fixed sample size.
    std::int64_t nextSample(int stream) const;
    // Changes a stream's time base (dwScale, dwRate), before or after its chunks are written;
    // the header is rewritten on close. False for an unknown stream or a zero scale or rate.
    bool setStreamRate(int stream, std::uint32_t scale, std::uint32_t rate);

    // How the index is written on close (for tests of readers: none, or absolute offsets).
    void setWriteIndex(bool write) { m_writeIndex = write; }
    void setIndexOffsets(IndexOffsets offsets) { m_offsets = offsets; }

    // Completes the headers and writes the index. False when anything could not be written.
    bool close();

private:
    struct Stream {
        avi::AviStreamHeader header{};
        std::string format;
        avi::FourCC chunkId = 0;
        std::int64_t chunks = 0;
        std::uint64_t bytes = 0;
        std::uint32_t largestChunk = 0;
        std::uint32_t headerOffset = 0;  // file offset of the strh body
    };

    bool writeHeaders();
    bool appendChunk(Stream& stream, const void* data, std::uint32_t size, std::uint32_t flags);
    bool writeAt(std::uint64_t offset, const void* data, std::size_t size);
    bool append(const void* data, std::size_t size);
    bool patchHeaders();

    fs::UniqueFd m_file;
    bool m_failed = false;
    bool m_headersWritten = false;
    bool m_writeIndex = true;
    IndexOffsets m_offsets = IndexOffsets::RelativeToMovi;
    std::vector<Stream> m_streams;
    std::vector<avi::IndexEntry> m_index;  // offsets as file positions until close
    std::uint64_t m_position = 0;
    std::uint32_t m_mainHeaderOffset = 0;
    std::uint32_t m_moviFourCCOffset = 0;
};

} // namespace tachy
