#include "cli/CameraReader.h"

#include <utility>

namespace tachy::cli {

CameraReader::CameraReader(std::vector<ClipSource> sources)
    : m_sources(std::move(sources)), m_packet(av_packet_alloc()), m_picture(av_frame_alloc()),
      m_ahead(av_frame_alloc()), m_soundFrame(av_frame_alloc()) {}

bool CameraReader::OpenDecoder(int streamIndex, CodecContextHandle& decoder) {
    const AVCodecParameters* parameters = m_input->streams[streamIndex]->codecpar;
    const AVCodec* codec = avcodec_find_decoder(parameters->codec_id);
    decoder.reset(codec != nullptr ? avcodec_alloc_context3(codec) : nullptr);
    if (decoder) {
        decoder->thread_count = 0; // as many threads as the machine has cores
    }
    return decoder && avcodec_parameters_to_context(decoder.get(), parameters) >= 0 &&
           avcodec_open2(decoder.get(), codec, nullptr) >= 0;
}

bool CameraReader::OpenNextFile() {
    m_input.reset();
    m_video.reset();
    m_sound.reset();
    if (m_next >= m_sources.size()) {
        return false;
    }
    const ClipSource& source = m_sources[m_next++];
    AVFormatContext* context = nullptr;
    if (avformat_open_input(&context, source.file.c_str(), nullptr, nullptr) < 0) {
        m_error = "cannot read " + source.file.string();
        return false;
    }
    m_input.reset(context);
    if (avformat_find_stream_info(context, nullptr) < 0) {
        m_error = "cannot read the streams of " + source.file.string();
        return false;
    }
    m_videoIndex = av_find_best_stream(context, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    // Files that hold every camera carry one video stream per camera, in camera order.
    int seen = 0;
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        if (context->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO &&
            seen++ == source.videoStream) {
            m_videoIndex = static_cast<int>(i);
        }
    }
    if (m_videoIndex < 0 || !OpenDecoder(m_videoIndex, m_video)) {
        m_error = "cannot decode the pictures of " + source.file.string();
        return false;
    }
    m_soundIndex = -1;
    if (m_soundSink) {
        m_soundIndex = av_find_best_stream(context, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
        if (m_soundIndex >= 0 && !OpenDecoder(m_soundIndex, m_sound)) {
            m_error = "cannot decode the sound of " + source.file.string();
            return false;
        }
    }
    m_fileStartMs = source.startMs;
    m_flushed = false;
    return true;
}

std::int64_t CameraReader::TimeOf(std::int64_t stamp, const AVStream& stream) const {
    if (stamp == AV_NOPTS_VALUE) {
        return m_fileStartMs;
    }
    const std::int64_t first = stream.start_time == AV_NOPTS_VALUE ? 0 : stream.start_time;
    return m_fileStartMs + av_rescale_q(stamp - first, stream.time_base, AVRational{1, 1000});
}

bool CameraReader::DecodeSound() {
    if (avcodec_send_packet(m_sound.get(), m_packet.get()) < 0) {
        return true; // a damaged sound chunk is left out; the pictures go on
    }
    const AVStream& stream = *m_input->streams[m_soundIndex];
    while (avcodec_receive_frame(m_sound.get(), m_soundFrame.get()) >= 0) {
        const bool kept = m_soundSink(*m_soundFrame, TimeOf(m_soundFrame->pts, stream));
        av_frame_unref(m_soundFrame.get());
        if (!kept) {
            m_error = "cannot encode the sound";
            return false;
        }
    }
    return true;
}

// Reads packets until the picture decoder has been given one (or the file's end, flushing it).
bool CameraReader::FeedPacket() {
    while (av_read_frame(m_input.get(), m_packet.get()) >= 0) {
        const int index = m_packet->stream_index;
        bool ok = true;
        bool fed = false;
        if (index == m_videoIndex) {
            // A picture the decoder refuses (damaged) is passed over; the next one is tried.
            avcodec_send_packet(m_video.get(), m_packet.get());
            fed = true;
        } else if (index == m_soundIndex && m_sound) {
            ok = DecodeSound();
        }
        av_packet_unref(m_packet.get());
        if (!ok) {
            return false;
        }
        if (fed) {
            return true;
        }
    }
    if (m_flushed) {
        return false;
    }
    m_flushed = true;
    avcodec_send_packet(m_video.get(), nullptr);
    return true;
}

bool CameraReader::Decode(AVFrame& frame, std::int64_t& timeMs) {
    if (m_ended) {
        return false;
    }
    while (true) {
        if (m_video) {
            av_frame_unref(&frame);
            const int received = avcodec_receive_frame(m_video.get(), &frame);
            if (received >= 0) {
                timeMs = TimeOf(frame.best_effort_timestamp, *m_input->streams[m_videoIndex]);
                return true;
            }
            if (received == AVERROR(EAGAIN) && FeedPacket()) {
                continue;
            }
            if (!m_error.empty()) {
                break;
            }
        }
        if (!OpenNextFile()) {
            break;
        }
    }
    m_ended = true;
    return false;
}

bool CameraReader::Next(std::int64_t& timeMs) {
    m_havePicture = Decode(*m_picture, m_pictureMs);
    timeMs = m_pictureMs;
    return m_havePicture;
}

const AVFrame* CameraReader::PictureAt(std::int64_t timeMs) {
    while (true) {
        if (!m_haveAhead) {
            m_haveAhead = Decode(*m_ahead, m_aheadMs);
            if (!m_haveAhead) {
                break;
            }
        }
        if (m_havePicture && m_aheadMs > timeMs) {
            break;
        }
        std::swap(m_picture, m_ahead);
        m_pictureMs = m_aheadMs;
        m_havePicture = true;
        m_haveAhead = false;
    }
    return Picture();
}

} // namespace tachy::cli
