#include "util/avi/ParsedAviFile.h"

#include "util/avi/AviErrors.h"

#include <algorithm>
#include <array>

namespace util {
namespace avi = tachy::avi;

namespace {

// Caps on what a damaged header can make the reader allocate.
constexpr std::uint32_t kMaxStreams = 64;
constexpr std::uint32_t kMaxHeaderChunk = 1 << 20;

bool endsWith(avi::FourCC id, char a, char b) {
    return static_cast<char>((id >> 16) & 0xFF) == a && static_cast<char>(id >> 24) == b;
}

const char* suffixFor(avi::FourCC type) {
    if (type == avi::kVids) {
        return "dc";
    }
    if (type == avi::kAuds) {
        return "wb";
    }
    if (type == avi::kTxts) {
        return "tx";
    }
    return nullptr;
}

// The key flag a video chunk gets from its first slice: 0x10 for 0x65 (IDR), 0 for 0x41.
std::uint32_t scanKeyFlag(const std::uint8_t* bytes, std::size_t size) {
    for (std::size_t i = 0; i <= 58 && i + 4 < size; ++i) {
        if (bytes[i] == 0 && bytes[i + 1] == 0 && bytes[i + 2] == 0 && bytes[i + 3] == 1) {
            if (bytes[i + 4] == 0x41) {
                return 0;
            }
            if (bytes[i + 4] == 0x65) {
                return avi::kIndexKeyFrame;
            }
        }
    }
    return 0;
}

} // namespace

std::int64_t ParsedAviStream::sampleToTime(std::int64_t sample) const {
    if (header.dwRate == 0) {
        return -1;
    }
    return sample * static_cast<std::int64_t>(header.dwScale) * 1000 /
           static_cast<std::int64_t>(header.dwRate);
}

std::int64_t ParsedAviStream::timeToSample(std::int64_t timeMs) const {
    if (header.dwScale == 0) {
        return -1;
    }
    const std::int64_t sample = timeMs * static_cast<std::int64_t>(header.dwRate) /
                                (static_cast<std::int64_t>(header.dwScale) * 1000);
    if (sample < static_cast<std::int64_t>(start())) {
        return -1;
    }
    return std::min<std::int64_t>(sample, static_cast<std::int64_t>(start()) + length());
}

std::int32_t ParsedAviFile::open(const std::filesystem::path& path) {
    *this = ParsedAviFile();
    if (!m_file.open(path)) {
        return kAviErrFileOpen;
    }
    const std::int32_t result = parse();
    if (result != kAviOk) {
        *this = ParsedAviFile();
    }
    return result;
}

bool ParsedAviFile::findRiff(std::uint64_t& riffOffset) const {
    std::array<std::uint8_t, kMinimumFileSize> head{};
    if (!m_file.readAt(0, head.data(), head.size())) {
        return false;
    }
    for (std::uint64_t offset = 0; offset <= kLastRiffOffset; ++offset) {
        avi::FourCC id = 0;
        avi::FourCC form = 0;
        std::memcpy(&id, head.data() + offset, 4);
        std::memcpy(&form, head.data() + offset + 8, 4);
        if (id == avi::kRiff && form == avi::kAvi) {
            riffOffset = offset;
            return true;
        }
    }
    return false;
}

std::int32_t ParsedAviFile::parse() {
    std::uint64_t riff = 0;
    if (m_file.size() < kMinimumFileSize || !findRiff(riff)) {
        return kAviErrError;
    }
    std::uint32_t riffSize = 0;
    m_file.readLE32(riff + 4, riffSize);
    m_riffEnd = riff + 8 + riffSize;

    std::uint32_t listId = 0;
    std::uint32_t mainSize = 0;
    if (!m_file.readLE32(riff + 12, listId) || listId != avi::kList ||
        !m_file.readLE32(riff + 24 + 4, mainSize) || mainSize > kMaxHeaderChunk) {
        return kAviErrError;
    }
    const std::uint64_t mainBody = riff + 32;
    std::string mainBytes(mainSize, '\0');
    if (!m_file.readAt(mainBody, mainBytes.data(), mainSize)) {
        return kAviErrError;
    }
    std::memcpy(&m_main, mainBytes.data(), std::min<std::size_t>(mainSize, sizeof m_main));
    if (m_main.dwStreams == 0 || m_main.dwStreams > kMaxStreams) {
        return kAviErrError;
    }
    std::uint64_t position = mainBody + mainSize;
    for (std::uint32_t ordinal = 0; ordinal < m_main.dwStreams; ++ordinal) {
        if (!readStreamList(position, static_cast<int>(ordinal))) {
            return kAviErrError;
        }
    }
    walkTopLevel(position);
    if (m_hasIndex) {
        distributeIndex(m_rawIndex);
        m_rawIndex.clear();
        m_rawIndex.shrink_to_fit();
    } else if (m_hasMovi) {
        rebuildIndex();
    } else {
        return kAviErrError;
    }
    return kAviOk;
}

bool ParsedAviFile::readStreamList(std::uint64_t& position, int ordinal) {
    std::uint32_t id = 0;
    std::uint32_t size = 0;
    // JUNK chunks may stand before the list.
    for (;;) {
        if (!m_file.readLE32(position, id) || !m_file.readLE32(position + 4, size)) {
            return false;
        }
        if (id != avi::kJunk) {
            break;
        }
        position += 8 + static_cast<std::uint64_t>(size);
    }
    position += 12;  // list header: id, size, list type
    ParsedAviStream stream;
    stream.ordinal = ordinal;
    for (std::string* body : {&stream.headerBytes, &stream.formatBytes}) {
        std::uint32_t chunkSize = 0;
        if (!m_file.readLE32(position + 4, chunkSize) || chunkSize > kMaxHeaderChunk) {
            return false;
        }
        body->resize(chunkSize);
        if (!m_file.readAt(position + 8, body->data(), chunkSize)) {
            return false;
        }
        // Chunks are padded to an even size; the pad byte is not part of the next chunk.
        position += 8 + static_cast<std::uint64_t>(chunkSize) + (chunkSize & 1U);
    }
    std::memcpy(&stream.header, stream.headerBytes.data(),
                std::min(stream.headerBytes.size(), sizeof stream.header));
    if (const char* suffix = suffixFor(stream.header.fccType)) {
        stream.chunkId = avi::streamChunkId(ordinal % 10, suffix);
    }
    stream.header.dwSuggestedBufferSize = 0;
    m_streams.push_back(std::move(stream));
    return true;
}

void ParsedAviFile::walkTopLevel(std::uint64_t position) {
    while (position < m_riffEnd) {
        std::uint32_t id = 0;
        std::uint32_t size = 0;
        if (!m_file.readLE32(position, id) || !m_file.readLE32(position + 4, size)) {
            return;  // the file ends early: keep what was found
        }
        const std::uint64_t body = position + 8;
        const std::uint64_t next = body + size + (size & 1U);
        if (id == avi::kList) {
            std::uint32_t type = 0;
            if (m_file.readLE32(body, type) && type == avi::kMovi && !m_hasMovi) {
                m_hasMovi = true;
                m_moviFourCC = body;
                m_moviData = body + 4;
                m_moviSize = size;
            }
        } else if (id == avi::kIdx1) {
            // A cut index keeps the entries that are there.
            const std::uint64_t available = m_file.size() > body ? m_file.size() - body : 0;
            const std::uint64_t bytes = std::min<std::uint64_t>(size, available) / 16 * 16;
            m_rawIndex.resize(static_cast<std::size_t>(bytes / 16));
            m_file.readAt(body, m_rawIndex.data(), static_cast<std::size_t>(bytes));
            m_hasIndex = true;
        } else if (id != avi::kJunk) {
            return;
        }
        position = next;
    }
}

ParsedAviStream* ParsedAviFile::streamForChunk(avi::FourCC id) {
    for (ParsedAviStream& stream : m_streams) {
        if (stream.chunkId != 0 && stream.chunkId == id) {
            return &stream;
        }
    }
    return nullptr;
}

void ParsedAviFile::distributeIndex(const std::vector<avi::IndexEntry>& entries) {
    if (entries.empty()) {
        return;
    }
    // Offsets below the movie data are relative to the "movi" FOURCC.
    const std::uint64_t base = entries.front().dwChunkOffset < m_moviData ? m_moviFourCC : 0;
    for (avi::IndexEntry entry : entries) {
        ParsedAviStream* stream = streamForChunk(entry.ckid);
        if (stream == nullptr) {
            continue;
        }
        entry.dwChunkOffset = static_cast<std::uint32_t>(entry.dwChunkOffset + base);
        stream->index.push_back(entry);
        stream->largestChunk = std::max(stream->largestChunk, entry.dwChunkLength);
    }
}

void ParsedAviFile::rebuildIndex() {
    m_indexRebuilt = true;
    std::uint64_t position = m_moviData;
    std::int64_t remaining = m_moviSize;
    while (remaining > 4) {
        avi::IndexEntry entry{};
        entry.dwChunkOffset = static_cast<std::uint32_t>(position);
        if (!m_file.readLE32(position, entry.ckid) ||
            !m_file.readLE32(position + 4, entry.dwChunkLength) || entry.dwChunkLength == 0) {
            return;
        }
        position += 8;
        remaining -= 8;
        const std::uint32_t length = entry.dwChunkLength;
        ParsedAviStream* stream = streamForChunk(entry.ckid);
        if (stream == nullptr && !endsWith(entry.ckid, 't', 's')) {
            continue;  // unknown chunk: only its header is consumed
        }
        if (stream != nullptr && endsWith(entry.ckid, 'd', 'c')) {
            std::uint8_t head[64] = {};
            const auto want = static_cast<std::size_t>(
                std::min<std::uint64_t>({64, length, m_file.size() > position ? m_file.size() - position : 0}));
            if (m_file.readAt(position, head, want)) {
                entry.dwFlags = scanKeyFlag(head, want);
            }
        }
        position += length;
        remaining -= length;
        // A writer that pads odd chunks leaves a zero byte, which no chunk id starts with.
        std::uint8_t pad = 1;
        if ((length & 1U) != 0 && m_file.readAt(position, &pad, 1) && pad == 0) {
            position += 1;
            remaining -= 1;
        }
        if (stream != nullptr) {
            stream->index.push_back(entry);
            stream->largestChunk = std::max(stream->largestChunk, length);
        }
    }
}

const ParsedAviStream* ParsedAviFile::findStream(avi::FourCC type, int nth) const {
    int seen = 0;
    for (const ParsedAviStream& stream : m_streams) {
        if (stream.header.fccType == type && seen++ == nth) {
            return &stream;
        }
    }
    return nullptr;
}

std::int64_t ParsedAviFile::readSample(const ParsedAviStream& stream, std::int64_t sample,
                                       std::uint8_t* buffer, std::size_t capacity) const {
    const std::int64_t relative = sample - static_cast<std::int64_t>(stream.start());
    if (relative < 0 || relative >= static_cast<std::int64_t>(stream.index.size())) {
        return -1;
    }
    const avi::IndexEntry& entry = stream.index[static_cast<std::size_t>(relative)];
    const std::size_t length = std::min<std::size_t>(entry.dwChunkLength, capacity);
    if (buffer == nullptr) {
        return entry.dwChunkLength;
    }
    if (!m_file.readAt(static_cast<std::uint64_t>(entry.dwChunkOffset) + 8, buffer, length)) {
        return -1;
    }
    return static_cast<std::int64_t>(length);
}

std::size_t ParsedAviFile::readAudio(ParsedAviStream& stream, std::uint32_t blockAlign,
                                     std::int64_t firstSample, std::uint8_t* buffer,
                                     std::size_t wanted) const {
    if (stream.header.dwSampleSize == 0) {
        stream.header.dwSampleSize = blockAlign;
    }
    const std::uint32_t sampleSize = stream.header.dwSampleSize;
    const std::uint32_t largest = stream.largestChunk;
    if (sampleSize == 0 || largest < sampleSize || firstSample < 0) {
        return 0;
    }
    const std::uint64_t samplesPerChunk = largest / sampleSize;
    auto chunk = static_cast<std::uint64_t>(firstSample) / samplesPerChunk;
    std::uint64_t offset = sampleSize * (static_cast<std::uint64_t>(firstSample) % samplesPerChunk);
    std::size_t gathered = 0;
    while (wanted > 0 && chunk < stream.index.size()) {
        const avi::IndexEntry& entry = stream.index[static_cast<std::size_t>(chunk)];
        // Every chunk is taken to hold `largest` bytes, but never read past its own end, so
        // the next chunk's header never ends up in the sound.
        const std::uint64_t available = entry.dwChunkLength > offset ? entry.dwChunkLength - offset : 0;
        const auto take = static_cast<std::size_t>(std::min<std::uint64_t>(wanted, available));
        if (take > 0 &&
            !m_file.readAt(static_cast<std::uint64_t>(entry.dwChunkOffset) + 8 + offset,
                           buffer + gathered, take)) {
            break;
        }
        gathered += take;
        wanted -= take;
        offset = 0;
        ++chunk;
    }
    return gathered;
}

} // namespace util

namespace util {

std::uint64_t ParsedAviFile::quickDuration(const std::filesystem::path& path) {
    ParsedAviFile reader;
    if (!reader.m_file.open(path)) {
        // AVIERR_FILEOPEN sign-extended, as the catalogue expects.
        return static_cast<std::uint64_t>(static_cast<std::int64_t>(kAviErrFileOpen));
    }
    std::uint64_t riff = 0;
    std::uint32_t mainSize = 0;
    avi::MainAviHeader main{};
    if (reader.m_file.size() < kMinimumFileSize || !reader.findRiff(riff) ||
        !reader.m_file.readLE32(riff + 28, mainSize) ||
        !reader.m_file.readAt(riff + 32, &main, std::min<std::size_t>(mainSize, sizeof main))) {
        return 0;
    }
    std::uint64_t position = riff + 32 + mainSize;
    for (std::uint32_t i = 0; i < std::min(main.dwStreams, kMaxStreams); ++i) {
        std::uint32_t id = 0;
        std::uint32_t size = 0;
        avi::AviStreamHeader header{};
        if (!reader.m_file.readLE32(position, id) || !reader.m_file.readLE32(position + 4, size)) {
            return 0;
        }
        if (id == avi::kJunk) {
            position += 8 + static_cast<std::uint64_t>(size);
            --i;
            continue;
        }
        if (!reader.m_file.readAt(position + 20, &header, sizeof header)) {
            return 0;
        }
        if (header.fccType == avi::kVids) {
            if (header.dwRate == 0) {
                return 0;
            }
            return static_cast<std::uint64_t>(header.dwScale) * header.dwLength * 1000 / header.dwRate;
        }
        if (header.fccType != avi::kAuds && header.fccType != avi::kTxts) {
            return 0;
        }
        position += 8 + static_cast<std::uint64_t>(size) + (size & 1U);
    }
    return 0;
}

std::vector<avi::AviStreamHeader> ParsedAviFile::quickStreamHeaders(const std::filesystem::path& path) {
    ParsedAviFile reader;
    std::uint64_t riff = 0;
    std::uint32_t mainSize = 0;
    avi::MainAviHeader main{};
    if (!reader.m_file.open(path) || reader.m_file.size() < kMinimumFileSize || !reader.findRiff(riff) ||
        !reader.m_file.readLE32(riff + 28, mainSize) ||
        !reader.m_file.readAt(riff + 32, &main, std::min<std::size_t>(mainSize, sizeof main))) {
        return {};
    }
    std::vector<avi::AviStreamHeader> headers;
    std::uint64_t position = riff + 32 + mainSize;
    while (headers.size() < std::min(main.dwStreams, kMaxStreams)) {
        std::uint32_t id = 0;
        std::uint32_t size = 0;
        avi::AviStreamHeader header{};
        if (!reader.m_file.readLE32(position, id) || !reader.m_file.readLE32(position + 4, size)) {
            return {};
        }
        if (id != avi::kJunk) {
            if (!reader.m_file.readAt(position + 20, &header, sizeof header)) {
                return {};
            }
            headers.push_back(header);
        }
        position += 8 + static_cast<std::uint64_t>(size) + (id == avi::kJunk ? 0 : (size & 1U));
    }
    return headers;
}

} // namespace util
