#pragma once
// The suite's own recording parser (type 1): a RIFF reader that finds the RIFF header after a
// preamble, reads the OpenDML indexes or "idx1" or rebuilds the index from the movie data, and
// puts the codec header (H.264 SPS and PPS, HEVC VPS, SPS and PPS) in front of key frames that
// do not carry it.

#include "util/avi/IAVIParser.h"
#include "util/avi/ParsedAviFile.h"

#include <memory>
#include <string>
#include <vector>

class CAviParser2 : public IAVIParser {
public:
    // Initial sizes; the video and audio buffers grow to the open streams' largest chunks.
    static constexpr std::size_t kVideoBufferSize = 1 << 20;
    static constexpr std::size_t kAudioBufferSize = 32 << 10;
    static constexpr std::size_t kUserBufferSize = 1 << 20;

    CAviParser2();
    ~CAviParser2() override;
    CAviParser2(const CAviParser2&) = delete;
    CAviParser2& operator=(const CAviParser2&) = delete;

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

    // The codec header cut from the open video stream's first frame (empty when none).
    const std::vector<std::uint8_t>& CodecHeader() const { return m_codecHeader; }

private:
    // Fills `info` from a parsed file; 1 when it holds a usable video stream `videoIndex`.
    int FillStreamInfo(const util::ParsedAviFile& file, _TAG_STREAM_INFO* info, int videoIndex);
    void CutCodecHeader();
    // Grows a read buffer to `wanted` bytes, never beyond what the open file could hold.
    void GrowBuffer(std::vector<std::uint8_t>& buffer, std::uint64_t wanted) const;
    util::ParsedAviStream* Stream(int ordinal) const;

    std::unique_ptr<util::ParsedAviFile> m_file;
    int m_video = -1;  // ordinals of the open streams in m_file, or -1
    int m_audio = -1;
    int m_user = -1;
    _TAG_STREAM_INFO m_info{};
    tachy::avi::AviStreamHeader m_videoInfo{};  // remembered by GetStreamInfo
    std::vector<std::uint8_t> m_videoBuffer;
    std::vector<std::uint8_t> m_audioBuffer;
    std::vector<std::uint8_t> m_userBuffer;
    tachy::avi::WaveFormatEx m_audioFormat{};
    std::vector<std::uint8_t> m_codecHeader;
    std::size_t m_frameOffset = 0;  // where the last frame starts in the video buffer
    std::uint32_t m_lastAudioSize = 0;
};
