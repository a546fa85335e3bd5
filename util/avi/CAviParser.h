#pragma once
// The recording parser of type 0: the same interface on libavformat's reading of the file
// (its index, its stream figures), so it opens any AVI file libavformat opens, cut copies
// included. Unlike type 1 it does not put the codec header in front of key frames, and each
// GetVideoHeader also reads the driving-data record of the same number.

#include "platform/avi/AviFileReader.h"
#include "util/avi/AviErrors.h"
#include "util/avi/IAVIParser.h"

#include <vector>

class CAviParser : public IAVIParser {
public:
    static constexpr std::size_t kVideoBufferSize = 1 << 20;
    static constexpr std::size_t kAudioBufferSize = 32 << 10;
    static constexpr std::size_t kUserAreaSize = 1152000;
    static constexpr std::uint32_t kDefaultUserDataSize = 128;

    CAviParser();
    ~CAviParser() override;
    CAviParser(const CAviParser&) = delete;
    CAviParser& operator=(const CAviParser&) = delete;

    int GetStreamInfo(const std::string& path, _TAG_STREAM_INFO* info, int videoIndex) override;
    int isOpen() override;
    int isVideoOpen() override;
    int isAudioOpen() override;
    int OpenStream(const std::string& path, int videoIndex) override;
    int OpenVideoStream(int videoIndex) override;
    int OpenAudioStream() override;
    void CloseStream() override;
    void CloseVideoStream() override;
    void CloseAudioStream() override;
    int FindVideoStream(int from, int direction, int keyOnly, std::int64_t* timeMs) override;
    int GetVideoStartPos() override;
    void SetStreamPosVideo(int frame) override;
    void SetStreamPosAudio(int block) override;
    int GetStreamPosVideoToAudio(int frame) override;
    int GetVideoHeader(tachy::avi::BitmapInfoHeader* bih, std::int64_t* timeMs, int* isKey,
                       int* frame) override;
    std::uint8_t* GetVideoStream(std::uint32_t ignored) override;
    int GetAudioHeader(tachy::avi::WaveFormatEx* wfx, std::int64_t* timeMs,
                       std::uint32_t* size) override;
    std::uint8_t* GetAudioStream(std::uint32_t ignored) override;
    int isUserOpen() override;
    int OpenUserStream() override;
    void CloseUserStream() override;
    std::uint8_t* GetUserFormat(std::uint32_t* size) override;
    std::uint8_t* GetUserData() override;
    std::uint8_t* ReadUserData(int index, std::uint32_t* size) override;
    int GetVideoLength(std::int64_t timeMs) override;
    int GetVideoLength() override;
    int GetAudioFormat() override;
    int GetAudioFrequency() override;
    int GetAudioBitPerSample() override;
    int GetTotalUserDataCount(std::int64_t timeMs) override;
    std::uint64_t GetDuration(const std::string& path) override;

    // Type 0's own operations.
    std::uint8_t* GetUserData(std::uint32_t* size);  // the record read with the last frame
    int ReadUserStreamInAdvance();
    std::uint8_t* GetUserDataAll();
    std::uint32_t GetUserDataSizeAll() const { return m_userTotalSize; }
    int GetCurrentUserDataPos() const { return static_cast<int>(m_info.dwVideoPos) - 1; }
    int GetTotalUserDataCount();
    void SetDefaultUserDataSize(std::uint32_t size) { m_defaultUserSize = size; }

    // What GetDuration answers for a file that cannot be opened: AVIERR_FILEOPEN sign-extended.
    static constexpr std::uint64_t kDurationOpenFailed =
        static_cast<std::uint64_t>(static_cast<std::int64_t>(util::kAviErrFileOpen));

private:
    using Stream = tachy::AviFileReader::Stream;
    const Stream* Find(tachy::avi::FourCC type, int nth) const;
    static std::int64_t SampleToTime(const Stream& stream, std::int64_t sample);
    static std::int64_t TimeToSample(const Stream& stream, std::int64_t timeMs);
    // Fills `info` from an open reader; 1 when the video stream `videoIndex` is usable.
    static int Describe(const tachy::AviFileReader& reader, _TAG_STREAM_INFO* info, int videoIndex);
    static void DescribeAudio(const Stream& audio, _TAG_STREAM_INFO* info);
    // Up to `wanted` bytes of the audio stream from byte `first` on, across chunks.
    std::size_t ReadAudioBytes(std::uint64_t first, std::size_t wanted);

    tachy::AviFileReader m_reader;
    const Stream* m_video = nullptr;  // point into m_reader's streams
    const Stream* m_audio = nullptr;
    const Stream* m_user = nullptr;
    _TAG_STREAM_INFO m_info{};
    std::vector<std::uint8_t> m_videoBuffer;
    std::vector<std::uint8_t> m_audioBuffer;
    std::vector<std::uint64_t> m_audioChunkStarts; // byte position of each audio chunk, and the end
    std::vector<std::uint8_t> m_userBuffer;
    std::vector<std::uint8_t> m_userArea;
    std::uint32_t m_userSize = 0;
    std::uint32_t m_userTotalSize = 0;
    std::uint32_t m_defaultUserSize = kDefaultUserDataSize;
    tachy::avi::WaveFormatEx m_audioFormat{};
};
