#include "cli/VideoExporter.h"

#include "cli/CameraReader.h"
#include "cli/EstimatedProgress.h"
#include "cli/Mp4Writer.h"
#include "cli/OverlayPainter.h"
#include "cli/PictureComposer.h"

#include <algorithm>
#include <memory>

namespace tachy::cli {
namespace {

void TakeSound(const AVCodecParameters& parameters, Mp4Format& format) {
    if (format.soundRate == 0 && parameters.sample_rate > 0 &&
        parameters.ch_layout.nb_channels > 0) {
        format.soundRate = parameters.sample_rate;
        format.soundChannels = std::min(parameters.ch_layout.nb_channels, 2);
    }
}

// The picture size, picture rate and sound of a recording, from its headers.
bool ProbeFormat(const std::filesystem::path& file, int videoStream, Mp4Format& format) {
    AVFormatContext* context = nullptr;
    if (avformat_open_input(&context, file.c_str(), nullptr, nullptr) < 0) {
        return false;
    }
    const InputHandle input(context);
    if (avformat_find_stream_info(context, nullptr) < 0) {
        return false;
    }
    int seen = 0;
    bool found = false;
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        const AVStream& stream = *context->streams[i];
        const AVCodecParameters& parameters = *stream.codecpar;
        if (parameters.codec_type == AVMEDIA_TYPE_VIDEO && seen++ == videoStream) {
            format.width = parameters.width;
            format.height = parameters.height;
            const AVRational rate =
                stream.avg_frame_rate.num > 0 ? stream.avg_frame_rate : stream.r_frame_rate;
            format.framesPerSecond =
                rate.num > 0 && rate.den > 0 ? std::clamp(rate.num / rate.den, 1, 240) : 30;
            found = true;
        } else if (parameters.codec_type == AVMEDIA_TYPE_AUDIO) {
            TakeSound(parameters, format);
        }
    }
    return found && format.width > 0 && format.height > 0;
}

// The sound of the first of `sources` that has any, from its headers: a span may begin with
// recordings without sound and have sound later on.
void ProbeSound(const std::vector<ClipSource>& sources, Mp4Format& format) {
    for (const ClipSource& source : sources) {
        if (format.soundRate > 0) {
            return;
        }
        AVFormatContext* context = nullptr;
        if (avformat_open_input(&context, source.file.c_str(), nullptr, nullptr) < 0) {
            continue;
        }
        const InputHandle input(context);
        for (unsigned i = 0; i < context->nb_streams; ++i) {
            if (context->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) {
                TakeSound(*context->streams[i]->codecpar, format);
            }
        }
    }
}

// The driving data of the front camera's recordings, in time order.
std::vector<DrivingSample> DrivingDataOf(const std::vector<ClipSource>& sources) {
    std::vector<DrivingSample> samples;
    for (const ClipSource& source : sources) {
        DrivingTrack track;
        if (track.Read(source.file, source.startMs)) {
            samples.insert(samples.end(), track.Samples().begin(), track.Samples().end());
        }
    }
    std::stable_sort(
        samples.begin(), samples.end(),
        [](const DrivingSample& a, const DrivingSample& b) { return a.timeMs < b.timeMs; });
    return samples;
}

} // namespace

VideoExporter::VideoExporter(std::vector<std::vector<ClipSource>> cameras,
                             ExportLayout::Kind layout, int cellHeight)
    : m_cameras(std::move(cameras)), m_layout(layout), m_cellHeight(cellHeight) {}

bool VideoExporter::Export(std::int64_t fromMs, std::int64_t toMs,
                           const std::filesystem::path& output, std::string& error) {
    Mp4Format format;
    const ClipSource& first = m_cameras.front().front();
    if (!ProbeFormat(first.file, first.videoStream, format)) {
        error = "cannot read the pictures of " + first.file.string();
        return false;
    }
    ProbeSound(m_cameras.front(), format);
    const int shown =
        m_layout == ExportLayout::Kind::Front ? 1 : static_cast<int>(m_cameras.size());
    const ExportLayout layout(m_layout, shown, format.width, format.height, m_cellHeight);
    format.width = m_width = layout.Width();
    format.height = m_height = layout.Height();
    m_withSound = format.soundRate > 0;

    Mp4Writer writer;
    if (!writer.Open(output, format, error)) {
        return false;
    }
    PictureComposer composer(layout);
    OverlayPainter overlay;
    if (m_overlay) {
        overlay.SetSamples(DrivingDataOf(m_cameras.front()));
    }
    std::vector<std::unique_ptr<CameraReader>> readers;
    for (int camera = 0; camera < shown; ++camera) {
        readers.push_back(
            std::make_unique<CameraReader>(m_cameras[static_cast<std::size_t>(camera)]));
    }
    bool soundFailed = false;
    readers.front()->SetSoundSink([&](const AVFrame& sound, std::int64_t timeMs) {
        // Only the samples inside the span: those before --from and from --to on are cut off.
        const auto rate = static_cast<std::int64_t>(format.soundRate);
        const auto skip = static_cast<int>(
            std::clamp<std::int64_t>((fromMs - timeMs) * rate / 1000, 0, sound.nb_samples));
        const auto end = static_cast<int>(
            std::clamp<std::int64_t>((toMs - timeMs) * rate / 1000, 0, sound.nb_samples));
        soundFailed = soundFailed || !writer.WriteSound(sound, timeMs - fromMs, skip, end - skip);
        return !soundFailed;
    });
    std::int64_t timeMs = 0;
    while (readers.front()->Next(timeMs) && timeMs < toMs) {
        if (timeMs < fromMs) {
            // The pictures before the span are decoded to reach it, which takes long in a long
            // recording: a stop is heard there too.
            if (m_observer && !m_observer(0, toMs - fromMs)) {
                m_stopped = true;
                error = "the export was stopped";
                return false;
            }
            continue;
        }
        if (!composer.Begin()) {
            error = "out of memory";
            return false;
        }
        for (int camera = 0; camera < shown; ++camera) {
            const AVFrame* picture =
                camera == 0 ? readers.front()->Picture()
                            : readers[static_cast<std::size_t>(camera)]->PictureAt(timeMs);
            composer.Draw(camera, picture);
        }
        if (m_overlay) {
            overlay.Draw(composer.Canvas(), overlay.TextAt(timeMs));
        }
        if (!writer.WritePicture(composer.Canvas(), timeMs - fromMs)) {
            error = "cannot encode the pictures";
            return false;
        }
        ++m_pictures;
        if (m_progress != nullptr) {
            m_progress->Set(timeMs - fromMs);
        }
        if (m_observer && !m_observer(timeMs - fromMs, toMs - fromMs)) {
            m_stopped = true;
            error = "the export was stopped";
            return false;
        }
    }
    for (const auto& reader : readers) {
        if (!reader->Error().empty()) {
            error = reader->Error();
            return false;
        }
    }
    if (m_pictures == 0) {
        error = "no picture of the front camera lies between the two times";
        return false;
    }
    return writer.Close(error);
}

} // namespace tachy::cli
