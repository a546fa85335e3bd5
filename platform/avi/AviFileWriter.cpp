#include "platform/avi/AviFileWriter.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace tachy {
namespace {

// RIFF sizes are 32-bit; stop well before the limit rather than write a file no one can read.
constexpr std::uint64_t kLargestFile = 0xFFFF0000ULL;

const char* suffixFor(avi::FourCC type) {
    if (type == avi::kVids) {
        return "dc";
    }
    if (type == avi::kAuds) {
        return "wb";
    }
    return "tx";
}

struct ChunkHeader {
    avi::FourCC id;
    std::uint32_t size;
};

} // namespace

AviFileWriter::~AviFileWriter() {
    if (isOpen()) {
        close();
    }
}

bool AviFileWriter::open(const std::filesystem::path& path) {
    if (isOpen()) {
        close();
    }
    m_failed = false;
    m_headersWritten = false;
    m_streams.clear();
    m_index.clear();
    m_position = 0;
    m_mainHeaderOffset = 0;
    m_moviFourCCOffset = 0;
    m_file.reset(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    return isOpen();
}

int AviFileWriter::addStream(const avi::AviStreamHeader& header, const void* format,
                             std::size_t formatSize) {
    if (!isOpen() || m_headersWritten || m_streams.size() >= 10 || formatSize > 0xFFFF) {
        return -1;
    }
    Stream stream;
    stream.header = header;
    stream.header.dwLength = 0;
    stream.header.dwSuggestedBufferSize = 0;
    stream.format.assign(static_cast<const char*>(format), formatSize);
    const int ordinal = static_cast<int>(m_streams.size());
    stream.chunkId = avi::streamChunkId(ordinal, suffixFor(header.fccType));
    m_streams.push_back(std::move(stream));
    return ordinal;
}

bool AviFileWriter::append(const void* data, std::size_t size) {
    if (!writeAt(m_position, data, size)) {
        return false;
    }
    m_position += size;
    return true;
}

bool AviFileWriter::writeAt(std::uint64_t offset, const void* data, std::size_t size) {
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = ::pwrite(m_file.get(), bytes, size, static_cast<off_t>(offset));
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            m_failed = true;
            return false;
        }
        bytes += written;
        offset += static_cast<std::uint64_t>(written);
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool AviFileWriter::writeHeaders() {
    std::uint32_t hdrlSize = 4 + 8 + sizeof(avi::MainAviHeader);
    for (const Stream& stream : m_streams) {
        const auto formatSize = static_cast<std::uint32_t>((stream.format.size() + 1) & ~1U);
        hdrlSize += 12 + 8 + sizeof(avi::AviStreamHeader) + 8 + formatSize;
    }
    const ChunkHeader riff{avi::kRiff, 0};
    const avi::FourCC aviForm = avi::kAvi;
    const ChunkHeader hdrl{avi::kList, hdrlSize};
    const avi::FourCC hdrlType = avi::kHdrl;
    const ChunkHeader avih{avi::kAvih, sizeof(avi::MainAviHeader)};
    avi::MainAviHeader main{};
    main.dwStreams = static_cast<std::uint32_t>(m_streams.size());
    bool ok = append(&riff, sizeof riff) && append(&aviForm, 4) && append(&hdrl, sizeof hdrl) &&
              append(&hdrlType, 4) && append(&avih, sizeof avih);
    m_mainHeaderOffset = static_cast<std::uint32_t>(m_position);
    ok = ok && append(&main, sizeof main);
    for (Stream& stream : m_streams) {
        const auto formatSize = static_cast<std::uint32_t>(stream.format.size());
        const std::uint32_t padded = (formatSize + 1) & ~1U;
        const ChunkHeader strl{avi::kList,
                               static_cast<std::uint32_t>(4 + 8 + sizeof(avi::AviStreamHeader) + 8 + padded)};
        const avi::FourCC strlType = avi::kStrl;
        const ChunkHeader strh{avi::kStrh, sizeof(avi::AviStreamHeader)};
        const ChunkHeader strf{avi::kStrf, formatSize};
        ok = ok && append(&strl, sizeof strl) && append(&strlType, 4) && append(&strh, sizeof strh);
        stream.headerOffset = static_cast<std::uint32_t>(m_position);
        ok = ok && append(&stream.header, sizeof stream.header) && append(&strf, sizeof strf) &&
             append(stream.format.data(), formatSize);
        if (padded != formatSize) {
            const char zero = 0;
            ok = ok && append(&zero, 1);
        }
    }
    const ChunkHeader movi{avi::kList, 4};
    ok = ok && append(&movi, sizeof movi);
    m_moviFourCCOffset = static_cast<std::uint32_t>(m_position);
    const avi::FourCC moviType = avi::kMovi;
    ok = ok && append(&moviType, 4);
    m_headersWritten = ok;
    return ok;
}

bool AviFileWriter::appendChunk(Stream& stream, const void* data, std::uint32_t size,
                                std::uint32_t flags) {
    if (m_position + 8 + size + 1 + 16 * (m_index.size() + 1) > kLargestFile) {
        m_failed = true;
        return false;
    }
    const ChunkHeader header{stream.chunkId, size};
    m_index.push_back({stream.chunkId, flags, static_cast<std::uint32_t>(m_position), size});
    bool ok = append(&header, sizeof header) && (size == 0 || append(data, size));
    if (size % 2 != 0) {
        const char zero = 0;
        ok = ok && append(&zero, 1);
    }
    stream.chunks += 1;
    stream.bytes += size;
    stream.largestChunk = std::max(stream.largestChunk, size);
    return ok;
}

std::int64_t AviFileWriter::nextSample(int stream) const {
    if (stream < 0 || static_cast<std::size_t>(stream) >= m_streams.size()) {
        return -1;
    }
    return m_streams[static_cast<std::size_t>(stream)].chunks;
}

bool AviFileWriter::setStreamRate(int stream, std::uint32_t scale, std::uint32_t rate) {
    if (!isOpen() || stream < 0 || static_cast<std::size_t>(stream) >= m_streams.size() ||
        scale == 0 || rate == 0) {
        return false;
    }
    avi::AviStreamHeader& header = m_streams[static_cast<std::size_t>(stream)].header;
    header.dwScale = scale;
    header.dwRate = rate;
    return true;
}

bool AviFileWriter::write(int streamIndex, std::int64_t sample, const void* data, std::size_t size,
                          std::uint32_t flags) {
    if (!isOpen() || m_failed || streamIndex < 0 ||
        static_cast<std::size_t>(streamIndex) >= m_streams.size() || size > 0x7FFFFFFF ||
        (size > 0 && data == nullptr)) {
        return false;
    }
    if (!m_headersWritten && !writeHeaders()) {
        return false;
    }
    Stream& stream = m_streams[static_cast<std::size_t>(streamIndex)];
    if (stream.header.dwSampleSize == 0) {
        if (sample < stream.chunks) {
            return false;
        }
        while (stream.chunks < sample) {
            if (!appendChunk(stream, nullptr, 0, 0)) {
                return false;
            }
        }
    }
    return appendChunk(stream, data, static_cast<std::uint32_t>(size), flags);
}

bool AviFileWriter::patchHeaders() {
    const auto fileEnd = static_cast<std::uint32_t>(m_position);
    const std::uint32_t riffSize = fileEnd - 8;
    bool ok = writeAt(4, &riffSize, 4);

    avi::MainAviHeader main{};
    main.dwStreams = static_cast<std::uint32_t>(m_streams.size());
    main.dwFlags = m_writeIndex ? avi::kAviHasIndex : 0;
    for (Stream& stream : m_streams) {
        stream.header.dwLength = stream.header.dwSampleSize == 0
                                     ? static_cast<std::uint32_t>(stream.chunks)
                                     : static_cast<std::uint32_t>(stream.bytes / stream.header.dwSampleSize);
        stream.header.dwSuggestedBufferSize = stream.largestChunk;
        main.dwSuggestedBufferSize = std::max(main.dwSuggestedBufferSize, stream.largestChunk);
        if (stream.header.fccType == avi::kVids && main.dwTotalFrames == 0) {
            main.dwTotalFrames = stream.header.dwLength;
            main.dwWidth = static_cast<std::uint32_t>(stream.header.rcFrame.right);
            main.dwHeight = static_cast<std::uint32_t>(stream.header.rcFrame.bottom);
            if (stream.header.dwRate != 0) {
                main.dwMicroSecPerFrame = static_cast<std::uint32_t>(
                    1000000ULL * stream.header.dwScale / stream.header.dwRate);
            }
        }
        ok = ok && writeAt(stream.headerOffset, &stream.header, sizeof stream.header);
    }
    return ok && writeAt(m_mainHeaderOffset, &main, sizeof main);
}

bool AviFileWriter::close() {
    if (!isOpen()) {
        return false;
    }
    bool ok = !m_failed && (m_headersWritten || writeHeaders());
    if (ok) {
        const std::uint32_t moviSize = static_cast<std::uint32_t>(m_position) - m_moviFourCCOffset;
        ok = writeAt(m_moviFourCCOffset - 4, &moviSize, 4);
    }
    if (ok && m_writeIndex) {
        const std::uint32_t base = m_offsets == IndexOffsets::RelativeToMovi ? m_moviFourCCOffset : 0;
        for (avi::IndexEntry& entry : m_index) {
            entry.dwChunkOffset -= base;
        }
        const ChunkHeader idx1{avi::kIdx1, static_cast<std::uint32_t>(m_index.size() * 16)};
        ok = append(&idx1, sizeof idx1) && append(m_index.data(), m_index.size() * 16);
    }
    ok = ok && patchHeaders();
    m_file.reset();
    return ok;
}

} // namespace tachy
