#pragma once
// Fills the index of every stream of an open AVI file from one of three sources: the "idx1"
// entries, the OpenDML standard indexes ("ix##") named by each stream's super-index, or a walk
// over the movie data that reads each chunk's header and skips it by its size.

#include "util/avi/BoundedFile.h"
#include "util/avi/ParsedAviFile.h"

#include <cstdint>
#include <vector>

namespace util {

class AviIndexBuilder {
public:
    AviIndexBuilder(const BoundedFile& file, std::vector<ParsedAviStream>& streams);

    // Four printable characters: a chunk id some writer meant, as opposed to damaged bytes.
    static bool isChunkId(tachy::avi::FourCC id);

    // Appends the "idx1" entries to their streams, adding `base` to each offset; streams that
    // already have entries are left as they are. True when any entry found its stream.
    bool distributeIdx1(const std::vector<tachy::avi::IndexEntry>& entries, std::uint64_t base);

    // Reads the standard indexes of every stream that has a super-index. True when any stream
    // got entries from them.
    bool readOdmlIndexes();

    // Walks the movie data in [begin, end) and appends each stream chunk to its stream; video
    // chunks get their key flag from the NAL unit types. "LIST rec " is entered; "JUNK",
    // "ix##", other lists and unknown chunks are skipped by their size. The walk stops at a
    // chunk whose size runs past the file, so a cut copy keeps every whole chunk before the cut.
    void walkMovie(std::uint64_t begin, std::uint64_t end);

private:
    ParsedAviStream* streamForChunk(tachy::avi::FourCC id);
    void append(ParsedAviStream& stream, const tachy::avi::IndexEntry& entry);
    bool readSuperIndex(ParsedAviStream& stream);
    bool readStandardIndex(ParsedAviStream& stream, std::uint64_t body, std::uint32_t size);
    std::uint32_t scanKeyFlag(const ParsedAviStream& stream, std::uint64_t payload,
                              std::uint32_t length);

    const BoundedFile& m_file;
    std::vector<ParsedAviStream>& m_streams;
    std::vector<std::uint8_t> m_head;  // the head of the video chunk being scanned
};

} // namespace util
