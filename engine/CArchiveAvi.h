#pragma once
// The archive reader for the recorder's AVI files: a recording parser (type 1) plus what the
// engine needs on top of it: absolute frame times from the file name, a key-frame table, the
// frame descriptors the channel worker checks, and the file figures of the card walk.

#include "engine/IArchFile.h"
#include "util/avi/IAVIParser.h"

#include <memory>
#include <vector>

class CArchiveAvi : public IArchFile {
public:
    CArchiveAvi();
    ~CArchiveAvi() override;
    CArchiveAvi(const CArchiveAvi&) = delete;
    CArchiveAvi& operator=(const CArchiveAvi&) = delete;

    int BuildKeyIndexUntil(int unused, int channel, std::int64_t endSecond) override;
    int BuildKeyIndex(int unused) override;
    int BuildKeyIndex() override;
    int FindKeyByPosition(int position, int forward, int step) override;
    void ClearKeyIndex() override;
    int GetKeyEntry(int index, _KEY_ENTRY* out) override;
    int FindKeyBySecond(std::int64_t second, int unused) override;
    int GetKeyCount() override;
    int GetVideoLength(std::int64_t durationMs) override;
    int Open(const std::string& path, int channelOffset) override;
    void Close() override;
    const _FRAME_DESC* ReadVideoFrame() override;
    const std::uint8_t* ReadVideoData(std::uint32_t size) override;
    std::uint32_t VideoFrameBytes() override { return m_videoBytes; }
    std::uint32_t AudioBlockBytes() override { return m_audioBytes; }
    int Seek(std::int64_t position) override;
    int GetAudioFormat() override;
    int GetAudioFrequency() override;
    int GetAudioBitPerSample() override;
    int OpenAudio(const std::string& path) override;
    const _FRAME_DESC* ReadAudioFrame() override;
    const std::uint8_t* ReadAudioData(std::uint32_t size) override;
    int SyncAudio(int videoPosition) override;
    int GetFileInfo(const std::string& path, _FILE_INFO* start, _FILE_INFO* end, int* modeBits,
                    int* channelCount) override;
    void CloseFile() override;
    int IsOpen() override;
    void SetNameFormat(const _AVI_NAME_FORMAT2& format) override;
    int ParseChannel(const std::string& name, int* channel) override;
    int GetUserDataCount(std::int64_t durationMs) override;
    const std::uint8_t* ReadUserData(int index, std::uint32_t* length) override;
    std::uint64_t GetDuration(const std::string& path) override;

    std::int64_t TimeBase() const { return m_timeBase; }
    int Channel() const { return m_channel; }

private:
    bool ParseName(const std::string& path, naming::StreamFileName& name) const;
    void BuildKeys(int from, std::int64_t endSecond, bool bounded);
    void Describe(_FRAME_DESC& descriptor, std::int64_t timeMs) const;

    std::unique_ptr<IAVIParser> m_parser;
    std::string m_path;
    _FRAME_DESC m_video{};
    _FRAME_DESC m_audio{};
    std::uint32_t m_videoBytes = 0;  // the whole size of the frame in m_video
    std::uint32_t m_audioBytes = 0;  // the whole size of the block in m_audio
    std::vector<_KEY_ENTRY> m_keys;
    int m_channel = 0;
    std::int64_t m_timeBase = 0;
    _AVI_NAME_FORMAT2 m_format{};
    int m_flag = 1;  // set at construction; nothing reads it
};
