#include "util/avi/ParsedAviFile.h"

#include "util/avi/AviErrors.h"
#include "util/avi/AviIndexBuilder.h"
#include "util/avi/MulDiv.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace util {
namespace avi = tachy::avi;

namespace {

// Caps on what a damaged header can make the reader allocate.
constexpr std::uint32_t kMaxStreams = 64;
constexpr std::uint32_t kMaxHeaderChunk = 1 << 20;

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

// The chunk id of stream `ordinal`: two digits, then the suffix of its type.
avi::FourCC chunkIdFor(int ordinal, const char* suffix) {
    const char text[4] = {static_cast<char>('0' + ordinal / 10 % 10), static_cast<char>('0' + ordinal % 10),
                          suffix[0], suffix[1]};
    return avi::fourCC(std::string_view(text, 4));
}

} // namespace

bool ParsedAviStream::ownsChunk(avi::FourCC id) const {
    if (chunkId == 0) {
        return false;
    }
    // Uncompressed video ("db") shares the digits of its stream; some writers use it for
    // compressed frames too.
    constexpr avi::FourCC kSuffixMask = 0xFFFF0000U;
    return id == chunkId || (header.fccType == avi::kVids && (id & ~kSuffixMask) == (chunkId & ~kSuffixMask) &&
                             (id & kSuffixMask) == (avi::fourCC("00db") & kSuffixMask));
}

std::int64_t ParsedAviStream::sampleToTime(std::int64_t sample) const {
    if (header.dwRate == 0) {
        return -1;
    }
    return tachy::avi::mulDiv(sample, static_cast<std::int64_t>(header.dwScale) * 1000,
                             header.dwRate);
}

std::int64_t ParsedAviStream::timeToSample(std::int64_t timeMs) const {
    if (header.dwScale == 0) {
        return -1;
    }
    const std::int64_t sample = tachy::avi::mulDiv(timeMs, header.dwRate,
                                                  static_cast<std::int64_t>(header.dwScale) * 1000);
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
    if (!readStreamLists(position)) {
        return kAviErrError;
    }
    // What follows the last stream list inside "hdrl" ("LIST odml", "JUNK") is passed over by
    // the top-level walk like any other list or chunk.
    walkTopLevel(position, m_riffEnd, true);
    walkExtendedParts();
    const bool indexed = buildIndex();
    m_rawIndex.clear();
    m_rawIndex.shrink_to_fit();
    return indexed ? kAviOk : kAviErrError;
}

bool ParsedAviFile::readStreamLists(std::uint64_t& position) {
    while (m_streams.size() < m_main.dwStreams) {
        std::uint32_t id = 0;
        std::uint32_t size = 0;
        std::uint32_t type = 0;
        if (!m_file.readLE32(position, id) || !m_file.readLE32(position + 4, size)) {
            return false;
        }
        if (id == avi::kList && m_file.readLE32(position + 8, type) && type == avi::kStrl) {
            if (!readStreamList(position, static_cast<int>(m_streams.size()))) {
                return false;
            }
            continue;
        }
        // "JUNK" (taken without padding, as the recorder writes it) and any other chunk or
        // list between the stream lists are passed over by their size.
        position += 8 + static_cast<std::uint64_t>(size) + (id == avi::kJunk ? 0 : (size & 1U));
    }
    return true;
}

bool ParsedAviFile::readStreamList(std::uint64_t& position, int ordinal) {
    std::uint32_t listSize = 0;
    m_file.readLE32(position + 4, listSize);
    const std::uint64_t listEnd = position + 8 + static_cast<std::uint64_t>(listSize) + (listSize & 1U);
    position += 12;  // list header: id, size, list type
    ParsedAviStream stream;
    stream.ordinal = ordinal;
    // The stream header and the stream format are the list's first two chunks.
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
        stream.chunkId = chunkIdFor(ordinal, suffix);
    }
    if (stream.header.fccType == avi::kVids) {
        avi::BitmapInfoHeader format{};
        std::memcpy(&format, stream.formatBytes.data(), std::min(stream.formatBytes.size(), sizeof format));
        stream.codec = NalUnits::codecOf(format.biCompression, stream.header.fccHandler);
    }
    stream.header.dwSuggestedBufferSize = 0;
    // Other chunks ("JUNK", "vprp", "indx", "strn", "strd") may follow up to the list's end;
    // a list size that does not cover the two chunks or runs past the file is not trusted.
    if (listEnd >= position && listEnd <= m_file.size()) {
        findSuperIndex(stream, position, listEnd);
        position = listEnd;
    }
    m_streams.push_back(std::move(stream));
    return true;
}

void ParsedAviFile::findSuperIndex(ParsedAviStream& stream, std::uint64_t position,
                                   std::uint64_t listEnd) const {
    constexpr avi::FourCC kIndx = avi::fourCC("indx");
    std::uint32_t id = 0;
    std::uint32_t size = 0;
    while (position + 8 <= listEnd && m_file.readLE32(position, id) && m_file.readLE32(position + 4, size)) {
        const std::uint64_t body = position + 8;
        if (id == kIndx && body + size <= listEnd) {
            stream.superIndex = body;
            stream.superIndexSize = size;
        }
        position = body + size + (size & 1U);
    }
}

void ParsedAviFile::walkTopLevel(std::uint64_t position, std::uint64_t end, bool firstPart) {
    bool movieSeen = false;
    while (position < end) {
        std::uint32_t id = 0;
        std::uint32_t size = 0;
        if (!m_file.readLE32(position, id) || !m_file.readLE32(position + 4, size)) {
            return;  // the file ends early: keep what was found
        }
        const std::uint64_t body = position + 8;
        const std::uint64_t next = body + size + (size & 1U);
        std::uint32_t type = 0;
        if (id == avi::kList) {
            if (m_file.readLE32(body, type) && type == avi::kMovi && !movieSeen) {
                movieSeen = true;
                m_movies.push_back({body, size});
            }
        } else if (id == avi::kIdx1 && firstPart && !m_hasIndex) {
            // A cut index keeps the entries that are there.
            const std::uint64_t available = m_file.size() > body ? m_file.size() - body : 0;
            const std::uint64_t bytes = std::min<std::uint64_t>(size, available) / 16 * 16;
            m_rawIndex.resize(static_cast<std::size_t>(bytes / 16));
            m_file.readAt(body, m_rawIndex.data(), static_cast<std::size_t>(bytes));
            m_hasIndex = true;
        } else if (id != avi::kJunk && !AviIndexBuilder::isChunkId(id)) {
            return;  // damaged bytes: the walk ends
        }
        position = next;
    }
}

void ParsedAviFile::walkExtendedParts() {
    constexpr avi::FourCC kAvix = avi::fourCC("AVIX");
    std::uint64_t position = m_riffEnd + (m_riffEnd & 1U);
    std::uint32_t id = 0;
    std::uint32_t size = 0;
    std::uint32_t form = 0;
    while (m_file.readLE32(position, id) && m_file.readLE32(position + 4, size) &&
           m_file.readLE32(position + 8, form) && id == avi::kRiff && form == kAvix) {
        const std::uint64_t end = position + 8 + size;
        walkTopLevel(position + 12, end, false);
        position = end + (size & 1U);
    }
}

bool ParsedAviFile::buildIndex() {
    AviIndexBuilder builder(m_file, m_streams);
    // The OpenDML indexes cover every part; "idx1" covers the first part only.
    bool indexed = builder.readOdmlIndexes();
    if (m_hasIndex) {
        // Offsets below the movie data are relative to the "movi" FOURCC.
        const std::uint64_t fourCC = m_movies.empty() ? 0 : m_movies.front().fourCC;
        const std::uint64_t base =
            !m_rawIndex.empty() && m_rawIndex.front().dwChunkOffset < fourCC + 4 ? fourCC : 0;
        if (builder.distributeIdx1(m_rawIndex, base) && !indexed) {
            for (std::size_t part = 1; part < m_movies.size(); ++part) {
                builder.walkMovie(m_movies[part].fourCC + 4, m_movies[part].fourCC + m_movies[part].size);
            }
            indexed = true;
        }
    }
    if (indexed) {
        return true;
    }
    if (m_movies.empty()) {
        return m_hasIndex;
    }
    m_indexRebuilt = true;
    for (const MovieList& movie : m_movies) {
        // A list whose size was never written runs to the end of the file.
        const std::uint64_t end = movie.size == 0 ? m_file.size() : movie.fourCC + movie.size;
        builder.walkMovie(movie.fourCC + 4, end);
    }
    return true;
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
            return static_cast<std::uint64_t>(tachy::avi::mulDiv(
                static_cast<std::int64_t>(header.dwScale) * 1000, header.dwLength, header.dwRate));
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
