#pragma once
// The recording parser: opens one of the recorder's AVI files, reports its figures, and hands
// out video frames with their times and key flags, audio blocks and driving-data records.
// Create(1) gives the suite's own RIFF reader; Create(0) the reader on libavformat's index.
// Every operation of this base answers "nothing": -1 for counts and positions, 0 for flags,
// null for data.

#include "platform/avi/AviStructures.h"

#include <cstdint>
#include <memory>
#include <string>

// A file's figures. Callers zero it before GetStreamInfo; fields it does not set stay as they are.
struct _TAG_STREAM_INFO {
    std::uint32_t dwVideoScale;
    std::uint32_t dwVideoRate;
    std::int64_t llVideoStartTime;  // ms of the first frame
    std::int64_t llVideoEndTime;    // ms one past the last frame
    std::int64_t llVideoDuration;   // ms
    std::uint32_t dwVideoLength;    // frames
    std::uint32_t dwVideoPos;       // the parser's video read cursor
    std::uint32_t dwAudioLength;    // audio blocks; 0 when the audio is unusable
    std::uint32_t dwAudioPos;       // the parser's audio read cursor
    std::uint32_t dwAudioBlockSize; // bytes per GetAudioHeader: the longest audio chunk
    std::uint32_t dwAudioBytesPerSec;
    std::uint32_t dwUserDataCount;  // driving-data records
    std::uint32_t dwFirstUserDataSize;
    tachy::avi::FourCC fccAudioHandler;
};

class IAVIParser {
public:
    enum Type : unsigned { kSystemReader = 0, kRiffReader = 1 };

    // Null for an unknown type.
    static std::unique_ptr<IAVIParser> Create(unsigned type);

    virtual ~IAVIParser();
    IAVIParser(const IAVIParser&) = delete;
    IAVIParser& operator=(const IAVIParser&) = delete;

    virtual int GetStreamInfo(const std::string& path, _TAG_STREAM_INFO* info, int videoIndex);
    virtual int isOpen();
    virtual int isVideoOpen();
    virtual int isAudioOpen();
    virtual int OpenStream(const std::string& path, int videoIndex);
    virtual int OpenVideoStream(int videoIndex);
    virtual int OpenAudioStream();
    virtual void CloseStream();
    virtual void CloseVideoStream();
    virtual void CloseAudioStream();
    virtual int FindVideoStream(int from, int direction, int keyOnly, std::int64_t* timeMs);
    virtual int GetVideoStartPos();
    virtual void SetStreamPosVideo(int frame);
    virtual void SetStreamPosAudio(int block);
    virtual int GetStreamPosVideoToAudio(int frame);
    virtual int GetVideoHeader(tachy::avi::BitmapInfoHeader* bih, std::int64_t* timeMs, int* isKey,
                               int* frame);
    virtual std::uint8_t* GetVideoStream(std::uint32_t ignored);
    virtual int GetAudioHeader(tachy::avi::WaveFormatEx* wfx, std::int64_t* timeMs,
                               std::uint32_t* size);
    virtual std::uint8_t* GetAudioStream(std::uint32_t ignored);
    virtual int isUserOpen();
    virtual int OpenUserStream();
    virtual void CloseUserStream();
    virtual std::uint8_t* GetUserFormat(std::uint32_t* size);
    virtual std::uint8_t* GetUserData();
    virtual std::uint8_t* ReadUserData(int index, std::uint32_t* size);
    virtual int GetVideoLength(std::int64_t timeMs);
    virtual int GetVideoLength();
    virtual int GetAudioFormat();
    virtual int GetAudioFrequency();
    virtual int GetAudioBitPerSample();
    virtual int GetTotalUserDataCount(std::int64_t timeMs);
    virtual std::uint64_t GetDuration(const std::string& path);

protected:
    IAVIParser() = default;
};
