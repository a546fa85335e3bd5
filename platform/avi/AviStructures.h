#pragma once
// The AVI (RIFF) records as they lie in a file, byte for byte, little-endian. Shared by the
// recording parser, the clip writer and the sample-card generator.

#include <cstdint>
#include <cstring>
#include <string_view>

namespace tachy::avi {

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "AVI records are read in place");

using FourCC = std::uint32_t;

constexpr FourCC fourCC(std::string_view text) {
    return static_cast<FourCC>(static_cast<unsigned char>(text[0])) |
           (static_cast<FourCC>(static_cast<unsigned char>(text[1])) << 8) |
           (static_cast<FourCC>(static_cast<unsigned char>(text[2])) << 16) |
           (static_cast<FourCC>(static_cast<unsigned char>(text[3])) << 24);
}

constexpr FourCC kRiff = fourCC("RIFF");
constexpr FourCC kAvi = fourCC("AVI ");
constexpr FourCC kList = fourCC("LIST");
constexpr FourCC kHdrl = fourCC("hdrl");
constexpr FourCC kAvih = fourCC("avih");
constexpr FourCC kStrl = fourCC("strl");
constexpr FourCC kStrh = fourCC("strh");
constexpr FourCC kStrf = fourCC("strf");
constexpr FourCC kMovi = fourCC("movi");
constexpr FourCC kIdx1 = fourCC("idx1");
constexpr FourCC kJunk = fourCC("JUNK");
constexpr FourCC kVids = fourCC("vids");
constexpr FourCC kAuds = fourCC("auds");
constexpr FourCC kTxts = fourCC("txts");

constexpr std::uint32_t kIndexKeyFrame = 0x10;  // AVIIF_KEYFRAME
constexpr std::uint32_t kAviHasIndex = 0x10;    // AVIF_HASINDEX

#pragma pack(push, 1)
struct MainAviHeader {
    std::uint32_t dwMicroSecPerFrame;
    std::uint32_t dwMaxBytesPerSec;
    std::uint32_t dwPaddingGranularity;
    std::uint32_t dwFlags;
    std::uint32_t dwTotalFrames;
    std::uint32_t dwInitialFrames;
    std::uint32_t dwStreams;
    std::uint32_t dwSuggestedBufferSize;
    std::uint32_t dwWidth;
    std::uint32_t dwHeight;
    std::uint32_t dwReserved[4];
};

struct FrameRect {
    std::int16_t left;
    std::int16_t top;
    std::int16_t right;
    std::int16_t bottom;
};

struct AviStreamHeader {
    FourCC fccType;
    FourCC fccHandler;
    std::uint32_t dwFlags;
    std::uint16_t wPriority;
    std::uint16_t wLanguage;
    std::uint32_t dwInitialFrames;
    std::uint32_t dwScale;
    std::uint32_t dwRate;
    std::uint32_t dwStart;
    std::uint32_t dwLength;
    std::uint32_t dwSuggestedBufferSize;
    std::uint32_t dwQuality;
    std::uint32_t dwSampleSize;
    FrameRect rcFrame;
};

struct BitmapInfoHeader {
    std::uint32_t biSize;
    std::int32_t biWidth;
    std::int32_t biHeight;
    std::uint16_t biPlanes;
    std::uint16_t biBitCount;
    std::uint32_t biCompression;
    std::uint32_t biSizeImage;
    std::int32_t biXPelsPerMeter;
    std::int32_t biYPelsPerMeter;
    std::uint32_t biClrUsed;
    std::uint32_t biClrImportant;
};

struct WaveFormatEx {
    std::uint16_t wFormatTag;
    std::uint16_t nChannels;
    std::uint32_t nSamplesPerSec;
    std::uint32_t nAvgBytesPerSec;
    std::uint16_t nBlockAlign;
    std::uint16_t wBitsPerSample;
    std::uint16_t cbSize;
};

// One idx1 entry: chunk id, flags, offset of the chunk's 8-byte header, payload length.
struct IndexEntry {
    FourCC ckid;
    std::uint32_t dwFlags;
    std::uint32_t dwChunkOffset;
    std::uint32_t dwChunkLength;
};
#pragma pack(pop)

static_assert(sizeof(MainAviHeader) == 56);
static_assert(sizeof(AviStreamHeader) == 56);
static_assert(sizeof(BitmapInfoHeader) == 40);
static_assert(sizeof(WaveFormatEx) == 18);
static_assert(sizeof(IndexEntry) == 16);

// The chunk id of stream `ordinal` (0 to 9) with the two-letter suffix ("dc", "wb", "tx").
inline FourCC streamChunkId(int ordinal, std::string_view suffix) {
    const char text[4] = {'0', static_cast<char>('0' + ordinal), suffix[0], suffix[1]};
    return fourCC(std::string_view(text, 4));
}

} // namespace tachy::avi
