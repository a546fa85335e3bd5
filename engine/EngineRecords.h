#pragma once
// The records the replay engine hands to the viewer with its callbacks, and the ones its
// threads pass between them. Records that only cross between our own libraries keep their field
// order with native types (pointers are real pointers); the 512-byte driving-data record is
// byte-exact.

#include "engine/CTimeList.h"

#include <cstdint>
#include <memory>
#include <vector>

#pragma pack(push, 1)
// One driving-data record as the viewer receives it: type code, length, the recorder's bytes.
struct _DRIVING_RECORD {
    std::int32_t nType;
    std::int32_t nLength;
    std::uint8_t data[504];
};
#pragma pack(pop)
static_assert(sizeof(_DRIVING_RECORD) == 512);

// Type codes of driving-data records, chosen by their length.
namespace driving {
constexpr std::int32_t kGSensorShort = 0x10002;  // 13, 15 or 22 bytes
constexpr std::int32_t kVehicle = 0x30004;       // 57 bytes
constexpr std::int32_t kGps = 0x30001;           // 72 or 80 bytes
constexpr std::int32_t kNmea = 0x30005;          // 400 bytes
constexpr std::int32_t kGprmcText = 0x20002;     // starts with "G$GPRM"
constexpr std::int32_t kOther = 255;

std::int32_t TypeCode(const std::uint8_t* record, std::uint32_t length);
} // namespace driving

// What a worker knows of the file it plays.
struct _FILE_INFORMATION {
    std::int32_t nFrames;           // video frames in the entry's duration
    std::int32_t nKeyframesLeft;
    std::int64_t llStartSecond;
    std::int64_t llEndSecond;
    std::int32_t nSearchType;
    std::int32_t nListIndex;
    std::int32_t nKeySecond;        // second of the key frame where reading began
    std::int32_t nKeyIndex;
};

// The frame record of a picture (sent with code 133 for channel 0).
struct _FRAME_INFO {
    std::int32_t nChannel;
    std::int32_t nWidth;
    std::int32_t nHeight;
    std::int64_t llSecond;
    std::int32_t nMillisecond;
    std::int64_t llTime;
    std::int32_t nFrameFlag;        // bit 20 of the frame descriptor's flags word
    std::int32_t nFormat;
    std::intptr_t avData8to15[8];
    std::intptr_t avData0to2[3];
    std::int32_t reserved1[13];
    std::int32_t nKeyIndex;
    _FILE_INFORMATION fileInfo;
    std::int32_t nRecordSize;       // 512
    std::int32_t nRecordCount;
    const _DRIVING_RECORD* records;  // channel 0 only
    std::int32_t reserved2;
    std::int32_t nFramePosition;
    std::int32_t reserved3;
};

namespace picturedec {
class DecodedPicture;
}

// One decoded picture waiting in a channel's queue, or shown as its current picture.
struct PictureRecord {
    PictureRecord();
    ~PictureRecord();
    PictureRecord(const PictureRecord&) = delete;
    PictureRecord& operator=(const PictureRecord&) = delete;

    // The entry the picture came from, shared by every picture of it.
    std::shared_ptr<const CTimeList> entry;
    int listIndex = -1;
    // The decoded planes, held for as long as the record lives (the queue, then the current
    // picture, and any caller of GetLastVideoImage until the next picture of the channel).
    std::unique_ptr<picturedec::DecodedPicture> image;
    unsigned char* picture = nullptr;  // the first plane of `image`
    _FRAME_INFO frame{};
    bool valid = false;
    // Keeps the driving data that frame.records points into alive while the picture is in use,
    // even after the worker has moved on to another entry.
    std::shared_ptr<const std::vector<_DRIVING_RECORD>> driving;
};

// One sound block waiting in the audio channel's queue.
struct SoundBlock {
    std::vector<unsigned char> samples;
    std::int64_t second = 0;
    int millisecond = 0;
    std::int64_t timeMs = 0;
    int format = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    int fileNumber = 0;
    std::int64_t entryStartSecond = 0;
};

// Code 170: a picture to show.
struct _PICTURE_INFO {
    std::int32_t reserved;
    std::int32_t nChannel;
    unsigned char* picture;
    std::int32_t nWidth;
    std::int32_t nHeight;
    std::int32_t nFrameFlag;
    std::int32_t nFormat;
    std::intptr_t avData8to15[8];
    std::intptr_t avData0to2[3];
};

// Code 40: the popup channel's picture.
struct _POPUP_INFO {
    unsigned char* picture;
    std::int32_t nWidth;
    std::int32_t nHeight;
    std::int32_t nFrameFlag;
    std::int32_t nSizeCode;
};

// Code 70: the end of play; the viewer clears nFlag to end the repeated notices.
struct _PLAY_END_INFO {
    std::int32_t nLastState;
    std::int32_t nSearchType;
    std::int32_t nFlag;
};

// Code 180: a sound block to play; the viewer sets nResult when it took it.
struct _AUDIO_BLOCK {
    std::int32_t nFormat;  // always 1, PCM
    std::int32_t nSampleRate;
    std::int32_t nBitsPerSample;
    const unsigned char* samples;
    std::int32_t nLength;
    std::int32_t nResult;
    std::int32_t nFlag;
};
