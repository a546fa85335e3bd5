#pragma once
// The replay engine's view of one stream file that a channel worker plays: frames with their
// absolute times in a fixed descriptor, a key-frame table for seeking and stepping, sound
// blocks, driving-data records, and the figures the card walk needs. Every operation of this
// base answers "nothing" (0, -1 or null).

#include "util/naming/AviNameFormat.h"

#include <cstdint>
#include <string>

#pragma pack(push, 1)
// One key frame: its UTC second and its position in the video stream.
struct _KEY_ENTRY {
    std::uint32_t dwSecond;
    std::uint32_t dwReserved1;
    std::int64_t llPosition;
    std::uint32_t dwReserved2;
};

// The descriptor of a frame (or sound block) read; its first 28 bytes have the layout of the
// recorder's chunk preamble (marker 511, UTC second at 12, millisecond at 26).
struct _FRAME_DESC {
    std::int32_t nMarker;          // 511
    std::uint32_t dwMarkerWord;    // low 24 bits 0x03260A
    std::uint32_t dwChannelRes;    // bits 0-3 channel, bits 8-11 resolution code
    std::uint32_t dwSecond;
    std::uint32_t dwFlags;         // bit 20 is carried into the engine's frame record
    std::uint32_t dwSizes;         // bits 0-18 video bytes, bits 19-31 audio bytes
    std::uint16_t wReserved;
    std::uint16_t wMillisecond;
    std::uint32_t dwFrameType;     // bits 0-1: 1 for a key frame
    std::int32_t nFramePosition;
    std::uint8_t reserved[36];
};

// What the card walk learns of one channel of a file: start or end time and file number.
struct _FILE_INFO {
    std::uint32_t dwSecond;
    std::uint32_t dwMillisecond;
    std::uint32_t dwFileNumber;
    std::uint32_t dwReserved[2];
    std::uint32_t dwChannel;
    std::uint8_t reserved[64];
};
#pragma pack(pop)

static_assert(sizeof(_KEY_ENTRY) == 20);
static_assert(sizeof(_FRAME_DESC) == 72);
static_assert(sizeof(_FILE_INFO) == 88);

constexpr std::int32_t kFrameMarker = 511;
constexpr std::uint32_t kFrameMarkerWord = 0x03260A;

class IArchFile {
public:
    virtual ~IArchFile();
    IArchFile(const IArchFile&) = delete;
    IArchFile& operator=(const IArchFile&) = delete;

    virtual int BuildKeyIndexUntil(int unused, int channel, std::int64_t endSecond);
    virtual int BuildKeyIndex(int unused);
    virtual int BuildKeyIndex();
    virtual int FindKeyByPosition(int position, int forward, int step);
    virtual void ClearKeyIndex();
    virtual int GetKeyEntry(int index, _KEY_ENTRY* out);
    virtual int FindKeyBySecond(std::int64_t second, int unused);
    virtual int GetKeyCount();
    virtual int GetVideoLength(std::int64_t durationMs);
    virtual int Open(const std::string& path, int channelOffset);
    virtual void Close();
    virtual const _FRAME_DESC* ReadVideoFrame();
    virtual const std::uint8_t* ReadVideoData(std::uint32_t size);
    // The whole size in bytes of the frame last read by ReadVideoFrame. The descriptor keeps the
    // recorder's 19-bit size field, which cannot hold a frame of 512 KiB or more.
    virtual std::uint32_t VideoFrameBytes();
    virtual int Seek(std::int64_t position);
    virtual int GetAudioFormat();
    virtual int GetAudioFrequency();
    virtual int GetAudioBitPerSample();
    virtual int OpenAudio(const std::string& path);
    virtual const _FRAME_DESC* ReadAudioFrame();
    virtual const std::uint8_t* ReadAudioData(std::uint32_t size);
    // The whole size in bytes of the sound block last read by ReadAudioFrame (the descriptor's
    // 13-bit field holds less than 8 KiB).
    virtual std::uint32_t AudioBlockBytes();
    virtual int SyncAudio(int videoPosition);
    virtual int GetFileInfo(const std::string& path, _FILE_INFO* start, _FILE_INFO* end,
                            int* modeBits, int* channelCount);
    virtual void CloseFile();
    virtual int IsOpen();
    virtual void SetNameFormat(const _AVI_NAME_FORMAT2& format);
    virtual int ParseChannel(const std::string& name, int* channel);
    virtual int GetUserDataCount(std::int64_t durationMs);
    virtual const std::uint8_t* ReadUserData(int index, std::uint32_t* length);
    virtual std::uint64_t GetDuration(const std::string& path);

protected:
    IArchFile() = default;
};

// The resolution code of a picture size, as the channel worker sizes its buffers by it.
int ResolutionCode(int width, int height);
