#include "util/avi/AviIndexBuilder.h"

#include <algorithm>
#include <limits>

namespace util {
namespace avi = tachy::avi;

namespace {

constexpr avi::FourCC kRec = avi::fourCC("rec ");
// OpenDML index types (bIndexType): an index of standard indexes, and an index of chunks.
constexpr std::uint8_t kIndexOfIndexes = 0x00;
constexpr std::uint8_t kIndexOfChunks = 0x01;
// A standard-index entry's size with this bit set is a frame that is not a key frame.
constexpr std::uint32_t kDeltaFrame = 0x80000000U;
// Both index kinds start their entries 24 bytes into the chunk body.
constexpr std::uint64_t kIndexHeaderSize = 24;
// How much of a video chunk the key-frame scan reads first, and at most (a first frame may
// carry a long SEI message before its slice).
constexpr std::uint32_t kKeyScanFirst = 4096;
constexpr std::uint32_t kKeyScanMost = 256 << 10;

struct IndexHeader {
    std::uint16_t longsPerEntry = 0;
    std::uint8_t subType = 0;
    std::uint8_t type = 0;
    std::uint32_t entriesInUse = 0;
};

bool readIndexHeader(const BoundedFile& file, std::uint64_t body, std::uint32_t size,
                     IndexHeader& header) {
    if (size < kIndexHeaderSize || !file.readAt(body, &header.longsPerEntry, 2) ||
        !file.readAt(body + 2, &header.subType, 1) || !file.readAt(body + 3, &header.type, 1) ||
        !file.readLE32(body + 4, header.entriesInUse) || header.longsPerEntry == 0) {
        return false;
    }
    // Never more entries than the chunk holds.
    const std::uint64_t room = (size - kIndexHeaderSize) / (4ULL * header.longsPerEntry);
    header.entriesInUse = static_cast<std::uint32_t>(std::min<std::uint64_t>(header.entriesInUse, room));
    return true;
}

} // namespace

AviIndexBuilder::AviIndexBuilder(const BoundedFile& file, std::vector<ParsedAviStream>& streams)
    : m_file(file), m_streams(streams) {}

bool AviIndexBuilder::isChunkId(avi::FourCC id) {
    for (int i = 0; i < 4; ++i) {
        const auto letter = static_cast<std::uint8_t>(id >> (8 * i));
        if (letter < 0x20 || letter > 0x7E) {
            return false;
        }
    }
    return true;
}

ParsedAviStream* AviIndexBuilder::streamForChunk(avi::FourCC id) {
    for (ParsedAviStream& stream : m_streams) {
        if (stream.ownsChunk(id)) {
            return &stream;
        }
    }
    return nullptr;
}

void AviIndexBuilder::append(ParsedAviStream& stream, const avi::IndexEntry& entry) {
    stream.index.push_back(entry);
    stream.largestChunk = std::max(stream.largestChunk, entry.dwChunkLength);
}

bool AviIndexBuilder::distributeIdx1(const std::vector<avi::IndexEntry>& entries, std::uint64_t base) {
    std::vector<bool> filled(m_streams.size());
    for (std::size_t i = 0; i < m_streams.size(); ++i) {
        filled[i] = !m_streams[i].index.empty();
    }
    bool found = false;
    for (avi::IndexEntry entry : entries) {
        ParsedAviStream* stream = streamForChunk(entry.ckid);
        if (stream == nullptr || filled[static_cast<std::size_t>(stream - m_streams.data())]) {
            continue;
        }
        entry.dwChunkOffset = static_cast<std::uint32_t>(entry.dwChunkOffset + base);
        append(*stream, entry);
        found = true;
    }
    return found;
}

bool AviIndexBuilder::readOdmlIndexes() {
    bool found = false;
    for (ParsedAviStream& stream : m_streams) {
        if (stream.superIndex != 0 && stream.chunkId != 0 && readSuperIndex(stream)) {
            found = true;
        }
    }
    return found;
}

bool AviIndexBuilder::readSuperIndex(ParsedAviStream& stream) {
    IndexHeader header;
    if (!readIndexHeader(m_file, stream.superIndex, stream.superIndexSize, header)) {
        return false;
    }
    if (header.type == kIndexOfChunks) {
        return readStandardIndex(stream, stream.superIndex, stream.superIndexSize);
    }
    if (header.type != kIndexOfIndexes || header.longsPerEntry != 4) {
        return false;
    }
    bool found = false;
    for (std::uint32_t i = 0; i < header.entriesInUse; ++i) {
        // Entry: offset of the "ix##" chunk (64 bits), its size, the duration it covers.
        const std::uint64_t entry = stream.superIndex + kIndexHeaderSize + 16ULL * i;
        std::uint64_t chunk = 0;
        std::uint32_t size = 0;
        if (!m_file.readAt(entry, &chunk, 8) || chunk == 0 || !m_file.readLE32(chunk + 4, size)) {
            continue;  // an unused slot, or a standard index the file no longer holds
        }
        found = readStandardIndex(stream, chunk + 8, size) || found;
    }
    return found;
}

bool AviIndexBuilder::readStandardIndex(ParsedAviStream& stream, std::uint64_t body, std::uint32_t size) {
    IndexHeader header;
    std::uint64_t base = 0;
    if (!readIndexHeader(m_file, body, size, header) || header.type != kIndexOfChunks ||
        header.longsPerEntry < 2 || !m_file.readAt(body + 12, &base, 8)) {
        return false;
    }
    const std::uint64_t stride = 4ULL * header.longsPerEntry;
    bool found = false;
    for (std::uint32_t i = 0; i < header.entriesInUse; ++i) {
        // Entry: payload offset from the base, payload size with the delta-frame bit.
        std::uint32_t offset = 0;
        std::uint32_t sized = 0;
        const std::uint64_t at = body + kIndexHeaderSize + stride * i;
        if (!m_file.readLE32(at, offset) || !m_file.readLE32(at + 4, sized)) {
            break;
        }
        const std::uint64_t payload = base + offset;
        const std::uint32_t length = sized & ~kDeltaFrame;
        // Offsets are kept in 32 bits, as in "idx1": a chunk beyond 4 GiB cannot be indexed, and
        // a chunk the file does not hold whole cannot be read.
        if (payload < 8 || payload - 8 > std::numeric_limits<std::uint32_t>::max() ||
            !m_file.contains(payload, length)) {
            break;
        }
        avi::IndexEntry entry{};
        entry.ckid = stream.chunkId;
        entry.dwFlags = (sized & kDeltaFrame) != 0 ? 0 : avi::kIndexKeyFrame;
        entry.dwChunkOffset = static_cast<std::uint32_t>(payload - 8);
        entry.dwChunkLength = length;
        append(stream, entry);
        found = true;
    }
    return found;
}

std::uint32_t AviIndexBuilder::scanKeyFlag(const ParsedAviStream& stream, std::uint64_t payload,
                                           std::uint32_t length) {
    // The head is read in two steps, the second only when the first ended before any slice;
    // the scratch buffer is kept between chunks.
    std::size_t read = 0;
    for (const std::uint32_t window : {kKeyScanFirst, kKeyScanMost}) {
        const auto want = static_cast<std::size_t>(std::min(window, length));
        if (want <= read) {
            break;  // the chunk was read whole already
        }
        if (m_head.size() < want) {
            m_head.resize(want);
        }
        if (!m_file.readAt(payload + read, m_head.data() + read, want - read)) {
            return 0;
        }
        read = want;
        const int decision = NalUnits::keyFrameDecision(m_head.data(), read, stream.codec);
        if (decision >= 0) {
            return decision == 1 ? avi::kIndexKeyFrame : 0;
        }
    }
    return 0;
}

void AviIndexBuilder::walkMovie(std::uint64_t begin, std::uint64_t end) {
    std::uint64_t position = begin;
    while (position + 8 <= end) {
        avi::IndexEntry entry{};
        if (!m_file.readLE32(position, entry.ckid) || !m_file.readLE32(position + 4, entry.dwChunkLength)) {
            return;  // the file ends here
        }
        const std::uint64_t body = position + 8;
        const std::uint32_t length = entry.dwChunkLength;
        std::uint32_t listType = 0;
        if (entry.ckid == avi::kList && m_file.readLE32(body, listType) && listType == kRec) {
            position = body + 4;  // the chunks of a "rec " list are read as if they stood alone
            continue;
        }
        ParsedAviStream* stream = streamForChunk(entry.ckid);
        if (stream == nullptr && !isChunkId(entry.ckid)) {
            if (length == 0) {
                return;  // zeroed space after the last chunk
            }
            position = body;  // damaged bytes: only the header is consumed
            continue;
        }
        if (!m_file.contains(body, length)) {
            // The chunk runs past the file: a copy cut short keeps every whole frame before the
            // cut and the sound up to the cut; a frame missing its tail is not handed out.
            if (stream != nullptr && stream->header.fccType == avi::kAuds && m_file.size() > body) {
                entry.dwChunkOffset = static_cast<std::uint32_t>(position);
                entry.dwChunkLength = static_cast<std::uint32_t>(m_file.size() - body);
                append(*stream, entry);
            }
            return;
        }
        if (stream != nullptr && body - 8 <= std::numeric_limits<std::uint32_t>::max()) {
            entry.dwChunkOffset = static_cast<std::uint32_t>(position);
            if (stream->header.fccType == avi::kVids) {
                entry.dwFlags = scanKeyFlag(*stream, body, length);
            }
            append(*stream, entry);
        }
        position = body + length;
        // A writer that pads odd chunks leaves a zero byte, which no chunk id starts with.
        std::uint8_t pad = 1;
        if ((length & 1U) != 0 && m_file.readAt(position, &pad, 1) && pad == 0) {
            position += 1;
        }
    }
}

} // namespace util
