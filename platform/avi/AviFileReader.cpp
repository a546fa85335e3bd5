#include "platform/avi/AviFileReader.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

extern "C" {
#include <libavformat/avformat.h>
}

namespace tachy {
namespace {

struct FormatCloser {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
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

AviFileReader::Stream describe(AVStream& source) {
    AviFileReader::Stream stream;
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
    const int count = avformat_index_get_entries_count(&source);
    stream.samples.reserve(static_cast<std::size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i) {
        const AVIndexEntry* entry = avformat_index_get_entry(&source, i);
        stream.samples.push_back({entry->pos, static_cast<std::uint32_t>(entry->size),
                                  (entry->flags & AVINDEX_KEYFRAME) != 0, entry->timestamp});
    }
    stream.start = stream.samples.empty() ? 0 : stream.samples.front().timestamp;
    return stream;
}

} // namespace

bool AviFileReader::open(const std::filesystem::path& path) {
    close();
    AVFormatContext* raw = nullptr;
    av_log_set_level(AV_LOG_ERROR);
    if (avformat_open_input(&raw, path.c_str(), av_find_input_format("avi"), nullptr) < 0) {
        return false;
    }
    std::unique_ptr<AVFormatContext, FormatCloser> context(raw);
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        m_streams.push_back(describe(*context->streams[i]));
    }
    m_file.reset(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat status {};
    if (!m_file.valid() || ::fstat(m_file.get(), &status) != 0) {
        close();
        return false;
    }
    m_fileSize = static_cast<std::uint64_t>(status.st_size);
    return true;
}

void AviFileReader::close() {
    m_streams.clear();
    m_file.reset();
    m_fileSize = 0;
}

std::int64_t AviFileReader::read(const Stream& stream, std::size_t index, std::uint8_t* buffer,
                                 std::size_t capacity) const {
    if (!isOpen() || index >= stream.samples.size()) {
        return -1;
    }
    const Sample& sample = stream.samples[index];
    const std::size_t length = std::min<std::size_t>(sample.size, capacity);
    const auto offset = static_cast<std::uint64_t>(sample.position) + 8;
    if (sample.position < 0 || offset > m_fileSize || length > m_fileSize - offset) {
        return -1;
    }
    std::size_t done = 0;
    while (done < length) {
        const ssize_t got = ::pread(m_file.get(), buffer + done, length - done,
                                    static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return -1;
        }
        done += static_cast<std::size_t>(got);
    }
    return static_cast<std::int64_t>(length);
}

} // namespace tachy
