#include "engine/RepairAviReader.h"

#include "platform/debug/DebugOut.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace avi = tachy::avi;

namespace {

bool endsWith(avi::FourCC id, const char* suffix) {
    return static_cast<char>((id >> 16) & 0xFF) == suffix[0] && static_cast<char>(id >> 24) == suffix[1];
}

bool startsWith(avi::FourCC id, const char* prefix) {
    return static_cast<char>(id & 0xFF) == prefix[0] && static_cast<char>((id >> 8) & 0xFF) == prefix[1];
}

constexpr std::uint32_t kRecordMarker = 511;
// How much of a video chunk the key-frame decision looks at: enough to pass an encoder's SEI.
constexpr std::size_t kNalHead = 4096;

// The FourCCs under which writers store HEVC, compared without regard to case.
bool isHevcFourCC(avi::FourCC code) {
    char text[4];
    for (int i = 0; i < 4; ++i) {
        text[i] = static_cast<char>(std::toupper(static_cast<unsigned char>((code >> (8 * i)) & 0xFF)));
    }
    const std::string_view name(text, 4);
    return name == "HEVC" || name == "H265" || name == "HVC1" || name == "HEV1" || name == "X265";
}

enum class NalVerdict { Key, NotKey, Undecided };

// What one NAL unit header says about the frame it stands in.
NalVerdict judgeNal(std::uint8_t header, bool hevc) {
    if (hevc) {
        const int type = (header >> 1) & 0x3F;
        if ((type >= 16 && type <= 21) || (type >= 32 && type <= 34)) {
            return NalVerdict::Key;  // an IRAP picture, or the parameter sets that open one
        }
        return type <= 9 ? NalVerdict::NotKey : NalVerdict::Undecided;
    }
    const int type = header & 0x1F;
    if (type == 7 || type == 5) {
        return NalVerdict::Key;  // a sequence parameter set, or an IDR slice
    }
    return type == 1 ? NalVerdict::NotKey : NalVerdict::Undecided;
}

// Length of the start code at `at` (4 or 3 bytes), 0 when none stands there.
std::size_t startCodeAt(const std::uint8_t* bytes, std::size_t size, std::size_t at) {
    if (at + 4 <= size && bytes[at] == 0 && bytes[at + 1] == 0 && bytes[at + 2] == 0 && bytes[at + 3] == 1) {
        return 4;
    }
    if (at + 3 <= size && bytes[at] == 0 && bytes[at + 1] == 0 && bytes[at + 2] == 1) {
        return 3;
    }
    return 0;
}

// A frame is a key frame when, in byte-stream form, a parameter set or a random-access slice
// comes before any other slice (delimiters and SEI are passed over).
bool judgeFrame(const std::uint8_t* bytes, std::size_t size, bool hevc) {
    if (startCodeAt(bytes, size, 0) == 0) {
        return false;
    }
    for (std::size_t at = 0; at < size;) {
        const std::size_t code = startCodeAt(bytes, size, at);
        if (code == 0) {
            ++at;
            continue;
        }
        at += code;
        if (at >= size) {
            break;
        }
        const NalVerdict verdict = judgeNal(bytes[at], hevc);
        if (verdict != NalVerdict::Undecided) {
            return verdict == NalVerdict::Key;
        }
    }
    return false;
}

} // namespace

const char* RepairAviReader::Message(int error) {
    static const char* const kMessages[] = {
        "avilib - No Error",
        "avilib - AVI file size limit reached",
        "avilib - Error opening AVI file",
        "avilib - Error reading from AVI file",
        "avilib - Error writing to AVI file",
        "avilib - Error writing index (file may still be useable)",
        "avilib - Error closing AVI file",
        "avilib - Operation (read/write) not permitted",
        "avilib - Out of memory (malloc failed)",
        "avilib - Not an AVI file",
        "avilib - AVI file has no header list (corrupted?)",
        "avilib - AVI file has no MOVI list (corrupted?)",
        "avilib - AVI file has no video data",
        "avilib - operation needs an index",
    };
    return error >= 0 && error < 14 ? kMessages[error] : "avilib - Unkown Error";
}

bool RepairAviReader::ReadAt(std::uint64_t offset, void* buffer, std::size_t size) {
    if (offset > m_size || size > m_size - offset) {
        return false;
    }
    auto* bytes = static_cast<char*>(buffer);
    while (size > 0) {
        const ssize_t got = ::pread(m_file.get(), bytes, size, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            m_errno = errno;
            return false;
        }
        bytes += got;
        offset += static_cast<std::uint64_t>(got);
        size -= static_cast<std::size_t>(got);
    }
    return true;
}

bool RepairAviReader::WriteAt(std::uint64_t offset, const void* buffer, std::size_t size) {
    const auto* bytes = static_cast<const char*>(buffer);
    while (size > 0) {
        const ssize_t written = ::pwrite(m_file.get(), bytes, size, static_cast<off_t>(offset));
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            m_errno = errno;
            return false;
        }
        bytes += written;
        offset += static_cast<std::uint64_t>(written);
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

int RepairAviReader::Open(const std::filesystem::path& path) {
    m_file.reset(::open(path.c_str(), O_RDWR | O_CLOEXEC));
    struct stat status {};
    if (!m_file.valid() || ::fstat(m_file.get(), &status) != 0) {
        m_errno = errno;
        return kOpen;
    }
    m_size = static_cast<std::uint64_t>(status.st_size);
    if (m_size >= 0xFFFFFFF0ULL) {
        return kSizeLimit;
    }
    avi::FourCC head[3] = {};
    if (!ReadAt(0, head, sizeof head)) {
        return kRead;
    }
    if (head[0] != avi::kRiff || head[2] != avi::kAvi) {
        return kNotAvi;
    }
    std::uint64_t position = 12;
    bool headerList = false;
    std::uint64_t indexBody = 0;
    std::uint32_t indexSize = 0;
    while (position + 8 <= m_size) {
        avi::FourCC id = 0;
        std::uint32_t size = 0;
        ReadAt(position, &id, 4);
        ReadAt(position + 4, &size, 4);
        avi::FourCC type = 0;
        if (id == avi::kList && ReadAt(position + 8, &type, 4)) {
            // Only the header list ahead of the movie list describes the file: the lengths
            // and flags are written into it, and anything after the movie data may be a
            // stray copy that has to stay exactly as it is.
            if (type == avi::kHdrl && !headerList && m_moviFourCC == 0) {
                const int error = ReadHeaderList(position + 12, std::min<std::uint64_t>(position + 8 + size, m_size));
                if (error != kNoError) {
                    return error;
                }
                headerList = true;
            } else if (type == avi::kMovi && m_moviFourCC == 0) {
                m_moviFourCC = position + 8;
            }
        } else if (id == avi::kIdx1) {
            indexBody = position + 8;
            indexSize = size;
        }
        position += 8 + static_cast<std::uint64_t>(size) + (size & 1U);
    }
    if (!headerList) {
        return kNoHeaderList;
    }
    if (m_moviFourCC == 0) {
        return kNoMovi;
    }
    if (std::none_of(m_streams.begin(), m_streams.end(),
                     [](const Stream& stream) { return stream.type == avi::kVids; })) {
        return kNoVideo;
    }
    if (indexBody != 0) {
        const std::uint64_t available = std::min<std::uint64_t>(indexSize, m_size - indexBody) / 16;
        m_index.resize(static_cast<std::size_t>(available));
        if (!m_index.empty() && !ReadAt(indexBody, m_index.data(), m_index.size() * 16)) {
            m_index.clear();
        }
    }
    m_complete = IndexIsValid();
    if (!m_complete) {
        RebuildIndex();
        // Nothing to index: the file stays as it is.
        if (std::none_of(m_index.begin(), m_index.end(),
                         [](const avi::IndexEntry& entry) { return endsWith(entry.ckid, "dc"); })) {
            return kNoVideo;
        }
    }
    return kNoError;
}

int RepairAviReader::ReadHeaderList(std::uint64_t body, std::uint64_t end) {
    std::uint64_t position = body;
    int ordinal = 0;
    while (position + 8 <= end) {
        avi::FourCC id = 0;
        std::uint32_t size = 0;
        ReadAt(position, &id, 4);
        ReadAt(position + 4, &size, 4);
        avi::FourCC type = 0;
        if (id == avi::kAvih) {
            m_mainHeader = position + 8;
        } else if (id == avi::kList && ReadAt(position + 8, &type, 4) && type == avi::kStrl) {
            const std::uint64_t listEnd = std::min<std::uint64_t>(position + 8 + size, end);
            const int error = ReadStreamList(position + 12, listEnd, ordinal);
            if (error != kNoError) {
                return error;
            }
            ++ordinal;
        }
        position += 8 + static_cast<std::uint64_t>(size) + (size & 1U);
    }
    return m_mainHeader == 0 ? kNoHeaderList : kNoError;
}

// One stream list, walked by the sizes of its chunks: other writers put "strd", "strn",
// "indx", "vprp" or "JUNK" beside the stream header and format.
int RepairAviReader::ReadStreamList(std::uint64_t body, std::uint64_t end, int ordinal) {
    Stream stream;
    bool haveHeader = false;
    avi::FourCC compression = 0;
    for (std::uint64_t position = body; position + 8 <= end;) {
        avi::FourCC id = 0;
        std::uint32_t size = 0;
        ReadAt(position, &id, 4);
        ReadAt(position + 4, &size, 4);
        if (id == avi::kStrh && !haveHeader) {
            avi::AviStreamHeader header{};
            if (!ReadAt(position + 8, &header, sizeof header)) {
                return kRead;
            }
            stream.type = header.fccType;
            stream.headerOffset = position + 8;
            stream.sampleSize = header.dwSampleSize;
            stream.hevc = isHevcFourCC(header.fccHandler);
            haveHeader = true;
        } else if (id == avi::kStrf && size >= sizeof(avi::BitmapInfoHeader)) {
            avi::BitmapInfoHeader format{};
            if (ReadAt(position + 8, &format, sizeof format)) {
                compression = format.biCompression;
            }
        }
        position += 8 + static_cast<std::uint64_t>(size) + (size & 1U);
    }
    if (!haveHeader) {
        return kNoHeaderList;
    }
    if (stream.type == avi::kVids && compression != 0) {
        stream.hevc = isHevcFourCC(compression);
    }
    const char* suffix = stream.type == avi::kVids   ? "dc"
                         : stream.type == avi::kAuds ? "wb"
                         : stream.type == avi::kTxts ? "tx"
                                                     : nullptr;
    if (suffix != nullptr) {
        stream.chunkId = avi::streamChunkId(ordinal % 10, suffix);
    }
    m_streams.push_back(stream);
    return kNoError;
}

const RepairAviReader::Stream* RepairAviReader::StreamFor(avi::FourCC id) const {
    for (const Stream& stream : m_streams) {
        if (stream.chunkId != 0 && stream.chunkId == id) {
            return &stream;
        }
    }
    return nullptr;
}

// The index is valid when its first entry names a chunk of that name and size at the stated
// offset, counted from the file start or from the movie list.
bool RepairAviReader::IndexIsValid() {
    if (m_index.empty()) {
        return false;
    }
    const avi::IndexEntry first = m_index.front();
    for (const std::uint64_t base : {std::uint64_t{0}, m_moviFourCC}) {
        avi::FourCC id = 0;
        std::uint32_t size = 0;
        const std::uint64_t at = base + first.dwChunkOffset;
        if (ReadAt(at, &id, 4) && ReadAt(at + 4, &size, 4) && id == first.ckid && size == first.dwChunkLength) {
            for (avi::IndexEntry& entry : m_index) {
                entry.dwChunkOffset = static_cast<std::uint32_t>(entry.dwChunkOffset + base);
            }
            const avi::IndexEntry& last = m_index.back();
            m_moviEnd = std::min<std::uint64_t>(m_size, last.dwChunkOffset + 8ULL + last.dwChunkLength +
                                                            (last.dwChunkLength & 1U));
            return true;
        }
    }
    m_index.clear();
    return false;
}

bool RepairAviReader::IsKeyFrame(std::uint64_t payload, std::uint32_t size, bool hevc) {
    std::uint8_t head[kNalHead] = {};
    const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(size, sizeof head));
    if (want < 4 || !ReadAt(payload, head, want)) {
        return false;
    }
    return judgeFrame(head, want, hevc);
}

// Walks the movie data chunk by chunk. Lists ("rec " and others) are entered; "JUNK" and the
// OpenDML field indexes ("ix##") are skipped by their size. The walk stops at the old index, at
// a chunk that runs past the file end, at a driving-data record without its marker and at any
// chunk it does not know; m_moviEnd is then the end of the last chunk it accounted for.
void RepairAviReader::RebuildIndex() {
    m_index.clear();
    std::uint64_t position = m_moviFourCC + 4;
    m_moviEnd = position;
    while (position + 8 <= m_size) {
        avi::FourCC id = 0;
        std::uint32_t size = 0;
        ReadAt(position, &id, 4);
        ReadAt(position + 4, &size, 4);
        if (id == avi::kList) {
            position += 12;  // enter the list
            m_moviEnd = std::min(position, m_size);
            continue;
        }
        if (id == avi::kIdx1) {
            m_oldIndexAtEnd = position + 8 + static_cast<std::uint64_t>(size) >= m_size;
            break;
        }
        const std::uint64_t payload = position + 8;
        if (payload + size > m_size) {
            m_cutShort = true;  // the write the power cut interrupted: the file ends inside it
            break;
        }
        const std::uint64_t next = payload + size + (size & 1U);
        if (id == avi::kJunk || startsWith(id, "ix")) {
            position = next;
            m_moviEnd = std::min(position, m_size);
            continue;
        }
        std::uint32_t flags = 0;
        if (endsWith(id, "dc")) {
            const Stream* stream = StreamFor(id);
            flags = IsKeyFrame(payload, size, stream != nullptr && stream->hevc) ? avi::kIndexKeyFrame : 0;
        } else if (endsWith(id, "wb")) {
            flags = avi::kIndexKeyFrame;
        } else if (endsWith(id, "tx")) {
            std::uint8_t preamble[28] = {};
            std::uint32_t marker = 0;
            if (size < sizeof preamble || !ReadAt(payload, preamble, sizeof preamble) ||
                (std::memcpy(&marker, preamble, 4), marker != kRecordMarker)) {
                tachy::DebugOut::printf("PREMBLE ERROR:%#x, %#x\n", marker, kRecordMarker);
                break;
            }
            std::uint32_t second = 0;
            std::uint16_t millisecond = 0;
            std::memcpy(&second, preamble + 12, 4);
            std::memcpy(&millisecond, preamble + 26, 2);
            const std::int64_t time = static_cast<std::int64_t>(second) * 1000 + millisecond;
            m_startMs = m_startMs < 0 ? time : m_startMs;
            m_endMs = time;
        } else {
            break;
        }
        m_index.push_back({id, flags, static_cast<std::uint32_t>(position), size});
        position = next;
        m_moviEnd = std::min(position, m_size);
    }
    m_unaccounted = m_oldIndexAtEnd || m_cutShort ? 0 : m_size - m_moviEnd;
}

// Stream lengths and the main header's frame count from the index.
bool RepairAviReader::WriteLengths() {
    bool ok = true;
    std::uint32_t videoFrames = 0;
    for (const Stream& stream : m_streams) {
        std::uint64_t chunks = 0;
        std::uint64_t bytes = 0;
        for (const avi::IndexEntry& entry : m_index) {
            if (entry.ckid == stream.chunkId) {
                ++chunks;
                bytes += entry.dwChunkLength;
            }
        }
        const auto length = static_cast<std::uint32_t>(stream.sampleSize != 0 ? bytes / stream.sampleSize : chunks);
        ok = ok && WriteAt(stream.headerOffset + offsetof(avi::AviStreamHeader, dwLength), &length, 4);
        if (stream.type == avi::kVids && videoFrames == 0) {
            videoFrames = length;
        }
    }
    return ok && WriteAt(m_mainHeader + offsetof(avi::MainAviHeader, dwTotalFrames), &videoFrames, 4);
}

// The rebuilt index goes where the walk stopped when nothing but an old index or an unfinished
// last chunk follows; otherwise after the end of the file, so that the bytes the walk could not
// account for stay inside the movie list as they are. Nothing else is ever cut away.
int RepairAviReader::WriteRebuiltIndex() {
    const bool replaceTail = m_oldIndexAtEnd || m_cutShort;
    std::uint64_t at = m_moviEnd;
    if (m_moviEnd < m_size && !replaceTail) {
        at = m_size + (m_size & 1U);
        const std::uint8_t pad = 0;
        if (at != m_size && !WriteAt(m_size, &pad, 1)) {
            return kWriteIndex;
        }
    }
    const auto moviSize = static_cast<std::uint32_t>(at - m_moviFourCC);
    std::vector<avi::IndexEntry> relative = m_index;
    for (avi::IndexEntry& entry : relative) {
        entry.dwChunkOffset = static_cast<std::uint32_t>(entry.dwChunkOffset - m_moviFourCC);
    }
    const avi::FourCC idx1 = avi::kIdx1;
    const auto indexSize = static_cast<std::uint32_t>(relative.size() * 16);
    const std::uint64_t end = at + 8 + indexSize;
    if (end >= 0xFFFFFFF0ULL) {
        return kSizeLimit;
    }
    const auto riffSize = static_cast<std::uint32_t>(end - 8);
    if (!WriteAt(m_moviFourCC - 4, &moviSize, 4) || !WriteAt(at, &idx1, 4) || !WriteAt(at + 4, &indexSize, 4) ||
        (indexSize > 0 && !WriteAt(at + 8, relative.data(), indexSize)) ||
        (replaceTail && end < m_size && ::ftruncate(m_file.get(), static_cast<off_t>(end)) != 0) ||
        !WriteAt(4, &riffSize, 4)) {
        m_errno = errno;
        return kWriteIndex;
    }
    return kNoError;
}

int RepairAviReader::Close() {
    if (!m_file.valid()) {
        return kClose;
    }
    if (!WriteLengths()) {
        return kWrite;
    }
    // A valid index stays where it is, with everything around it.
    if (!m_complete) {
        const int written = WriteRebuiltIndex();
        if (written != kNoError) {
            return written;
        }
    }
    // The main header says an index is there.
    std::uint32_t flags = 0;
    if (ReadAt(m_mainHeader + offsetof(avi::MainAviHeader, dwFlags), &flags, 4)) {
        flags |= avi::kAviHasIndex;
        WriteAt(m_mainHeader + offsetof(avi::MainAviHeader, dwFlags), &flags, 4);
    }
    if (::fsync(m_file.get()) != 0) {
        m_errno = errno;
        m_file.reset();
        return kClose;
    }
    m_file.reset();
    return kNoError;
}
