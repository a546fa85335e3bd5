#include "cli/Mp4Writer.h"

extern "C" {
#include <libavutil/opt.h>
}

#include <algorithm>
#include <vector>

namespace tachy::cli {
namespace {

const AVCodec* H264Encoder() {
    if (const AVCodec* x264 = avcodec_find_encoder_by_name("libx264")) {
        return x264;
    }
    return avcodec_find_encoder(AV_CODEC_ID_H264);
}

// One sample of `frame` (channel, index) as a float in [-1, 1].
float SampleOf(const AVFrame& frame, int channel, int index) {
    const auto format = static_cast<AVSampleFormat>(frame.format);
    const int channels = frame.ch_layout.nb_channels;
    const bool planar = av_sample_fmt_is_planar(format) != 0;
    const std::uint8_t* plane = frame.extended_data[planar ? channel : 0];
    const int at = planar ? index : index * channels + channel;
    switch (av_get_packed_sample_fmt(format)) {
    case AV_SAMPLE_FMT_U8:
        return (plane[at] - 128) / 128.0F;
    case AV_SAMPLE_FMT_S16:
        return reinterpret_cast<const std::int16_t*>(plane)[at] / 32768.0F;
    case AV_SAMPLE_FMT_S32:
        return static_cast<float>(reinterpret_cast<const std::int32_t*>(plane)[at] / 2147483648.0);
    case AV_SAMPLE_FMT_FLT:
        return reinterpret_cast<const float*>(plane)[at];
    case AV_SAMPLE_FMT_DBL:
        return static_cast<float>(reinterpret_cast<const double*>(plane)[at]);
    default:
        return 0.0F;
    }
}

} // namespace

bool Mp4Writer::Open(const std::filesystem::path& file, const Mp4Format& format,
                     std::string& error) {
    AVFormatContext* context = nullptr;
    if (avformat_alloc_output_context2(&context, nullptr, "mp4", file.c_str()) < 0) {
        error = "the MP4 writer is missing from libavformat";
        return false;
    }
    m_output.reset(context);
    m_packet.reset(av_packet_alloc());
    if (!OpenVideo(format, error) || (format.soundRate > 0 && !OpenSound(format, error))) {
        return false;
    }
    if (avio_open(&context->pb, file.c_str(), AVIO_FLAG_WRITE) < 0) {
        error = "cannot write " + file.string();
        return false;
    }
    AVDictionary* options = nullptr;
    av_dict_set(&options, "movflags", "+faststart", 0);
    const int written = avformat_write_header(context, &options);
    av_dict_free(&options);
    if (written < 0) {
        error = "cannot write the MP4 header of " + file.string();
        return false;
    }
    return true;
}

bool Mp4Writer::OpenVideo(const Mp4Format& format, std::string& error) {
    const AVCodec* codec = H264Encoder();
    m_video.reset(codec != nullptr ? avcodec_alloc_context3(codec) : nullptr);
    if (!m_video) {
        error = "libavcodec has no H.264 encoder";
        return false;
    }
    m_video->width = format.width;
    m_video->height = format.height;
    m_video->pix_fmt = AV_PIX_FMT_YUV420P;
    m_video->time_base = AVRational{1, 1000};
    m_video->framerate = AVRational{format.framesPerSecond, 1};
    m_video->gop_size = 2 * format.framesPerSecond;
    m_pictureDurationMs = std::max(1, 1000 / format.framesPerSecond);
    if (m_output->oformat->flags & AVFMT_GLOBALHEADER) {
        m_video->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    m_video->thread_count = 0; // as many threads as the machine has cores
    av_opt_set(m_video->priv_data, "preset", "veryfast", 0);
    if (avcodec_open2(m_video.get(), codec, nullptr) < 0) {
        error = std::string("cannot open the H.264 encoder ") + codec->name;
        return false;
    }
    m_videoStream = avformat_new_stream(m_output.get(), nullptr);
    if (m_videoStream == nullptr ||
        avcodec_parameters_from_context(m_videoStream->codecpar, m_video.get()) < 0) {
        error = "cannot add the video stream";
        return false;
    }
    m_videoStream->time_base = m_video->time_base;
    return true;
}

bool Mp4Writer::OpenSound(const Mp4Format& format, std::string& error) {
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_AAC);
    m_sound.reset(codec != nullptr ? avcodec_alloc_context3(codec) : nullptr);
    if (!m_sound) {
        error = "libavcodec has no AAC encoder";
        return false;
    }
    m_sound->sample_fmt = AV_SAMPLE_FMT_FLTP;
    m_sound->sample_rate = format.soundRate;
    av_channel_layout_default(&m_sound->ch_layout, format.soundChannels);
    m_sound->bit_rate = 64000L * format.soundChannels;
    m_sound->time_base = AVRational{1, format.soundRate};
    if (m_output->oformat->flags & AVFMT_GLOBALHEADER) {
        m_sound->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    if (avcodec_open2(m_sound.get(), codec, nullptr) < 0) {
        error = "cannot open the AAC encoder";
        return false;
    }
    m_soundStream = avformat_new_stream(m_output.get(), nullptr);
    m_fifo.reset(av_audio_fifo_alloc(AV_SAMPLE_FMT_FLTP, format.soundChannels, 4096));
    m_soundFrame.reset(av_frame_alloc());
    if (m_soundStream == nullptr || !m_fifo || !m_soundFrame ||
        avcodec_parameters_from_context(m_soundStream->codecpar, m_sound.get()) < 0) {
        error = "cannot add the sound stream";
        return false;
    }
    m_soundStream->time_base = m_sound->time_base;
    return true;
}

bool Mp4Writer::Encode(AVCodecContext& encoder, AVStream& stream, const AVFrame* frame) {
    if (avcodec_send_frame(&encoder, frame) < 0) {
        return false;
    }
    while (true) {
        const int received = avcodec_receive_packet(&encoder, m_packet.get());
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) {
            return true;
        }
        if (received < 0) {
            return false;
        }
        if (&encoder == m_video.get() && m_packet->duration == 0) {
            // Each picture lasts one picture interval; without it the last picture would have
            // no duration and players and the MP4's edit list would leave it out.
            m_packet->duration = m_pictureDurationMs;
        }
        av_packet_rescale_ts(m_packet.get(), encoder.time_base, stream.time_base);
        m_packet->stream_index = stream.index;
        if (av_interleaved_write_frame(m_output.get(), m_packet.get()) < 0) {
            return false;
        }
    }
}

bool Mp4Writer::WritePicture(AVFrame& picture, std::int64_t timeMs) {
    if (timeMs <= m_lastPictureMs) {
        return true; // two pictures of one time stamp: the first is kept
    }
    m_lastPictureMs = timeMs;
    picture.pts = timeMs;
    return Encode(*m_video, *m_videoStream, &picture);
}

std::int64_t Mp4Writer::SoundWritten() const {
    return m_soundSamples + av_audio_fifo_size(m_fifo.get());
}

bool Mp4Writer::WriteSound(const AVFrame& sound, std::int64_t timeMs, int first, int count) {
    if (!m_sound || count <= 0 || sound.sample_rate != m_sound->sample_rate) {
        return true;
    }
    const std::int64_t rate = m_sound->sample_rate;
    // Where sample `first` belongs. Times in whole milliseconds put a recording's sound up to a
    // few samples off its exact place: within a fiftieth of a second it follows on seamlessly.
    const std::int64_t position = timeMs * rate / 1000 + first;
    const std::int64_t tolerance = rate / 50;
    const std::int64_t written = SoundWritten();
    if (position > written + tolerance) {
        return WriteSilenceUntil(position) && AppendSound(sound, first, count);
    }
    if (position < written - tolerance) {
        const auto overlap = static_cast<int>(std::min<std::int64_t>(written - position, count));
        return AppendSound(sound, first + overlap, count - overlap);
    }
    return AppendSound(sound, first, count);
}

bool Mp4Writer::WriteSilenceUntil(std::int64_t position) {
    const int channels = m_sound->ch_layout.nb_channels;
    std::vector<float> silence(4096, 0.0F);
    std::vector<void*> pointers(static_cast<std::size_t>(channels), silence.data());
    for (std::int64_t left = position - SoundWritten(); left > 0;
         left = position - SoundWritten()) {
        const auto count = static_cast<int>(std::min<std::int64_t>(left, 4096));
        if (av_audio_fifo_write(m_fifo.get(), pointers.data(), count) < count ||
            !EncodeSoundFifo(false)) {
            return false;
        }
    }
    return true;
}

bool Mp4Writer::AppendSound(const AVFrame& sound, int first, int count) {
    if (count <= 0) {
        return true;
    }
    const int channels = m_sound->ch_layout.nb_channels;
    std::vector<std::vector<float>> planes(static_cast<std::size_t>(channels),
                                           std::vector<float>(static_cast<std::size_t>(count)));
    std::vector<void*> pointers;
    for (int channel = 0; channel < channels; ++channel) {
        // A mono source feeds every channel; extra source channels are left out.
        const int from = std::min(channel, sound.ch_layout.nb_channels - 1);
        for (int i = 0; i < count; ++i) {
            planes[static_cast<std::size_t>(channel)][static_cast<std::size_t>(i)] =
                SampleOf(sound, from, first + i);
        }
        pointers.push_back(planes[static_cast<std::size_t>(channel)].data());
    }
    if (av_audio_fifo_write(m_fifo.get(), pointers.data(), count) < count) {
        return false;
    }
    return EncodeSoundFifo(false);
}

bool Mp4Writer::EncodeSoundFifo(bool all) {
    const int frameSize = m_sound->frame_size > 0 ? m_sound->frame_size : 1024;
    while (av_audio_fifo_size(m_fifo.get()) >= frameSize ||
           (all && av_audio_fifo_size(m_fifo.get()) > 0)) {
        const int count = std::min(frameSize, av_audio_fifo_size(m_fifo.get()));
        av_frame_unref(m_soundFrame.get());
        m_soundFrame->nb_samples = count;
        m_soundFrame->format = AV_SAMPLE_FMT_FLTP;
        m_soundFrame->sample_rate = m_sound->sample_rate;
        if (av_channel_layout_copy(&m_soundFrame->ch_layout, &m_sound->ch_layout) < 0 ||
            av_frame_get_buffer(m_soundFrame.get(), 0) < 0 ||
            av_audio_fifo_read(m_fifo.get(), reinterpret_cast<void**>(m_soundFrame->data), count) <
                count) {
            return false;
        }
        m_soundFrame->pts = m_soundSamples;
        m_soundSamples += count;
        if (!Encode(*m_sound, *m_soundStream, m_soundFrame.get())) {
            return false;
        }
    }
    return true;
}

bool Mp4Writer::Close(std::string& error) {
    bool ok = Encode(*m_video, *m_videoStream, nullptr);
    if (m_sound) {
        // The sound lasts as long as the pictures, also when the span's last recordings have
        // none.
        const std::int64_t end = m_lastPictureMs < 0 ? 0
                                                     : (m_lastPictureMs + m_pictureDurationMs) *
                                                           m_sound->sample_rate / 1000;
        ok = WriteSilenceUntil(end) && EncodeSoundFifo(true) &&
             Encode(*m_sound, *m_soundStream, nullptr) && ok;
    }
    ok = av_write_trailer(m_output.get()) >= 0 && ok;
    if (m_output->pb != nullptr) {
        ok = avio_closep(&m_output->pb) >= 0 && ok;
    }
    if (!ok) {
        error = "cannot complete the MP4 file";
    }
    return ok;
}

} // namespace tachy::cli
