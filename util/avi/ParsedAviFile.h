#pragma once
// One recording file opened by the RIFF reader: its RIFF header (found within the first 184
// bytes), main header, stream lists and the index of every stream, taken from the OpenDML
// standard indexes or "idx1" or, when there is none (a recording cut short), rebuilt by walking
// the "movi" lists of every RIFF part.

#include "platform/avi/AviStructures.h"
#include "util/avi/BoundedFile.h"
#include "util/avi/NalUnits.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace util {

struct ParsedAviStream {
    int ordinal = 0;
    tachy::avi::AviStreamHeader header{};  // dwLength and dwSuggestedBufferSize as found
    std::string headerBytes;
    std::string formatBytes;
    tachy::avi::FourCC chunkId = 0;  // 0 for stream types other than vids, auds and txts
    std::vector<tachy::avi::IndexEntry> index;
    std::uint32_t largestChunk = 0;
    NalUnits::Codec codec = NalUnits::Codec::H264;  // for video streams
    std::uint64_t superIndex = 0;      // body of the stream list's "indx" chunk, 0 when none
    std::uint32_t superIndexSize = 0;

    // True when a movie-data chunk with this id belongs to the stream (video also as "##db").
    bool ownsChunk(tachy::avi::FourCC id) const;

    std::uint32_t length() const { return static_cast<std::uint32_t>(index.size()); }
    std::uint32_t start() const { return header.dwStart; }

    // sample -> ms and back, with the stream's scale and rate (-1 where undefined).
    std::int64_t sampleToTime(std::int64_t sample) const;
    std::int64_t timeToSample(std::int64_t timeMs) const;
};

class ParsedAviFile {
public:
    // Highest offset at which the RIFF header may begin, and the smallest readable file.
    static constexpr std::uint64_t kLastRiffOffset = 183;
    static constexpr std::uint64_t kMinimumFileSize = 200;

    // kAviOk, kAviErrFileOpen or kAviErrError.
    std::int32_t open(const std::filesystem::path& path);

    const BoundedFile& file() const { return m_file; }
    const tachy::avi::MainAviHeader& mainHeader() const { return m_main; }
    std::vector<ParsedAviStream>& streams() { return m_streams; }
    const std::vector<ParsedAviStream>& streams() const { return m_streams; }
    bool indexRebuilt() const { return m_indexRebuilt; }

    // The stream of that type: the `nth` of its kind.
    const ParsedAviStream* findStream(tachy::avi::FourCC type, int nth = 0) const;

    // Reads sample `sample` of the stream (payload only) into the buffer, at most `capacity`
    // bytes; the bytes read, or -1 when the sample is outside the index or cannot be read.
    std::int64_t readSample(const ParsedAviStream& stream, std::int64_t sample, std::uint8_t* buffer,
                            std::size_t capacity) const;
    // Reads audio from sample `firstSample` (in units of the sample size) across chunks; the
    // bytes gathered.
    std::size_t readAudio(ParsedAviStream& stream, std::uint32_t blockAlign, std::int64_t firstSample,
                          std::uint8_t* buffer, std::size_t wanted) const;

    // The video duration from the headers alone (no index); see IAVIParser::GetDuration.
    static std::uint64_t quickDuration(const std::filesystem::path& path);
    // The stream headers from the headers alone (no index); empty when they cannot be read.
    static std::vector<tachy::avi::AviStreamHeader> quickStreamHeaders(const std::filesystem::path& path);

private:
    // A "movi" list: the position of its list type and the list's size.
    struct MovieList {
        std::uint64_t fourCC = 0;
        std::uint32_t size = 0;
    };

    std::int32_t parse();
    bool findRiff(std::uint64_t& riffOffset) const;
    bool readStreamLists(std::uint64_t& position);
    bool readStreamList(std::uint64_t& position, int ordinal);
    void findSuperIndex(ParsedAviStream& stream, std::uint64_t position, std::uint64_t listEnd) const;
    void walkTopLevel(std::uint64_t position, std::uint64_t end, bool firstPart);
    void walkExtendedParts();
    bool buildIndex();

    BoundedFile m_file;
    std::uint64_t m_riffEnd = 0;
    tachy::avi::MainAviHeader m_main{};
    std::vector<ParsedAviStream> m_streams;
    bool m_hasIndex = false;
    bool m_indexRebuilt = false;
    std::vector<MovieList> m_movies;  // the first part's, then one per "AVIX" part
    std::vector<tachy::avi::IndexEntry> m_rawIndex;
};

} // namespace util
