#pragma once
// What the RIFF reader needs to know about H.264 and HEVC frames in byte-stream form: whether a
// frame is a key frame, where its parameter sets stand, and which codec a stream carries.
// Start codes of four bytes (00 00 00 01) and of three (00 00 01) are both recognised.

#include "platform/avi/AviStructures.h"

#include <cstddef>
#include <cstdint>

namespace util {

class NalUnits {
public:
    enum class Codec { H264, Hevc };

    // The codec of a video stream from its format's compression and its header's handler;
    // H.264 unless either names HEVC.
    static Codec codecOf(tachy::avi::FourCC compression, tachy::avi::FourCC handler);

    // The position of the next start code at or after `from` (the position of its 00 00 01;
    // a four-byte code begins one byte earlier), or `size` when there is none.
    static std::size_t nextStartCode(const std::uint8_t* bytes, std::size_t size, std::size_t from);

    // The NAL unit type of the unit whose header byte is at `header`.
    static int typeOf(const std::uint8_t* header, Codec codec);

    // 1 when the first picture slice in the bytes is a key frame (H.264 IDR, HEVC IRAP), 0 when
    // it is another slice, -1 when the bytes end before any slice.
    static int keyFrameDecision(const std::uint8_t* bytes, std::size_t size, Codec codec);

    // True when a parameter set (H.264 SPS or PPS, HEVC VPS, SPS or PPS) stands before the
    // first picture slice.
    static bool carriesParameterSets(const std::uint8_t* bytes, std::size_t size, Codec codec);

    // True when the bytes begin with a start code of either length.
    static bool beginsWithStartCode(const std::uint8_t* bytes, std::size_t size);

    // The codec header of a first frame: from the start code of the last sequence parameter set
    // (HEVC: video parameter set) before the first unit that is not a parameter set, up to that
    // unit's 00 00 01, so that a four-byte start code leaves its first zero byte in the header.
    // Only start codes at positions up to `lastPosition` are looked at. False when none is found.
    static bool findCodecHeader(const std::uint8_t* bytes, std::size_t size, std::size_t lastPosition,
                                Codec codec, std::size_t& begin, std::size_t& end);

private:
    static bool isSlice(int type, Codec codec);
    static bool isKeySlice(int type, Codec codec);
    static bool isParameterSet(int type, Codec codec);
    static bool opensHeader(int type, Codec codec);
};

} // namespace util
