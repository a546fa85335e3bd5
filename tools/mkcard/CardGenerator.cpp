#include "tools/mkcard/CardGenerator.h"

#include "platform/avi/AviFileWriter.h"
#include "tools/mkcard/CameraScene.h"
#include "tools/mkcard/DriveSimulator.h"
#include "tools/mkcard/TestPicture.h"
#include "util/avi/AviErrors.h"
#include "util/avi/CAviWriter.h"
#include "util/avi/ParsedAviFile.h"
#include "util/naming/AviNameFormat.h"

#include <cmath>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>

extern "C" {
#include <libavutil/frame.h>
}

namespace mkcard {
namespace avi = tachy::avi;
namespace {

constexpr double kPi = 3.14159265358979323846;

// A recorder's bit rate for the camera pictures: 12 Mbit/s at 1920x1080, in proportion to the
// pixel count at other sizes (about 6 Mbit/s at 1280x720).
std::int64_t recorderBitRate(int width, int height) {
    constexpr double kFullHdRate = 12e6;
    return std::llround(kFullHdRate * width * height / (1920.0 * 1080.0));
}

// G.711 mu-law encoding of one 16-bit sample.
std::uint8_t muLaw(std::int16_t sample) {
    constexpr int kBias = 0x84;
    int value = sample;
    const int sign = value < 0 ? 0x80 : 0;
    value = std::min(std::abs(value), 32635) + kBias;
    int exponent = 7;
    for (int mask = 0x4000; (value & mask) == 0 && exponent > 0; mask >>= 1) {
        --exponent;
    }
    const int mantissa = (value >> (exponent + 3)) & 0x0F;
    return static_cast<std::uint8_t>(~(sign | (exponent << 4) | mantissa));
}

int modeIndex(const std::string& mode) {
    static const char* const kModes[] = {"normal", "event", "parking", "manual"};
    for (int i = 0; i < 4; ++i) {
        if (mode == kModes[i]) {
            return i;
        }
    }
    return 0;
}

std::string jsonEscape(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out.push_back('\\');
        }
        out.push_back(c);
    }
    return out;
}

std::string labelFor(int channel, std::int64_t utcMs, std::int64_t frame) {
    const auto seconds = static_cast<std::time_t>(utcMs / 1000);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[64];
    std::snprintf(text, sizeof text, "CH%d %02d:%02d:%02d.%03d F%05lld", channel + 1, utc.tm_hour,
                  utc.tm_min, utc.tm_sec, static_cast<int>(utcMs % 1000), static_cast<long long>(frame));
    return text;
}

// One recording period of the card.
struct Period {
    int fileNumber;
    int mode;
    std::int64_t startMs;
    int frames;
};

struct WrittenFile {
    std::filesystem::path path;
    int channel;
    const Period* period;
    std::string damage;
};

class PeriodWriter {
public:
    PeriodWriter(const CardOptions& options, const Period& period, DriveSimulator& drive)
        : m_options(options), m_period(period), m_drive(drive) {}

    // Writes the period's file: one channel through the clip writer (".avi"), or several
    // through the writer layer (".av2", which the clip writer's single video stream cannot
    // hold).
    bool write(const std::filesystem::path& path, const std::vector<int>& channels, bool index,
               std::string& error) {
        return channels.size() == 1 && !m_options.av2 ? writeClip(path, channels.front(), index, error)
                                                       : writeMultiStream(path, channels, index, error);
    }

private:
    struct Sinks {
        std::function<bool(std::size_t, const VideoEncoder::Frame&)> video;
        std::function<bool(const std::string&)> audio;
        std::function<bool(int, const std::string&)> record;
    };

    bool writeClip(const std::filesystem::path& path, int channel, bool index, std::string& error) {
        CAviWriter writer;
        const bool h264 = m_options.codec == VideoEncoder::Codec::H264;
        const bool pcm = m_options.audio == CardOptions::Audio::Pcm;
        const char userFormat[4] = {'G', 'P', 'S', '1'};
        if (writer.Open(path.string()) == 0 ||
            writer.OpenVideoStream(h264 ? 5 : 7, m_options.framesPerSecond, widthOf(channel),
                                   heightOf(channel), 0, 0) == 0 ||
            (m_options.audio != CardOptions::Audio::None &&
             writer.OpenAudioStream(pcm ? 0 : 1, pcm ? 16 : 8, m_options.audioRate, 1,
                                    m_options.audioRate / 10 * (pcm ? 2 : 1)) == 0) ||
            writer.OpenUserStream(m_options.framesPerSecond, m_options.recordKind, userFormat, 4) == 0) {
            error = "cannot create " + path.string();
            return false;
        }
        writer.Writer()->setWriteIndex(index);
        Sinks sinks;
        sinks.video = [&](std::size_t, const VideoEncoder::Frame& frame) {
            return writer.WriteVideo(frame.bytes.data(), static_cast<int>(frame.bytes.size()), frame.key ? 1 : 0) != 0;
        };
        sinks.audio = [&](const std::string& chunk) {
            return writer.WriteAudio(chunk.data(), static_cast<int>(chunk.size())) != 0;
        };
        // The record goes in before its frame, at the frame's sample number.
        sinks.record = [&](int, const std::string& record) {
            return writer.WriteUserData(record.data(), static_cast<int>(record.size()), 0) != 0;
        };
        if (!writeFrames({channel}, sinks, path, error)) {
            return false;
        }
        if (writer.Close() == 0) {
            error = "cannot complete " + path.string();
            return false;
        }
        return true;
    }

    bool writeMultiStream(const std::filesystem::path& path, const std::vector<int>& channels,
                          bool index, std::string& error) {
        tachy::AviFileWriter writer;
        if (!writer.open(path)) {
            error = "cannot create " + path.string();
            return false;
        }
        writer.setWriteIndex(index);
        std::vector<int> videoStreams;
        for (std::size_t i = 0; i < channels.size(); ++i) {
            videoStreams.push_back(writer.addStream(videoHeader(), &m_format, sizeof m_format));
        }
        const int audioStream = addAudio(writer);
        const char userFormat[4] = {'G', 'P', 'S', '1'};
        const int userStream = writer.addStream(userHeader(), userFormat, sizeof userFormat);
        Sinks sinks;
        sinks.video = [&](std::size_t i, const VideoEncoder::Frame& frame) {
            return writer.write(videoStreams[i], writer.nextSample(videoStreams[i]), frame.bytes.data(),
                                frame.bytes.size(), frame.key ? avi::kIndexKeyFrame : 0);
        };
        sinks.audio = [&](const std::string& chunk) {
            return audioStream < 0 || writer.write(audioStream, 0, chunk.data(), chunk.size(), 0);
        };
        sinks.record = [&](int frame, const std::string& record) {
            return writer.write(userStream, frame, record.data(), record.size(), 0);
        };
        if (!writeFrames(channels, sinks, path, error)) {
            return false;
        }
        if (!writer.close()) {
            error = "cannot complete " + path.string();
            return false;
        }
        return true;
    }

    bool writeFrames(const std::vector<int>& channels, const Sinks& sinks,
                     const std::filesystem::path& path, std::string& error) {
        std::vector<std::unique_ptr<VideoEncoder>> encoders;
        std::vector<std::unique_ptr<CameraScene>> scenes;
        const bool camera = m_options.content == CardOptions::Content::Camera;
        for (std::size_t i = 0; i < channels.size(); ++i) {
            encoders.push_back(std::make_unique<VideoEncoder>());
            if (camera) {
                encoders.back()->setBitRate(
                    recorderBitRate(widthOf(channels[i]), heightOf(channels[i])));
                scenes.push_back(std::make_unique<CameraScene>(m_options.seed, channels[i],
                                                               m_options.framesPerSecond));
            }
            if (!encoders.back()->open(m_options.codec, widthOf(channels[i]), heightOf(channels[i]),
                                       m_options.framesPerSecond, m_options.keyInterval, error)) {
                return false;
            }
        }
        const DriveState startState = m_drive.state();
        for (int frame = 0; frame < m_period.frames; ++frame) {
            const std::int64_t utcMs = m_period.startMs + frame * 1000LL / m_options.framesPerSecond;
            const DriveState& state = frame == 0 ? startState : m_drive.step(1.0 / m_options.framesPerSecond);
            if (!sinks.record(frame, drivingRecord(m_options.recordKind, state, utcMs))) {
                error = "cannot write " + path.string();
                return false;
            }
            for (std::size_t i = 0; i < channels.size(); ++i) {
                VideoEncoder::Frame encoded;
                CameraScene* scene = camera ? scenes[i].get() : nullptr;
                if (!encodeFrame(*encoders[i], scene, channels[i], frame, utcMs, encoded, error)) {
                    return false;
                }
                if (!sinks.video(i, encoded)) {
                    error = "cannot write " + path.string();
                    return false;
                }
            }
            const std::string chunk = audioChunk(frame, state);
            if (!chunk.empty() && !sinks.audio(chunk)) {
                error = "cannot write " + path.string();
                return false;
            }
        }
        return true;
    }

    // Cameras after the front one may record at their own size, in files of their own; the
    // files that hold every camera keep the front camera's size for all.
    int widthOf(int channel) const {
        return channel > 0 && m_options.rearWidth > 0 && !m_options.av2 ? m_options.rearWidth : m_options.width;
    }
    int heightOf(int channel) const {
        return channel > 0 && m_options.rearHeight > 0 && !m_options.av2 ? m_options.rearHeight : m_options.height;
    }

    avi::AviStreamHeader videoHeader() {
        const bool h264 = m_options.codec == VideoEncoder::Codec::H264;
        m_format = {};
        m_format.biSize = sizeof m_format;
        m_format.biWidth = m_options.width;
        m_format.biHeight = m_options.height;
        m_format.biPlanes = 1;
        m_format.biBitCount = 24;
        m_format.biCompression = avi::fourCC(h264 ? "H264" : "HEVC");
        m_format.biSizeImage = static_cast<std::uint32_t>(m_options.width * m_options.height * 3);
        avi::AviStreamHeader header{};
        header.fccType = avi::kVids;
        header.fccHandler = m_format.biCompression;
        header.dwScale = 1000;
        header.dwRate = static_cast<std::uint32_t>(m_options.framesPerSecond * 1000);
        header.dwQuality = 0xFFFFFFFFU;
        header.rcFrame = {0, 0, static_cast<std::int16_t>(m_options.width),
                          static_cast<std::int16_t>(m_options.height)};
        return header;
    }

    avi::AviStreamHeader userHeader() const {
        avi::AviStreamHeader header{};
        header.fccType = avi::kTxts;
        header.fccHandler = avi::fourCC("EVNT");
        header.dwScale = 1000;
        header.dwRate = static_cast<std::uint32_t>(m_options.framesPerSecond * 1000);
        return header;
    }

    int addAudio(tachy::AviFileWriter& writer) {
        if (m_options.audio == CardOptions::Audio::None) {
            return -1;
        }
        const bool pcm = m_options.audio == CardOptions::Audio::Pcm;
        avi::WaveFormatEx format{};
        format.wFormatTag = pcm ? 1 : 7;
        format.nChannels = 1;
        format.nSamplesPerSec = static_cast<std::uint32_t>(m_options.audioRate);
        format.wBitsPerSample = pcm ? 16 : 8;
        format.nBlockAlign = pcm ? 2 : 1;
        format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
        avi::AviStreamHeader header{};
        header.fccType = avi::kAuds;
        header.fccHandler = avi::fourCC("WAVE");
        header.dwScale = 1;
        header.dwRate = format.nSamplesPerSec;
        header.dwSampleSize = format.nBlockAlign;
        return writer.addStream(header, &format, sizeof format);
    }

    // One 100 ms chunk whenever the video clock passes a tenth of a second (empty otherwise):
    // an engine hum whose pitch follows the speed.
    std::string audioChunk(int frame, const DriveState& state) {
        if (m_options.audio == CardOptions::Audio::None) {
            return {};
        }
        const std::int64_t tenth = frame * 10LL / m_options.framesPerSecond;
        const std::int64_t previous = (frame - 1) * 10LL / m_options.framesPerSecond;
        if (frame != 0 && tenth == previous) {
            return {};
        }
        const int samples = m_options.audioRate / 10;
        const bool pcm = m_options.audio == CardOptions::Audio::Pcm;
        std::string chunk;
        const double pitch = 60 + state.speedKmh * 4;
        for (int i = 0; i < samples; ++i) {
            m_phase += 2 * kPi * pitch / m_options.audioRate;
            const auto value =
                static_cast<std::int16_t>(6000 * std::sin(m_phase) + 1500 * std::sin(m_phase * 3.01));
            if (pcm) {
                chunk.append(reinterpret_cast<const char*>(&value), 2);
            } else {
                chunk.push_back(static_cast<char>(muLaw(value)));
            }
        }
        return chunk;
    }

    // Draws the frame's picture (the camera scene when given, the test picture otherwise) and
    // encodes it.
    bool encodeFrame(VideoEncoder& encoder, CameraScene* scene, int channel, int frame,
                     std::int64_t utcMs, VideoEncoder::Frame& out, std::string& error) {
        AVFrame* picture = encoder.picture();
        const Planes planes{picture->data[0], picture->data[1], picture->data[2], picture->linesize[0],
                            picture->linesize[1], widthOf(channel), heightOf(channel)};
        const std::int64_t cardFrame = m_period.startMs / 1000 * m_options.framesPerSecond + frame;
        if (scene != nullptr) {
            scene->draw(planes, cardFrame, labelFor(channel, utcMs, frame));
        } else {
            drawTestPicture(planes, channel, cardFrame, labelFor(channel, utcMs, frame));
        }
        if (!encoder.encode(frame, frame == 0, out)) {
            error = "the video encoder failed";
            return false;
        }
        return true;
    }

    const CardOptions& m_options;
    const Period& m_period;
    DriveSimulator& m_drive;
    avi::BitmapInfoHeader m_format{};
    double m_phase = 0;
};

std::vector<Period> planPeriods(const CardOptions& options) {
    std::vector<Period> periods;
    double done = 0;
    int fileNumber = 1;
    while (done + 1e-9 < options.seconds) {
        const double length = std::min(options.periodSeconds, options.seconds - done);
        Period period{};
        period.fileNumber = fileNumber++;
        period.mode = modeIndex(options.modes[periods.size() % options.modes.size()]);
        period.startMs = (options.startUtc + static_cast<std::int64_t>(done)) * 1000;
        period.frames = std::max(1, static_cast<int>(std::lround(length * options.framesPerSecond)));
        periods.push_back(period);
        done += length;
    }
    return periods;
}

void applyDamage(const CardOptions& options, std::vector<WrittenFile>& files) {
    if (files.empty()) {
        return;
    }
    if (options.damage.contains("cut")) {
        WrittenFile& last = files.back();
        std::filesystem::resize_file(last.path, std::filesystem::file_size(last.path) * 2 / 3);
        last.damage = "cut";
    }
    if (options.damage.contains("preamble")) {
        WrittenFile& first = files.front();
        std::ifstream in(first.path, std::ios::binary);
        std::stringstream body;
        body << in.rdbuf();
        in.close();
        std::ofstream(first.path, std::ios::binary | std::ios::trunc) << std::string(100, '\xA5') << body.str();
        first.damage = "preamble";
    }
}

void writeManifest(const CardOptions& options, const std::vector<WrittenFile>& files,
                   const std::vector<std::string>& extras) {
    std::ofstream out(options.out / "manifest.json");
    out << "{\n  \"rule\": \"" << jsonEscape(options.rule.filename().string()) << "\",\n"
        << "  \"kind\": \"" << (options.av2 ? "av2" : "avi") << "\",\n"
        << "  \"codec\": \"" << (options.codec == VideoEncoder::Codec::H264 ? "h264" : "hevc") << "\",\n"
        << "  \"width\": " << options.width << ", \"height\": " << options.height
        << ", \"rearWidth\": " << (options.rearWidth > 0 ? options.rearWidth : options.width)
        << ", \"rearHeight\": " << (options.rearHeight > 0 ? options.rearHeight : options.height)
        << ", \"fps\": " << options.framesPerSecond << ", \"channels\": " << options.channels
        << ", \"recordKind\": " << options.recordKind << ",\n  \"files\": [\n";
    for (std::size_t i = 0; i < files.size(); ++i) {
        const WrittenFile& file = files[i];
        out << "    {\"path\": \"" << jsonEscape(std::filesystem::relative(file.path, options.out).string())
            << "\", \"channel\": " << file.channel << ", \"fileNumber\": " << file.period->fileNumber
            << ", \"mode\": " << file.period->mode << ", \"startMs\": " << file.period->startMs
            << ", \"frames\": " << file.period->frames
            << ", \"durationMs\": " << file.period->frames * 1000LL / options.framesPerSecond
            << ", \"damage\": \"" << file.damage << "\"}" << (i + 1 < files.size() ? "," : "") << "\n";
    }
    out << "  ],\n  \"extras\": [";
    for (std::size_t i = 0; i < extras.size(); ++i) {
        out << (i > 0 ? ", " : "") << "\"" << jsonEscape(extras[i]) << "\"";
    }
    out << "]\n}\n";
}

bool writeFirstChunk(const std::filesystem::path& file, const std::filesystem::path& out, std::string& error) {
    util::ParsedAviFile parsed;
    const util::ParsedAviStream* video = nullptr;
    if (parsed.open(file) == util::kAviOk) {
        video = parsed.findStream(avi::kVids);
    }
    if (video == nullptr || video->index.empty()) {
        error = "cannot read the first frame of " + file.string();
        return false;
    }
    const avi::IndexEntry& entry = video->index.front();
    std::string payload(entry.dwChunkLength, '\0');
    if (parsed.readSample(*video, video->start(), reinterpret_cast<std::uint8_t*>(payload.data()),
                          payload.size()) != static_cast<std::int64_t>(payload.size())) {
        error = "cannot read the first frame of " + file.string();
        return false;
    }
    std::ofstream chunk(out, std::ios::binary | std::ios::trunc);
    chunk.write(reinterpret_cast<const char*>(&entry.ckid), 4);
    chunk.write(reinterpret_cast<const char*>(&entry.dwChunkLength), 4);
    chunk << payload;
    return static_cast<bool>(chunk);
}

} // namespace

bool generateCard(const CardOptions& options, std::string& error) {
    if (!std::filesystem::exists(options.rule)) {
        error = "no naming rule " + options.rule.string();
        return false;
    }
    const _AVI_NAME_FORMAT2 format = naming::ReadNameFormat(options.rule, 2);
    DriveSimulator drive(48.1372, 11.5756, options.seed);
    const std::vector<Period> periods = planPeriods(options);
    std::vector<WrittenFile> files;
    static const char* const kFolders[] = {"normal", "event", "parking", "manual"};
    for (std::size_t p = 0; p < periods.size(); ++p) {
        const Period& period = periods[p];
        const std::filesystem::path folder = options.out / kFolders[period.mode];
        std::filesystem::create_directories(folder);
        naming::StreamFileName fields;
        fields.fileNumber = period.fileNumber;
        fields.timeMs = period.startMs;
        fields.lengthMs = period.frames * 1000LL / options.framesPerSecond;
        fields.recordMode = period.mode;
        const bool lastPeriod = p + 1 == periods.size();
        const bool index = !(lastPeriod && (options.damage.contains("noidx1") || options.damage.contains("cut")));
        // Every file of a period starts from the same point of the drive.
        const DriveSimulator startOfPeriod = drive;
        std::vector<std::vector<int>> groups;
        if (options.av2) {
            std::vector<int> all;
            all.reserve(static_cast<std::size_t>(options.channels));
            for (int channel = 0; channel < options.channels; ++channel) {
                all.push_back(channel);
            }
            groups.push_back(all);
        } else {
            for (int channel = 0; channel < options.channels; ++channel) {
                groups.push_back({channel});
            }
        }
        for (const std::vector<int>& group : groups) {
            drive = startOfPeriod;
            fields.channel = group.front();
            fields.channelCount = static_cast<int>(group.size());
            const auto path = folder / naming::ComposeName(format, fields, options.av2 ? ".av2" : ".avi");
            PeriodWriter writer(options, period, drive);
            if (!writer.write(path, group, index, error)) {
                return false;
            }
            files.push_back({path, group.front(), &period, index ? "" : "noidx1"});
        }
    }
    if (!options.firstChunk.empty() && !writeFirstChunk(files.front().path, options.firstChunk, error)) {
        return false;
    }
    applyDamage(options, files);
    std::vector<std::string> extras;
    const std::filesystem::path firstFolder = options.out / kFolders[periods.front().mode];
    if (options.damage.contains("tiny")) {
        naming::StreamFileName fields;
        fields.fileNumber = periods.back().fileNumber + 1;
        fields.timeMs = periods.back().startMs + 60000;
        fields.channelCount = options.av2 ? options.channels : 1;
        const auto path = firstFolder / naming::ComposeName(format, fields, options.av2 ? ".av2" : ".avi");
        std::ofstream(path, std::ios::binary) << std::string(15, '\0');
        extras.push_back(std::filesystem::relative(path, options.out).string());
    }
    if (options.damage.contains("badname")) {
        std::ofstream(firstFolder / "not_a_recording.avi") << "hello";
        extras.emplace_back(std::filesystem::relative(firstFolder / "not_a_recording.avi", options.out).string());
    }
    if (options.damage.contains("system_run")) {
        std::ofstream(firstFolder / "system_run") << "";
        extras.emplace_back(std::filesystem::relative(firstFolder / "system_run", options.out).string());
    }
    writeManifest(options, files, extras);
    return true;
}

} // namespace mkcard
