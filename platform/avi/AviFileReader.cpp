#include "platform/avi/AviFileReader.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

extern "C" {
#include <libavformat/avformat.h>
}

namespace tachy {
namespace {

struct FormatCloser {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};

struct PacketFree {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};

// Key flags of video chunks, by the file position of the chunk's header.
using KeyFlags = std::unordered_map<std::int64_t, bool>;

// Reads of the open file that never cross its end.
struct FileView {
    int fd = -1;
    std::uint64_t size = 0;

    bool read(std::uint64_t offset, void* buffer, std::size_t length) const {
        if (offset > size || length > size - offset) {
            return false;
        }
        auto* bytes = static_cast<std::uint8_t*>(buffer);
        std::size_t done = 0;
        while (done < length) {
            const ssize_t got =
                ::pread(fd, bytes + done, length - done, static_cast<off_t>(offset + done));
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got <= 0) {
                return false;
            }
            done += static_cast<std::size_t>(got);
        }
        return true;
    }
};

avi::FourCC typeOf(AVMediaType type) {
    switch (type) {
    case AVMEDIA_TYPE_VIDEO:
        return avi::kVids;
    case AVMEDIA_TYPE_AUDIO:
        return avi::kAuds;
    case AVMEDIA_TYPE_SUBTITLE:
    case AVMEDIA_TYPE_DATA:
        return avi::kTxts;
    default:
        return 0;
    }
}

// Calls `visit(id, bodyOffset, size)` for each chunk in [begin, end), stepping by each chunk's
// own size (padded to even); a chunk whose header does not fit ends the walk.
void forEachChunk(const FileView& file, std::uint64_t begin, std::uint64_t end,
                  const std::function<void(avi::FourCC, std::uint64_t, std::uint32_t)>& visit) {
    std::uint64_t at = begin;
    while (at + 8 <= end) {
        std::uint32_t header[2] = {};
        if (!file.read(at, header, sizeof header)) {
            return;
        }
        visit(header[0], at + 8, header[1]);
        at += 8 + static_cast<std::uint64_t>(header[1]) + (header[1] & 1U);
    }
}

// The body [begin, end) of the list of type `type` among the chunks of [begin, end).
bool findList(const FileView& file, std::uint64_t& begin, std::uint64_t& end, avi::FourCC type) {
    bool found = false;
    std::uint64_t listBegin = 0;
    std::uint64_t listEnd = 0;
    forEachChunk(file, begin, end, [&](avi::FourCC id, std::uint64_t body, std::uint32_t size) {
        avi::FourCC listType = 0;
        if (!found && id == avi::kList && size >= 4 && file.read(body, &listType, 4) &&
            listType == type) {
            found = true;
            listBegin = body + 4;
            listEnd = std::min(end, body + size);
        }
    });
    begin = listBegin;
    end = listEnd;
    return found;
}

// The "strh" of every "strl" in "hdrl", in file order. Extra chunks anywhere ("JUNK", "vprp",
// "indx", "strn", "LIST odml") are passed over by their size.
std::vector<avi::AviStreamHeader> readStreamHeaders(const FileView& file) {
    std::vector<avi::AviStreamHeader> headers;
    std::uint32_t riff[3] = {};
    if (!file.read(0, riff, sizeof riff) || riff[0] != avi::kRiff || riff[2] != avi::kAvi) {
        return headers;
    }
    std::uint64_t begin = 12;
    std::uint64_t end = std::min<std::uint64_t>(file.size, 8 + static_cast<std::uint64_t>(riff[1]));
    if (!findList(file, begin, end, avi::kHdrl)) {
        return headers;
    }
    forEachChunk(file, begin, end, [&](avi::FourCC id, std::uint64_t body, std::uint32_t size) {
        std::uint64_t listBegin = body;
        std::uint64_t listEnd = std::min(end, body + size);
        avi::FourCC listType = 0;
        if (id != avi::kList || size < 4 || !file.read(body, &listType, 4) ||
            listType != avi::kStrl) {
            return;
        }
        listBegin += 4;
        avi::AviStreamHeader header{};
        bool seen = false;
        forEachChunk(file, listBegin, listEnd,
                     [&](avi::FourCC inner, std::uint64_t at, std::uint32_t length) {
                         if (!seen && inner == avi::kStrh) {
                             seen = true;
                             file.read(at, &header, std::min<std::size_t>(length, sizeof header));
                         }
                     });
        headers.push_back(header);
    });
    return headers;
}

// Without an index libavformat learns the chunks only by reading them. Reading every packet
// completes its index; its index marks each chunk found that way as a key frame, so the key
// flags of the video packets (which its parsers decide) are kept.
KeyFlags readEveryPacket(AVFormatContext& context) {
    KeyFlags keys;
    std::unique_ptr<AVPacket, PacketFree> packet(av_packet_alloc());
    while (packet && av_read_frame(&context, packet.get()) >= 0) {
        const AVStream* stream = context.streams[packet->stream_index];
        if (stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO && packet->pos >= 8 &&
            (packet->flags & AV_PKT_FLAG_CORRUPT) == 0) {
            keys[packet->pos - 8] = (packet->flags & AV_PKT_FLAG_KEY) != 0;
        }
        av_packet_unref(packet.get());
    }
    return keys;
}

bool indexMissing(const AVFormatContext& context) {
    for (unsigned i = 0; i < context.nb_streams; ++i) {
        const AVMediaType type = context.streams[i]->codecpar->codec_type;
        if ((type == AVMEDIA_TYPE_VIDEO || type == AVMEDIA_TYPE_AUDIO) &&
            avformat_index_get_entries_count(context.streams[i]) == 0) {
            return true;
        }
    }
    return false;
}

void describeFormat(const AVStream& source, AviFileReader::Stream& stream) {
    const AVCodecParameters& codec = *source.codecpar;
    stream.type = typeOf(codec.codec_type);
    stream.scale = static_cast<std::uint32_t>(source.time_base.num);
    stream.rate = static_cast<std::uint32_t>(source.time_base.den);
    stream.video.biSize = sizeof(avi::BitmapInfoHeader);
    stream.video.biWidth = codec.width;
    stream.video.biHeight = codec.height;
    stream.video.biPlanes = 1;
    stream.video.biBitCount = static_cast<std::uint16_t>(codec.bits_per_coded_sample);
    stream.video.biCompression = codec.codec_tag;
    stream.audio.wFormatTag = static_cast<std::uint16_t>(codec.codec_tag);
    stream.audio.nChannels = static_cast<std::uint16_t>(codec.ch_layout.nb_channels);
    stream.audio.nSamplesPerSec = static_cast<std::uint32_t>(codec.sample_rate);
    stream.audio.nBlockAlign = static_cast<std::uint16_t>(codec.block_align);
    stream.audio.wBitsPerSample = static_cast<std::uint16_t>(codec.bits_per_coded_sample);
    stream.audio.nAvgBytesPerSec = static_cast<std::uint32_t>(codec.bit_rate / 8);
}

// The stream's samples from libavformat's index; a chunk that runs past the end of the file is
// not whole and is left out.
AviFileReader::Stream describe(AVStream& source, const KeyFlags& keys, std::uint64_t fileSize) {
    AviFileReader::Stream stream;
    describeFormat(source, stream);
    const int count = avformat_index_get_entries_count(&source);
    stream.samples.reserve(static_cast<std::size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i) {
        const AVIndexEntry* entry = avformat_index_get_entry(&source, i);
        const auto end =
            static_cast<std::uint64_t>(entry->pos) + 8 + static_cast<std::uint64_t>(entry->size);
        if (entry->pos < 0 || entry->size < 0 || end > fileSize) {
            continue;
        }
        bool key = (entry->flags & AVINDEX_KEYFRAME) != 0;
        if (const auto found = keys.find(entry->pos); found != keys.end()) {
            key = found->second;
        }
        stream.samples.push_back(
            {entry->pos, static_cast<std::uint32_t>(entry->size), key, entry->timestamp});
    }
    stream.start = stream.samples.empty() ? 0 : stream.samples.front().timestamp;
    return stream;
}

} // namespace

bool AviFileReader::open(const std::filesystem::path& path) {
    close();
    m_file.reset(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat status {};
    if (!m_file.valid() || ::fstat(m_file.get(), &status) != 0) {
        close();
        return false;
    }
    m_fileSize = static_cast<std::uint64_t>(status.st_size);
    AVFormatContext* raw = nullptr;
    // FFmpeg's notes on every file read are not wanted on stderr; a program that asked for
    // less (the tool's quiet log, a fuzz target's) keeps its own level.
    if (av_log_get_level() > AV_LOG_ERROR) {
        av_log_set_level(AV_LOG_ERROR);
    }
    if (avformat_open_input(&raw, path.c_str(), av_find_input_format("avi"), nullptr) < 0) {
        close();
        return false;
    }
    std::unique_ptr<AVFormatContext, FormatCloser> context(raw);
    const KeyFlags keys = indexMissing(*context) ? readEveryPacket(*context) : KeyFlags{};
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        m_streams.push_back(describe(*context->streams[i], keys, m_fileSize));
    }
    // libavformat makes one stream of each "strl"; only when the counts agree are the
    // headers known to belong to the streams.
    const auto headers = readStreamHeaders(FileView{m_file.get(), m_fileSize});
    if (headers.size() == m_streams.size()) {
        for (std::size_t i = 0; i < headers.size(); ++i) {
            m_streams[i].header = headers[i];
        }
    }
    return true;
}

void AviFileReader::close() {
    m_streams.clear();
    m_file.reset();
    m_fileSize = 0;
}

std::int64_t AviFileReader::read(const Stream& stream, std::size_t index, std::size_t offset,
                                 std::uint8_t* buffer, std::size_t capacity) const {
    if (!isOpen() || index >= stream.samples.size()) {
        return -1;
    }
    const Sample& sample = stream.samples[index];
    if (offset >= sample.size) {
        return 0;
    }
    const std::size_t length = std::min<std::size_t>(sample.size - offset, capacity);
    const auto position = static_cast<std::uint64_t>(sample.position) + 8 + offset;
    if (sample.position < 0 || !FileView{m_file.get(), m_fileSize}.read(position, buffer, length)) {
        return -1;
    }
    return static_cast<std::int64_t>(length);
}

} // namespace tachy
